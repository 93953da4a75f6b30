#include "NameTable.h"

namespace msxml_core {

const QualifiedName* NameTable::Intern(XmlStringView qualified, XmlStringView namespaceUri) {
    // U+0001 cannot occur in a name or a namespace, so it separates the two parts.
    scratchKey_.assign(namespaceUri);
    scratchKey_.push_back(u'\x01');
    scratchKey_.append(qualified);
    auto found = index_.find(XmlStringView(scratchKey_));
    if (found != index_.end()) return found->second;

    QualifiedName& name = names_.emplace_back();
    name.qualified.assign(qualified);
    size_t colon = qualified.find(u':');
    if (colon == XmlStringView::npos) {
        name.localName.assign(qualified);
    } else {
        name.prefix.assign(qualified.substr(0, colon));
        name.localName.assign(qualified.substr(colon + 1));
    }
    name.namespaceUri.assign(namespaceUri);
    const XmlString& key = keys_.emplace_back(scratchKey_);
    index_.emplace(XmlStringView(key), &name);
    return &name;
}

}  // namespace msxml_core
