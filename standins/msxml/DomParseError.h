#pragma once
// CDomParseError: IXMLDOMParseError, a snapshot of the error record of one load (or validate()).
// MSXML answers S_FALSE for the members of a record that holds no error, and for an absent text.
#include <windows.h>

#include <msxml2.h>

#include "classlib/ComObject.h"
#include "standins/common/DispatchStub.h"
#include "standins/msxml/core/ParseError.h"

namespace msxml_standin {

class CDomParseError final : public ql::ComObjectBase<CDomParseError>,
                             public standins::DispatchStub<IXMLDOMParseError> {
    QL_INTERFACE_TABLE(CDomParseError, QL_ENTRY_IID(IID_IXMLDOMParseError, IXMLDOMParseError),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMParseError))
public:
    static HRESULT Create(const msxml_core::ParseError& error, IXMLDOMParseError** out) noexcept;

    explicit CDomParseError(msxml_core::ParseError error) noexcept : error_(std::move(error)) {}

    HRESULT STDMETHODCALLTYPE get_errorCode(LONG* out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_url(BSTR* out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_reason(BSTR* out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_srcText(BSTR* out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_line(LONG* out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_linepos(LONG* out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_filepos(LONG* out) noexcept override;

private:
    HRESULT Number(long value, LONG* out) const noexcept;

    const msxml_core::ParseError error_;
};

}  // namespace msxml_standin
