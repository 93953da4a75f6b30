#include "CommTestSupport.h"

#include <fstream>
#include <sstream>

#include "classlib/ComModule.h"
#include "comm/CommunicationStates.h"
#include "dataset/ParameterTable.h"
#include "tests/support/TestPaths.h"
#include "frame/MessagePump.h"
#include "xml/SchemaLists.h"

namespace commtest {

std::wstring SourceFile(const char* relativePath) {
    std::ifstream file(std::string(VARNOK_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    const std::string bytes = content.str();
    return std::wstring(bytes.begin(), bytes.end());
}

namespace {

ql::Variant PairElement(const VARIANT& data, LONG position) {
    ql::Variant element;
    if (V_VT(&data) == (VT_ARRAY | VT_VARIANT))
        (void)::SafeArrayGetElement(V_ARRAY(&data), &position, element.Get());
    return element;
}

}  // namespace

ULONG NotifiedId(const VARIANT& data) {
    ql::Variant id = PairElement(data, 0);
    return SUCCEEDED(id.ChangeType(VT_UI4)) ? V_UI4(id.Get()) : 0xFFFFFFFF;
}

ql::Variant NotifiedValue(const VARIANT& data) { return PairElement(data, 1); }

CTestDtm::CTestDtm() noexcept {
    CQuelkVariableStorePart::Store().AttachHost(this);
    CQuelkVariableStorePart::Store().AttachDeviceAccess(this);
    CQuelkDpv1Communication::AttachHost(this);
    COnlineParameterRequests::AttachHost(this);
    transfer_.AttachHost(this);
}

HRESULT CTestDtm::FinalConstruct() noexcept {
    return DefineDeviceParameters(&CQuelkVariableStorePart::Store().Variables(), nullptr, nullptr);
}

void CTestDtm::AttachFrame(CFrameHost* host) {
    frame = ql::ComPtr<IUnknown>(static_cast<IFrameContainer*>(host));
    frameEvents.Reset();
    (void)frame->QueryInterface(IID_IFrameEvents, frameEvents.PutVoid());
    ASSERT_HR(S_OK, xml_.InitializeSchemaCache(vtest::SchemasFolder().c_str(), DtmSchemaList, &reports));
}

HRESULT CTestDtm::UploadParameters(BSTR, VARIANT_BOOL* ok) noexcept { return transfer_.Upload(ok); }

HRESULT CTestDtm::DownloadParameters(BSTR, VARIANT_BOOL* ok) noexcept { return transfer_.Download(ok); }

HRESULT CTestDtm::GetState(ULONG* current) noexcept {
    if (!current) return E_INVALIDARG;
    *current = state;
    return S_OK;
}

HRESULT CTestDtm::SetState(ULONG next) noexcept {
    state = next;
    states.push_back(next);
    if (next == kStateCommunicationSet || next == kStateConnected) stateEvent_.Set();
    if (next == kStateConnecting || next == kStateDisconnecting) stateEvent_.Reset();
    return S_OK;
}

HRESULT CTestDtm::BroadcastNotification(ULONG code, const VARIANT& data) noexcept {
    Notification notification{code, {}};
    (void)notification.data.CopyFrom(data);
    notifications.push_back(std::move(notification));
    return S_OK;
}

HRESULT CTestDtm::BroadcastMessage(ULONG id, BSTR text, const VARIANT&) noexcept {
    storeMessages.push_back({id, StringOf(text)});
    return S_OK;
}

HRESULT CTestDtm::LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept {
    return xml_.LoadXMLDocument(xml, document, loaded, &reports);
}

HRESULT CTestDtm::GetSystemTag(BSTR* tag) noexcept { return ql::Bstr(L"Test/Flowmeter").CopyTo(tag); }

HRESULT CTestDtm::ShowFrameMessage(BSTR text, BSTR, const VARIANT&, LONG* answer) noexcept {
    questions.push_back(StringOf(text));
    *answer = questionAnswer;
    return S_OK;
}

HRESULT CTestDtm::GetToolkitMessage(LONG id, BSTR* text) noexcept {
    return ql::Bstr((L"message " + std::to_wstring(id)).c_str()).CopyTo(text);
}

size_t CTestDtm::CountNotifications(ULONG code) const {
    size_t count = 0;
    for (const Notification& notification : notifications) count += notification.code == code ? 1 : 0;
    return count;
}

ql::Variant CTestDtm::Value(ULONG id) {
    ql::Variant value;
    EXPECT_HR(S_OK, CQuelkVariableStorePart::Store().GetValue(id, value.Get()));
    return value;
}

void CommTest::SetUp() {
    vtest::ComTest::SetUp();
    moduleLocksBefore_ = ql::ComModule::Instance().LockCount();
    ASSERT_HR(S_OK, ql::MakeObject(frame_));
    frame_->Script().SchemaFolder = vtest::SchemasFolder();
    ASSERT_HR(S_OK, ql::MakeObject(dtm_));
    dtm_->AttachFrame(frame_.Get());
    // The simulated flowmeter sits at station address 126.
    ql::Variant stationAddress;
    stationAddress.SetUI1(CSimulatedFlowmeter::kDefaultStationAddress);
    ASSERT_HR(S_OK, dtm_->Store().ChangeValue(kStationAddressId, stationAddress.Get(), nullptr));
    dtm_->SetTimeouts(1000, 1000);
    ASSERT_HR(S_OK, ql::MakeObject(channel_));
    ASSERT_HR(S_OK, channel_->SetSchemaFolder(vtest::SchemasFolder()));
    channel_->SetAnswerTiming(AnswerTiming::DuringRequest);
    channel_->Device().SetFrozen(true);
}

void CommTest::TearDown() {
    if (channel_) channel_->DropCallback();
    if (dtm_) (void)dtm_->SetChannel(nullptr);
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
    if (dtm_) {
        dtm_->frame.Reset();
        dtm_->frameEvents.Reset();
        const ULONG left = dtm_.Detach()->Release();
        EXPECT_EQ(0u, left) << "the DTM outlived the test's last reference";
    }
    frame_.Reset();
    EXPECT_EQ(moduleLocksBefore_, ql::ComModule::Instance().LockCount()) << "an object was not released";
}

void CommTest::SetCommunication() {
    ql::ComPtr<IUnknown> channel;
    ASSERT_HR(S_OK, channel_->QueryInterface(IID_IUnknown, channel.PutVoid()));
    ASSERT_HR(S_OK, dtm_->SetChannel(channel.Get()));
    ASSERT_HR(S_OK, dtm_->SetState(kStateCommunicationSet));
}

void CommTest::GoOnline() {
    SetCommunication();
    VARIANT_BOOL sent = VARIANT_FALSE;
    ASSERT_HR(S_OK, dtm_->GoOnline(&sent));
    ASSERT_EQ(VARIANT_TRUE, sent);
    ASSERT_TRUE(PumpUntil([this] { return dtm_->state != kStateConnecting; }));
    ASSERT_EQ(kStateConnected, dtm_->state);
}

bool CommTest::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return PumpMessagesUntil(done, timeoutMs);
}

HRESULT CommTest::ReadSync(ULONG id, VARIANT_BOOL* sent) {
    VARIANT_BOOL local = VARIANT_FALSE;
    return dtm_->ReadRequestSync(id, sent ? sent : &local);
}

HRESULT CommTest::WriteSync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent) {
    VARIANT_BOOL local = VARIANT_FALSE;
    return dtm_->WriteRequestSync(id, value, sent ? sent : &local);
}

}  // namespace commtest
