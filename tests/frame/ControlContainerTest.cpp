// The frame host opening user interfaces: a control by ProgID in its own window, active in place, sized to
// its extent, reached by the keys a person presses; a DTM function's control initialised with the DTM and
// closed when the DTM asks, with nothing left holding the control or the DTM.
#include <ocidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "FdtInterfaces.h"
#include "UiTestServer.h"
#include "classlib/Bstr.h"
#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"
#include "classlib/Himetric.h"
#include "frame/FunctionUi.h"
#include "frame/UiScript.h"
#include "tests/frame/FrameTestSupport.h"
#include "tests/support/ClassInformation.h"
#include "tests/support/ServerModule.h"
#include "tests/support/TestObjects.h"

namespace {

using namespace frametest;

constexpr wchar_t kTestControlProgId[] = L"QuelkUiTest.Control";
constexpr int kNameEdit = 1001;
constexpr int kTagEdit = 1002;
constexpr int kEnabledCheck = 1003;
constexpr int kStatusText = 1004;

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[128] = {};
    ::GetDlgItemTextW(dialog, id, text, 128);
    return text;
}

// A DTM as far as opening its user interfaces goes: it names the test control for every function.
class FakeDtm final : public CountedDispatch<IDtmActiveXInformation> {
public:
    FakeDtm() : CountedDispatch<IDtmActiveXInformation>({IID_IDtmActiveXInformation}) {}
    KeptDtm lifecycle;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IDtm)) return lifecycle.QueryInterface(iid, out);
        return CountedDispatch<IDtmActiveXInformation>::QueryInterface(iid, out);
    }
    std::wstring progId = kTestControlProgId;
    HRESULT STDMETHODCALLTYPE GetActiveXGuid(BSTR, BSTR* classId) override {
        *classId = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetActiveXProgId(BSTR, BSTR* progId) override {
        *progId = ::SysAllocString(this->progId.c_str());
        return S_OK;
    }
};

class EventSink final : public CountedDispatch<IDispatch> {
public:
    EventSink() : CountedDispatch<IDispatch>({DIID__IUiTestControlEvents}) {}
    int confirmed = 0;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override {
        if (id == 1) ++confirmed;
        return S_OK;
    }
};

class ControlContainerTest : public FrameTest {
protected:
    void TearDown() override {
        ui_.reset();
        EXPECT_HR(S_OK, ServerCanUnloadNow(L"ui_test_server.dll")) << "something still holds the control";
        FrameTest::TearDown();
    }
    HWND ControlDialog() const { return ui_->Container().Site()->ControlWindow(); }
    void Press(UINT key) {
        PressKey(key);
        PumpContainerMessages(ui_->Container());
    }

    std::unique_ptr<CFunctionUi> ui_ = std::make_unique<CFunctionUi>();
};

TEST_F(ControlContainerTest, OpensAControlByProgIdActiveInPlaceAtItsExtent) {
    ASSERT_HR(S_OK, ui_->OpenControl(kTestControlProgId));
    ql::AxControlSite* site = ui_->Container().Site();
    EXPECT_TRUE(site->IsInPlaceActive());
    EXPECT_TRUE(site->IsUiActive());
    HWND dialog = ControlDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(ui_->Container().Window(), ::GetParent(dialog));
    EXPECT_TRUE(::IsWindowVisible(dialog));

    // The extent is the template's 186 x 86 dialog units in the dialog's own font, in HIMETRIC.
    RECT units{0, 0, 186, 86};
    ASSERT_TRUE(::MapDialogRect(dialog, &units));
    ql::ComPtr<IOleObject> object;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(ui_->Container().Control(), object));
    SIZEL extent{};
    ASSERT_HR(S_OK, object->GetExtent(DVASPECT_CONTENT, &extent));
    const SIZEL expected = ql::PixelsToHimetric(SIZE{units.right, units.bottom});
    EXPECT_EQ(expected.cx, extent.cx);
    EXPECT_EQ(expected.cy, extent.cy);
    EXPECT_HR(E_FAIL, object->GetExtent(DVASPECT_ICON, &extent));
    RECT client{};
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(units.right, client.right) << "the window was not sized to the control";
    EXPECT_EQ(units.bottom, client.bottom);
}

