#include "standins/msxml/CharacterData.h"

#include "classlib/HResult.h"
#include "standins/msxml/XmlText.h"

namespace msxml_standin {

namespace mc = msxml_core;

namespace {

// The range [offset, offset + count) clipped to the text, as the DOM clips a count that runs past the end.
bool ClipRange(size_t size, LONG offset, LONG count, size_t& start, size_t& length) {
    if (offset < 0 || count < 0 || static_cast<size_t>(offset) > size) return false;
    start = static_cast<size_t>(offset);
    length = static_cast<size_t>(count);
    if (length > size - start) length = size - start;
    return true;
}

HRESULT Store(NodeAccess& access, mc::XmlStringView text) {
    return HResultFromEdit(access.CoreTree().SetValue(access.Target(), text));
}

}  // namespace

HRESULT CharacterData::GetData(const NodeAccess& access, BSTR* out) noexcept {
    return BstrFromXml(access.Target().Value(), out);
}

HRESULT CharacterData::PutData(NodeAccess& access, BSTR data) noexcept {
    return ql::GuardComCall([&] { return Store(access, XmlFromBstr(data)); });
}

HRESULT CharacterData::GetLength(const NodeAccess& access, LONG* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = static_cast<LONG>(access.Target().Value().size());
    return S_OK;
}

HRESULT CharacterData::SubstringData(const NodeAccess& access, LONG offset, LONG count, BSTR* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    const mc::XmlString& value = access.Target().Value();
    size_t start = 0, length = 0;
    QL_RETURN_HR_IF(E_INVALIDARG, !ClipRange(value.size(), offset, count, start, length));
    return BstrFromXml(mc::XmlStringView(value).substr(start, length), out);
}

HRESULT CharacterData::AppendData(NodeAccess& access, BSTR data) noexcept {
    return ql::GuardComCall(
        [&] { return Store(access, access.Target().Value() + mc::XmlString(XmlFromBstr(data))); });
}

HRESULT CharacterData::InsertData(NodeAccess& access, LONG offset, BSTR data) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        mc::XmlString value = access.Target().Value();
        QL_RETURN_HR_IF(E_INVALIDARG, offset < 0 || static_cast<size_t>(offset) > value.size());
        value.insert(static_cast<size_t>(offset), XmlFromBstr(data));
        return Store(access, value);
    });
}

HRESULT CharacterData::DeleteData(NodeAccess& access, LONG offset, LONG count) noexcept {
    return ReplaceData(access, offset, count, nullptr);
}

HRESULT CharacterData::ReplaceData(NodeAccess& access, LONG offset, LONG count, BSTR data) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        mc::XmlString value = access.Target().Value();
        size_t start = 0, length = 0;
        QL_RETURN_HR_IF(E_INVALIDARG, !ClipRange(value.size(), offset, count, start, length));
        value.replace(start, length, XmlFromBstr(data));
        return Store(access, value);
    });
}

}  // namespace msxml_standin
