#include "MessageHook.h"

#include <algorithm>
#include <vector>

#include "MessageHookResources.h"
#include "classlib/ComPtr.h"
#include "classlib/ObjectMap.h"

namespace standins {

namespace {

ql::AutoObjectEntry g_entry(ql::MakeObjectEntry(CLSID_QuelkMessageHook,
                                                &ql::UpdateRegistryFromScript<IDR_MESSAGE_HOOK>,
                                                &ql::CreateInstance<CMessageHook>));

// The keyboard messages the sinks act on (WM_KEYDOWN to WM_SYSDEADCHAR) and the timer.
bool IsForwarded(UINT message) noexcept {
    return (message >= WM_KEYDOWN && message <= WM_SYSDEADCHAR) || message == WM_TIMER;
}

// The started hook objects of one thread and the one hook procedure that serves them. The objects are
// not owned: each leaves the list in Stop, which its FinalRelease calls at the latest.
struct ThreadHooks {
    HHOOK hook = nullptr;
    std::vector<CMessageHook*> started;
};
thread_local ThreadHooks t_hooks;

LRESULT CALLBACK GetMessageProc(int code, WPARAM removal, LPARAM lParam) {
    // A message only peeked at comes again when it is taken: offer each one once.
    if (code == HC_ACTION && removal == PM_REMOVE) {
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        if (IsForwarded(message.message)) {
            (void)ql::GuardComCall([&]() -> HRESULT {
                // A sink may pump messages, stop or release any of the objects: keep them alive.
                std::vector<ql::ComPtr<CMessageHook>> objects;
                for (CMessageHook* object : t_hooks.started) objects.emplace_back(object);
                for (const auto& object : objects) {
                    if (!object->OfferToSinks(message)) continue;
                    message.message = WM_NULL;  // handled: the message loop dispatches nothing
                    break;
                }
                return S_OK;
            });
        }
    }
    return ::CallNextHookEx(t_hooks.hook, code, removal, lParam);
}

}  // namespace

HRESULT CMessageHook::FinalConstruct() noexcept { return AddConnectionPoint(IID_IQuelkMessageSink); }

void CMessageHook::FinalRelease() noexcept { (void)Stop(); }

HRESULT CMessageHook::Start() noexcept {
    if (startedThread_ != 0) return S_FALSE;
    return ql::GuardComCall([&]() -> HRESULT {
        t_hooks.started.reserve(t_hooks.started.size() + 1);
        if (!t_hooks.hook) {
            t_hooks.hook =
                ::SetWindowsHookExW(WH_GETMESSAGE, &GetMessageProc, nullptr, ::GetCurrentThreadId());
            if (!t_hooks.hook) return HRESULT_FROM_WIN32(::GetLastError());
        }
        t_hooks.started.push_back(this);
        startedThread_ = ::GetCurrentThreadId();
        return S_OK;
    });
}

HRESULT CMessageHook::Stop() noexcept {
    if (startedThread_ == 0) return S_FALSE;
    if (startedThread_ != ::GetCurrentThreadId()) return RPC_E_WRONG_THREAD;
    startedThread_ = 0;
    auto& started = t_hooks.started;
    started.erase(std::remove(started.begin(), started.end(), this), started.end());
    if (started.empty() && t_hooks.hook) {
        ::UnhookWindowsHookEx(t_hooks.hook);
        t_hooks.hook = nullptr;
    }
    return S_OK;
}

bool CMessageHook::OfferToSinks(MSG& message) noexcept {
    ql::ConnectionPoint* point = FindPoint(IID_IQuelkMessageSink);
    if (!point || point->SinkCount() == 0) return false;
    bool handled = false;
    const HRESULT hr = ql::GuardComCall([&]() -> HRESULT {
        point->ForEachSink<IQuelkMessageSink>([&](IQuelkMessageSink* sink) {
            if (!handled) handled = sink->OnForwardedMessage(&message) == S_OK;
        });
        return S_OK;
    });
    return SUCCEEDED(hr) && handled;
}

}  // namespace standins
