// Texts of a control from the DTM's translation document: an entry by resource id relabels a dialog item
// and gives it a tooltip, and it wins over an entry by the item's symbolic name; a second language change
// updates the tooltip in place.
#include <windows.h>
#include <commctrl.h>

#include "ControlTestSupport.h"
#include "classlib/Bstr.h"
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
</ActiveX></ActiveXList></localization>)";

const ControlTextEntry kTextTable[] = {
    {kTestButton, "IDC_BUTTON_TEST"}, {kLockCheck, "IDC_CHECK_LOCK"}, {0, nullptr}};

class ControlTextsTest : public DtmFixture {};

TEST_F(ControlTextsTest, TranslationRelabelsAButtonAndSetsItsTooltip) {
    ql::ComPtr<CTestPage> page = NewPage();
    page->textTable = kTextTable;
    ql::WindowOwner dialog = CreateTestDialog(*page.Get());
    ql::ComPtr<IQuelkLocalization> texts;
    ASSERT_HR(S_OK, session_.Object()->QueryInterface(IID_IQuelkLocalization, texts.PutVoid()));
    ql::Bstr document(kTranslation);
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_HR(S_OK, texts->LoadDocument(document.Get(), &done));
    ASSERT_EQ(VARIANT_TRUE, done);
    ASSERT_HR(S_OK, texts->SelectById(1033, &done));

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

}  // namespace
}  // namespace controltest
