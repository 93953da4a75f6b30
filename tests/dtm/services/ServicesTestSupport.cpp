#include "ServicesTestSupport.h"

#include <fstream>
#include <sstream>

#include "classlib/ComModule.h"
#include "classlib/Variant.h"
#include "frame/FrameDocuments.h"
#include "tests/support/TestPaths.h"

namespace svctest {

std::wstring SourceDataFolder() { return vtest::SourcePath("data"); }

std::string ReadSourceFile(const char* relativePath) {
    std::ifstream file(std::string(VARNOK_SOURCE_DIR "/") + relativePath, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::wstring FunctionCallDocument(LONG functionId) {
    return L"<?xml version=\"1.0\"?> <FDT \txmlns\t\t=\"x-schema:DTMFunctionCallSchema.xml\" "
           L"\txmlns:func\t=\"x-schema:DTMFunctionsSchema.xml\" "
           L"\txmlns:appId\t=\"x-schema:FDTApplicationIdSchema.xml\" "
           L"\txmlns:ops\t=\"x-schema:FDTOperationPhaseSchema.xml\"> \t<FDTFunctionCall func:functionId=\"" +
           std::to_wstring(functionId) + L"\"/> </FDT>";
}

std::wstring OperationPhaseDocument(const wchar_t* phase) {
    return std::wstring(
               L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTOperationPhaseSchema.xml\" "
               L"operationPhase=\"") +
           phase + L"\"/>";
}

std::wstring UserInformation(const wchar_t* level, const wchar_t* administrator) {
    std::wstring document =
        L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\">"
        L"<FDTUserInformation userLevel=\"";
    document += level;
    document += L"\"";
    if (administrator) document += std::wstring(L" administrator=\"") + administrator + L"\"";
    return document + L"/></FDT>";
}

std::wstring UserMessageAnswer(const wchar_t* resultMessage) {
    return std::wstring(
               L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTUserMessageSchema.xml\" "
               L"xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><FDTUserMessage "
               L"messageType=\"messageQuestion\" "
               L"messageButtons=\"buttonsYesNo\" resultMessage=\"") +
           resultMessage + L"\"/></FDT>";
}

CProgIdRegistration::CProgIdRegistration(const wchar_t* progId, const wchar_t* clsid, bool keepExisting)
    : key_(std::wstring(L"Software\\Classes\\") + progId) {
    if (keepExisting && vtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, key_ + L"\\CLSID")) return;
    ql::RegKey classId;
    const HRESULT created = classId.Create(HKEY_LOCAL_MACHINE, (key_ + L"\\CLSID").c_str());
    EXPECT_HR(S_OK, created);
    if (FAILED(created)) return;
    created_ = true;
    const DWORD bytes = static_cast<DWORD>((wcslen(clsid) + 1) * sizeof(wchar_t));
    EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExW(classId.Get(), nullptr, 0, REG_SZ,
                                              reinterpret_cast<const BYTE*>(clsid), bytes));
}

CProgIdRegistration::~CProgIdRegistration() {
    if (created_) ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
}

std::vector<CFakeControl::Notification> CFakeControl::NotificationsWith(ULONG code) const {
    std::vector<Notification> found;
    for (const Notification& notification : notifications) {
        if (notification.code == code) found.push_back(notification);
    }
    return found;
}

HRESULT CFakeControl::QueryControl(REFIID, void** out) noexcept {
    if (!answersControl) return E_NOINTERFACE;
    IQuelkControlCompat* control = this;
    control->AddRef();
    *out = control;
    return S_OK;
}

HRESULT CFakeControl::QueryControlInfo(REFIID, void** out) noexcept {
    if (!hasControlInfo) return E_NOINTERFACE;
    IQuelkControlInfo* info = this;
    info->AddRef();
    *out = info;
    return S_OK;
}

HRESULT CFakeControl::SetDtmState(ULONG state) noexcept {
    states.push_back(state);
    return S_OK;
}

HRESULT CFakeControl::ShowMessageVariant(VARIANT id, BSTR, VARIANT) noexcept {
    messages.push_back(V_VT(&id) == VT_UI4 ? V_UI4(&id) : 0xFFFFFFFF);
    return S_OK;
}

HRESULT CFakeControl::NotifyVariant(VARIANT code, VARIANT data) noexcept {
    Notification notification{V_VT(&code) == VT_UI4 ? V_UI4(&code) : 0xFFFFFFFF, V_VT(&data), 0, L""};
    ql::Variant number;
    if (V_VT(&data) == VT_BSTR) {
        notification.text = Text(V_BSTR(&data));
    } else if (SUCCEEDED(number.CopyFrom(data)) && SUCCEEDED(number.ChangeType(VT_I4))) {
        notification.number = number->lVal;
    }
    notifications.push_back(notification);
    return notifyResult;
}

HRESULT CFakeControl::GetInfo(VARIANT what, VARIANT* value) noexcept {
    if (V_VT(&what) != VT_I4 || V_I4(&what) != 1) return E_INVALIDARG;
    ql::Variant document;
    if (FAILED(document.SetBstr(functionCall.c_str()))) return E_OUTOFMEMORY;
    return document.Detach(value);
}

HRESULT CFakeControl::InitSchemaCacheFromFrame(IUnknown*) noexcept {
    ++schemaCacheRequests;
    return S_OK;
}

void ServicesTest::SetUp() {
    vtest::ComTest::SetUp();
    moduleLocksBefore_ = ql::ComModule::Instance().LockCount();
    ASSERT_HR(S_OK, ql::MakeObject(frame_));
    frame_->Script().SchemaFolder = SourceTreeSchemaFolder();
}

void ServicesTest::TearDown() {
    if (dtm_) {
        const ULONG left = dtm_.Detach()->Release();
        EXPECT_EQ(0u, left) << "the DTM outlived the test's last reference";
    }
    if (frame_) {
        frame_->AddRef();
        EXPECT_EQ(1u, frame_->Release()) << "the DTM kept a reference to the frame";
        frame_.Reset();
    }
    EXPECT_EQ(moduleLocksBefore_, ql::ComModule::Instance().LockCount()) << "an object was not released";
}

void ServicesTest::CreateDtm(const wchar_t* filesFolder) {
    dtm_.Reset();
    // The translations are read while the DTM is created.
    vtest::FilesFolderOverride folder(filesFolder);
    ASSERT_HR(S_OK, ql::MakeObject(dtm_));
}

ULONG ServicesTest::State() {
    ULONG state = 0xFFFF;
    EXPECT_HR(S_OK, QuelkDtm()->GetState(&state));
    return state;
}

void ServicesTest::ForceState(ULONG state) { ASSERT_HR(S_OK, QuelkDtm()->SetState(state)); }

void ServicesTest::DriveToInitialised() {
    ForceState(kStateNew);
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->Environment(systemTag_.Get(), frame_.Get(), &result));
    ql::Bstr deviceType(VarnokDeviceTypeDocument());
    ASSERT_HR(S_OK, Dtm()->InitNew(deviceType.Get(), &result));
    ASSERT_EQ(kStateInitialised, State());
}

