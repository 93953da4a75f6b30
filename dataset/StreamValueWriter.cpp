#include "dataset/StreamValueWriter.h"

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/StreamValueFormat.h"
#include "values/VariantConversion.h"

HRESULT CStreamValueWriter::WriteBytes(const void* data, ULONG size) noexcept {
    QL_RETURN_HR_IF(E_POINTER, stream_ == nullptr);
    if (size == 0) return S_OK;
    ULONG written = 0;
    QL_RETURN_IF_FAILED(stream_->Write(data, size, &written));
    return written == size ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT CStreamValueWriter::WriteUInt32(ULONG number) noexcept { return WriteBytes(&number, sizeof number); }

HRESULT CStreamValueWriter::WriteText(BSTR text) noexcept {
    if (!text) return WriteUInt32(kNullTextBytes);
    // A text of an odd byte count would go out without its zero, and the image would no longer read.
    QL_RETURN_HR_IF(E_INVALIDARG, !IsWholeText(text));
    const ULONG bytes = (::SysStringLen(text) + 1) * static_cast<ULONG>(sizeof(wchar_t));
    QL_RETURN_IF_FAILED(WriteUInt32(bytes));
    return WriteBytes(text, bytes);  // the BSTR's own terminating zero ends the text
}

HRESULT CStreamValueWriter::WriteValue(const VARIANT& value) noexcept {
    const VARTYPE type = V_VT(&value);
    const ULONG fixed = FixedPayloadBytes(type);
    if (fixed != 0) {
        QL_RETURN_IF_FAILED(WriteBytes(&type, sizeof type));
        return WriteBytes(&value.bVal, fixed);  // every fixed-width value starts the VARIANT's data part
    }
    QL_RETURN_HR_IF(DISP_E_BADVARTYPE, !IsTextPayloadType(type));
    ql::Variant text;
    QL_RETURN_IF_FAILED(text.CopyFrom(value));
    QL_RETURN_IF_FAILED(text.ChangeType(VT_BSTR, LOCALE_USER_DEFAULT, VARIANT_NOVALUEPROP));
    // Refused before its type word, so that no part of the value is written.
    QL_RETURN_HR_IF(E_INVALIDARG, !IsWholeText(V_BSTR(text.Get())));
    QL_RETURN_IF_FAILED(WriteBytes(&type, sizeof type));
    return WriteText(V_BSTR(text.Get()));
}
