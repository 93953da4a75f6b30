// The demo's property-page step: a new device instance online with the simulated flowmeter, its parameters
// uploaded, and one page hosted with it as the parameterization window hosts its pages, until the person
// (or a script) closes it.
#include "frame/FrameDemo.h"
#include "frame/PageHost.h"
#include "frame/UiScript.h"

int CFrameDemo::RunPage(const std::wstring& page, const std::wstring* script, std::FILE* scriptOut) {
    return RunWithNewInstance(true, [&] {
        if (!RunOnlineRequest(OnlineRequest::Upload)) Say(L"the page shows the dataset as it is");
        CPageHost host;
        Begin(L"Host the page " + page + L" with the DTM (IPropertyPage, then IQuelkControl::Init)");
        const HRESULT hr = host.Open(page, session_.Object(), true);
        int result = 1;
        if (End(hr, hr == S_OK ? VARIANT_TRUE : VARIANT_FALSE, true)) {
            if (script) {
                const UiScriptTarget target{[&host] { return host.PageDialog(); },
                                            [&host] { PumpPageMessages(host); }, [&host] { host.Close(); }};
                result = RunUiScript(target, *script, scriptOut);
            } else {
                RunPageLoop(host);
                result = 0;
            }
        }
        host.Close();
        return result;
    });
}
