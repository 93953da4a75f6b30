#include "DataType.h"

namespace msxml_core {
namespace {

struct DataTypeEntry {
    DataType type;
    XmlStringView name;
};

constexpr DataTypeEntry kDataTypeNames[] = {
    {DataType::String, u"string"},
    {DataType::Number, u"number"},
    {DataType::Int, u"int"},
    {DataType::Float, u"float"},
    {DataType::Fixed14_4, u"fixed.14.4"},
    {DataType::Boolean, u"boolean"},
    {DataType::DateTime, u"dateTime"},
    {DataType::DateTimeTz, u"dateTime.tz"},
    {DataType::Date, u"date"},
    {DataType::Time, u"time"},
    {DataType::TimeTz, u"time.tz"},
    {DataType::I1, u"i1"},
    {DataType::I2, u"i2"},
    {DataType::I4, u"i4"},
    {DataType::I8, u"i8"},
    {DataType::UI1, u"ui1"},
    {DataType::UI2, u"ui2"},
    {DataType::UI4, u"ui4"},
    {DataType::UI8, u"ui8"},
    {DataType::R4, u"r4"},
    {DataType::R8, u"r8"},
    {DataType::Uuid, u"uuid"},
    {DataType::BinHex, u"bin.hex"},
    {DataType::BinBase64, u"bin.base64"},
    {DataType::Char, u"char"},
    {DataType::Uri, u"uri"},
    {DataType::Id, u"id"},
    {DataType::IdRef, u"idref"},
    {DataType::IdRefs, u"idrefs"},
    {DataType::Entity, u"entity"},
    {DataType::Entities, u"entities"},
    {DataType::NmToken, u"nmtoken"},
    {DataType::NmTokens, u"nmtokens"},
    {DataType::Notation, u"notation"},
    {DataType::Enumeration, u"enumeration"},
};

}  // namespace

XmlStringView DataTypeName(DataType type) {
    for (const DataTypeEntry& entry : kDataTypeNames) {
        if (entry.type == type) return entry.name;
    }
    return {};
}

bool DataTypeFromName(XmlStringView name, DataType& type) {
    for (const DataTypeEntry& entry : kDataTypeNames) {
        if (entry.name == name) {
            type = entry.type;
            return true;
        }
    }
    return false;
}

}  // namespace msxml_core
