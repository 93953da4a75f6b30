#pragma once
// The IXMLDOMCharacterData members (text, comment and CDATA nodes), on the value of a node object's node.
// Offsets and counts are in UTF-16 code units, as MSXML counts them.
#include <windows.h>

#include "standins/msxml/NodeAccess.h"

namespace msxml_standin {

class CharacterData {
public:
    static HRESULT GetData(const NodeAccess& access, BSTR* out) noexcept;
    static HRESULT PutData(NodeAccess& access, BSTR data) noexcept;
    static HRESULT GetLength(const NodeAccess& access, LONG* out) noexcept;
    static HRESULT SubstringData(const NodeAccess& access, LONG offset, LONG count, BSTR* out) noexcept;
    static HRESULT AppendData(NodeAccess& access, BSTR data) noexcept;
    static HRESULT InsertData(NodeAccess& access, LONG offset, BSTR data) noexcept;
    static HRESULT DeleteData(NodeAccess& access, LONG offset, LONG count) noexcept;
    static HRESULT ReplaceData(NodeAccess& access, LONG offset, LONG count, BSTR data) noexcept;
};

}  // namespace msxml_standin
