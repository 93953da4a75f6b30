#pragma once
// CDatasetImage: the dataset as a project keeps it, in a stream.
//
//   device type text   counted text (null for a dataset that never had a device type)
//   "1.0", "1"         two VT_BSTR version items
//   values part        CQuelkValuesImage
//   extension          whatever the owner's IQuelkPersistExtension adds (an object aggregating the DTM)
//
// Reading takes the whole image into a LoadedDatasetImage and checks it before anything is applied, so a
// damaged or forged image changes nothing; applying it is the caller's second step (CQuelkValuesImage::
// Assign and the device type). The caller's own framing (a version behind the image) is not part of it.
//
// Stateless; used on the DTM object's apartment thread.
#include <windows.h>
#include <objidl.h>

#include <vector>

#include "classlib/Bstr.h"
#include "dataset/QuelkValuesImage.h"
#include "dataset/QuelkVariableStore.h"

// A dataset image read completely, not applied yet.
struct LoadedDatasetImage {
    ql::Bstr DeviceType;
    std::vector<LoadedValue> Values;
};

class CDatasetImage {
public:
    // Writes the image of `store` with `deviceType`; the extension is asked of `owner` (may be null). The
    // first write that fails ends the image with its failure; S_FALSE when the extension reported no
    // success.
    static HRESULT Write(IStream* stream, BSTR deviceType, const CQuelkVariableStore& store,
                         IUnknown* owner) noexcept;

    // Reads an image into `image`: E_FAIL for a device type text that is no device type element, for
    // version items that are no texts and for an extension that reported no success; the values part's
    // and the stream's failures as they come. Images of early versions, without the version items, are
    // read too. `image` is in an unspecified state after a failure.
    static HRESULT Read(IStream* stream, IUnknown* owner, LoadedDatasetImage& image) noexcept;
};
