#pragma once
// The device-communication tests' world: the DTM object itself, configured along the frame's road with the
// device's station address; our frame host as the frame (it records the DTM's reports, progress and
// questions, and answers the questions as the test scripts); an open user interface that records the states,
// notifications and messages the DTM sends it; and the simulated channel with its flowmeter.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/DispatchImpl.h"
#include "classlib/ComPtr.h"
#include "classlib/Variant.h"
#include "dtm/DtmObject.h"
#include "frame/FrameHost.h"
#include "frame/simulator/SimulatedDpv1Channel.h"
#include "tests/support/ComTest.h"
#include "tests/support/DtmInternals.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestVariants.h"

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

// The octets of the last write request the channel took for slot.index, as the DTM sent them (not as the
// device kept them: the device refuses a write of the wrong length); empty when there was none.
SimBytes WrittenBytes(const CSimulatedDpv1Channel& channel, BYTE slot, BYTE index);

// [id, value] of a parameter notification: the id.
ULONG NotifiedId(const VARIANT& data);
ql::Variant NotifiedValue(const VARIANT& data);

// One notification an open user interface received.
struct Notification {
    ULONG code;
    ql::Variant data;
};
// One message the DTM showed its open user interfaces (the outcome of a failed transfer).
struct ShownMessage {
    ULONG id;
    std::wstring text;
};

// An open user interface as the DTM sees it (IQuelkControl, asked for under either IID): it records what
// the DTM tells its user interfaces.
class CRecordingControl final : public ql::ComObjectBase<CRecordingControl>,
                                public ql::NoDispatchImpl<IQuelkControlCompat> {
    QL_INTERFACE_TABLE(CRecordingControl, QL_ENTRY_IID(IID_IUnknown, IQuelkControlCompat),
                       QL_ENTRY(IQuelkControlCompat), QL_ENTRY_IID(IID_IQuelkControl, IQuelkControlCompat))

public:
    std::vector<ULONG> states;
    std::vector<Notification> notifications;
    std::vector<ShownMessage> messages;

    size_t CountNotifications(ULONG code) const;
    void Clear();

    HRESULT STDMETHODCALLTYPE SetDtmState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowStatusText(BSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowMessageVariant(VARIANT id, BSTR text, VARIANT extra) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyVariant(VARIANT code, VARIANT data) noexcept override;
    HRESULT STDMETHODCALLTYPE Init(IUnknown*, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseDtm(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowMessage(ULONG, BSTR, VARIANT) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnNotify(ULONG, VARIANT) noexcept override { return E_NOTIMPL; }
};

// The fixture: an apartment, the frame host, the DTM object (configured, state 8, at the flowmeter's
// address) with the recording user interface open, and the simulated channel with the schema folder of the
// source tree, answering during the request call unless a test says otherwise. The frame answers the DTM's
// questions "No" unless a test says otherwise.
class CommTest : public vtest::ComTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The channel and state 9, as the DTM's SetCommunication does before it connects.
    void SetCommunication();
    // SetCommunication, then GoOnline and the connect answer: state 12.
    void GoOnline();
    // Pumps messages until `done` or `timeoutMs`.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
    // A sync read of `id`; its result (sent in *sent).
    HRESULT ReadSync(ULONG id, VARIANT_BOOL* sent = nullptr);
    HRESULT WriteSync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent = nullptr);

    ULONG State();
    // Forces the state word, for the tests that start in a given state.
    void ForceState(ULONG state);
    // The value of a dataset parameter.
    ql::Variant Value(ULONG id);
    // The frame's answer to the DTM's questions: "buttonYes", "buttonNo" ...
    void AnswerQuestions(const wchar_t* button);
    // The documents of the questions the DTM asked the frame, in order.
    std::vector<std::wstring> Questions() const;
    // The texts the DTM reported to the frame's error-text event, in order.
    std::vector<std::wstring> Reports() const;

    template <class Interface>
    ql::ComPtr<Interface> Query() {
        ql::ComPtr<Interface> out;
        EXPECT_HR(S_OK, dtm_->QueryInterface(__uuidof(Interface), out.PutVoid()));
        return out;
    }
    ql::ComPtr<IQuelkVariablesEx> Variables() { return Query<IQuelkVariablesEx>(); }
    ql::ComPtr<IQuelkDpv1Communication> Dpv1() { return Query<IQuelkDpv1Communication>(); }
    ql::ComPtr<IQuelkDpv1Client> Client() { return Query<IQuelkDpv1Client>(); }
    ql::ComPtr<IQuelkOnlineState> OnlineState() { return Query<IQuelkOnlineState>(); }
    ql::ComPtr<IDtmOnlineParameter> OnlineRequests() { return Query<IDtmOnlineParameter>(); }

    ql::ComPtr<CFrameHost> frame_;
    ql::ComPtr<CDtmObject> dtm_;
    ql::ComPtr<CRecordingControl> control_;
    ql::ComPtr<CSimulatedDpv1Channel> channel_;
    LONG moduleLocksBefore_ = 0;
};

}  // namespace commtest
