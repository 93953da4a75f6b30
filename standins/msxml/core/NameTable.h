// Interned qualified names of one tree.
//
// Elements and attributes repeat a handful of names thousands of times; interning
// them means one allocation per distinct name instead of per node, and lets name
// tests compare pointers to the same entry. Entries live as long as the table.
#pragma once

#include "XmlString.h"

#include <deque>
#include <unordered_map>

namespace msxml_core {

struct QualifiedName {
    XmlString qualified;  // prefix:local or local
    XmlString prefix;     // empty when unprefixed
    XmlString localName;
    XmlString namespaceUri;  // empty when in no namespace
};

class NameTable {
public:
    NameTable() = default;
    NameTable(const NameTable&) = delete;
    NameTable& operator=(const NameTable&) = delete;

    // The entry for a qualified name in a namespace; the prefix is the part before
    // the first colon.
    const QualifiedName* Intern(XmlStringView qualified, XmlStringView namespaceUri);

private:
    std::deque<QualifiedName> names_;
    std::deque<XmlString> keys_;
    std::unordered_map<XmlStringView, const QualifiedName*> index_;
    XmlString scratchKey_;
};

}  // namespace msxml_core
