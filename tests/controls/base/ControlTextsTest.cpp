// Texts of a control from the DTM's translation document: an entry by resource id relabels a dialog item
// and gives it a tooltip, and it wins over an entry by the item's symbolic name; a second language change
// updates the tooltip in place.
#include <windows.h>
#include <commctrl.h>

#include "ControlTestSupport.h"
#include "classlib/Bstr.h"
#include "classlib/RegKey.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/TestVariants.h"

namespace controltest {
namespace {

constexpr wchar_t kTranslation[] =
    LR"(<localization><general><languages><language lcid="1033" code="en">English</language></languages></general>
<ActiveXList><ActiveX classname="Test Class">
<Control resId="104"><Text><locale code="en">Verbinden</locale></Text>
  <Tooltip><locale code="en">Connects to the device</locale></Tooltip></Control>
<Control name="IDC_BUTTON_TEST"><Text><locale code="en">By name</locale></Text></Control>
<Control name="IDC_CHECK_LOCK"><Tooltip><locale code="en">Locks the data</locale></Tooltip></Control>
<Control resId="106"><Text><locale code="en">logo.bmp</locale></Text><Tooltip><locale code="en">Logo</locale></Tooltip></Control>
</ActiveX></ActiveXList></localization>)";

const ControlTextEntry kTextTable[] = {
    {kTestButton, "IDC_BUTTON_TEST"}, {kLockCheck, "IDC_CHECK_LOCK"}, {0, nullptr}};

// A 1x1 24-bit bitmap file.
std::string BitmapFile() {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = 1;
    info.biHeight = 1;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + 4;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    bytes.append(4, '\x40');
    return bytes;
}

class ControlTextsTest : public DtmFixture {
protected:
    void LoadTranslation() {
        ql::ComPtr<IQuelkLocalization> texts;
        ASSERT_HR(S_OK, session_.Object()->QueryInterface(IID_IQuelkLocalization, texts.PutVoid()));
        ql::Bstr document(kTranslation);
        VARIANT_BOOL done = VARIANT_FALSE;
        ASSERT_HR(S_OK, texts->LoadDocument(document.Get(), &done));
        ASSERT_EQ(VARIANT_TRUE, done);
        ASSERT_HR(S_OK, texts->SelectById(1033, &done));
    }
};

TEST_F(ControlTextsTest, TranslationRelabelsAButtonAndSetsItsTooltip) {
    ql::ComPtr<CTestPage> page = NewPage();
    page->textTable = kTextTable;
    ql::WindowOwner dialog = CreateTestDialog(*page.Get());
    ASSERT_NO_FATAL_FAILURE(LoadTranslation());

    // Before Init the control has no DTM: the built-in texts stay.
    EXPECT_HR(S_OK, page->OnNotify(kNotifyLanguage, *MakeI4(1033)));
    EXPECT_EQ(L"Connect", WindowText(::GetDlgItem(dialog.Get(), kTestButton)));

    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, page->Init(session_.Object(), &ok));  // ends with the language notification
    EXPECT_EQ(L"Verbinden", WindowText(::GetDlgItem(dialog.Get(), kTestButton)));
    EXPECT_EQ(L"Lock", WindowText(::GetDlgItem(dialog.Get(), kLockCheck)));
    const HWND tooltip = page->TooltipOf(kTestButton);
    ASSERT_NE(nullptr, tooltip);
    EXPECT_EQ(1, ::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_NE(nullptr, page->TooltipOf(kLockCheck));

    EXPECT_HR(S_OK, page->OnNotify(kNotifyLanguage, *MakeI4(1033)));
    EXPECT_EQ(tooltip, page->TooltipOf(kTestButton));
    EXPECT_EQ(1, ::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    dialog.Reset();
}

// Bitmap files lie in the folder the registry names, whatever its length; a folder that cannot hold the
// file, or a value of the wrong type (the built-in folder then), keeps the bitmap the item shows.
TEST_F(ControlTextsTest, BitmapsComeFromTheFilesFolderOfAnyLength) {
    ql::ComPtr<CTestPage> page = NewPage();
    ql::WindowOwner dialog = CreateTestDialog(*page.Get());
    ASSERT_NO_FATAL_FAILURE(LoadTranslation());
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, page->Init(session_.Object(), &ok));
    TempFolder temp;
    temp.Write(L"logo.bmp", BitmapFile());
    ql::Bstr xpath(L"localization/ActiveXList/ActiveX[@classname=\"Test Class\"]/Control[@resId = \"106\"]");
    const HWND logo = ::GetDlgItem(dialog.Get(), kLogoStatic);
    {
        vtest::FilesFolderOverride folder(temp.Path());  // no backslash at its end
        EXPECT_HR(S_OK, page->ApplyControlTexts(kLogoStatic, xpath.Get()));
    }
    const LRESULT shown = ::SendMessageW(logo, STM_GETIMAGE, IMAGE_BITMAP, 0);
    EXPECT_NE(0, shown);
    EXPECT_NE(nullptr, page->TooltipOf(kLogoStatic));
    {
        vtest::FilesFolderOverride folder(temp.Path() + L"\\" + std::wstring(1000, L'x'));
        EXPECT_HR(E_FAIL, page->ApplyControlTexts(kLogoStatic, xpath.Get()));
    }
    {
        const DWORD number = 7;
        vtest::FilesFolderOverride folder(REG_DWORD, &number, sizeof(number));
        EXPECT_HR(E_FAIL, page->ApplyControlTexts(kLogoStatic, xpath.Get()));
    }
    EXPECT_EQ(shown, ::SendMessageW(logo, STM_GETIMAGE, IMAGE_BITMAP, 0));
    dialog.Reset();
}

}  // namespace
}  // namespace controltest