#pragma once
// CDtmParameterPart: IDtmParameter of the DTM object. The frame reads the dataset as one DTMParameterSchema
// document (GetParameters; ParameterDocument.h) and writes a changed document back (SetParameters: the tag,
// the bus address and the exported parameters, under the frame's data-set lock).
//
// A member part of the DTM object (QL_ENTRY_MEMBER row for IDtmParameter); the dispatch methods come from
// the module's type library. The part keeps no state; it reads and writes the DTM's other parts through
// the host (DtmHost).
//
// Threading: apartment-threaded like the object it is part of; the data-set lock is a request to the frame,
// not a thread lock.
#include <windows.h>
#include <msxml2.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "idl/OutsideDispatch.h"
#include "dtm/DtmHost.h"

class CDtmParameterPart : public ql::MemberPart, public FdtDispatchImpl<IDtmParameter> {
    QL_MEMBER_IUNKNOWN()

public:
    CDtmParameterPart(ql::PartOwner& owner, DtmHost& host) noexcept : ql::MemberPart(owner), host_(host) {}
    CDtmParameterPart(const CDtmParameterPart&) = delete;
    CDtmParameterPart& operator=(const CDtmParameterPart&) = delete;

    // E_INVALIDARG for a null `document`; S_FALSE outside states 8 to 12; else BuildParameterDocument.
    // `path` is not read.
    HRESULT STDMETHODCALLTYPE GetParameters(BSTR path, BSTR* document) noexcept override;

    // Applies the document: the tag (parameter 1), the bus address (through the communication part, which
    // stores it only when the value check accepts it) and every exported parameter that is writable.
    // `result` is VARIANT_TRUE only when the bus address and every fdt:DtmVariable of the document were
    // applied. E_INVALIDARG for a null `result`; S_FALSE outside states 8 to 12, for an observer, for a
    // document that does not load and for one without tag. A refused lock, or a document not wholly applied,
    // answers S_OK with VARIANT_FALSE and sends message 2001 to the frame (after the communication part's
    // report of a refused bus address). The frame's lock
    // is asked for only when neither the open user interfaces hold it nor the frame locked the data, and
    // released only when this call took it. `path` is not read.
    HRESULT STDMETHODCALLTYPE SetParameters(BSTR path, BSTR document, VARIANT_BOOL* result) noexcept override;

private:
    enum class DataSetLock { Refused, HeldByUserInterface, Taken };
    HRESULT LockDataSet(DataSetLock* lock) noexcept;
    // S_FALSE when the document has no readable tag; the failure of storing the tag or the bus address;
    // S_OK with `result` set otherwise.
    HRESULT ApplyDocument(IXMLDOMDocument2* document, VARIANT_BOOL* result) noexcept;
    HRESULT ApplyTag(IXMLDOMDocument2* document, IQuelkVariables& variables) noexcept;
    HRESULT ApplyExportedVariables(IXMLDOMDocument2* document, IQuelkVariables& variables,
                                   VARIANT_BOOL* result) noexcept;

    DtmHost& host_;
};
