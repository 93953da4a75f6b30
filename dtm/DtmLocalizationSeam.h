#pragma once
// DtmLocalizationSeam: what the DTM's creation needs of the translation service (its initialisation: the
// translation document loaded and language 1033 selected). The DTM object's translation part implements
// it; the do-nothing default leaves the built-in texts in place.
//
// Called on the DTM object's apartment thread only; not owned by the DTM.
#include <windows.h>

class DtmLocalizationSeam {
public:
    virtual ~DtmLocalizationSeam() = default;

    // Its result is not looked at: a DTM without translations still works with its built-in texts.
    virtual HRESULT Initialize() noexcept { return S_OK; }
};
