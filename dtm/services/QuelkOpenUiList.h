#pragma once
// CQuelkOpenUiList: the register of open user interfaces. Every control of the DTM that the frame opened
// registers under its invoke id and leaves when it closes. Records stay in order of registration; a removed
// record's successors move down one place.
//
// Used on the DTM object's apartment thread only. Each record holds one reference to its control.
#include <windows.h>

#include <cstddef>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"

struct QuelkOpenUi {
    ql::Bstr InvokeId;      // the key; may be null
    ql::Bstr FunctionCall;  // the function-call document the control reported, or none
    LONG FunctionId = 0;    // read from that document; 0 when none could be read
    ql::ComPtr<IUnknown> Control;
    // The user interface counts among the holders of the frame's data-set lock. Only a record that was
    // counted is counted down again, so the count cannot drift when a lock step failed or an invoke id
    // registered twice.
    bool HoldsDataLock = false;
};

class CQuelkOpenUiList {
public:
    CQuelkOpenUiList() = default;
    CQuelkOpenUiList(const CQuelkOpenUiList&) = delete;
    CQuelkOpenUiList& operator=(const CQuelkOpenUiList&) = delete;

    size_t Count() const noexcept { return records_.size(); }
    QuelkOpenUi& At(size_t index) noexcept { return records_[index]; }
    // The index of the record whose key equals `invokeId` exactly (case-sensitive; a null key matches only
    // a null key); -1 when there is none.
    long Find(BSTR invokeId) const noexcept;
    HRESULT Append(QuelkOpenUi record) noexcept;
    void RemoveAt(size_t index) noexcept;

private:
    std::vector<QuelkOpenUi> records_;
};
