#pragma once
// CMessageHook: the keyboard-message hook object. Between Start and Stop it watches the messages its thread
// takes from its queue (a WH_GETMESSAGE hook on the thread that called Start) and offers the keyboard
// messages and timer messages to the advised IQuelkMessageSink objects before they are dispatched. A message
// a sink handled (S_OK) is not dispatched any more, so a key that a sink already gave to a dialog does not
// reach its window twice; the sinks after it do not see it.
//
// The parameterization window uses it to route keys through its pages when the frame application's message
// loop does not call the control's TranslateAccelerator.
// Threading: apartment-threaded; Start and Stop on the object's thread, whose messages are watched. One
// hook procedure per thread serves every started object of that thread.
#include <ocidl.h>
#include <windows.h>

#include "UiComponentInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/ConnectionPoint.h"
#include "standins/common/DispatchStub.h"

namespace standins {

class CMessageHook final : public ql::ComObjectBase<CMessageHook>,
                           public DispatchStub<IQuelkMessageHook>,
                           public ql::ConnectionPointContainer {
    QL_INTERFACE_TABLE(CMessageHook, QL_ENTRY(IQuelkMessageHook),
                       QL_ENTRY_IID(IID_IDispatch, IQuelkMessageHook),
                       QL_ENTRY_CHAIN(ql::ConnectionPointContainer))

public:
    HRESULT FinalConstruct() noexcept;
    // An object released while started stops first: no hook outlives it.
    void FinalRelease() noexcept;

    // S_OK; S_FALSE when already started.
    HRESULT STDMETHODCALLTYPE Start() noexcept override;
    // S_OK; S_FALSE when not started; RPC_E_WRONG_THREAD from another thread than Start's.
    HRESULT STDMETHODCALLTYPE Stop() noexcept override;

    // Offers `message` to the sinks in the order they advised; true when one of them handled it.
    bool OfferToSinks(MSG& message) noexcept;

private:
    DWORD startedThread_ = 0;  // 0 while stopped
};

}  // namespace standins
