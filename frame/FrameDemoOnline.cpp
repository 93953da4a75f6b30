// The demo's online steps: the channel to the simulated flowmeter, the frame's upload and download requests,
// the device's key values, the tag written and read back, and going offline again.
#include "frame/FrameDemo.h"

#include <cwchar>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "frame/DeviceKeyValues.h"
#include "frame/DtmStateNames.h"
#include "frame/MessagePump.h"
#include "values/DtmVocabulary.h"

namespace {

// How long the frame waits for the connect answer and for the end of a transfer.
constexpr DWORD kConnectWaitMs = 10000;
constexpr DWORD kTransferWaitMs = 120000;

// Width of the value column of the key-value table.
constexpr int kValueColumn = 18;

std::wstring Trimmed(const SimBytes& octets) {
    std::wstring text(octets.begin(), octets.end());
    const size_t last = text.find_last_not_of(L' ');
    text.erase(last == std::wstring::npos ? 0 : last + 1);
    return text;
}

std::wstring ReadingValue(const PaReading& reading) {
    if (!reading.valid) return L"(no value)";
    wchar_t text[64];
    std::swprintf(text, sizeof text / sizeof text[0], L"%.2f %ls", reading.value, reading.unit.c_str());
    return text;
}

std::wstring ReadingStatus(const PaReading& reading) {
    if (!reading.valid) return std::wstring();
    wchar_t text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"0x%02X ", static_cast<unsigned>(reading.status));
    return text + (reading.statusText.empty() ? std::wstring(L"(no text)") : reading.statusText);
}

// The device's record of a DTM parameter, found by the DP-V1 address the DTM keeps for it.
const SimulatedRecord* DeviceRecord(IQuelkVariablesEx* values, CSimulatedFlowmeter& device, ULONG id) {
    ql::Variant address;
    if (FAILED(values->GetAddress(id, address.Put())) || FAILED(address.ChangeType(VT_UI4))) return nullptr;
    const ULONG bits = V_UI4(address.Get());
    return device.FindRecord(static_cast<BYTE>((bits >> 16) & 0xFF), static_cast<BYTE>(bits & 0xFF));
}

}  // namespace

bool CFrameDemo::GoOnline() {
    Print(L"\n---- Online with the simulated flowmeter ----\n");
    HRESULT hr = ql::MakeObject(channel_);
    if (SUCCEEDED(hr)) hr = channel_->SetSchemaFolder(settings_.SchemaFolder);
    if (!Expect(SUCCEEDED(hr), L"the simulated channel could not be made")) return false;
    channel_->SetAnswerTiming(AnswerTiming::Later, settings_.ChannelAnswerDelayMs);
    const BYTE stationAddress = channel_->Device().StationAddress();

    Begin(L"Set the station address (parameter 3) to " + std::to_wstring(stationAddress) +
          L", where the simulated flowmeter answers");
    ql::ComPtr<IQuelkVariablesEx> values;
    hr = session_.Object()->QueryInterface(IID_IQuelkVariablesEx, values.PutVoid());
    ql::Variant address;
    address.SetUI1(stationAddress);
    if (SUCCEEDED(hr)) hr = values->SetValue(kParameterStationAddress, *address);
    End(hr, VARIANT_TRUE, false);

    Begin(L"Hand over the DP-V1 channel (IDtm::SetCommunication); the DTM connects by itself");
    VARIANT_BOOL result = VARIANT_FALSE;
    hr = session_.Dtm()->SetCommunication(channel_.Get(), &result);
    if (!End(hr, result, true)) return false;
    Say(L"the channel answers later, on a timer: the frame dispatches its messages meanwhile");
    (void)PumpMessagesUntil([this] { return session_.State() != kStateConnecting; }, kConnectWaitMs);
    const ULONG state = session_.State();
    Print(L"    (the device answered the connect request; DTM state %lu: %ls)\n", state, DtmStateName(state));
    return Expect(state == kStateConnected, L"the DTM did not go online");
}

