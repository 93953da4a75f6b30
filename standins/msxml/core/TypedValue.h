// The typed value of a node (nodeTypedValue), in the form the COM layer turns
// into a VARIANT: each Kind names the VARIANT type it becomes (Bytes is
// VT_ARRAY|VT_UI1, Date is VT_DATE as an OLE automation date, Currency is VT_CY
// scaled by 10000, String is VT_BSTR, Null is VT_NULL).
#pragma once

#include "DataType.h"
#include "XmlString.h"

#include <cstdint>
#include <vector>

namespace msxml_core {

struct TypedValue {
    enum class Kind { Null, String, Bytes, I1, I2, I4, I8, UI1, UI2, UI4, UI8, R4, R8, Bool, Date, Currency };

    Kind kind = Kind::Null;
    XmlString text;                // String
    std::vector<uint8_t> bytes;    // Bytes
    int64_t integer = 0;           // I1..I8, Currency
    uint64_t unsignedInteger = 0;  // UI1..UI8
    double real = 0;               // R4 (already rounded to float), R8, Date
    bool boolean = false;          // Bool
};

// Parses text as a value of the data type. None and the string-like types give
// Kind::String with the text unchanged. False when the text is not a valid value.
bool ParseTypedValue(DataType type, XmlStringView text, TypedValue& value);

// Length of a value for dt:minLength/dt:maxLength: characters for text types,
// bytes for the binary types.
size_t ValueLength(DataType type, XmlStringView text);

}  // namespace msxml_core
