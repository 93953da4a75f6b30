#pragma once
// CDtmImportExportPart: IDtmImportExport of the DTM object. The parameter list (ParameterListExport.h,
// ParameterListImport.h) moves out to and in from a stream the frame supplies, framed as
//
//   offset 0, 4 bytes: N, unsigned 32-bit little-endian, the number of text bytes that follow
//   offset 4, N bytes: the document, without a terminating zero: UTF-8 with its declaration as exported;
//                     read as XmlBytesToBstr reads it (lists written before in the ANSI code page)
//
// starting at the stream's position and leaving it after the text. Only in state 8 (configured, offline)
// and for a user above observer.
//
// An import reads exactly the 4 + N bytes it was promised, refuses a stream that ends early or a count
// beyond kMaxParameterListBytes, and applies nothing before the whole text is read and loaded.
//
// A member part of the DTM object (QL_ENTRY_MEMBER row for IDtmImportExport). Threading: apartment-threaded;
// nothing is locked.
#include <windows.h>
#include <objidl.h>

#include "FdtInterfaces.h"
#include "classlib/ComObject.h"
#include "idl/OutsideDispatch.h"
#include "dtm/DtmHost.h"
#include "dtm/documents/FrameParameterListHost.h"

// The largest parameter list the DTM writes or reads: far above the dataset's (some ten kilobytes), far
// below what a damaged count could make the DTM allocate.
constexpr ULONG kMaxParameterListBytes = 16 * 1024 * 1024;

class CDtmImportExportPart : public ql::MemberPart, public FdtDispatchImpl<IDtmImportExport> {
    QL_MEMBER_IUNKNOWN()

public:
    CDtmImportExportPart(ql::PartOwner& owner, DtmHost& host) noexcept
        : ql::MemberPart(owner), host_(host), listHost_(host) {}
    CDtmImportExportPart(const CDtmImportExportPart&) = delete;
    CDtmImportExportPart& operator=(const CDtmImportExportPart&) = delete;

    // Both: E_POINTER for a null `ok`, which is VARIANT_FALSE first; S_FALSE for a null stream, outside
    // state 8, for an observer and for every failure; S_OK with VARIANT_TRUE on success. An import that
    // skipped parameters (ParameterListImport.h) keeps what it took, reports the skipped ones to the frame
    // and answers S_OK with VARIANT_FALSE. A list refused as a whole (no length, a length beyond the limit
    // or the data, a text in no encoding the DTM reads, a document that does not load) changes nothing and
    // is reported to the frame once, with the reason.
    HRESULT STDMETHODCALLTYPE Import(IStream* stream, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE Export(IStream* stream, VARIANT_BOOL* ok) noexcept override;

private:
    bool Accepts(IStream* stream) noexcept;

    DtmHost& host_;
    CFrameParameterListHost listHost_;
};