TEST_F(ControlContainerTest, KeysReachTheControlThroughItsDialogManager) {
    ASSERT_HR(S_OK, ui_->OpenControl(kTestControlProgId));
    HWND dialog = ControlDialog();
    EXPECT_EQ(::GetDlgItem(dialog, kNameEdit), ::GetFocus()) << "UI activation focuses the first tab stop";
    Press(VK_TAB);
    EXPECT_EQ(::GetDlgItem(dialog, kTagEdit), ::GetFocus());
    Press(VK_TAB);
    EXPECT_EQ(::GetDlgItem(dialog, kEnabledCheck), ::GetFocus());

    ql::ComPtr<IConnectionPointContainer> points;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(ui_->Container().Control(), points));
    ql::ComPtr<IConnectionPoint> point;
    ASSERT_HR(S_OK, points->FindConnectionPoint(DIID__IUiTestControlEvents, point.Put()));
    EventSink sink;
    DWORD cookie = 0;
    ASSERT_HR(S_OK, point->Advise(&sink, &cookie));

    Press(VK_RETURN);
    EXPECT_EQ(L"Confirmed", ItemText(dialog, kStatusText));
    EXPECT_EQ(1, sink.confirmed);
    Press(VK_ESCAPE);
    EXPECT_EQ(L"Cancelled", ItemText(dialog, kStatusText));
    EXPECT_EQ(1, sink.confirmed);

    EXPECT_HR(S_OK, point->Unadvise(cookie));
    EXPECT_EQ(1u, sink.refs);
}

TEST_F(ControlContainerTest, MouseActivationUiActivatesOnlyInUserMode) {
    ASSERT_HR(S_OK, ui_->OpenControl(kTestControlProgId));
    ql::AxControlSite* site = ui_->Container().Site();
    ql::ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(site->Control(), inPlace));
    const LPARAM click = MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN);
    struct Case {
        const char* name;
        bool userMode;
        bool uiActive;
    };
    for (const Case& c :
         {Case{"design mode: a click selects", false, false}, Case{"user mode", true, true}}) {
        SCOPED_TRACE(c.name);
        ASSERT_HR(S_OK, inPlace->UIDeactivate());
        ASSERT_FALSE(site->IsUiActive());
        site->SetUserMode(c.userMode);
        EXPECT_EQ(MA_ACTIVATE, ::SendMessageW(ControlDialog(), WM_MOUSEACTIVATE,
                                              reinterpret_cast<WPARAM>(ui_->Container().Window()), click));
        EXPECT_EQ(c.uiActive, site->IsUiActive());
    }
}

TEST_F(ControlContainerTest, AmbientLocaleAndClassInformationComeThroughTheSiteAndTypeLibrary) {
    ASSERT_HR(S_OK, ui_->OpenControl(kTestControlProgId));
    ql::ComPtr<IUiTestControl> control;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(ui_->Container().Control(), control));
    LONG locale = 0;
    EXPECT_HR(S_OK, control->get_AmbientLocale(&locale));
    EXPECT_EQ(static_cast<LONG>(::GetUserDefaultLCID()), locale);
    ui_->Container().Site()->SetLocaleId(0x0407);
    EXPECT_HR(S_OK, control->get_AmbientLocale(&locale));
    EXPECT_EQ(0x0407, locale);

    ql::ComPtr<IProvideClassInfo2> classInfo;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(control.Get(), classInfo));
    GUID events{};
    EXPECT_HR(S_OK, classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
    EXPECT_TRUE(IsEqualGUID(DIID__IUiTestControlEvents, events));
    ql::ComPtr<ITypeInfo> coclass;
    ASSERT_HR(S_OK, classInfo->GetClassInfo(coclass.Put()));
    ql::Bstr name;
    ASSERT_HR(S_OK, coclass->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr));
    EXPECT_EQ(L"UiTestControl", std::wstring(name.View()));
    EXPECT_TRUE(vtest::DispatchIsDefaultInterface(control.Get(), coclass.Get()));
}

TEST_F(ControlContainerTest, VerbsShowHideOrRefuse) {
    ASSERT_HR(S_OK, ui_->OpenControl(kTestControlProgId));
    ql::AxControlSite* site = ui_->Container().Site();
    ql::ComPtr<IOleObject> object;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(site->Control(), object));
    struct Case {
        const char* name;
        LONG verb;
        HRESULT expected;
        bool visible;
    };
    const Case cases[] = {
        {"hide", OLEIVERB_HIDE, S_OK, false},
        {"show", OLEIVERB_SHOW, S_OK, true},
        {"open in a window of its own", OLEIVERB_OPEN, E_NOTIMPL, true},
        {"unknown verb of the object's own", 5, OLEOBJ_S_INVALIDVERB, true},
        {"unknown standard verb", -9, E_NOTIMPL, true},
    };
    RECT client{};
    ::GetClientRect(ui_->Container().Window(), &client);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_HR(c.expected, object->DoVerb(c.verb, nullptr, site, 0, ui_->Container().Window(), &client));
        EXPECT_EQ(c.visible, ::IsWindowVisible(ControlDialog()) != FALSE);
    }
    DWORD status = 0;
    EXPECT_HR(S_OK, object->GetMiscStatus(DVASPECT_CONTENT, &status));
    EXPECT_EQ(131473u, status) << "the registered MiscStatus";
}

