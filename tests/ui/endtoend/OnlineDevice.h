#pragma once
// The end-to-end tests' world: our frame host with one device instance of the registered DTM, created by
// its ProgID and configured as a frame does, online with the simulated flowmeter; the user interfaces the
// frame opened for it, each in a container window of its own, as CFunctionUi opens them. The DTM's close
// requests reach the container of the user interface they name.
//
// Threading: the test's single-threaded apartment; the channel answers on timers, so every wait pumps.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"
#include "frame/DtmSession.h"
#include "frame/FrameHost.h"
#include "frame/FunctionUi.h"
#include "frame/simulator/SimulatedDpv1Channel.h"

namespace endtoend {

// One entry of the DTM's functions document.
struct OfferedFunction {
    long id = 0;
    std::wstring name;
    bool hasUi = false;  // a standard function, or a function with hasGUI="1"
};

// The StandardFunction and Function elements of a functions document, in document order.
std::vector<OfferedFunction> ReadFunctionsDocument(const std::wstring& document);

class OnlineDevice {
public:
    OnlineDevice() = default;
    OnlineDevice(const OnlineDevice&) = delete;
    OnlineDevice& operator=(const OnlineDevice&) = delete;
    ~OnlineDevice() { Release(); }

    // The frame made, the DTM created and configured (state 8); with `online` connected too (state 12).
    // Use with ASSERT_NO_FATAL_FAILURE.
    void Start(bool online = true);
    // A new channel to a new simulated flowmeter, the DTM connected through it.
    void GoOnline();
    // PrepareToReleaseCommunication and ReleaseCommunication, as the frame goes offline; the channel let go.
    void GoOffline();
    // Every user interface closed, offline, the DTM released and the frame let go.
    void Release();

    // IDtm::GetFunctions for the operation phase.
    std::vector<OfferedFunction> Functions(const wchar_t* phase = L"engineering");

    // Opens the user interface of a function (or, with a ProgID, a control that is no function): the
    // answer of CFunctionUi; an opened one is kept and pumped.
    HRESULT OpenFunction(long functionId, CFunctionUi** opened = nullptr);
    HRESULT OpenControl(const std::wstring& progId, CFunctionUi** opened = nullptr);
    // The person closes the window (the frame window's close box); true when it went, and then `released`
    // holds what the control's PrepareToRelease answered. The user interface is forgotten.
    bool CloseByUser(CFunctionUi& ui, HRESULT* released = nullptr);
    void CloseAll();
    const std::vector<std::unique_ptr<CFunctionUi>>& OpenUis() const { return uis_; }
    // Forgets the user interfaces whose window is gone (the DTM asked to close them).
    void DropClosed();

    // Dispatches the waiting messages; a key goes first to the control of the window it is for.
    void Pump();
    void PumpFor(DWORD milliseconds);

    CFrameHost* Frame() const { return frame_.Get(); }
    CDtmSession& Session() { return session_; }
    IQuelkVariablesEx* Store() const { return store_.Get(); }
    CSimulatedDpv1Channel* Channel() const { return channel_.Get(); }
    ULONG State() const { return session_.State(); }

private:
    HRESULT Keep(std::unique_ptr<CFunctionUi> ui, HRESULT opened, CFunctionUi** out);
    CFunctionUi* UiOfWindow(HWND window) const;

    ql::ComPtr<CFrameHost> frame_;
    CDtmSession session_;
    ql::ComPtr<IQuelkVariablesEx> store_;
    ql::ComPtr<CSimulatedDpv1Channel> channel_;
    std::vector<std::unique_ptr<CFunctionUi>> uis_;
};

}  // namespace endtoend
