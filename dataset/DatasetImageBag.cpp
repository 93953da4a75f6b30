#include "dataset/DatasetImageBag.h"

#include <objbase.h>

#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/StreamValueWriter.h"
#include "values/HexText.h"
#include "values/Bytes.h"

namespace {

constexpr wchar_t kDtmDataProperty[] = L"DTM_DATA";

HRESULT CreateMemoryStream(ql::ComPtr<IStream>& stream) noexcept {
    return ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
}

// A stream on new memory holding the bytes of a one-dimensional byte array, positioned at its start. What the
// byte view refuses (no such array, or one that holds no bytes, which is then not read) is no image.
HRESULT StreamFromByteArray(const VARIANT& bytes, ql::ComPtr<IStream>& stream) noexcept {
    const ByteArrayView view(bytes);
    QL_RETURN_HR_IF(E_FAIL, FAILED(view.Status()) || view.Size() > MAXLONG);
    QL_RETURN_IF_FAILED(CreateMemoryStream(stream));
    if (view.Size() > 0) {
        CStreamValueWriter writer(stream.Get());
        QL_RETURN_IF_FAILED(writer.WriteBytes(view.Data(), static_cast<ULONG>(view.Size())));
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