void ServicesTest::DriveToConfigured(const wchar_t* level) {
    DriveToInitialised();
    ql::Bstr information(UserInformation(level));
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->Config(information.Get(), &result));
    ASSERT_EQ(VARIANT_TRUE, result);
    ASSERT_EQ(kStateConfigured, State());
}

ql::ComPtr<CFakeControl> ServicesTest::MakeControl(const wchar_t* invokeId, LONG functionId,
                                                   bool hasControlInfo) {
    ql::ComPtr<CFakeControl> control;
    EXPECT_HR(S_OK, ql::MakeObject(control));
    control->hasControlInfo = hasControlInfo;
    if (functionId > 0) control->functionCall = FunctionCallDocument(functionId);
    if (invokeId) {
        EXPECT_HR(S_OK, Register(invokeId, control.Get()));
    }
    return control;
}

HRESULT ServicesTest::Register(const wchar_t* invokeId, CFakeControl* control) {
    ql::Bstr id(invokeId);
    return Query<IQuelkFunctions>()->ActiveXControlEvent(id.Get(),
                                                         static_cast<IQuelkControlCompat*>(control));
}

HRESULT ServicesTest::Unregister(const wchar_t* invokeId) {
    ql::Bstr id(invokeId);
    return Query<IQuelkFunctions>()->ActiveXControlEvent(id.Get(), nullptr);
}

std::wstring ServicesTest::ParameterName(ULONG id) {
    ql::Bstr name;
    EXPECT_HR(S_OK, Query<IQuelkVariablesEx>()->GetVariableInfo(id, nullptr, name.Put(), nullptr, nullptr,
                                                                nullptr, nullptr, nullptr));
    return std::wstring(name.View());
}

}  // namespace svctest
