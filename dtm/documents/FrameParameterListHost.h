#pragma once
// CFrameParameterListHost: the parameter list export and import as the DTM object runs them. Documents load
// through the DTM's XML handler (its schema cache; failures reported to the frame), progress goes to the
// frame's progress display the way the DTM's dataset transfer shows its own
// (CQuelkDatasetTransfer::ReportProgress).
//
// A member of the import and export part; apartment thread only.
#include <windows.h>

#include "dataset/ParameterListHost.h"
#include "dtm/DtmHost.h"

class CFrameParameterListHost final : public ParameterListHost {
public:
    explicit CFrameParameterListHost(DtmHost& host) noexcept : host_(host) {}
    CFrameParameterListHost(const CFrameParameterListHost&) = delete;
    CFrameParameterListHost& operator=(const CFrameParameterListHost&) = delete;
    ~CFrameParameterListHost() = default;

    HRESULT LoadParameterList(BSTR text, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept override;
    void ReportProgress(ULONG index, ULONG count, const wchar_t* title) noexcept override;

private:
    DtmHost& host_;
};
