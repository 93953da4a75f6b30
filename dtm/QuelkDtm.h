#pragma once
// CQuelkDtm: the lifecycle part of the DTM object. It holds the lifecycle state word and everything the
// frame hands over (system tag, frame container and event interfaces, channel, device type, user
// information), the DTM's XML handler and its two events, and implements the toolkit main interface
// IQuelkDtm, the FDT lifecycle of IDtm and the frame's data lock IDtmDataLock.
//
// A member part of CDtmObject (QL_ENTRY_MEMBER rows for IQuelkDtm, IDtm, IDtmDataLock and
// IQuelkDtmDispatch). IDtm's configuration, language and function requests are the user settings' and the
// function calls' work: the methods call them through the host (DtmHost). The functions and the DP-V1
// client are reached through their lifecycle views (DtmFunctionsSeam, DtmCommunicationSeam), which are the
// host's parts unless a test stands a double in for one.
//
// Threading: apartment-threaded; every method runs on the frame's user-interface thread. The waits of
// PrepareToReleaseCommunication dispatch window messages, so other calls (the channel's answers that move
// the state on) run while they last. A method that waits or calls the frame holds the object meanwhile: a
// handler of the frame may drop its last reference.
// Ownership: the BSTRs and interface pointers below are owned (frame, frame events and channel are counted
// references) and released when the object goes.
#include <windows.h>
#include <msxml2.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "idl/OutsideDispatch.h"
#include "classlib/ComObject.h"
#include "comm/DtmCommunicationSeam.h"
#include "dtm/DtmFunctionsSeam.h"
#include "dtm/DtmMessageReporter.h"
#include "dtm/DtmState.h"
#include "classlib/Handle.h"
#include "xml/QuelkXMLHandlerImpl.h"

class DtmHost;

