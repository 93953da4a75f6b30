#include "dtm/documents/PaRecordBytes.h"

#include <cstring>

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "values/HexText.h"

PaRecordRead ReadPaRecord(const VARIANT& record, size_t length, BYTE* bytes) noexcept {
    if (V_VT(&record) != kByteArrayType) return PaRecordRead::Defaults;
    SAFEARRAY* array = V_ARRAY(&record);
    if (!array) return PaRecordRead::NoArray;
    // An array whose elements are no bytes (the view refuses it unread) is read as none.
    const ByteArrayView view(array);
    if (FAILED(view.Status()) || view.Size() < length || !view.Data()) return PaRecordRead::Defaults;
    if (length != 0) std::memcpy(bytes, view.Data(), length);
    return PaRecordRead::Bytes;
}

HRESULT MakePaRecord(const BYTE* bytes, size_t count, VARIANT* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    ql::Variant record;
    QL_RETURN_IF_FAILED(MakeByteArray(bytes, count, record));
    {
        ql::Variant old;
        old.Attach(*out);
    }
    return record.Detach(out);
}

HRESULT ParseHexBytes(std::vector<BYTE>* bytes, BSTR text) noexcept {
    if (!bytes || !text) return S_OK;
    // The one hexadecimal reader of the system checks the whole text before anything is written.
    ql::Variant array;
    QL_RETURN_IF_FAILED(HexBstrToByteArray(array.Get(), text, TRUE));
    std::vector<BYTE> parsed;
    if (array.Type() == kByteArrayType) QL_RETURN_IF_FAILED(CopyByteArray(*array, parsed));
    bytes->swap(parsed);
    return S_OK;
}
