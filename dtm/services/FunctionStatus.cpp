#include "dtm/services/FunctionStatus.h"

#include <string_view>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "values/AnsiText.h"
#include "dtm/QuelkDtm.h"

HRESULT NotifyFunctionStatus(DtmHost& host, const char* label, const wchar_t* status) noexcept {
    ql::ComPtr<IQuelkDtmTrace> monitor;
    // Only an object that aggregates the DTM can offer the monitor: it is asked of the controlling unknown.
    if (FAILED(ql::QueryInterfaceTo(host.ControllingUnknown(), monitor)) || !monitor) return S_OK;
    ql::Bstr labelText;
    ql::Bstr statusText(status ? status : L"");
    if (FAILED(AnsiToBstr(std::string_view(label ? label : ""), labelText)) || statusText.IsNull())
        return S_OK;
    // A trace only: its answer changes nothing.
    (void)monitor->ReportFunctionStatus(statusText.Get(), labelText.Get());
    return S_OK;
}
