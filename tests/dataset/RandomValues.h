#pragma once
// Randomised valid values for every persistent record of the device table, for the round trips of the
// parameter list: texts with markup, quotes, tabs, line ends and ANSI letters; numbers within their range
// (an enumeration one of its codes); any finite float; byte strings of the length the record holds (0 to
// 200 bytes for one that holds none). Seeded, so a failure names the seed that reproduces it.
#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <random>
#include <string>

#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "dataset/ParameterTable.h"
#include "dataset/QuelkVariable.h"
#include "dataset/VariableFields.h"
#include "values/EnumEntries.h"

namespace randomvalues {

inline ql::Variant RandomValueFor(const CQuelkVariable& record, std::mt19937& random) {
    ql::Variant value;
    auto below = [&](ULONG bound) { return static_cast<ULONG>(random() % bound); };
    const VARTYPE type = record.DataType;
    if (record.EnumerationKind == kEnumerationList) {
        ULONG count = 0;
        long code = 0;
        ql::Variant textHolder;
        BSTR text = nullptr;
        if (SUCCEEDED(GetEnumListCount(*record.EnumerationEntries, &count)) && count > 0 &&
            SUCCEEDED(GetEnumListEntry(*record.EnumerationEntries, below(count), &code, &text))) {
            textHolder.AttachBstr(text);
            value.SetUI4(static_cast<ULONG>(code));
            (void)value.ChangeType(type);
            return value;
        }
    }
    switch (type) {
        case VT_BSTR: {
            static const wchar_t kCharacters[] = L"aZ09 -_.\"<>&'\t\r\n\u00e9\u00fc\u00df\u20ac;:=/";
            std::wstring text(below(40), L' ');
            for (wchar_t& c : text) c = kCharacters[below(sizeof kCharacters / sizeof kCharacters[0] - 1)];
            (void)value.SetBstr(text.c_str());
            return value;
        }
        case VT_R4: {
            ULONG bits = static_cast<ULONG>(random());
            if (((bits >> 23) & 0xFF) == 0xFF) bits &= ~(1UL << 30);  // no infinity, no NaN
            if (bits == 0x80000000UL) bits = 0;                       // no negative zero
            float number;
            std::memcpy(&number, &bits, sizeof number);
            ql::Variant lower, upper;
            if (SUCCEEDED(lower.CopyFrom(*record.MinValue)) && SUCCEEDED(upper.CopyFrom(*record.MaxValue)) &&
                SUCCEEDED(lower.ChangeType(VT_R8)) && SUCCEEDED(upper.ChangeType(VT_R8)) &&
                lower->dblVal < upper->dblVal) {
                // A range: a number inside it (equal bounds mean no range).
                number = static_cast<float>(lower->dblVal +
                                            (upper->dblVal - lower->dblVal) * (random() / 4294967296.0));
            }
            value.SetR4(number);
            return value;
        }
        case VT_UI1:
        case VT_UI2:
        case VT_UI4: {
            const ULONG width = type == VT_UI1 ? 0xFF : type == VT_UI2 ? 0xFFFF : 0xFFFFFFFF;
            ULONG lower = 0, upper = width;
            ql::Variant low, high;
            if (SUCCEEDED(low.CopyFrom(*record.MinValue)) && SUCCEEDED(high.CopyFrom(*record.MaxValue)) &&
                SUCCEEDED(low.ChangeType(VT_UI4)) && SUCCEEDED(high.ChangeType(VT_UI4)) &&
                low->ulVal < high->ulVal) {
                lower = low->ulVal;
                upper = high->ulVal;
            }
            const ULONGLONG span = static_cast<ULONGLONG>(upper) - lower + 1;
            value.SetUI4(static_cast<ULONG>(lower + static_cast<ULONGLONG>(random()) % span));
            (void)value.ChangeType(type);
            return value;
        }
        case VT_ARRAY | VT_UI1: {
            ULONG count = below(201);
            LONG lower = 0, upper = -1;
            if (record.Value.Type() == (VT_ARRAY | VT_UI1) && V_ARRAY(record.Value.Get()) &&
                SUCCEEDED(::SafeArrayGetLBound(V_ARRAY(record.Value.Get()), 1, &lower)) &&
                SUCCEEDED(::SafeArrayGetUBound(V_ARRAY(record.Value.Get()), 1, &upper)) && upper >= lower) {
                count = static_cast<ULONG>(upper - lower + 1);
            }
            ql::SafeArray array;
            if (FAILED(array.Create(VT_UI1, count))) return value;
            {
                ql::SafeArrayData<BYTE> data(array.Get());
                for (ULONG i = 0; i < count; ++i) data[i] = static_cast<BYTE>(random());
            }
            value.AttachArray(VT_UI1, array.Detach());
            return value;
        }
        default:
            return value;  // no other type is persistent in the table
    }
}

// The records a parameter list may set for a user who may write every record: saved with the project,
// writable, no credential.
inline bool IsSetByLists(const CQuelkVariable& record) {
    return record.Persistent == 1 && (record.Access & kAccessWritable) &&
           record.Id() != kParameterServicePassword;
}

}  // namespace randomvalues
