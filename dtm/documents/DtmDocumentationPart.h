#pragma once
// CDtmDocumentationPart: IDtmDocumentation of the DTM object. The frame asks for the printable
// documentation of one function (its FDT function-call document) and receives a DTMDocumentationSchema
// document (CDocumentationBuilder). Every complete document is also written to the dump file
// (kDocumentationDumpPath); the not-connected document is not.
//
// A member part of the DTM object (QL_ENTRY_MEMBER row for IDtmDocumentation). Threading: apartment-threaded;
// functions 2, 4 and 5 read the device synchronously, so a call lasts as long as those reads.
#include <windows.h>

#include <string>

#include "FdtInterfaces.h"
#include "classlib/ComObject.h"
#include "idl/OutsideDispatch.h"
#include "dtm/DtmHost.h"

class CDtmDocumentationPart : public ql::MemberPart, public FdtDispatchImpl<IDtmDocumentation> {
    QL_MEMBER_IUNKNOWN()

public:
    CDtmDocumentationPart(ql::PartOwner& owner, DtmHost& host) noexcept;
    CDtmDocumentationPart(const CDtmDocumentationPart&) = delete;
    CDtmDocumentationPart& operator=(const CDtmDocumentationPart&) = delete;

    // E_POINTER for a null `documentation` (null first). S_FALSE, with no document, outside states 8 to
    // 12, for an observer or no user level, without a schema cache, for a function-call document that does
    // not load or has no FDT/FDTFunctionCall/@func:functionId, and whenever the document cannot be built.
    HRESULT STDMETHODCALLTYPE GetDocumentation(BSTR functionCall, BSTR* documentation) noexcept override;

    // The document of `functionId` dated today (UTC); the complete one is also dumped. S_OK, E_POINTER, or
    // the builder's failure (the partial document is discarded).
    HRESULT BuildDocumentation(LONG functionId, BSTR* documentation) noexcept;

    // Where complete documents are dumped; tests point it into their own folder.
    void SetDumpPath(std::wstring path) noexcept { dumpPath_.swap(path); }

private:
    DtmHost& host_;
    std::wstring dumpPath_;
};
