#pragma once
// The device-communication tests' world: a complete COM object shaped like the DTM object in the parts that
// communication uses (the real variable store with the device's parameter table, the DP-V1 client, the
// online requests and the dataset transfer), whose host records the state changes, broadcasts and reports;
// our frame host as the frame; and the simulated channel with its flowmeter.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "classlib/Handle.h"
#include "classlib/Variant.h"
#include "comm/CommunicationHost.h"
#include "comm/OnlineParameterRequests.h"
#include "comm/QuelkDatasetTransfer.h"
#include "comm/QuelkDpv1Communication.h"
#include "dataset/DatasetHost.h"
#include "dataset/QuelkVariableStorePart.h"
#include "frame/FrameHost.h"
#include "frame/simulator/SimulatedDpv1Channel.h"
#include "tests/support/ComTest.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestVariants.h"
#include "xml/QuelkXMLHandlerImpl.h"

namespace commtest {

using vtest::StringOf;

// A file of the source tree as text (UTF-8 read as Latin-1: the samples are ASCII).
std::wstring SourceFile(const char* relativePath);

// Parameters the tests use: the station address, and device parameters of each kind.
constexpr ULONG kStationAddressId = 3;
constexpr ULONG kCalibrationFactorId = 39;  // VT_R4 at 1.70, writable
constexpr ULONG kStaticRevisionId = 16;     // VT_UI2 at 0.17, read-only on the device
constexpr ULONG kPhysicalTagId = 17;        // 32 bytes at 0.18
constexpr ULONG kTargetModeId = 20;         // enumeration at 0.21, only 8 "Auto"
constexpr ULONG kLowFlowCutOffId = 40;      // VT_R4 at 1.71

// [id, value] of a parameter notification: the id.
ULONG NotifiedId(const VARIANT& data);
ql::Variant NotifiedValue(const VARIANT& data);

// One notification an open user interface would have received.
struct Notification {
    ULONG code;
    ql::Variant data;
};
// One message the store broadcast (the outcome of a failed transfer).
struct StoreMessage {
    ULONG id;
    std::wstring text;
};

// Collects what the DTM reports to the frame.
class RecordingSink final : public CQuelkMessageSink {
public:
    void DeliverMessage(BSTR text) noexcept override { messages.push_back(StringOf(text)); }
    std::vector<std::wstring> messages;
};

class CTestDtm final : public ql::ComObjectBase<CTestDtm>,
                       public CQuelkVariableStorePart,
                       public CQuelkDpv1Communication,
                       public COnlineParameterRequests,
                       public ICommunicationHost,
                       public IDatasetHost {
    QL_INTERFACE_TABLE(CTestDtm, QL_ENTRY_CHAIN(CQuelkVariableStorePart),
                       QL_ENTRY_CHAIN(CQuelkDpv1Communication), QL_ENTRY_CHAIN(COnlineParameterRequests))

public:
    CTestDtm() noexcept;
    HRESULT FinalConstruct() noexcept;

    // The store's bulk transfers go through the communication part, as in the DTM object.
    HRESULT STDMETHODCALLTYPE UploadParameters(BSTR text, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE DownloadParameters(BSTR text, VARIANT_BOOL* ok) noexcept override;

    // ICommunicationHost
    IUnknown* ControllingUnknown() noexcept override { return GetControllingUnknown(); }
    HRESULT GetState(ULONG* state) noexcept override;
    HRESULT SetState(ULONG state) noexcept override;
    HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept override;
    HRESULT LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept override;
    CQuelkMessageSink* MessageSink() noexcept override { return &reports; }
    IUnknown* Frame() noexcept override { return frame.Get(); }
    IFrameEvents* FrameEvents() noexcept override { return frameEvents.Get(); }
    HRESULT GetSystemTag(BSTR* tag) noexcept override;
    HRESULT ShowFrameMessage(BSTR text, BSTR title, const VARIANT& style, LONG* answer) noexcept override;
    HRESULT GetToolkitMessage(LONG id, BSTR* text) noexcept override;
    CQuelkVariableStore& Store() noexcept override { return CQuelkVariableStorePart::Store(); }
    ULONG UserLevel() noexcept override { return 8; }
    HANDLE StateEvent() noexcept override { return stateEvent_.Get(); }
    DWORD StateWaitTime() noexcept override { return 60000; }
    DWORD CancelPause() noexcept override { return 0; }

    // IDatasetHost
    HRESULT BroadcastMessage(ULONG id, BSTR text, const VARIANT& argument) noexcept override;
    HRESULT SetModified(bool) noexcept override { return S_OK; }

    // Connects the frame (frame pointer and its event interface) and the schema cache of the source tree.
    void AttachFrame(CFrameHost* host);
    CQuelkDatasetTransfer& Transfer() noexcept { return transfer_; }

    // What the host recorded.
    ULONG state = 8;
    std::vector<ULONG> states;
    std::vector<Notification> notifications;
    std::vector<StoreMessage> storeMessages;
    std::vector<std::wstring> questions;
    RecordingSink reports;
    // Scripted answers.
    LONG questionAnswer = 7;  // No
    ql::ComPtr<IUnknown> frame;
    ql::ComPtr<IFrameEvents> frameEvents;

    size_t CountNotifications(ULONG code) const;
    // The value of a dataset parameter.
    ql::Variant Value(ULONG id);

private:
    CQuelkXMLHandlerImpl xml_;
    CQuelkDatasetTransfer transfer_;
    ql::ManualResetEvent stateEvent_;
};

// The fixture: an apartment, the frame host, the test DTM (configured, state 8) and the simulated channel
// with the schema folder of the source tree, answering during the request call unless a test says otherwise.
class CommTest : public vtest::ComTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // SetChannel and state 9, as the DTM's SetCommunication does.
    void SetCommunication();
    // SetCommunication, then GoOnline and the connect answer: state 12.
    void GoOnline();
    // Pumps messages until `done` or `timeoutMs`.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
    // A sync read of `id`; its result (sent in *sent).
    HRESULT ReadSync(ULONG id, VARIANT_BOOL* sent = nullptr);
    HRESULT WriteSync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent = nullptr);

    ql::ComPtr<CFrameHost> frame_;
    ql::ComPtr<CTestDtm> dtm_;
    ql::ComPtr<CSimulatedDpv1Channel> channel_;
    LONG moduleLocksBefore_ = 0;
};

}  // namespace commtest
