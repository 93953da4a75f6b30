#include "dataset/DatasetImageBag.h"

#include <objbase.h>

#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "dataset/StreamValueWriter.h"
#include "values/HexText.h"
#include "values/Bytes.h"

namespace {

constexpr wchar_t kDtmDataProperty[] = L"DTM_DATA";

HRESULT CreateMemoryStream(ql::ComPtr<IStream>& stream) noexcept {
    return ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
}

// A stream on new memory holding the elements of a one-dimensional byte array, positioned at its start.
HRESULT StreamFromByteArray(const VARIANT& bytes, ql::ComPtr<IStream>& stream) noexcept {
    QL_RETURN_HR_IF(E_FAIL, V_VT(&bytes) != kByteArrayType || V_ARRAY(&bytes) == nullptr);
    SAFEARRAY* array = V_ARRAY(&bytes);
    // An array that holds no bytes is no image, whatever the VARIANT claims: it is not read.
    QL_RETURN_HR_IF(E_FAIL, ::SafeArrayGetDim(array) != 1 || !ql::HoldsBytes(*array));
    LONG lower = 0, upper = -1;
    QL_RETURN_IF_FAILED(::SafeArrayGetLBound(array, 1, &lower));
    QL_RETURN_IF_FAILED(::SafeArrayGetUBound(array, 1, &upper));
    const LONGLONG count = upper >= lower ? static_cast<LONGLONG>(upper) - lower + 1 : 0;
    QL_RETURN_HR_IF(E_FAIL, count > MAXLONG);

    QL_RETURN_IF_FAILED(CreateMemoryStream(stream));
    if (count > 0) {
        ql::SafeArrayData<BYTE> data(array);
        QL_RETURN_IF_FAILED(data.Status());
        CStreamValueWriter writer(stream.Get());
        QL_RETURN_IF_FAILED(writer.WriteBytes(data.Data(), static_cast<ULONG>(count)));
    }
    LARGE_INTEGER start = {};
    return stream->Seek(start, STREAM_SEEK_SET, nullptr);
}

}  // namespace

HRESULT CDatasetImageBag::Write(IPropertyBag* bag, BSTR deviceType, const CQuelkVariableStore& store,
                                IUnknown* owner) noexcept {
    QL_RETURN_IF_NULL_OUT(bag);
    ql::ComPtr<IStream> stream;
    QL_RETURN_IF_FAILED(CreateMemoryStream(stream));
    const HRESULT written = CDatasetImage::Write(stream.Get(), deviceType, store, owner);
    QL_RETURN_IF_FAILED(written);
    QL_RETURN_HR_IF(E_FAIL, written != S_OK);
    ql::Variant bytes;
    QL_RETURN_IF_FAILED(BytesToVariantArray(stream.Get(), bytes.Get()));
    return bag->Write(kDtmDataProperty, bytes.Get());
}

HRESULT CDatasetImageBag::Read(IPropertyBag* bag, IErrorLog* errorLog, IUnknown* owner,
                               LoadedDatasetImage& image) noexcept {
    QL_RETURN_IF_NULL_OUT(bag);
    ql::Variant bytes;
    QL_RETURN_IF_FAILED(bag->Read(kDtmDataProperty, bytes.Get(), errorLog));
    ql::ComPtr<IStream> stream;
    QL_RETURN_IF_FAILED(StreamFromByteArray(*bytes.Get(), stream));
    return CDatasetImage::Read(stream.Get(), owner, image);
}
