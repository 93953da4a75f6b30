// The data types of MSXML's datatypes namespace (urn:schemas-microsoft-com:datatypes)
// and their names as dt:type, dt:dt and the dataType property spell them.
#pragma once

#include "XmlString.h"

#include <cstdint>

namespace msxml_core {

enum class DataType : uint8_t {
    None,  // untyped: the typed value is the text
    String,
    Number,
    Int,
    Float,
    Fixed14_4,
    Boolean,
    DateTime,
    DateTimeTz,
    Date,
    Time,
    TimeTz,
    I1,
    I2,
    I4,
    I8,
    UI1,
    UI2,
    UI4,
    UI8,
    R4,
    R8,
    Uuid,
    BinHex,
    BinBase64,
    Char,
    Uri,
    Id,
    IdRef,
    IdRefs,
    Entity,
    Entities,
    NmToken,
    NmTokens,
    Notation,
    Enumeration,
};

// The name as MSXML spells it ("bin.hex", "ui4", ...); empty for None.
XmlStringView DataTypeName(DataType type);

// Parses a dt:type / dt:dt value; false for a name MSXML does not know.
bool DataTypeFromName(XmlStringView name, DataType& type);

}  // namespace msxml_core
