#include "ControlTestSupport.h"

#include "classlib/Bstr.h"
#include "classlib/DialogTemplateWriter.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "dataset/VariableFields.h"
#include "frame/DeviceKeyValues.h"
#include "frame/FrameDocuments.h"
#include "frame/MessagePump.h"
#include "tests/frame/FrameTestSupport.h"
#include "tests/support/TestVariants.h"

namespace controltest {

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr ULONG kUnknownParameterId = 9999;

}  // namespace

const ParameterMap& TestPageMap() {
    static const ParameterMap map{
        {kTagId, "Tag", 0, kTagEdit, "%s", 0x71, 0, nullptr, nullptr, 1},
        {kStationAddressId, "Station Address", 0, kAddressEdit, "%u", 0x71, 0, nullptr, nullptr, 1},
        {kCalibrationFactorId, "CalibrationFactor", 0, kFactorStatic, "%g", 0x71, 0},
    };
    return map;
}

const ParameterMap& MapWithUnknownParameter() {
    static const ParameterMap map{
        {kTagId, "Tag", 0, kTagEdit, "%s", 0x71, 0},
        {kUnknownParameterId, "Unknown", 0, kAddressEdit, "%u", 0x71, 0},
    };
    return map;
}

// --- the test page ---

HRESULT CTestPage::SetDtmState(ULONG state) noexcept {
    calls.push_back("SetDtmState");
    return CQuelkControlBase::SetDtmState(state);
}

HRESULT CTestPage::ShowStatusText(BSTR text) noexcept {
    statusTexts.emplace_back(text ? text : L"");
    return S_OK;
}

HRESULT CTestPage::OnNotify(ULONG code, VARIANT data) noexcept {
    char name[32];
    std::snprintf(name, sizeof(name), "OnNotify %04lX", code);
    calls.push_back(name);
    return CQuelkControlBase::OnNotify(code, data);
}

HRESULT CTestPage::GetInfo(VARIANT what, VARIANT* value) noexcept {
    calls.push_back("GetInfo");
    return CQuelkControlBase::GetInfo(what, value);
}

HRESULT CTestPage::InitSchemaCacheFromFrame(IUnknown* frame) noexcept {
    calls.push_back("InitSchemaCache");
    return CQuelkControlBase::InitSchemaCacheFromFrame(frame);
}

HRESULT CTestPage::SetStateById(ULONG id, ULONG flags) noexcept {
    if (failStateUpdates) return E_FAIL;
    return CQuelkControlBase::SetStateById(id, flags);
}

HRESULT CTestPage::TranslateParameters(ULONG) noexcept {
    return TranslateControlTexts(L"Test Class", textTable);
}

// --- the dialog ---

namespace {

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        reinterpret_cast<CQuelkControlBase*>(lParam)->AttachDialogWindow(dialog);
        return TRUE;
    }
    auto* control = reinterpret_cast<CQuelkControlBase*>(::GetWindowLongPtrW(dialog, GWLP_USERDATA));
    LRESULT result = 0;
    if (!control || !control->ProcessWindowMessage(dialog, message, wParam, lParam, result, 0)) return FALSE;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

ql::WindowOwner CreateDialogWithItems(CQuelkControlBase& control, const std::vector<DialogItem>& items,
                                      HWND parent) {
    ql::DialogTemplateWriter t(parent ? (DS_CONTROL | WS_CHILD | WS_VISIBLE) : (WS_POPUP | WS_CAPTION),
                               static_cast<WORD>(items.size()), 200, 120, L"Test page", 8, L"MS Shell Dlg");
    for (const DialogItem& item : items) {
        t.Item(item.classOrdinal, item.style | WS_CHILD | WS_VISIBLE, item.id, item.x, item.y, item.cx,
               item.cy, item.text);
    }
    return ql::WindowOwner(::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), t.Get(), parent,
                                                        TestDialogProc, reinterpret_cast<LPARAM>(&control)));
}

ql::WindowOwner CreateTestDialog(CQuelkControlBase& control, HWND parent) {
    return CreateDialogWithItems(
        control,
        {{kEditClass, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kTagEdit, 10, 10, 80, 12, L""},
         {kEditClass, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kAddressEdit, 10, 30, 80, 12, L""},
         {kStaticClass, SS_LEFT, kFactorStatic, 10, 50, 80, 12, L""},
         {kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, kTestButton, 10, 70, 80, 14, L"Connect"},
         {kButtonClass, BS_AUTOCHECKBOX | WS_TABSTOP, kLockCheck, 10, 90, 80, 12, L"Lock"},
         {kStaticClass, SS_BITMAP, kLogoStatic, 120, 10, 20, 20, L""},
         {kComboBoxClass, CBS_DROPDOWN | WS_VSCROLL, kUnitCombo, 120, 40, 70, 60, L""}},
        parent);
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

// --- the DTM ---

void DtmFixture::SetUp() {
    ComTest::SetUp();
    ASSERT_HR(S_OK, ql::MakeObject(frame_));
    ASSERT_NO_FATAL_FAILURE(frametest::CreateConfiguredDtm(session_, frame_.Get()));
    ASSERT_HR(S_OK, session_.Object()->QueryInterface(IID_IQuelkVariablesEx, store_.PutVoid()));
}

void DtmFixture::GoOnline() {
    ASSERT_NO_FATAL_FAILURE(frametest::ConnectToSimulatedDevice(session_, channel_, kWaitMs));
}

void HostedUiFixture::GoOnlineForUi() {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    frame_->SetUiCloser([this](const std::wstring& invokeId) {
        if (invokeId == ui_.InvokeId()) ui_.Container().RequestClose();
    });
}

void HostedUiFixture::ReleaseAll() {
    if (released_) return;
    released_ = true;
    (void)ui_.Close();  // a user interface that did not open has nothing to close
    frame_->SetUiCloser(nullptr);
    DtmFixture::TearDown();
}

void DtmFixture::TearDown() {
    VARIANT_BOOL result = VARIANT_FALSE;
    if (channel_ && session_.Dtm()) {
        EXPECT_HR(S_OK, session_.Dtm()->PrepareToReleaseCommunication(&result));
        EXPECT_HR(S_OK, session_.Dtm()->ReleaseCommunication(&result));
    }
    store_.Reset();
    session_.Release();
    if (channel_) channel_->DropCallback();
    channel_.Reset();
    frame_->ClearProjectDtms();
    frame_.Reset();
}

ULONG DtmFixture::Access(ULONG id, const ULONG* newAccess) {
    ql::ComPtr<IQuelkVariableFields> fields;
    EXPECT_HR(S_OK, store_->QueryInterface(IID_IQuelkVariableFields, fields.PutVoid()));
    if (newAccess) {
        EXPECT_HR(S_OK, fields->SetVariableField(*UlongArgument(id), *UlongArgument(kFieldAccess),
                                                 *UlongArgument(*newAccess)));
    }
    ql::Variant word;
    EXPECT_HR(S_OK, fields->GetVariableField(*UlongArgument(id), *UlongArgument(kFieldAccess), word.Get()));
    return V_UI4(word.Get());
}

ql::ComPtr<CTestPage> DtmFixture::NewPage(const ParameterMap& map) {
    ql::ComPtr<CTestPage> page;
    EXPECT_HR(S_OK, ql::MakeObject(page, map));
    return page;
}

}  // namespace controltest
