#include "dtm/services/FunctionStatus.h"

#include <string_view>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "values/AnsiText.h"

HRESULT NotifyFunctionStatus(IDtmServicesHost& host, const char* label, const wchar_t* status) noexcept {
    ql::ComPtr<IQuelkDtmTrace> monitor;
    if (FAILED(host.QueryObject(IID_IQuelkDtmTrace, monitor.PutVoid())) || !monitor) return S_OK;
    ql::Bstr labelText;
    ql::Bstr statusText(status ? status : L"");
    if (FAILED(AnsiToBstr(std::string_view(label ? label : ""), labelText)) || statusText.IsNull())
        return S_OK;
    // A trace only: its answer changes nothing.
    (void)monitor->ReportFunctionStatus(statusText.Get(), labelText.Get());
    return S_OK;
}
