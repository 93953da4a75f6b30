// The about view as a frame opens it for the DTM's "About" function: created through COM by its ProgID,
// hosted in the frame host's window and initialised with the registered DTM, it shows the DTM's about file
// as plain lines; afterwards it hands every reference back.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "FdtInterfaces.h"
#include "classlib/AxControlSite.h"
#include "classlib/RegKey.h"
#include "frame/ControlContainer.h"
#include "frame/FunctionUi.h"
#include "frame/MessagePump.h"
#include "tests/frame/FrameTestSupport.h"
#include "tests/support/ServerModule.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestObjects.h"

namespace {

using namespace vtest;

constexpr long kAboutFunction = 6;
constexpr wchar_t kAboutViewProgId[] = L"Quelk.QuelkAboutView2";
constexpr int kTextItem = 1001;
constexpr wchar_t kUnreadableLine[] = L"The about file could not be read: ";
constexpr wchar_t kNoAboutFileLine[] = L"The DTM names no about file.";

// The DTM's IDtm and nothing else: a DTM that names no about file. It counts the view's references.
using DtmWithoutAboutFile = frametest::KeptDtm;

std::wstring FirstLine(const std::wstring& text) { return text.substr(0, text.find(L"\r\n")); }

class AboutViewTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_HR(S_OK, ql::MakeObject(frame_));
        ASSERT_NO_FATAL_FAILURE(frametest::CreateConfiguredDtm(session_, frame_.Get()));
    }
    void TearDown() override {
        (void)ui_.Close();  // a view that did not open has nothing to close
        session_.Release();
        frame_->ClearProjectDtms();
        frame_.Reset();
        EXPECT_NE(nullptr, ::GetModuleHandleW(L"about_view.dll")) << "the view was never created";
        EXPECT_HR(S_OK, ServerCanUnloadNow(L"about_view.dll")) << "the view was not let go";
        EXPECT_HR(S_OK, ServerCanUnloadNow(L"VarnokP3.dll")) << "the view kept the DTM";
    }

    HWND TextEdit() {
        HWND view = ui_.IsOpen() ? ui_.Container().Site()->ControlWindow() : nullptr;
        return view ? ::GetDlgItem(view, kTextItem) : nullptr;
    }
    std::wstring ShownText() {
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(TextEdit())) + 1, L'\0');
        text.resize(
            static_cast<size_t>(::GetWindowTextW(TextEdit(), text.data(), static_cast<int>(text.size()))));
        return text;
    }

    ql::ComPtr<CFrameHost> frame_;
    CDtmSession session_;
    CFunctionUi ui_;
};

TEST_F(AboutViewTest, ShowsTheAboutFileAsPlainLinesWithNothingSelected) {
    ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), kAboutFunction));
    HWND edit = TextEdit();
    ASSERT_TRUE(edit);
    const std::wstring text = ShownText();
    EXPECT_EQ(L"VarnokP3 DTM", FirstLine(text));
    EXPECT_NE(std::wstring::npos, text.find(L"\r\nVendor\tOrvo\r\n")) << "a row of the table";
    EXPECT_EQ(std::wstring::npos, text.find(L'<')) << "markup left";
    EXPECT_EQ(std::wstring::npos, text.find(L"font-family")) << "the style shown";
    EXPECT_TRUE(::GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY);

    // What a person does that has the dialog hand the text the focus, also when the text has it already.
    const HWND window = ui_.Container().Window();
    const struct {
        const char* name;
        std::function<void()> act;
    } steps[] = {
        {"opened", [] {}},
        {"the window gets the focus again",
         [window] {
             ::SetFocus(nullptr);
             ::SetFocus(window);
         }},
        {"Tab pressed", [edit] { ::PostMessageW(edit, WM_KEYDOWN, VK_TAB, 1); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        PumpContainerMessages(ui_.Container());
        EXPECT_EQ(edit, ::GetFocus());
        DWORD start = 1, end = 1;
        ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start) << "the caret at the start";
        EXPECT_EQ(0u, end) << "nothing selected";
    }

    ASSERT_HR(S_OK, ui_.Close());
    EXPECT_HR(S_OK, ui_.LastReleaseResult());
}

// A person who drags the window's corner has more room for the text.
TEST_F(AboutViewTest, TheTextGrowsWithTheWindow) {
    ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), kAboutFunction));
    const HWND window = ui_.Container().Window();
    RECT frame{}, before{}, after{};
    ::GetWindowRect(window, &frame);
    ::GetWindowRect(TextEdit(), &before);
    ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + 100, frame.bottom - frame.top + 50,
                   SWP_NOMOVE | SWP_NOZORDER);
    ::GetWindowRect(TextEdit(), &after);
    EXPECT_EQ(before.right - before.left + 100, after.right - after.left);
    EXPECT_EQ(before.bottom - before.top + 50, after.bottom - after.top);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
}

TEST_F(AboutViewTest, ShowsTheFileOfTheDtmsFilesFolderOrALineSayingItCannotBeRead) {
    struct Case {
        const char* name;
        const char* fileBytes;  // null: no about file
        std::wstring text;
    };
    const TempFolder folder;
    const Case cases[] = {
        {"no about file in the folder", nullptr, kUnreadableLine + folder.File(L"AboutFile.htm")},
        {"a page in the ANSI code page",
         "<p>Gr\xFC\xDF"
         "e &amp; mehr</p>",
         L"Gr\u00FC\u00DF"
         L"e & mehr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.fileBytes) (void)folder.Write(L"AboutFile.htm", c.fileBytes);
        const vtest::FilesFolderOverride files(folder.Path());
        ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), kAboutFunction));
        EXPECT_EQ(c.text, ShownText());
        ASSERT_HR(S_OK, ui_.Close());
    }
}

// The frame calls PrepareToRelease before it lets the view go: the DTM is given back there.
TEST_F(AboutViewTest, GivesTheDtmBackOnPrepareToRelease) {
    DtmWithoutAboutFile dtm;
    ASSERT_HR(S_OK, ui_.OpenControl(kAboutViewProgId, &dtm));
    EXPECT_EQ(kNoAboutFileLine, ShownText());
    EXPECT_LT(1u, dtm.refs) << "the view keeps the DTM while it is open";

    ql::ComPtr<IDtmActiveXControl> view;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(ui_.Container().Control(), view));
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, view->Init(ql::Bstr(L"again").Get(), ql::Bstr(L"<call/>").Get(), &dtm, &ok))
        << "a view serves one function call";
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_HR(S_OK, view->PrepareToRelease(&ok));
    EXPECT_EQ(VARIANT_TRUE, ok);
    EXPECT_EQ(1u, dtm.refs) << "the DTM is given back while the view is still open";
    view.Reset();
    ASSERT_HR(S_OK, ui_.Close());
}

// A container that lets the view go without PrepareToRelease gets the DTM back all the same.
TEST_F(AboutViewTest, GivesTheDtmBackWhenItGoesUnprepared) {
    DtmWithoutAboutFile dtm;
    {
        CControlContainer container;
        ASSERT_HR(S_OK, container.Open(kAboutViewProgId, L"About"));
        ql::ComPtr<IDtmActiveXControl> view;
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(container.Control(), view));
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_HR(S_OK, view->Init(ql::Bstr(L"{1}").Get(), ql::Bstr(L"<call/>").Get(), &dtm, &ok));
        EXPECT_EQ(VARIANT_TRUE, ok);
        EXPECT_LT(1u, dtm.refs);
        view.Reset();
        container.Close();
    }
    EXPECT_EQ(1u, dtm.refs);
}

}  // namespace
