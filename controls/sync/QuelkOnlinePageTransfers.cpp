// The online page's transfers of one parameter, each under its transfer mark: a store into the dataset, a
// commit to the device (online) or into the dataset marked as not yet in the device (offline), and a read
// from the device.
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/sync/AccessWordMark.h"
#include "controls/sync/CommitChecks.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "dataset/VariableFields.h"

namespace {

// Read from the device without a mark, online or not: the page shows them from the dataset afterwards.
bool IsAlwaysReadUnmarked(ULONG id) noexcept {
    constexpr ULONG kNominalSize = 44, kMassFlowUnit = 47;
    return id == kNominalSize || id == kMassFlowUnit;
}

constexpr ULONG kTransferMarks = kAccessOnlineTransferMark | kAccessOfflineStoreMark;

}  // namespace

HRESULT CQuelkOnlinePage::StoreControlValue(ULONG id) noexcept {
    ql::Variant value;
    const HRESULT prepared = PrepareCommitValue(*this, id, m_variables.Get(), value.Get());
    if (prepared != S_OK) return prepared;

    // Online the dataset announces the value (0x2800) instead of keeping it; offline it keeps it and the
    // online pages ignore its 0x2702. A word that cannot be read is not written back: no mark then.
    const ULONG mark = IsOnline() ? kAccessOnlineTransferMark : kAccessOfflineStoreMark;
    ULONG access = 0;
    const bool markable = AccessWordMark::ReadWord(m_variables.Get(), id, access);
    AccessWordMark marked(markable ? m_variables.Get() : nullptr, id, (access & ~kTransferMarks) | mark,
                          access & ~kTransferMarks);
    QL_RETURN_IF_FAILED(m_variables->SetValue(*UlongArgument(id), *value));
    // Taken while the mark stands, so the rows carry it until the next state.
    return ApplyRecordState(*this, id);
}

HRESULT CQuelkOnlinePage::CommitParameter(ULONG id) noexcept {
    ql::ComPtr<IQuelkVariablesEx> store;
    (void)QueryDtm(store);  // a DTM without it is refused after the row checks
    ULONG access = 0;
    ql::Variant value;
    const HRESULT prepared = PrepareCommitValue(*this, id, store.Get(), value.Get(), &access);
    if (prepared != S_OK) return prepared;
    QL_RETURN_IF_FAILED(IsOnline() ? CommitOnline(id, access, *value, store.Get())
                                   : CommitOffline(id, access, *value));
    return ApplyRecordState(*this, id);
}

HRESULT CQuelkOnlinePage::CommitOnline(ULONG id, ULONG access, const VARIANT& value,
                                       IQuelkVariablesEx* store) noexcept {
    if (DeviceSilent()) return E_ABORT;
    const ULONG marked = access | kAccessOnlineTransferMark;
    HRESULT written = S_OK, readBack = S_OK;
    VARIANT_BOOL done = VARIANT_FALSE;
    {
        // The device's answers come back as 0x2800 (shown) and 0x2801 (written) while the mark stands; the
        // dataset and its modified bit stay as they were.
        AccessWordMark mark(m_variables.Get(), id, marked,
                            access & ~(kAccessOnlineTransferMark | kAccessDiffers));
        // A write the device refused fails (kDeviceRefusedResult), its message already with the page.
        written = NoteDeviceResult(store->WriteToDevice(id, value, &done));
        // Read back also after a refused write, so the control shows what the device holds; not after a
        // write that got no answer.
        if (!DeviceSilent()) {
            VARIANT_BOOL read = VARIANT_FALSE;
            readBack = NoteDeviceResult(store->ReadFromDevice(id, &read));
        }
        // The row shows the word as far as it can; the write's and the read's results below are the answer.
        (void)SetStateById(id, marked & ~kAccessDiffers);
    }
    QL_RETURN_IF_FAILED(written);
    QL_RETURN_IF_FAILED(readBack);
    return done == VARIANT_TRUE ? S_OK : S_FALSE;
}

HRESULT CQuelkOnlinePage::CommitOffline(ULONG id, ULONG access, const VARIANT& value) noexcept {
    HRESULT stored = S_OK;
    {
        AccessWordMark mark(m_variables.Get(), id, access | kAccessOfflineStoreMark,
                            (access & ~kAccessOfflineStoreMark) | kAccessDiffers);
        stored = m_variables->SetValue(*UlongArgument(id), value);
        // A value that never reached the dataset is not waiting for a download.
        if (FAILED(stored)) mark.SetRestoreWord(access & ~kAccessOfflineStoreMark);
    }
    if (FAILED(stored)) {
        // The rows drop what the check marked and show the record as it stays.
        (void)ApplyRecordState(*this, id);
    }
    return stored;
}

HRESULT CQuelkOnlinePage::LoadParameter(ULONG id) noexcept {
    if (DeviceSilent()) return E_ABORT;
    if (IsAlwaysReadUnmarked(id)) return NoteDeviceResult(CQuelkControlBase::LoadParameter(id));
    ql::ComPtr<IQuelkVariablesEx> store;
    if (FAILED(QueryDtm(store)) || !store) return E_POINTER;
    ULONG access = 0;
    QL_RETURN_IF_FAILED(GetParameterState(id, &access));
    if (!IsOnline()) return S_OK;
    HRESULT read = S_OK;
    VARIANT_BOOL done = VARIANT_FALSE;
    {
        AccessWordMark mark(m_variables.Get(), id, access | kAccessOnlineTransferMark,
                            access & ~kAccessOnlineTransferMark);
        read = NoteDeviceResult(store->ReadFromDevice(id, &done));
    }
    QL_RETURN_IF_FAILED(read);
    QL_RETURN_HR_IF(E_FAIL, done != VARIANT_TRUE);
    // The word from before the read: the page's handling of 0x2801 may have taken 0x02 off the rows.
    QL_RETURN_IF_FAILED(SetStateById(id, access));
    return S_OK;
}
