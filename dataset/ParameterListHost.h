#pragma once
// What the parameter list export and import need of the DTM object they run in: the DTM's document loader
// (its schema cache, its reports to the frame) and the frame's progress display. The DTM object's import
// and export part implements it; tests record the calls. Used on the DTM object's apartment thread only.
#include <windows.h>
#include <msxml2.h>

class ParameterListHost {
public:
    // Loads `text` as LoadXMLDocument does with the DTM's schema cache, reporting a text that does not load
    // to the frame. E_POINTER when the DTM has no schema cache yet; S_OK with `loaded` VARIANT_FALSE for a
    // text that does not parse.
    virtual HRESULT LoadParameterList(BSTR text, IXMLDOMDocument2** document,
                                      VARIANT_BOOL* loaded) noexcept = 0;
    // Progress to the frame: index 0 hides the display (0 %), any other index shows index * 100 / count %
    // with the title.
    virtual void ReportProgress(ULONG index, ULONG count, const wchar_t* title) noexcept = 0;

protected:
    ~ParameterListHost() = default;
};
