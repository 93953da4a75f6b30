#include "classlib/SelfHold.h"

#include <windows.h>

#include <new>
#include <vector>

namespace ql {

namespace {

// Per thread, all trivially destructible: a thread that ends with parked objects leaves them (and the
// list) behind rather than run destructors in the middle of its exit.
thread_local ULONG t_callOutDepth = 0;
thread_local std::vector<IUnknown*>* t_parked = nullptr;
thread_local UINT_PTR t_releaseTimer = 0;

// The object's reference count as its AddRef and Release answer it (exact for the objects of this module).
ULONG CurrentReferences(IUnknown* object) noexcept {
    object->AddRef();
    return object->Release();
}

void CALLBACK OnReleaseTimer(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    // Fired inside a call out (a dialog of the frame, a wait): the timer stays and comes again.
    if (id != t_releaseTimer || t_callOutDepth > 0) return;
    ReleaseParkedObjects();
}

// Parks the hold's reference; false when there is no room for it.
bool Park(IUnknown* object) noexcept {
    if (!t_parked) t_parked = new (std::nothrow) std::vector<IUnknown*>();
    if (!t_parked) return false;
    try {
        t_parked->push_back(object);
    } catch (...) {
        return false;
    }
    // The thread's message loop lets it go; DllCanUnloadNow does too, so a thread that does not pump
    // still gives it up when asked.
    if (!t_releaseTimer) t_releaseTimer = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &OnReleaseTimer);
    return true;
}

}  // namespace

CallOutScope::CallOutScope() noexcept { ++t_callOutDepth; }

CallOutScope::~CallOutScope() { --t_callOutDepth; }

SelfHold::SelfHold(IUnknown* self) noexcept : self_(self) {
    if (self_) self_->AddRef();
}

SelfHold::~SelfHold() {
    if (!self_) return;
    // The last reference waits for the thread to leave every call out; without room to park it, it goes
    // now, as it did before holds were parked.
    if (CurrentReferences(self_) == 1 && Park(self_)) return;
    self_->Release();
}

void ReleaseParkedObjects() noexcept {
    if (t_callOutDepth > 0) return;
    if (t_releaseTimer) {
        ::KillTimer(nullptr, t_releaseTimer);
        t_releaseTimer = 0;
    }
    // Releasing one object may park another: release until none is left, each round from a list of its own.
    while (t_parked && !t_parked->empty()) {
        std::vector<IUnknown*> releasing;
        releasing.swap(*t_parked);
        for (IUnknown* object : releasing) object->Release();
    }
    if (t_releaseTimer) {
        ::KillTimer(nullptr, t_releaseTimer);
        t_releaseTimer = 0;
    }
}

bool IsInsideCallOut() noexcept { return t_callOutDepth > 0; }

}  // namespace ql
