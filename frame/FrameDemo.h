#pragma once
// CFrameDemo: what `framehost.exe demo` shows. The frame creates the registered DTM by its ProgID, starts a
// new dataset and hands over its environment, the device type and the configuration; it gives the DTM a
// DP-V1 channel to a simulated "Varnok Thermal Mass Flowmeter" at station address 126, and the DTM
// connects; the frame uploads every parameter through the DTM's online request (with a progress bar),
// shows the device's key values, writes the device's tag and reads it back, downloads the dataset, saves
// the project and takes the channel back (offline). Then it releases the DTM, creates a second one and
// loads the saved project into it. Each step is printed with the DTM's answer and its lifecycle state in
// plain words; the frame's side of the conversation (what the DTM calls) is printed as it happens.
//
// Threading: the caller's single-threaded apartment. The channel's answers arrive later on thread timers
// and the online requests report from the DTM's worker through marshalled calls, so the frame dispatches
// its thread's messages while it waits for them.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "classlib/ComPtr.h"
#include "frame/DtmSession.h"
#include "frame/FrameHost.h"
#include "frame/ProgressBar.h"
#include "frame/ProjectFile.h"
#include "frame/simulator/SimulatedDpv1Channel.h"

struct FrameDemoSettings {
    std::wstring ProgId = L"VarnokP3.DtmObject";
    std::wstring ModulePath;    // registered when the ProgID is not known yet
    std::wstring ProjectPath;   // the project file the demo writes
    std::wstring SchemaFolder;  // what the frame names as its schema folder
    std::wstring SystemTag = L"Demo/Varnok Flowmeter 1";
    std::wstring DeviceTag = L"FT-101 COOLING WATER";  // written to the device (ASCII, at most 32)
    DWORD ChannelAnswerDelayMs = 0;                    // the channel's answers come on the next timer
};

class CFrameDemo {
public:
    CFrameDemo(std::FILE* out, FrameDemoSettings settings);

    // 0 when every step went as a frame expects, 1 otherwise.
    int Run();
    // Sets up a new device instance and opens the user interface of one of its functions in a window of its
    // own, until that is closed or, with `script`, driven by it (FrameDemoUi.cpp). Every function but the
    // offline parameterization works online with the simulated flowmeter. 0 when the user interface opened
    // (and the script ran).
    int RunFunctionUi(long functionId, const std::wstring* script = nullptr, std::FILE* scriptOut = nullptr);
    // Sets up a new device instance online with the simulated flowmeter and opens `control` (a ProgID or
    // class id, no function of the DTM) with it; runs `script` (frame/UiScript.h, its prints to
    // `scriptOut`) or, without one, until the window is closed. Then offline and released. The script's
    // result, 1 when the control could not be opened.
    int RunControl(const std::wstring& control, const std::wstring* script, std::FILE* scriptOut);
    // Sets up a new device instance online with the simulated flowmeter, uploads the device's parameters
    // and hosts the property page `page` (a ProgID or class id) with it, working on the device, as the
    // parameterization window hosts its pages (FrameDemoPage.cpp); the script as for RunControl.
    int RunPage(const std::wstring& page, const std::wstring* script, std::FILE* scriptOut);

private:
    enum class OnlineRequest { Upload, Download };

    void Print(const wchar_t* format, ...);
    // One step: what the frame does (printed first, so the frame's side of it follows).
    void Begin(const std::wstring& what);
    // The DTM's answer and the state it left; false (and the demo marked failed) when not S_OK with TRUE.
    bool End(HRESULT hr, VARIANT_BOOL result, bool withResult);
    bool Expect(bool good, const wchar_t* what);
    void Say(const std::wstring& text);
    void OnFrameCall(const FrameCall& call);
    bool CreateDtm(HRESULT* hr);
    // The frame object of a run, listening to its calls; false when it cannot be made.
    bool StartFrame();
    // The frame's listener off and the project's DTMs let go.
    void StopFrame();
    // A run on a new device instance (FrameDemoUi.cpp): the frame started, the instance set up and, when
    // `online`, connected to the simulated flowmeter; then `step`; then offline, released and the frame
    // stopped. `step`'s answer; 1 when the frame, the instance or the connection could not be made.
    int RunWithNewInstance(bool online, const std::function<int()>& step);

    // ---- the steps (FrameDemo.cpp) ----
    bool SetUpNewInstance();
    void SaveProject();
    bool ReleaseDtm();
    bool ReloadProject();
    // ---- online (FrameDemoOnline.cpp) ----
    bool GoOnline();
    bool RunOnlineRequest(OnlineRequest kind);
    void ShowKeyValues();
    void WriteAndReadBackTag();
    void GoOffline();

    std::FILE* out_;
    FrameDemoSettings settings_;
    CProjectFile project_;
    ql::ComPtr<CFrameHost> frame_;
    ql::ComPtr<CSimulatedDpv1Channel> channel_;
    CDtmSession session_;
    CProgressBar progress_;
    std::wstring progressTitle_;
    bool ok_ = true;
    int number_ = 0;
};
