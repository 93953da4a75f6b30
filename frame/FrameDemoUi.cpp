// The demo's user-interface steps: a new device instance whose function user interface, or a control that is
// no function, the frame opens for real, until the person (or a script) closes it or the DTM asks to.
#include "classlib/Bstr.h"
#include "frame/FrameDemo.h"
#include "frame/FunctionUi.h"
#include "frame/UiScript.h"

int CFrameDemo::RunWithNewInstance(bool online, const std::function<int()>& step) {
    if (!StartFrame()) return 1;
    int result = 1;
    if (SetUpNewInstance()) {
        if (!online || GoOnline()) {
            result = step();
            if (online) GoOffline();
        }
        ReleaseDtm();
    }
    StopFrame();
    return result;
}

int CFrameDemo::RunFunctionUi(long functionId, const std::wstring* script, std::FILE* scriptOut) {
    Print(L"VarnokP3 frame host: the user interface of function %ld\n\n", functionId);
    // Only the offline parameterization works without the device: the online parameterization and the
    // views work on a connected DTM, whose device is the simulated flowmeter.
    return RunWithNewInstance(functionId != 1, [&] {
        CFunctionUi ui;
        frame_->SetUiCloser([&ui](const std::wstring& invokeId) {
            if (invokeId == ui.InvokeId()) ui.Container().RequestClose();
        });
        Begin(L"Open the user interface of function " + std::to_wstring(functionId) +
              L" (IDtmActiveXInformation, then IDtmActiveXControl::Init)");
        const HRESULT hr = ui.OpenFunction(session_.Object(), functionId);
        const bool shown = End(hr, hr == S_OK ? VARIANT_TRUE : VARIANT_FALSE, true);
        int scriptResult = 0;
        if (shown && script) {
            scriptResult = RunUiScript(ui, *script, scriptOut);
            (void)ui.Close();
        } else if (shown) {
            Say(L"the window is open: close it to go on");
            RunContainerLoop(ui.Container());
            Say(L"the user interface is closed and released");
        }
        frame_->SetUiCloser(nullptr);
        return shown ? scriptResult : 1;
    });
}

int CFrameDemo::RunControl(const std::wstring& control, const std::wstring* script, std::FILE* scriptOut) {
    return RunWithNewInstance(true, [&] {
        CFunctionUi ui;
        frame_->SetUiCloser([&ui](const std::wstring& invokeId) {
            if (invokeId == ui.InvokeId()) ui.Container().RequestClose();
        });
        Begin(L"Open " + control + L" with the DTM (IDtmActiveXControl::Init)");
        const HRESULT hr = ui.OpenControl(control, session_.Object());
        int result = 1;
        if (End(hr, hr == S_OK ? VARIANT_TRUE : VARIANT_FALSE, true)) {
            if (script) {
                result = RunUiScript(ui, *script, scriptOut);
            } else {
                RunContainerLoop(ui.Container());
                result = 0;
            }
        }
        (void)ui.Close();
        frame_->SetUiCloser(nullptr);
        return result;
    });
}
