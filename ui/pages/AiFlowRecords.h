#pragma once
// The AI flow block's records that its page edits field by field, and the dataset's member variables that
// hold their fields: which members make up a record, and which record a member belongs to.
#include <windows.h>

#include <cstddef>

namespace aiflow {

constexpr ULONG kPvScale = 70, kOutScale = 71, kSimulation = 82;
constexpr ULONG kPvAt0 = 105, kPvAt100 = 106;
constexpr ULONG kOutAt100 = 107, kOutAt0 = 108, kOutUnit = 109, kDecimalPoint = 110;
constexpr ULONG kSimValue = 111, kSimStatus = 112, kSimEnable = 113;

struct MemberList {
    const ULONG* ids;
    size_t count;
};

// The members of `record` in their field order; none for an id that is no such record.
inline MemberList MembersOf(ULONG record) noexcept {
    static constexpr ULONG kPvMembers[] = {kPvAt100, kPvAt0};
    static constexpr ULONG kOutMembers[] = {kOutAt100, kOutAt0, kOutUnit, kDecimalPoint};
    static constexpr ULONG kSimulationMembers[] = {kSimStatus, kSimValue, kSimEnable};
    switch (record) {
        case kPvScale:
            return {kPvMembers, 2};
        case kOutScale:
            return {kOutMembers, 4};
        case kSimulation:
            return {kSimulationMembers, 3};
        default:
            return {nullptr, 0};
    }
}

// The record that holds member `id`; any other id stands for itself.
constexpr ULONG RecordOf(ULONG id) noexcept {
    if (id == kPvAt0 || id == kPvAt100) return kPvScale;
    if (id >= kOutAt100 && id <= kDecimalPoint) return kOutScale;
    if (id >= kSimValue && id <= kSimEnable) return kSimulation;
    return id;
}

}  // namespace aiflow
