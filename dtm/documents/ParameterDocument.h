#pragma once
// The DTM's parameter document (DTMParameterSchema) as CQuelkDtm::GetParameters hands it to the frame and
// the persistence part hands it over when the dataset is saved:
//
//   <?xml version="1.0"?> <FDT xmlns="x-schema:DTMParameterSchema.xml" xmlns:fdt=... fdt:storageState="..."
//     fdt:dataSetState="..."> DEVICE-TYPE <DtmDevice fdt:tag="TAG"> EXTENSION BUS [ExportedVariables]
//   </DtmDevice> </FDT>
//
// (blanks and tabs exactly as the template below writes them). With records whose ExportKind is 1 or 2
// the document is loaded, ExportedVariables is added with their values (ParameterValueXml.h) and the
// document's serialisation is returned; otherwise the formatted text itself. Apartment thread.
#include <windows.h>

#include "dtm/DtmHost.h"

// Keywords of the document's two state attributes.
constexpr const wchar_t* kStorageStateKeywords[] = {L"persistent", L"transient"};
constexpr const wchar_t* kDataSetStateKeywords[] = {L"default", L"validModified", L"invalidModified",
                                                    L"allDataLoaded"};

// S_OK with the document (the caller frees it). E_INVALIDARG when parameter 1 (the tag) holds no text or
// its text cannot stand in XML; E_FAIL for a data-set state word without keyword; E_POINTER without a
// schema cache; the failure of any interface the DTM answers (extension, bus information, store, DOM). A
// formatted text that does not validate is reported through the DTM's loader and returned as it is, with
// S_OK; one that is not even well formed (which no device type text the DTM accepted can make) gives E_FAIL
// and no document.
HRESULT BuildParameterDocument(DtmHost& host, BSTR* document, LCID locale = LOCALE_USER_DEFAULT) noexcept;
