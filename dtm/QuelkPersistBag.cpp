// The dataset image in a property bag: the property "DTM_DATA" holds the image (without the property-map
// version) as a one-dimensional byte array.
#include <objbase.h>

#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "dtm/DtmState.h"
#include "dtm/DtmHost.h"
#include "dtm/QuelkDtm.h"
#include "dtm/QuelkPersist.h"
#include "dtm/StreamValueWriter.h"
#include "values/HexText.h"

namespace {

constexpr wchar_t kDtmDataProperty[] = L"DTM_DATA";

HRESULT CreateMemoryStream(ql::ComPtr<IStream>& stream) noexcept {
    return ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
}

// A stream on new memory holding the elements of a one-dimensional byte array, positioned at its start.
HRESULT StreamFromByteArray(const VARIANT& bytes, ql::ComPtr<IStream>& stream) noexcept {
    QL_RETURN_HR_IF(E_FAIL, V_VT(&bytes) != kByteArrayType || V_ARRAY(&bytes) == nullptr);
    SAFEARRAY* array = V_ARRAY(&bytes);
    QL_RETURN_HR_IF(E_FAIL, ::SafeArrayGetDim(array) != 1);
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

HRESULT CQuelkPersist::LoadBagImage(IPropertyBag* bag, IErrorLog* errorLog, LoadedImage& image) noexcept {
    QL_RETURN_IF_NULL_OUT(bag);
    ql::Variant bytes;
    QL_RETURN_IF_FAILED(bag->Read(kDtmDataProperty, bytes.Get(), errorLog));
    ql::ComPtr<IStream> stream;
    QL_RETURN_IF_FAILED(StreamFromByteArray(*bytes.Get(), stream));
    return ParseDataStream(stream.Get(), image);
}

HRESULT CQuelkPersist::SaveBagImage(IPropertyBag* bag, bool clearModified) noexcept {
    QL_RETURN_IF_NULL_OUT(bag);
    ql::ComPtr<IStream> stream;
    QL_RETURN_IF_FAILED(CreateMemoryStream(stream));
    const HRESULT written = WriteImage(stream.Get());
    QL_RETURN_IF_FAILED(written);
    QL_RETURN_HR_IF(E_FAIL, written != S_OK);
    ql::Variant bytes;
    QL_RETURN_IF_FAILED(BytesToVariantArray(stream.Get(), bytes.Get()));
    const HRESULT hr = bag->Write(kDtmDataProperty, bytes.Get());
    if (SUCCEEDED(hr) && clearModified) (void)SetModified(false);
    return hr;
}

// ---- IQuelkPersistData (property bag) ----

HRESULT CQuelkPersist::LoadDtmData(IPropertyBag* bag, IErrorLog* errorLog) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        LoadedImage image;
        QL_RETURN_IF_FAILED(LoadBagImage(bag, errorLog, image));
        QL_RETURN_IF_FAILED(CommitImage(image));
        (void)SetModified(false);
        return S_OK;
    });
}

HRESULT CQuelkPersist::SaveDtmData(IPropertyBag* bag) noexcept { return SaveBagImage(bag, true); }

// ---- IPersistPropertyBag (InitNew is shared with IPersistStreamInit) ----

// As for the stream: S_FALSE only for a wrong lifecycle state, a failure code for a failed save or load.
HRESULT CQuelkPersist::Load(IPropertyBag* bag, IErrorLog* errorLog) noexcept {
    if (!StateAcceptsLoad()) return S_FALSE;
    QL_RETURN_IF_NULL_OUT(bag);
    QL_RETURN_IF_FAILED(LoadDtmData(bag, errorLog));
    requiresSave_ = false;
    return host_.Lifecycle().SetState(kStateLoaded) == S_OK ? S_OK : S_FALSE;
}

HRESULT CQuelkPersist::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) noexcept {
    if (!StateAcceptsSave()) return S_FALSE;
    QL_RETURN_IF_NULL_OUT(bag);
    QL_RETURN_IF_FAILED(SaveBagImage(bag, clearDirty != FALSE));
    if (clearDirty) requiresSave_ = false;
    return S_OK;
}
