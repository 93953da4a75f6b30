#include "controls/base/QuelkCyclicTimer.h"

#include "controls/base/ControlArguments.h"
#include <new>

#include "classlib/ComPtr.h"
#include "classlib/Variant.h"
#include "dataset/VariableFields.h"

namespace {

// The access word of `id`; false when it cannot be read as a number.
bool ReadAccess(IQuelkVariableFields* fields, ULONG id, ULONG& access) noexcept {
    ql::Variant word;
    if (FAILED(fields->GetVariableField(*UlongArgument(id), *UlongArgument(kFieldAccess), word.Get())))
        return false;
    if (FAILED(word.ChangeType(VT_UI4))) return false;
    access = V_UI4(word.Get());
    return true;
}

void WriteAccess(IQuelkVariableFields* fields, ULONG id, ULONG access) noexcept {
    // The mark only routes the cyclic value to the open user interfaces; a store that refuses the word (an id
    // it does not hold) neither took the mark nor needs it back.
    (void)fields->SetVariableField(*UlongArgument(id), *UlongArgument(kFieldAccess), *UlongArgument(access));
}

}  // namespace

bool CQuelkCyclicTimer::Start(HWND window, UINT_PTR timerId, UINT interval) noexcept {
    Stop();
    if (timerId == 0) return false;
    if (::SetTimer(window, timerId, interval, nullptr) == 0) return false;
    timerId_ = timerId;
    window_ = window;
    return true;
}

void CQuelkCyclicTimer::Stop() noexcept {
    if (timerId_ == 0) return;
    ::KillTimer(window_, timerId_);
    timerId_ = 0;
}

bool CQuelkCyclicTimer::AddId(ULONG id) noexcept {
    try {
        ids_.push_back(id);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void CQuelkCyclicReader::Tick(IQuelkVariables* variables) noexcept {
    if (!variables || ticking_) return;
    ScopedFlag<bool> ticking(ticking_);
    ql::ComPtr<ICheckOnlineParameter> transfers;
    if (SUCCEEDED(variables->QueryInterface(IID_ICheckOnlineParameter, transfers.PutVoid())) && transfers) {
        LONG running = 0;
        // A cyclic read must not slip into a running bulk transfer of the dataset.
        if (SUCCEEDED(transfers->CheckIfUpDownloadRunning(&running)) && running != 0) return;
    }
    ql::ComPtr<IQuelkDtm> dtm;
    ql::ComPtr<IQuelkVariablesEx> store;
    if (FAILED(variables->QueryInterface(IID_IQuelkDtm, dtm.PutVoid())) || !dtm) return;
    if (FAILED(variables->QueryInterface(IID_IQuelkVariablesEx, store.PutVoid())) || !store) return;
    ULONG state = 0;
    if (FAILED(dtm->GetState(&state)) || state != kStateConnected) return;
    ql::ComPtr<IQuelkVariableFields> fields;
    // A DTM without the fields interface gets no cyclic read (checked below).
    (void)variables->QueryInterface(IID_IQuelkVariableFields, fields.PutVoid());
    if (!fields) return;
    // A copy: a nested Init may append to the list while a read pumps messages.
    const std::vector<ULONG> ids = timer_.Ids();
    for (ULONG id : ids) ReadMarked(store.Get(), fields.Get(), id);
}

void CQuelkCyclicReader::ReadMarked(IQuelkVariablesEx* store, IQuelkVariableFields* fields,
                                    ULONG id) noexcept {
    ULONG access = 0;
    // An unreadable access word is skipped: writing one back from an empty value would destroy it.
    if (!ReadAccess(fields, id, access)) return;
    WriteAccess(fields, id, access | kAccessOnlineTransferMark);
    VARIANT_BOOL ok = VARIANT_FALSE;
    (void)store->ReadFromDevice(id, &ok);
    // Only the mark goes: changes made to the word during the read survive.
    ULONG after = access;
    (void)ReadAccess(fields, id, after);
    WriteAccess(fields, id, after & ~kAccessOnlineTransferMark);
}
