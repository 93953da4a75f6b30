#include "dataset/DatasetImage.h"

#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/DeviceTypeText.h"
#include "dataset/StreamValueReader.h"
#include "dataset/StreamValueWriter.h"

namespace {

// The two version items after the device type text; their values play no part when loading.
constexpr wchar_t kImageVersion[] = L"1.0";
constexpr wchar_t kImageSecondVersion[] = L"1";

HRESULT WriteTextValue(CStreamValueWriter& writer, const wchar_t* text) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(value.SetBstr(text));
    return writer.WriteValue(*value.Get());
}

// Only an object that aggregates the DTM can add its own data behind the values: null when there is none.
ql::ComPtr<IQuelkPersistExtension> ExtensionOf(IUnknown* owner) noexcept {
    ql::ComPtr<IQuelkPersistExtension> extension;
    if (!owner || FAILED(owner->QueryInterface(IID_IQuelkPersistExtension, extension.PutVoid()))) return {};
    return extension;
}

}  // namespace

HRESULT CDatasetImage::Write(IStream* stream, BSTR deviceType, const CQuelkVariableStore& store,
                             IUnknown* owner) noexcept {
    CStreamValueWriter writer(stream);
    QL_RETURN_IF_FAILED(writer.WriteText(deviceType));
    QL_RETURN_IF_FAILED(WriteTextValue(writer, kImageVersion));
    QL_RETURN_IF_FAILED(WriteTextValue(writer, kImageSecondVersion));
    QL_RETURN_IF_FAILED(CQuelkValuesImage::Save(store, writer));

    if (const ql::ComPtr<IQuelkPersistExtension> extension = ExtensionOf(owner)) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        QL_RETURN_IF_FAILED(extension->SaveExtension(stream, &ok));
        if (ok != VARIANT_TRUE) return S_FALSE;
    }
    return S_OK;
}

HRESULT CDatasetImage::Read(IStream* stream, IUnknown* owner, LoadedDatasetImage& image) noexcept {
    CStreamValueReader reader(stream);
    QL_RETURN_IF_FAILED(reader.Start());
    QL_RETURN_IF_FAILED(reader.ReadText(image.DeviceType));
    QL_RETURN_IF_FAILED(CheckDeviceTypeText(image.DeviceType.Get()));

    // Images of early versions carry no version items: their values part starts at once with its VT_I4
    // count.
    const ULONGLONG afterText = reader.Position();
    ql::Variant version;
    QL_RETURN_IF_FAILED(reader.ReadValue(version));
    if (version.Type() == VT_I4) {
        QL_RETURN_IF_FAILED(reader.Rewind(afterText));
    } else {
        // The version items are texts; anything else (an image of zeros reads as VT_EMPTY) is no image.
        QL_RETURN_HR_IF(E_FAIL, version.Type() != VT_BSTR);
        QL_RETURN_IF_FAILED(reader.ReadValue(version));
        QL_RETURN_HR_IF(E_FAIL, version.Type() != VT_BSTR);
    }
    QL_RETURN_IF_FAILED(CQuelkValuesImage::Read(reader, image.Values));
    // What follows (an aggregating object's own data) starts right behind the values part.
    QL_RETURN_IF_FAILED(reader.HandBack());

    if (const ql::ComPtr<IQuelkPersistExtension> extension = ExtensionOf(owner)) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        QL_RETURN_IF_FAILED(extension->LoadExtension(stream, &ok));
        QL_RETURN_HR_IF(E_FAIL, ok != VARIANT_TRUE);
    }
    return S_OK;
}
