#pragma once
// CDtmSession: the frame's hold on one DTM instance of its project: the object created through COM by its
// ProgID (so the DTM's registration is what finds it), its IDtm, and the toolkit's IQuelkDtm through which
// the frame host reads the lifecycle state it prints.
#include <windows.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"

class CDtmSession {
public:
    // Never a state of the DTM: the session holds none, or the DTM does not tell.
    static constexpr ULONG kNoState = 0xFFFFFFFF;

    CDtmSession() noexcept = default;
    CDtmSession(const CDtmSession&) = delete;
    CDtmSession& operator=(const CDtmSession&) = delete;

    // CLSIDFromProgID, then an in-process instance. REGDB_E_CLASSNOTREG (or CO_E_CLASSSTRING for an unknown
    // ProgID) when the DTM is not registered.
    HRESULT CreateByProgId(const wchar_t* progId) noexcept;
    // Takes a DTM created elsewhere.
    HRESULT Attach(IUnknown* dtm) noexcept;
    // Lets the DTM go (the last references of the frame).
    void Release() noexcept;

    IUnknown* Object() const noexcept { return object_.Get(); }
    IDtm* Dtm() const noexcept { return dtm_.Get(); }
    ULONG State() const noexcept;

private:
    ql::ComPtr<IUnknown> object_;
    ql::ComPtr<IDtm> dtm_;
    ql::ComPtr<IQuelkDtm> toolkit_;
};
