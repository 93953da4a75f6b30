#include "CommTestSupport.h"

#include <fstream>
#include <regex>
#include <sstream>

#include "classlib/Bstr.h"
#include "classlib/ComModule.h"
#include "comm/CommunicationStates.h"
#include "frame/FrameDocuments.h"
#include "frame/MessagePump.h"
#include "frame/simulator/SimulatorCodec.h"
#include "tests/support/TestPaths.h"

namespace commtest {

std::wstring SourceFile(const char* relativePath) {
    std::ifstream file(std::string(VARNOK_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    const std::string bytes = content.str();
    return std::wstring(bytes.begin(), bytes.end());
}

namespace {

// The invoke id under which the recording user interface is open.
constexpr wchar_t kRecorderInvokeId[] = L"comm-test-recorder";

ql::Variant PairElement(const VARIANT& data, LONG position) {
    ql::Variant element;
    if (V_VT(&data) == (VT_ARRAY | VT_VARIANT))
        (void)::SafeArrayGetElement(V_ARRAY(&data), &position, element.Get());
    return element;
}

ULONG NumberOf(const VARIANT& value) {
    ql::Variant number;
    if (FAILED(number.CopyFrom(value)) || FAILED(number.ChangeType(VT_UI4))) return 0xFFFFFFFF;
    return V_UI4(number.Get());
}

std::vector<std::wstring> ArgumentsOf(const CFrameHost& frame, const wchar_t* method, size_t argument) {
    std::vector<std::wstring> found;
    for (const FrameCall& call : frame.Calls()) {
        if (call.Method == method && call.Arguments.size() > argument)
            found.push_back(call.Arguments[argument]);
    }
    return found;
}

}  // namespace

SimBytes WrittenBytes(const CSimulatedDpv1Channel& channel, BYTE slot, BYTE index) {
    static const std::wregex kWrite(
        LR"re(<WriteRequest\s+slot\s*="(\d+)"\s+index\s*="(\d+)"[^>]*>\s*)re"
        LR"re(<fdt:CommunicationData\s+byteArray\s*=\s*"([0-9A-Fa-f]*)")re");
    SimBytes bytes;
    for (const SimulatedRequest& request : channel.Requests()) {
        std::wsmatch found;
        if (!std::regex_search(request.document, found, kWrite) || std::stoi(found[1].str()) != slot ||
            std::stoi(found[2].str()) != index) {
            continue;
        }
        const std::wstring hex = found[3].str();
        if (!BytesFromHex(std::wstring_view(hex), &bytes)) bytes.clear();
    }
    return bytes;
}

ULONG NotifiedId(const VARIANT& data) { return NumberOf(*PairElement(data, 0)); }

ql::Variant NotifiedValue(const VARIANT& data) { return PairElement(data, 1); }

size_t CRecordingControl::CountNotifications(ULONG code) const {
    size_t count = 0;
    for (const Notification& notification : notifications) count += notification.code == code ? 1 : 0;
    return count;
}

void CRecordingControl::Clear() {
    states.clear();
    notifications.clear();
    messages.clear();
}

HRESULT CRecordingControl::SetDtmState(ULONG state) noexcept {
    states.push_back(state);
    return S_OK;
}

HRESULT CRecordingControl::ShowMessageVariant(VARIANT id, BSTR text, VARIANT) noexcept {
    messages.push_back({NumberOf(id), StringOf(text)});
    return S_OK;
}

HRESULT CRecordingControl::NotifyVariant(VARIANT code, VARIANT data) noexcept {
    Notification notification{NumberOf(code), {}};
    (void)notification.data.CopyFrom(data);
    notifications.push_back(std::move(notification));
    return S_OK;
}

void CommTest::SetUp() {
    vtest::ComTest::SetUp();
    moduleLocksBefore_ = ql::ComModule::Instance().LockCount();
    ASSERT_HR(S_OK, ql::MakeObject(frame_));
    frame_->Script().SchemaFolder = vtest::SchemasFolder();
    AnswerQuestions(L"buttonNo");
    ASSERT_HR(S_OK, ql::MakeObject(dtm_));

    // The frame's road to a configured DTM: a new dataset, the environment, the device type, the user.
    ql::ComPtr<IPersistStreamInit> persist = Query<IPersistStreamInit>();
    ASSERT_TRUE(persist);
    ASSERT_HR(S_OK, persist->InitNew());
    ql::ComPtr<IDtm> fdt = Query<IDtm>();
    ASSERT_TRUE(fdt);
    VARIANT_BOOL result = VARIANT_FALSE;
    ql::Bstr systemTag(L"Test/Flowmeter");
    ASSERT_HR(S_OK, fdt->Environment(systemTag.Get(), frame_.Get(), &result));
    ASSERT_EQ(VARIANT_TRUE, result);
    ql::Bstr deviceType(VarnokDeviceTypeDocument());
    ASSERT_HR(S_OK, fdt->InitNew(deviceType.Get(), &result));
    ASSERT_EQ(VARIANT_TRUE, result);
    ql::Bstr user(UserInformationDocument(L"planningEngineer"));
    ASSERT_HR(S_OK, fdt->Config(user.Get(), &result));
    ASSERT_EQ(VARIANT_TRUE, result);
    ASSERT_EQ(kStateConfigured, State());

    // The simulated flowmeter sits at station address 126.
    ql::Variant stationAddress;
    stationAddress.SetUI1(CSimulatedFlowmeter::kDefaultStationAddress);
    ASSERT_HR(S_OK, Variables()->ChangeValue(kStationAddressId, stationAddress.Get(), nullptr));
    dtmint::SetTransactionTimeouts(dtm_.Get(), 1000, 1000);

    ASSERT_HR(S_OK, ql::MakeObject(control_));
    ql::Bstr invokeId(kRecorderInvokeId);
    ASSERT_HR(S_OK, Query<IQuelkFunctions>()->ActiveXControlEvent(
                        invokeId.Get(), static_cast<IQuelkControlCompat*>(control_.Get())));
    control_->Clear();
    frame_->ClearCalls();

    ASSERT_HR(S_OK, ql::MakeObject(channel_));
    ASSERT_HR(S_OK, channel_->SetSchemaFolder(vtest::SchemasFolder()));
    channel_->SetAnswerTiming(AnswerTiming::DuringRequest);
    channel_->Device().SetFrozen(true);
}

void CommTest::TearDown() {
    if (channel_) channel_->DropCallback();
    if (dtm_) (void)Client()->SetChannel(nullptr);
    // A worker gives its marshalled references back after its transfer has answered: they are waited for
    // before the references are counted.
    PumpUntil(
        [this] {
            if (!dtm_) return true;
            dtm_->AddRef();
            return dtm_->Release() == 1;
        },
        10000);
    PumpPendingMessages();
    channel_.Reset();
    if (dtm_ && control_) {
        ql::Bstr invokeId(kRecorderInvokeId);
        EXPECT_HR(S_OK, Query<IQuelkFunctions>()->ActiveXControlEvent(invokeId.Get(), nullptr));
    }
    if (dtm_) {
        const ULONG left = dtm_.Detach()->Release();
        EXPECT_EQ(0u, left) << "the DTM outlived the test's last reference";
    }
    control_.Reset();
    if (frame_) {
        frame_->AddRef();
        EXPECT_EQ(1u, frame_->Release()) << "the DTM kept a reference to the frame";
        frame_.Reset();
    }
    EXPECT_EQ(moduleLocksBefore_, ql::ComModule::Instance().LockCount()) << "an object was not released";
}

void CommTest::SetCommunication() {
    ql::ComPtr<IUnknown> channel;
    ASSERT_HR(S_OK, channel_->QueryInterface(IID_IUnknown, channel.PutVoid()));
    ASSERT_HR(S_OK, Client()->SetChannel(channel.Get()));
    ForceState(kStateCommunicationSet);
}

void CommTest::GoOnline() {
    SetCommunication();
    VARIANT_BOOL sent = VARIANT_FALSE;
    ASSERT_HR(S_OK, OnlineState()->GoOnline(&sent));
    ASSERT_EQ(VARIANT_TRUE, sent);
    ASSERT_TRUE(PumpUntil([this] { return State() != kStateConnecting; }));
    ASSERT_EQ(kStateConnected, State());
}

bool CommTest::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return PumpMessagesUntil(done, timeoutMs);
}

HRESULT CommTest::ReadSync(ULONG id, VARIANT_BOOL* sent) {
    VARIANT_BOOL local = VARIANT_FALSE;
    return Dpv1()->ReadRequestSync(id, sent ? sent : &local);
}

HRESULT CommTest::WriteSync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent) {
    VARIANT_BOOL local = VARIANT_FALSE;
    return Dpv1()->WriteRequestSync(id, value, sent ? sent : &local);
}

ULONG CommTest::State() {
    ULONG state = 0xFFFF;
    EXPECT_HR(S_OK, Query<IQuelkDtm>()->GetState(&state));
    return state;
}

void CommTest::ForceState(ULONG state) { ASSERT_HR(S_OK, Query<IQuelkDtm>()->SetState(state)); }

ql::Variant CommTest::Value(ULONG id) {
    ql::Variant value;
    EXPECT_HR(S_OK, Variables()->GetValue(id, value.Put()));
    return value;
}

void CommTest::AnswerQuestions(const wchar_t* button) {
    frame_->Script().DialogAnswer =
        std::wstring(
            L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTUserMessageSchema.xml\" "
            L"xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><FDTUserMessage messageType=\"messageQuestion\" "
            L"messageButtons=\"buttonsYesNo\" resultMessage=\"") +
        button + L"\"/></FDT>";
}

std::vector<std::wstring> CommTest::Questions() const { return ArgumentsOf(*frame_.Get(), L"UserDialog", 1); }

std::vector<std::wstring> CommTest::Reports() const {
    return ArgumentsOf(*frame_.Get(), L"NotifyErrorMessage", 1);
}

}  // namespace commtest