class CQuelkDtm : public ql::MemberPart,
                  public ToolkitDispatchImpl<IQuelkDtm>,
                  public FdtDispatchImpl<IDtm>,
                  public FdtDispatchImpl<IDtmDataLock>,
                  public ToolkitDispatchImpl<IQuelkDtmDispatch> {
    QL_MEMBER_IUNKNOWN()

public:
    CQuelkDtm(ql::PartOwner& owner, DtmHost& host) noexcept;
    CQuelkDtm(const CQuelkDtm&) = delete;
    CQuelkDtm& operator=(const CQuelkDtm&) = delete;

    // ---- IQuelkDtm (slots 7 to 22) ----
    HRESULT STDMETHODCALLTYPE SetState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE GetState(ULONG* state) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyUisVariant(VARIANT code, VARIANT data) noexcept override;
    HRESULT STDMETHODCALLTYPE GetLanguage(ULONG* lcid) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSystemTag(BSTR* tag) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyUis(ULONG code, VARIANT data) noexcept override;
    HRESULT STDMETHODCALLTYPE LoadMessageText(LPCSTR idOrText, BSTR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE OnStateChanged() noexcept override;
    HRESULT STDMETHODCALLTYPE InitChannels() noexcept override;
    HRESULT STDMETHODCALLTYPE ReleaseChannels() noexcept override;
    // 19: builds the parameter set: the language word, the parameter table, the data-set state, state 1 and
    // the translations. The object's creation runs it; a failure fails the creation.
    HRESULT STDMETHODCALLTYPE InitParameters() noexcept override;
    HRESULT STDMETHODCALLTYPE OnInitChannels() noexcept override;
    HRESULT STDMETHODCALLTYPE OnReleaseChannels() noexcept override;
    HRESULT STDMETHODCALLTYPE ReservedHook20() noexcept override;
    HRESULT STDMETHODCALLTYPE FrameDocumentHook(LPCWSTR descriptor, LPCWSTR text1, LPCWSTR text2,
                                                LPCWSTR text3) noexcept override;
    // 21: the object's controlling unknown, no reference added.
    IUnknown* STDMETHODCALLTYPE GetControllingUnknown() noexcept override;

    // ---- IDtm (slots 7 to 18) ----
    HRESULT STDMETHODCALLTYPE Environment(BSTR systemTag, IFrameContainer* frame,
                                          VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE InitNew(BSTR deviceType, VARIANT_BOOL* result) noexcept override;
    // The user settings' configuration (CDtmUserSettings::Config), which runs ConfigureLifecycle.
    HRESULT STDMETHODCALLTYPE Config(BSTR userInformation, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE SetCommunication(IFdtCommunication* channel,
                                               VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE PrepareToDelete(VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE PrepareToReleaseCommunication(VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE ReleaseCommunication(VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE PrepareToRelease(VARIANT_BOOL* result) noexcept override;
    // The user settings' language (CDtmUserSettings::SetLanguage) and the function calls' requests
    // (CDtmFunctionCalls).
    HRESULT STDMETHODCALLTYPE SetLanguage(LONG language, VARIANT_BOOL* accepted) noexcept override;
    HRESULT STDMETHODCALLTYPE GetFunctions(BSTR operationPhase, BSTR* functions) noexcept override;
    HRESULT STDMETHODCALLTYPE InvokeFunctionRequest(BSTR invokeId, BSTR functionCall,
                                                    VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE PrivateDialogEnabled(VARIANT_BOOL enabled,
                                                   VARIANT_BOOL* result) noexcept override;

    // The lifecycle's own steps of the configuration, run by CDtmUserSettings::Config with the document it
    // loaded and checked from `userInformation`: accepted in state 7; the user-level keyword goes to
    // CDtmUserSettings::SetUserLevel; state 8.
    HRESULT ConfigureLifecycle(BSTR userInformation, IXMLDOMDocument2* document,
                               VARIANT_BOOL* result) noexcept;

    // ---- IDtmDataLock (slots 7 to 10); no method looks at the lifecycle state or its arguments, which
    // stay the frame's ----
    HRESULT STDMETHODCALLTYPE DataLockQuery1(BSTR systemTag) noexcept override;
    HRESULT STDMETHODCALLTYPE DataLockQuery2(BSTR systemTag, BSTR parameter) noexcept override;
    HRESULT STDMETHODCALLTYPE LockData(BSTR systemTag, BSTR userName) noexcept override;
    HRESULT STDMETHODCALLTYPE UnlockData(BSTR systemTag, BSTR userName,
                                         VARIANT_BOOL* result) noexcept override;

    // ---- The functions and the DP-V1 client as the lifecycle sees them: the host's parts, or a double a
    // test stands in for one (null puts the part back). The double is not owned. ----
    void AttachFunctions(DtmFunctionsSeam* functions) noexcept { functionsDouble_ = functions; }
    void AttachCommunication(DtmCommunicationSeam* communication) noexcept {
        communicationDouble_ = communication;
    }
    // What the lifecycle's broadcasts reach; the dataset's and the communication's broadcasts go the same
    // way (DtmHost).
    DtmFunctionsSeam& UiFunctions() noexcept;

    // ---- Members for the other parts of the object ----
    ULONG State() const noexcept { return state_; }
    const ql::Bstr& SystemTag() const noexcept { return systemTag_; }
    ql::Bstr& DeviceType() noexcept { return deviceType_; }
    const ql::Bstr& UserInformation() const noexcept { return userInformation_; }
    IFrameContainer* Frame() const noexcept { return frame_.Get(); }
    IFrameEvents* FrameEvents() const noexcept { return frameEvents_.Get(); }
    IFdtCommunication* Channel() const noexcept { return channel_.Get(); }
    CQuelkXMLHandlerImpl& XmlHandler() noexcept { return xml_; }
    CQuelkMessageSink* MessageSink() noexcept { return &reporter_; }
    // Loads an FDT document from the frame through the DTM's schema cache, reporting as the handler does.
    HRESULT LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept;

    ULONG UserLevel() const noexcept { return userLevel_; }
    void SetUserLevelWord(ULONG level) noexcept { userLevel_ = level; }
    ULONG OperationPhase() const noexcept { return operationPhase_; }
    void SetOperationPhaseWord(ULONG phase) noexcept { operationPhase_ = phase; }
    ULONG Language() const noexcept { return language_; }
    void SetLanguageWord(ULONG lcid) noexcept { language_ = lcid; }
    bool DataLocked() const noexcept { return dataLockFlag_ != 0; }
    bool FrameLocked() const noexcept { return frameLockFlag_ != 0; }
    void SetFrameLocked(bool locked) noexcept { frameLockFlag_ = locked ? 1 : 0; }
    ULONG PrivateDialogsEnabled() const noexcept { return privateDialogsEnabled_; }
    void SetPrivateDialogsEnabled(ULONG enabled) noexcept { privateDialogsEnabled_ = enabled; }

    // An invoke id slot of the toolkit. The DTM object's online requests keep the id of a running request
    // in their own part (COnlineParameterRequests); nothing in the object sets this one.
    ql::Bstr& TransferInvokeId() noexcept { return transferInvokeId_; }

    // The comparison with another DTM of the project.
    bool CompareInitialised() const noexcept { return compareInitialised_ != 0; }
    void SetCompareInitialised(bool initialised) noexcept { compareInitialised_ = initialised ? 1 : 0; }
    bool CompareRunning() const noexcept { return compareRunning_ != 0; }
    void SetCompareRunning(bool running) noexcept { compareRunning_ = running ? 1 : 0; }
    ql::Bstr& ComparePeerTag() noexcept { return comparePeerTag_; }
    ql::ComPtr<IQuelkVariableFields>& ComparePeerStore() noexcept { return comparePeerStore_; }

    // Signalled in states 9 and 12, reset on entering 10 and 11.
    ql::LazyManualResetEvent& StateEvent() noexcept { return stateEvent_; }
    // Reset when SetCommunication starts, signalled whenever it ends.
    ql::LazyManualResetEvent& CommunicationSetEvent() noexcept { return communicationSetEvent_; }
    DWORD StateWaitTime() const noexcept { return stateWaitTime_; }
    // Tests shorten the waits; the DTM itself never changes them.
    void SetStateWaitTime(DWORD milliseconds) noexcept { stateWaitTime_ = milliseconds; }
    DWORD CancelPause() const noexcept { return cancelPause_; }
    bool AutoConnect() const noexcept { return autoConnect_ != 0; }

private:
    // A message for the frame's log; dropped before the environment step.
    void Report(const char* format, ...) noexcept;
    HRESULT StoreFrame(IFrameContainer* frame) noexcept;
    void DropFrame() noexcept;
    // Gives the other DTM of a compare back to the frame and lets it go.
    void DropCompareLink() noexcept;
    void CloseOpenUserInterfaces(HRESULT* failure) noexcept;
    // The wait of PrepareToReleaseCommunication for the channel's answer (connect or disconnect).
    void WaitForStateEvent() noexcept;
    // The functions that follow the online state, switched once the new state is stored.
    void SwitchOnlineFunctions(ULONG previous, ULONG state) noexcept;
    DtmCommunicationSeam& ClientView() noexcept;

    DtmHost& host_;

    // Members in the order the toolkit keeps them, with the values its constructor gives.
    CQuelkXMLHandlerImpl xml_;
    BYTE compareInitialised_ = 0;
    BYTE compareRunning_ = 0;
    ql::Bstr comparePeerTag_;
    ql::ComPtr<IQuelkVariableFields> comparePeerStore_;
    ULONG userLevel_ = kInitialUserLevel;
    ULONG operationPhase_ = 0;
    BYTE frameLockFlag_ = 0;
    BYTE dataLockFlag_ = 0;
    ql::Bstr transferInvokeId_;
    ql::ComPtr<IFrameContainer> frame_;
    ql::Bstr deviceType_;
    ql::Bstr systemTag_;
    ql::Bstr userInformation_;
    ql::ComPtr<IFrameEvents> frameEvents_;
    ql::ComPtr<IFdtCommunication> channel_;
    ULONG language_ = 0;               // left unset by the toolkit: zero until the parameter set is built
    ULONG privateDialogsEnabled_ = 0;  // left unset by the toolkit: zero here
    // Made when first signalled or waited for: a DTM that never goes online needs neither event.
    ql::LazyManualResetEvent stateEvent_;
    DWORD stateWaitTime_ = kStateWaitTimeMs;
    DWORD cancelPause_ = kCancelPauseMs;
    ULONG state_ = kStateConstructed;
    BYTE autoConnect_ = 1;  // no operation of this DTM changes it
    ql::LazyManualResetEvent communicationSetEvent_;
    // True while PrepareToReleaseCommunication runs; a call of it from inside (the offline event) is refused.
    bool preparingRelease_ = false;

    CDtmMessageReporter reporter_;
    DtmFunctionsSeam* functionsDouble_ = nullptr;
    DtmCommunicationSeam* communicationDouble_ = nullptr;
};
