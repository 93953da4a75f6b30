#pragma once
// CDatasetImageBag: the dataset image (CDatasetImage) in a property bag. The property "DTM_DATA" holds the
// image's bytes as a one-dimensional byte array; a frame that keeps its project as property bags keeps
// nothing else of the dataset.
//
// Stateless; used on the DTM object's apartment thread.
#include <windows.h>
#include <ocidl.h>

#include "dataset/DatasetImage.h"
#include "dataset/QuelkVariableStore.h"

class CDatasetImageBag {
public:
    // Writes the image of `store` with `deviceType` (the extension asked of `owner`, which may be null)
    // into the property. E_FAIL when the extension reported no success; the bag's own failure as it comes.
    static HRESULT Write(IPropertyBag* bag, BSTR deviceType, const CQuelkVariableStore& store,
                         IUnknown* owner) noexcept;

    // Reads the image from the property into `image`, with CDatasetImage::Read's checks. E_FAIL for a
    // property that is no one-dimensional byte array, or whose array does not hold bytes (ql::HoldsBytes)
    // or cannot be read; the bag's own failure as it comes.
    static HRESULT Read(IPropertyBag* bag, IErrorLog* errorLog, IUnknown* owner,
                        LoadedDatasetImage& image) noexcept;
};
