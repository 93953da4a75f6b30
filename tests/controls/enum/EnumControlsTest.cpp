// The enumeration members of the control base on a real dialog against the registered DTM: lines with the
// entry codes as item data and German texts from the DTM's translation document, showing a value in a
// combo box and an edit, bit-enumerated values in a multiple-selection list box and an edit, reading
// selections back, the DTM's check of them, and a change of language that keeps every selection.
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "ControlTestSupport.h"
#include "classlib/Variant.h"
#include "dataset/VariableFields.h"
#include "tests/support/TestVariants.h"

namespace controltest {
namespace {

enum : UINT { kModeCombo = 201, kSortedCombo = 202, kFlagsList = 203, kTextEdit = 204 };
enum : UINT { kComboRow, kSortedRow, kFlagsRow, kModeTextRow, kFlagsTextRow };

constexpr ULONG kTargetModeId = 65;  // enumerated: 8 Auto, 16 Manual, 128 Out Of Service; translated
constexpr ULONG kFlagsId = kTagId;   // any parameter: the bit entries are given to the row

const ParameterMap& EnumPageMap() {
    static const ParameterMap map{
        {kTargetModeId, "Mode", 0, kModeCombo, "", 0x71, kControlComboBox},
        {kTargetModeId, "Mode sorted", 0, kSortedCombo, "", 0x71, kControlComboBox},
        {kFlagsId, "Flags", 0, kFlagsList, "", 0x71, 0},
        {kTargetModeId, "Mode text", 0, kTextEdit, "", 0x71, 0},
        {kFlagsId, "Flags text", 0, kTextEdit, "", 0x71, 0},
    };
    return map;
}

ql::Variant Entries(const std::vector<const wchar_t*>& entries) { return MakeArray(VT_BSTR, entries); }

class EnumControlsTest : public DtmFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        page_ = NewPage(EnumPageMap());
        dialog_ = CreateDialogWithItems(
            *page_.Get(),
            {{kComboBoxClass, CBS_DROPDOWNLIST | WS_VSCROLL, kModeCombo, 10, 10, 90, 60, L""},
             {kComboBoxClass, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, kSortedCombo, 10, 30, 90, 60, L""},
             {kListBoxClass, LBS_MULTIPLESEL | LBS_NOTIFY | WS_BORDER, kFlagsList, 110, 10, 80, 60, L""},
             {kEditClass, ES_AUTOHSCROLL | WS_BORDER, kTextEdit, 10, 90, 120, 12, L""}});
        ASSERT_TRUE(dialog_);
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_HR(S_OK, page_->Init(session_.Object(), &ok));  // the mode rows get the DTM's entries
        for (UINT row : {kFlagsRow, kFlagsTextRow})
            SetEntries(row, kEnumerationBits, {L"0;None", L"1;A", L"2;B", L"4;C"});
        for (UINT row : {kComboRow, kSortedRow, kFlagsRow}) ASSERT_HR(S_OK, page_->FillEnumControl(row));
    }
    void TearDown() override {
        dialog_.Reset();
        page_.Reset();
        DtmFixture::TearDown();
    }
    void SetEntries(UINT row, USHORT kind, const std::vector<const wchar_t*>& entries) {
        page_->Row(row).enumerationKind = kind;
        page_->Row(row).enumeration = Entries(entries);
    }
    HWND Item(UINT id) const { return ::GetDlgItem(dialog_.Get(), static_cast<int>(id)); }
    // The lines of a combo box as "text=code".
    std::vector<std::wstring> ComboLines(UINT id) const {
        std::vector<std::wstring> lines;
        const LRESULT count = ::SendMessageW(Item(id), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            ::SendMessageW(Item(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            lines.push_back(std::wstring(text) + L"=" +
                            std::to_wstring(::SendMessageW(Item(id), CB_GETITEMDATA, i, 0)));
        }
        return lines;
    }
    void SwitchToGerman() {
        VARIANT_BOOL accepted = VARIANT_FALSE;
        ASSERT_HR(S_OK, session_.Dtm()->SetLanguage(1031, &accepted));
        ASSERT_EQ(VARIANT_TRUE, accepted);
        ASSERT_HR(S_OK, page_->OnNotify(kNotifyLanguage, *MakeI4(1031)));  // refills every row
    }
    // What the row's control gives back, as "type:value", or the HRESULT when it is not S_OK.
    std::string ReadBack(UINT row) {
        ql::Variant value;
        const HRESULT hr = page_->ReadParameterDisplay(row, value.Put());
        return hr == S_OK ? Describe(*value) : "hr " + std::to_string(hr);
    }

    ql::ComPtr<CTestPage> page_;
    ql::WindowOwner dialog_;
};

TEST_F(EnumControlsTest, LinesCarryTheCodesAndTheTranslatedTexts) {
    const std::vector<std::wstring> english = {L"Auto=8", L"Manual=16", L"Out Of Service=128"};
    EXPECT_EQ(english, ComboLines(kModeCombo));
    ASSERT_NO_FATAL_FAILURE(SwitchToGerman());
    const std::vector<std::wstring> german = {L"Automatik=8", L"Hand=16", L"Au\u00DFer Betrieb=128"};
    EXPECT_EQ(german, ComboLines(kModeCombo));

    // A row without entries keeps its lines; a malformed entry ends the fill after the lines before it.
    page_->Row(kComboRow).enumeration.Reset();
    EXPECT_HR(S_OK, page_->FillEnumControl(kComboRow));
    EXPECT_EQ(german, ComboLines(kModeCombo));
    SetEntries(kComboRow, kEnumerationList, {L"16;Manual", L"Manual", L"8;Auto"});
    EXPECT_HR(E_UNEXPECTED, page_->FillEnumControl(kComboRow));
    EXPECT_EQ(std::vector<std::wstring>{L"Hand=16"}, ComboLines(kModeCombo));
}

// A value selects the line with its code or shows its entry's built-in text, "<Out of Range>" when no
// entry has it; a bit-enumerated value shows every flag it holds. The control then gives the code back.
TEST_F(EnumControlsTest, ValuesShowAndReadBack) {
    struct Case {
        const char* name;
        UINT row, item;
        ql::Variant value;
        const wchar_t* shown;
        const char* readBack;
    };
    const Case cases[] = {
        {"combo box", kComboRow, kModeCombo, MakeI4(16), L"Manual", "i4:16"},
        {"edit, value as text", kModeTextRow, kTextEdit, MakeBstr(L"16"), L"Manual", "i4:16"},
        {"combo box, no entry", kComboRow, kModeCombo, MakeI4(5), L"", "hr 1"},
        {"edit, no entry", kModeTextRow, kTextEdit, MakeI4(5), L"<Out of Range>", "hr 1"},
        {"flags in an edit", kFlagsTextRow, kTextEdit, MakeI4(5), L"None | A | C", "hr 1"},
        {"flags in a list box", kFlagsRow, kFlagsList, MakeI4(5), L"", "ui4:5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_HR(S_OK, page_->ShowValue(c.row, *c.value));
        EXPECT_FALSE(page_->IsUpdating());
        EXPECT_EQ(c.shown, WindowText(Item(c.item)));
        EXPECT_EQ(c.readBack, ReadBack(c.row));
    }
    ::SetWindowTextW(Item(kTextEdit), L"auto");  // only the exact built-in text names an entry
    EXPECT_EQ("hr 1", ReadBack(kModeTextRow));

    // Lines naming overlapping flags: selecting 1 and 3 means the flags 1 and 2, not 4.
    SetEntries(kFlagsRow, kEnumerationBits, {L"1;A", L"2;B", L"3;AB"});
    ASSERT_HR(S_OK, page_->FillEnumControl(kFlagsRow));
    ::SendMessageW(Item(kFlagsList), LB_SETSEL, TRUE, 0);
    ::SendMessageW(Item(kFlagsList), LB_SETSEL, TRUE, 2);
    EXPECT_EQ("ui4:3", ReadBack(kFlagsRow));
}

// After a change of language the translated lines of a sorted combo box stand in another order: the
// selection follows the entry, so that a later commit writes what the user chose.
TEST_F(EnumControlsTest, ALanguageChangeKeepsEverySelectionByItsCode) {
    ASSERT_HR(S_OK, page_->ShowValue(kSortedRow, *MakeI4(16)));
    ASSERT_HR(S_OK, page_->ShowValue(kFlagsRow, *MakeI4(5)));
    ASSERT_EQ(L"Manual", WindowText(Item(kSortedCombo)));
    ASSERT_NO_FATAL_FAILURE(SwitchToGerman());
    const std::vector<std::wstring> sorted = {L"Au\u00DFer Betrieb=128", L"Automatik=8", L"Hand=16"};
    EXPECT_EQ(sorted, ComboLines(kSortedCombo));
    EXPECT_EQ(L"Hand", WindowText(Item(kSortedCombo)));
    EXPECT_EQ("i4:16", ReadBack(kSortedRow));
    EXPECT_EQ("ui4:5", ReadBack(kFlagsRow));
    EXPECT_EQ(CB_ERR, ::SendMessageW(Item(kModeCombo), CB_GETCURSEL, 0, 0));  // none before, none after
}

TEST_F(EnumControlsTest, TheDtmChecksTheChosenEntry) {
    SetEntries(kComboRow, kEnumerationList, {L"8;Auto", L"16;Manual", L"5;Five"});
    ASSERT_HR(S_OK, page_->FillEnumControl(kComboRow));
    // The chosen line, the result and the verdict: nothing chosen (the DTM is not asked), an entry of the
    // parameter, a code the parameter does not have.
    const std::tuple<LRESULT, HRESULT, bool> cases[] = {
        {-1, S_FALSE, false}, {1, S_OK, true}, {2, S_OK, false}};
    for (const auto& [line, hr, accepted] : cases) {
        ::SendMessageW(Item(kModeCombo), CB_SETCURSEL, static_cast<WPARAM>(line), 0);
        ql::Variant value;
        bool ok = !accepted;
        EXPECT_HR(hr, page_->CheckEnumText(kComboRow, value.Put(), &ok)) << line;
        EXPECT_EQ(accepted, ok) << line;
    }
}

}  // namespace
}  // namespace controltest
