#pragma once
// Keeping an object of this module alive across its calls out.
//
// A call out of an object (to the frame application, a communication channel, an open user interface) and
// a wait that dispatches messages run foreign code, and that code may drop the last reference to the
// object that called it. SelfHold holds the object for such a call. When the call returns, the method that
// made it is still running on the object; a hold that has meanwhile become the object's only reference is
// therefore not given back there: it is parked, and released once the thread is inside no call out and no
// pumping wait any more, that is when the thread's own message loop runs next, or when DllCanUnloadNow
// asks (ComModule::CanUnloadNow). A hold that is not the last reference is given back at once.
//
//     HRESULT CFoo::Notify() noexcept {
//         const ql::SelfHold hold(GetControllingUnknown());
//         events_->Changed();        // the handler may release the frame's last reference to this object
//         return Finish();           // ... and this still runs on a living object
//     }
//
// Threading: the holds, the count of calls out and the parked references belong to the thread that made
// them (the objects are apartment-threaded); threads share nothing. Each module image has its own.
#include <unknwn.h>

namespace ql {

// Marks the thread as inside a call out for the scope, without holding an object: what a pumping wait
// does, so that parked objects are not released inside it.
class CallOutScope {
public:
    CallOutScope() noexcept;
    CallOutScope(const CallOutScope&) = delete;
    CallOutScope& operator=(const CallOutScope&) = delete;
    ~CallOutScope();
};

class SelfHold {
public:
    // `self`: the object's controlling unknown; null holds nothing, and the scope still counts as a call out.
    explicit SelfHold(IUnknown* self) noexcept;
    SelfHold(const SelfHold&) = delete;
    SelfHold& operator=(const SelfHold&) = delete;
    ~SelfHold();

private:
    CallOutScope scope_;
    IUnknown* self_;
};

// Releases what this thread parked, unless it is inside a call out; what the releases park in turn goes
// as well.
void ReleaseParkedObjects() noexcept;

// Whether this thread is inside a call out or a pumping wait.
bool IsInsideCallOut() noexcept;

}  // namespace ql