bool CFrameDemo::RunOnlineRequest(OnlineRequest kind) {
    const bool upload = kind == OnlineRequest::Upload;
    const wchar_t* finishedEvent = upload ? L"NotifyUploadFinished" : L"NotifyDownloadFinished";
    Begin(upload ? L"Upload every parameter from the device (IDtmOnlineParameter::UploadRequest)"
                 : L"Download the dataset to the device (IDtmOnlineParameter::DownloadRequest)");
    ql::ComPtr<IDtmOnlineParameter> requests;
    HRESULT hr = session_.Object()->QueryInterface(IID_IDtmOnlineParameter, requests.PutVoid());
    ql::Bstr invokeId(upload ? L"demo-upload" : L"demo-download");
    ql::Bstr text(L"");
    const size_t finishedBefore = frame_->CountCalls(finishedEvent);
    const int readsBefore = channel_->Device().ReadCount();
    const int writesBefore = channel_->Device().WriteCount();
    VARIANT_BOOL started = VARIANT_FALSE;
    if (SUCCEEDED(hr)) {
        hr = upload ? requests->UploadRequest(invokeId.Get(), text.Get(), &started)
                    : requests->DownloadRequest(invokeId.Get(), text.Get(), &started);
    }
    if (!End(hr, started, true)) return false;
    Say(L"the DTM transfers on a worker thread; the frame dispatches its messages until it reports the end");
    const bool finished = PumpMessagesUntil(
        [&] { return frame_->CountCalls(finishedEvent) > finishedBefore; }, kTransferWaitMs);
    if (!Expect(finished, L"the DTM did not report the end of the transfer")) return false;
    const FrameCall* call = frame_->LastCall(finishedEvent);
    const bool success = call && call->Arguments.size() == 2 && call->Arguments[1] == L"TRUE";
    const int requestsMade = upload ? channel_->Device().ReadCount() - readsBefore
                                    : channel_->Device().WriteCount() - writesBefore;
    Say(L"the device answered " + std::to_wstring(requestsMade) + (upload ? L" reads" : L" writes"));
    return Expect(success, L"the transfer did not succeed");
}

void CFrameDemo::ShowKeyValues() {
    Begin(L"Show the device's key values as the DTM's dataset holds them now");
    DeviceKeyValues values;
    if (!Expect(SUCCEEDED(ReadDeviceKeyValues(session_.Object(), &values)), L"the dataset could not be read"))
        return;
    Print(L"      %-12ls %-*ls %ls\n", L"Parameter", kValueColumn, L"Value", L"Status");
    Print(L"      %-12ls %ls\n", L"Tag", values.tag.c_str());
    Print(L"      %-12ls %-*ls %ls\n", L"Mass flow", kValueColumn, ReadingValue(values.massFlow).c_str(),
          ReadingStatus(values.massFlow).c_str());
    wchar_t temperature[32];
    std::swprintf(temperature, sizeof temperature / sizeof temperature[0], L"%.2f \u00b0C",
                  channel_->Device().Temperature());
    Print(L"      %-12ls %-*ls %ls\n", L"Temperature", kValueColumn, temperature,
          L"(the simulator's own reading: the DTM's dataset has no temperature parameter)");
    Print(L"      %-12ls %-*ls %ls\n", L"Totalizer", kValueColumn, ReadingValue(values.totalizer).c_str(),
          ReadingStatus(values.totalizer).c_str());
    Expect(values.massFlow.valid && values.totalizer.valid, L"a value with status is missing");
}

void CFrameDemo::WriteAndReadBackTag() {
    ql::ComPtr<IQuelkVariablesEx> values;
    HRESULT hr = session_.Object()->QueryInterface(IID_IQuelkVariablesEx, values.PutVoid());
    if (!Expect(SUCCEEDED(hr), L"the DTM has no variable store")) return;
    CSimulatedFlowmeter& device = channel_->Device();

    Begin(L"Write the device's tag \"" + settings_.DeviceTag +
          L"\" (IQuelkVariablesEx::WriteToDevice, parameter 17)");
    ql::Variant tag;
    VARIANT_BOOL result = VARIANT_FALSE;
    hr = MakeDeviceTagValue(settings_.DeviceTag, tag);
    if (SUCCEEDED(hr)) hr = values->WriteToDevice(kDeviceTagParameter, *tag, &result);
    End(hr, result, true);
    if (const SimulatedRecord* record = DeviceRecord(values.Get(), device, kDeviceTagParameter)) {
        Say(L"the simulated device now holds \"" + Trimmed(record->bytes) + L"\"");
    }

    Begin(L"Read the tag back from the device (IQuelkVariablesEx::ReadFromDevice)");
    const int readsBefore = device.ReadCount();
    hr = values->ReadFromDevice(kDeviceTagParameter, &result);
    End(hr, result, true);
    std::wstring readBack;
    (void)ReadDeviceTag(session_.Object(), &readBack);
    Say(L"the device answered " + std::to_wstring(device.ReadCount() - readsBefore) +
        L" read; the DTM's dataset holds \"" + readBack + L"\"");
    Expect(readBack == settings_.DeviceTag, L"not the tag written");
}

void CFrameDemo::GoOffline() {
    Print(L"\n---- Offline again ----\n");
    VARIANT_BOOL result = VARIANT_FALSE;
    Begin(L"Go offline (IDtm::PrepareToReleaseCommunication): the DTM disconnects and waits for the answer");
    HRESULT hr = session_.Dtm()->PrepareToReleaseCommunication(&result);
    End(hr, result, true);
    Begin(L"Take the channel back (IDtm::ReleaseCommunication)");
    hr = session_.Dtm()->ReleaseCommunication(&result);
    End(hr, result, true);
    Say(channel_->IsConnected() ? L"the simulated flowmeter still counts a connection"
                                : L"the simulated flowmeter has no connection any more");
    Expect(!channel_->IsConnected(), L"the connection was not closed");
    // The frame lets the channel go; it holds the DTM's answer sink until then.
    channel_->DropCallback();
    channel_.Reset();
}
