#include "standins/msxml/ComErrorInfo.h"

#include <oleauto.h>

#include <string>

#include "classlib/ComPtr.h"
#include "standins/msxml/XmlText.h"

namespace msxml_standin {

HRESULT FailWithErrorInfo(HRESULT hr, REFIID iid, msxml_core::XmlStringView description) noexcept {
    ql::ComPtr<ICreateErrorInfo> create;
    if (FAILED(::CreateErrorInfo(create.Put()))) return hr;
    try {
        const std::wstring text(WideFromXml(description));
        (void)create->SetGUID(iid);
        (void)create->SetSource(const_cast<LPOLESTR>(L"msxml3.dll"));
        (void)create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    } catch (...) {
        return hr;
    }
    ql::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(info))) (void)::SetErrorInfo(0, info.Get());
    return hr;
}

}  // namespace msxml_standin
