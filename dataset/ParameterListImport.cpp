#include "dataset/ParameterListImport.h"

#include <string>
#include <unordered_map>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/ParameterListText.h"
#include "dataset/ParameterTable.h"
#include "dataset/VariableFields.h"
#include "values/Bytes.h"
#include "values/HexText.h"
#include "values/ValueComparison.h"

namespace {

constexpr wchar_t kImportTitle[] = L"Import";
constexpr wchar_t kParameterPath[] = L"PARAMETERS/Parameter";

// The Parameter elements by the text of their id; the first element of an id wins.
using ElementsById = std::unordered_map<std::wstring, ql::ComPtr<IXMLDOMElement>>;

// An attribute's text; false when the element has none.
bool AttributeText(IXMLDOMElement* element, const ql::Bstr& name, std::wstring& text) {
    ql::Variant value;
    if (element->getAttribute(name.Get(), value.Put()) != S_OK || value.Type() != VT_BSTR) return false;
    const BSTR string = V_BSTR(value.Get());
    text.assign(string ? string : L"", ::SysStringLen(string));
    return true;
}

// One pass over the document: a selection per record would make a list of the accepted size take
// minutes on the frame's thread.
HRESULT MapElements(IXMLDOMDocument2* document, const ql::Bstr& idName, ElementsById& elements) {
    ql::Bstr path(kParameterPath);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, path.IsNull());
    ql::ComPtr<IXMLDOMNodeList> list;
    QL_RETURN_IF_FAILED(document->selectNodes(path.Get(), list.Put()));
    QL_RETURN_HR_IF(E_FAIL, !list);
    for (;;) {
        ql::ComPtr<IXMLDOMNode> node;
        if (list->nextNode(node.Put()) != S_OK || !node) break;
        ql::ComPtr<IXMLDOMElement> element;
        std::wstring id;
        if (FAILED(node->QueryInterface(IID_IXMLDOMElement, element.PutVoid())) || !element ||
            !AttributeText(element.Get(), idName, id)) {
            continue;
        }
        elements.emplace(std::move(id), std::move(element));
    }
    return S_OK;
}

size_t ByteCount(const VARIANT& bytes) noexcept {
    const ByteArrayView view(bytes);
    return SUCCEEDED(view.Status()) ? view.Size() : 0;
}

// The counter of the reason `record` may not take `value`, or null when it may.
ULONG* SkipReason(const CQuelkVariableStore& store, const CQuelkVariable& record, const VARIANT& value,
                  ParameterListSkips& skips) noexcept {
    // The service login's password opens the service functions: no list may set it.
    if (record.Persistent != 1 || record.Id() == kParameterServicePassword) return &skips.NotInProject;
    if (!(record.Access & kAccessWritable)) return &skips.NotWritable;
    // A byte string the record has no length for yet takes any length.
    const size_t held = ByteCount(*record.Value);
    if (record.DataType == kByteArrayType && held != 0 && ByteCount(value) != held) return &skips.WrongLength;
    ULONG flags = 0;
    if (FAILED(store.CheckValue(record.Id(), value, &flags)) || (flags & kAccessRejected))
        return &skips.Refused;
    return nullptr;
}

// Applies the element's value to `record`, or counts why not.
void ImportRecord(CQuelkVariableStore& store, const CQuelkVariable& record, IXMLDOMElement* element,
                  const ql::Bstr& typeName, const ql::Bstr& valueName, ParameterListSkips& skips) {
    std::wstring type, text, declared;
    ql::Variant value;
    if (!AttributeText(element, typeName, type) || !AttributeText(element, valueName, text) ||
        FAILED(ParameterListTypeName(record.DataType, declared)) || type != declared ||
        FAILED(ParameterListReadValue(text, record.DataType, value))) {
        ++skips.Unreadable;
        return;
    }
    // No change: nothing to take and nothing refused.
    if (IsVariantEqual(*record.Value, *value)) return;
    if (ULONG* reason = SkipReason(store, record, *value, skips)) {
        ++*reason;
        return;
    }
    if (FAILED(store.SetValue(record.Id(), *value))) ++skips.Refused;
}

}  // namespace

HRESULT ImportParameters(CQuelkVariableStore& store, ParameterListHost& host, BSTR text,
                         ParameterListSkips& skips) noexcept {
    QL_RETURN_IF_NULL_OUT(text);
    skips = ParameterListSkips();
    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(host.LoadParameterList(text, document.Put(), &loaded));
    QL_RETURN_HR_IF(E_FAIL, loaded != VARIANT_TRUE || !document);

    return ql::GuardComCall([&]() -> HRESULT {
        ql::Bstr idName(L"id"), typeName(L"type"), valueName(L"value");
        QL_RETURN_HR_IF(E_OUTOFMEMORY, idName.IsNull() || typeName.IsNull() || valueName.IsNull());
        ElementsById elements;
        QL_RETURN_IF_FAILED(MapElements(document.Get(), idName, elements));

        CQuelkVariableList& variables = store.Variables();
        const ULONG count = variables.Count();
        for (ULONG i = 0; i < count; ++i) {
            CQuelkVariable record;
            if (SUCCEEDED(variables.GetVariableAt(static_cast<int>(i), &record))) {
                const auto found = elements.find(std::to_wstring(record.Id()));
                if (found != elements.end())
                    ImportRecord(store, record, found->second.Get(), typeName, valueName, skips);
            }
            host.ReportProgress(i, count, kImportTitle);
        }
        host.ReportProgress(0, count, L"");
        return S_OK;
    });
}
