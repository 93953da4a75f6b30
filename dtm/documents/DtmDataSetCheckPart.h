#pragma once
// CDtmDataSetCheckPart: IDtmDataSetCheck of the DTM object. VerifyDataSet checks every value of the
// dataset with the store's value check and tells the frame once when any is rejected; InitCompare,
// Compare and ReleaseCompare compare the dataset with the dataset of another DTM of the frame's project,
// which the frame hands out by system tag (IFrameDtmAccess) and takes back.
//
// The compare link (kept by the lifecycle, reached through the host): idle -> (InitCompare) initialised
// -> (Compare, any number of times) -> (ReleaseCompare answered VARIANT_TRUE by the frame) idle. While
// Compare runs it calls into the other DTM, which may call back into the frame and so into this DTM: a
// ReleaseCompare arriving then finds the compare running and does nothing, so the other DTM's interface stays
// valid for the running loop.
//
// A member part of the DTM object (QL_ENTRY_MEMBER row for IDtmDataSetCheck).
// The part keeps no state of its own. Threading: apartment-threaded; nothing is locked.
#include <windows.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "idl/OutsideDispatch.h"
#include "dtm/DtmHost.h"

class CDtmDataSetCheckPart : public ql::MemberPart, public FdtDispatchImpl<IDtmDataSetCheck> {
    QL_MEMBER_IUNKNOWN()

public:
    CDtmDataSetCheckPart(ql::PartOwner& owner, DtmHost& host) noexcept : ql::MemberPart(owner), host_(host) {}
    CDtmDataSetCheckPart(const CDtmDataSetCheckPart&) = delete;
    CDtmDataSetCheckPart& operator=(const CDtmDataSetCheckPart&) = delete;

    // Every method: E_INVALIDARG for a null result, which is VARIANT_FALSE first; S_FALSE outside states
    // 8 to 12; the three compare methods also S_FALSE for an observer.
    HRESULT STDMETHODCALLTYPE VerifyDataSet(VARIANT_BOOL* valid) noexcept override;
    HRESULT STDMETHODCALLTYPE InitCompare(BSTR systemTag, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE Compare(VARIANT_BOOL* equal) noexcept override;
    HRESULT STDMETHODCALLTYPE ReleaseCompare(VARIANT_BOOL* released) noexcept override;

    // S_OK; `valid` VARIANT_TRUE when the value check rejects no value. The first rejected value of a run
    // sends message 2002 to the frame; the others are not reported.
    HRESULT ValidateDataSet(VARIANT_BOOL* valid) noexcept;

private:
    bool MayCompare() noexcept;
    HRESULT FrameDtmAccess(ql::ComPtr<IFrameDtmAccess>& access) noexcept;
    HRESULT CompareWith(IQuelkVariableFields* other, VARIANT_BOOL* equal) noexcept;

    DtmHost& host_;
};
