#include "XdrSchema.h"

namespace msxml_core {

const XdrElementType* XdrSchema::FindElementType(XmlStringView name) const {
    auto found = elementIndex_.find(name);
    return found == elementIndex_.end() ? nullptr : found->second;
}

const XdrAttributeType* XdrSchema::FindAttributeType(XmlStringView name) const {
    auto found = attributeIndex_.find(name);
    return found == attributeIndex_.end() ? nullptr : found->second;
}

}  // namespace msxml_core
