#include "dtm/documents/DtmDataSetCheckPart.h"

#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "dtm/documents/DocumentConditions.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/VariableFields.h"
#include "dtm/QuelkDtm.h"
#include "dtm/documents/ToolkitMessage.h"
#include "values/ValueComparison.h"

namespace {

// Marks the comparison running for the scope, so a release arriving meanwhile is refused.
class CompareRunningScope {
public:
    explicit CompareRunningScope(DtmHost& host) noexcept : host_(host) {
        host_.Lifecycle().SetCompareRunning(true);
    }
    CompareRunningScope(const CompareRunningScope&) = delete;
    CompareRunningScope& operator=(const CompareRunningScope&) = delete;
    ~CompareRunningScope() { host_.Lifecycle().SetCompareRunning(false); }

private:
    DtmHost& host_;
};

}  // namespace

HRESULT CDtmDataSetCheckPart::VerifyDataSet(VARIANT_BOOL* valid) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, valid == nullptr);
    *valid = VARIANT_FALSE;
    if (!IsConfiguredState(host_.Lifecycle().State())) return S_FALSE;
    return ValidateDataSet(valid);
}

HRESULT CDtmDataSetCheckPart::ValidateDataSet(VARIANT_BOOL* valid) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, valid == nullptr);
    CQuelkVariableStore& store = host_.Store();
    bool rejected = false;
    // The count is read afresh each turn: the list is walked as it stands.
    for (ULONG i = 0; i < store.Variables().Count(); ++i) {
        CQuelkVariable record;
        if (FAILED(store.Variables().GetVariableAt(static_cast<int>(i), &record))) continue;
        ULONG flags = 0;
        if (FAILED(store.CheckValue(record.Id(), *record.Value, &flags))) continue;
        if ((flags & kAccessRejected) && !rejected) {
            rejected = true;
            QL_RETURN_IF_FAILED(SendToolkitMessage(host_, kMessageInvalidParameters));
        }
    }
    *valid = rejected ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

bool CDtmDataSetCheckPart::MayCompare() noexcept {
    return IsConfiguredState(host_.Lifecycle().State()) && IsAboveObserver(host_.Lifecycle().UserLevel());
}

HRESULT CDtmDataSetCheckPart::FrameDtmAccess(ql::ComPtr<IFrameDtmAccess>& access) noexcept {
    if (FAILED(ql::QueryInterfaceTo(host_.Lifecycle().Frame(), access)) || !access) return E_POINTER;
    return S_OK;
}

HRESULT CDtmDataSetCheckPart::InitCompare(BSTR systemTag, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, ok == nullptr);
    *ok = VARIANT_FALSE;
    if (!MayCompare()) return S_FALSE;
    // A link already made stays with its first DTM.
    if (host_.Lifecycle().CompareInitialised()) return S_OK;

    ql::ComPtr<IFrameDtmAccess> access;
    QL_RETURN_IF_FAILED(FrameDtmAccess(access));
    const ql::SelfHold hold(host_.ControllingUnknown());
    ql::ComPtr<IDtm> other;
    QL_RETURN_IF_FAILED(access->GetDtm(systemTag, other.Put()));
    if (!other) return S_OK;

    QL_RETURN_IF_FAILED(host_.Lifecycle().ComparePeerTag().AssignCopy(systemTag));
    ql::ComPtr<IQuelkVariableFields> fields;
    // A DTM without the fields interface is handled below.
    (void)ql::QueryInterfaceTo(other.Get(), fields);
    host_.Lifecycle().ComparePeerStore() = fields;
    if (!fields) {
        // A DTM that does not show its records cannot be compared: give it back.
        VARIANT_BOOL released = VARIANT_FALSE;
        QL_RETURN_IF_FAILED(access->ReleaseDtm(systemTag, &released));
        return S_OK;
    }
    host_.Lifecycle().SetCompareInitialised(true);
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CDtmDataSetCheckPart::Compare(VARIANT_BOOL* equal) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, equal == nullptr);
    *equal = VARIANT_FALSE;
    if (!MayCompare()) return S_FALSE;
    if (!host_.Lifecycle().CompareInitialised()) return S_OK;
    // Held for the whole loop, whatever the calls into the other DTM lead to.
    const ql::ComPtr<IQuelkVariableFields> other = host_.Lifecycle().ComparePeerStore();
    if (!other) return E_POINTER;
    const ql::SelfHold hold(host_.ControllingUnknown());
    const CompareRunningScope running(host_);
    return CompareWith(other.Get(), equal);
}

HRESULT CDtmDataSetCheckPart::CompareWith(IQuelkVariableFields* other, VARIANT_BOOL* equal) noexcept {
    ql::Variant count;
    const HRESULT counted = other->GetCountVariant(count.Put());
    QL_RETURN_IF_FAILED(counted);
    if (count.Type() != VT_UI4) return counted;
    const CQuelkVariableList& own = host_.Store().Variables();
    if (V_UI4(count.Get()) != own.Count()) return S_OK;

    for (ULONG i = 0; i < V_UI4(count.Get()); ++i) {
        ql::Variant index, id;
        index.SetUI4(i);
        const HRESULT found = other->GetVariableAtVariant(*index.Get(), id.Put());
        QL_RETURN_IF_FAILED(found);
        if (id.Type() != VT_UI4) return found;
        // Both datasets must hold the same ids in the same order.
        CQuelkVariable record;
        if (FAILED(own.GetVariableAt(static_cast<int>(i), &record)) || record.Id() != V_UI4(id.Get()))
            return S_OK;

        ql::Variant mask, value;
        mask.SetI4(static_cast<LONG>(kFieldValue));
        QL_RETURN_IF_FAILED(other->GetVariableField(*id.Get(), *mask.Get(), value.Put()));
        // The other DTM's value chooses the comparison rule.
        if (!IsVariantEqual(*value, *record.Value)) return S_OK;
    }
    *equal = VARIANT_TRUE;
    return S_OK;
}

HRESULT CDtmDataSetCheckPart::ReleaseCompare(VARIANT_BOOL* released) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, released == nullptr);
    *released = VARIANT_FALSE;
    if (!MayCompare()) return S_FALSE;
    if (!host_.Lifecycle().CompareInitialised() || host_.Lifecycle().CompareRunning()) return S_OK;

    ql::ComPtr<IFrameDtmAccess> access;
    QL_RETURN_IF_FAILED(FrameDtmAccess(access));
    const ql::SelfHold hold(host_.ControllingUnknown());
    QL_RETURN_IF_FAILED(access->ReleaseDtm(host_.Lifecycle().ComparePeerTag().Get(), released));
    // A frame that keeps the DTM keeps the link as well.
    if (*released == VARIANT_TRUE) {
        host_.Lifecycle().ComparePeerStore().Reset();
        host_.Lifecycle().SetCompareInitialised(false);
    }
    return S_OK;
}
