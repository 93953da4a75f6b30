#include "frame/DtmSession.h"

#include <objbase.h>

#include "classlib/HResult.h"

HRESULT CDtmSession::CreateByProgId(const wchar_t* progId) noexcept {
    Release();
    CLSID classId = {};
    QL_RETURN_IF_FAILED(::CLSIDFromProgID(progId, &classId));
    ql::ComPtr<IUnknown> object;
    QL_RETURN_IF_FAILED(
        ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()));
    return Attach(object.Get());
}

HRESULT CDtmSession::Attach(IUnknown* dtm) noexcept {
    Release();
    QL_RETURN_IF_NULL_OUT(dtm);
    ql::ComPtr<IDtm> lifecycle;
    QL_RETURN_IF_FAILED(dtm->QueryInterface(IID_IDtm, lifecycle.PutVoid()));
    object_ = ql::ComPtr<IUnknown>(dtm);
    dtm_ = std::move(lifecycle);
    // A DTM of another maker has no toolkit interface; the state is then not shown.
    (void)dtm->QueryInterface(IID_IQuelkDtm, toolkit_.PutVoid());
    return S_OK;
}

void CDtmSession::Release() noexcept {
    toolkit_.Reset();
    dtm_.Reset();
    object_.Reset();
}

ULONG CDtmSession::State() const noexcept {
    ULONG state = kNoState;
    if (!toolkit_ || FAILED(toolkit_->GetState(&state))) return kNoState;
    return state;
}