TEST_F(ControlContainerTest, ViewObjectDrawsTheActiveDialog) {
    ASSERT_HR(S_OK, ui_->OpenControl(kTestControlProgId));
    ql::ComPtr<IViewObject2> view;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(ui_->Container().Control(), view));
    SIZEL extent{};
    ASSERT_HR(S_OK, view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent));
    const SIZE size = ql::HimetricToPixels(extent);
    ql::WindowDc screen(nullptr);
    ql::Bitmap bitmap(::CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
    ql::MemoryDc drawing(screen.Get(), bitmap.Get());
    HDC memory = drawing.Get();
    RECT all{0, 0, size.cx, size.cy};
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    const RECTL bounds{0, 0, size.cx, size.cy};
    EXPECT_HR(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                               nullptr, 0));
    EXPECT_HR(DV_E_DVASPECT,
              view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0));
    // The dialog's face, not the black it was drawn over.
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), ::GetPixel(memory, 2, size.cy - 2));
}

TEST_F(ControlContainerTest, ScriptDrivesTheControlAndClosesIt) {
    ASSERT_HR(S_OK, ui_->OpenControl(kTestControlProgId));
    char buffer[512] = {};
    std::FILE* out = std::tmpfile();
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(0, RunUiScript(*ui_,
                             L"text 1001 Pump 7\nkey TAB\nprint-focus\nprint-text 1001\nkey RETURN\n"
                             L"print-text 1004\nclose\n",
                             out));
    std::rewind(out);
    buffer[std::fread(buffer, 1, sizeof(buffer) - 1, out)] = '\0';
    std::fclose(out);
    // A temporary file is binary: its lines end as written.
    EXPECT_STREQ("focus 1002\ntext 1001 Pump 7\ntext 1004 Confirmed\n", buffer);
    EXPECT_FALSE(ui_->IsOpen());
    EXPECT_EQ(1, RunUiScript(*ui_, L"jump\n", out = std::tmpfile()));
    std::fclose(out);
}

TEST_F(ControlContainerTest, DtmFunctionOpensInitialisedAndClosesWhenTheDtmAsks) {
    FakeDtm dtm;
    ASSERT_HR(S_OK, ui_->OpenFunction(&dtm, 7));
    ASSERT_EQ(36u, ui_->InvokeId().size());
    ql::ComPtr<IUiTestControl> control;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(ui_->Container().Control(), control));
    ql::Bstr invokeId;
    ASSERT_HR(S_OK, control->get_InvokeId(invokeId.Put()));
    EXPECT_EQ(ui_->InvokeId(), std::wstring(invokeId.View()));
    control.Reset();
    EXPECT_LT(1u, dtm.lifecycle.refs) << "the control keeps the DTM while it is open";

    frame_->SetUiCloser([this](const std::wstring& id) {
        if (id == ui_->InvokeId()) ui_->Container().RequestClose();
    });
    VARIANT_BOOL closed = VARIANT_FALSE;
    ASSERT_HR(S_OK, frame_->CloseActiveXControlRequest(invokeId.Get(), &closed));
    EXPECT_EQ(VARIANT_TRUE, closed);
    EXPECT_TRUE(ui_->IsOpen()) << "closed inside the DTM's call";
    PumpContainerMessages(ui_->Container());
    EXPECT_FALSE(ui_->IsOpen());
    EXPECT_HR(S_OK, ui_->LastReleaseResult());
    EXPECT_EQ(1u, dtm.lifecycle.refs);
    EXPECT_HR(S_OK, ServerCanUnloadNow(L"ui_test_server.dll"));
    frame_->SetUiCloser(nullptr);
}

TEST_F(ControlContainerTest, FunctionWhoseControlIsNotRegisteredOpensNothing) {
    FakeDtm dtm;
    dtm.progId = L"QuelkUiTest.NoSuchControl";
    EXPECT_HR(CO_E_CLASSSTRING, ui_->OpenFunction(&dtm, 7));
    EXPECT_FALSE(ui_->IsOpen());
    EXPECT_EQ(1u, dtm.lifecycle.refs);
}

}  // namespace
