#include "controls/base/ParameterMapEntry.h"

#include <cstring>
#include <new>

#include "classlib/ComModule.h"

namespace {

constexpr int kNameBufferChars = 256;

}  // namespace

ParameterMapEntry::ParameterMapEntry(ULONG id_, const char* name_, ULONG nameStringId_, ULONG controlId_,
                                     const char* format_, ULONG state_, ULONG controlFlags_,
                                     HWND controlWindow_, HWND markerWindow_, ULONG markerFlag_,
                                     ULONG stateMask_) noexcept
    : id(id_),
      name(name_),
      nameStringId(nameStringId_),
      controlId(controlId_),
      format(format_),
      state(state_),
      markerFlag(markerFlag_),
      controlWindow(controlWindow_),
      markerWindow(markerWindow_),
      controlFlags(controlFlags_),
      stateMask(stateMask_) {
    if (nameStringId == 0) return;
    char loaded[kNameBufferChars] = {};
    if (::LoadStringA(ql::ComModule::Instance().ResourceInstance(), nameStringId, loaded, kNameBufferChars) >
        0) {
        TakeName(loaded);
    }
}

ParameterMapEntry::ParameterMapEntry() noexcept
    : ParameterMapEntry(kEndRowId, nullptr, 0, 0, nullptr, kEndRowState, kControlDefaultColors) {}

ParameterMapEntry::ParameterMapEntry(const ParameterMapEntry& source) noexcept { CopyFrom(source); }

ParameterMapEntry& ParameterMapEntry::operator=(const ParameterMapEntry& source) noexcept {
    if (this != &source) CopyFrom(source);
    return *this;
}

void ParameterMapEntry::CopyFrom(const ParameterMapEntry& source) noexcept {
    id = source.id;
    name = source.name;
    nameStringId = source.nameStringId;
    controlId = source.controlId;
    format = source.format;
    state = source.state;
    markerFlag = source.markerFlag;
    controlWindow = source.controlWindow;
    markerWindow = source.markerWindow;
    controlFlags = source.controlFlags;
    enumerationKind = source.enumerationKind;
    stateMask = source.stateMask;
    ownedName_.reset();
    if (source.OwnsName()) TakeName(source.name);
    const HRESULT copied = enumeration.CopyFrom(*source.enumeration);
    if (FAILED(copied)) enumeration.SetError(copied);
}

void ParameterMapEntry::TakeName(const char* text) noexcept {
    const size_t length = std::strlen(text);
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length + 1]);
    if (!copy) return;  // the name stays the one the map gave
    std::memcpy(copy.get(), text, length + 1);
    ownedName_ = std::move(copy);
    name = ownedName_.get();
}

ParameterMap::ParameterMap(std::initializer_list<ParameterMapEntry> rows) {
    rows_.reserve(rows.size() + 1);
    for (const ParameterMapEntry& row : rows) rows_.push_back(row);
    rows_.emplace_back();
}

const ParameterMapEntry* ParameterMap::GetParamMap(ULONG* count) const noexcept {
    if (count) *count = static_cast<ULONG>(rows_.size() - 1);
    return rows_.data();
}

HRESULT ParameterMap::CopyRows(std::vector<ParameterMapEntry>& copy) const noexcept {
    try {
        copy = rows_;
        return S_OK;
    } catch (const std::bad_alloc&) {
        copy.clear();
        return E_OUTOFMEMORY;
    }
}

int FindParamRow(const ParameterMapEntry* rows, ULONG id) noexcept {
    if (!rows || id == kEndRowId) return -1;
    for (int row = 0; !rows[row].IsEndRow(); ++row) {
        if (rows[row].id == id) return row;
    }
    return -1;
}
