#pragma once
// The items of the documentation document: the DocumentVariable lines of one parameter, chosen by its id
// (a plain value, a text from bytes, an enumeration text, the manufacturer, or a PA record expanded into
// several lines of which only the first carries the name). Every name and display text is escaped for its
// attribute, so a value holding & < or " never breaks the document. They build std::wstring and may throw
// std::bad_alloc (the documentation part runs them inside ql::GuardComCall).
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "QuelkInterfaces.h"

enum class DocumentationItemKind {
    None,  // left out of the documentation
    Plain,
    Text,
    Enumeration,
    Manufacturer,
    BlockObject,
    Mode,
    ValueWithStatus,
    Batch,
    ScalePair,
    OutputScale,
};

// The kind of item a parameter of the device's table gets.
DocumentationItemKind DocumentationItemKindOf(ULONG parameterId) noexcept;

// Appends the item of parameter `id` named `name` with `value`; `fields` gives an enumerated parameter's
// entries. Failures end the whole documentation: the escape's, the enumeration's (E_INVALIDARG for entries
// that are no one-dimensional text array, E_UNEXPECTED for an array without data or an entry without a
// leading code, the field read's own), a text item's array of more than one dimension (E_INVALIDARG) or
// without data (E_UNEXPECTED).
HRESULT AppendParameterItem(std::wstring& body, ULONG id, std::wstring_view name, const VARIANT& value,
                            IQuelkVariableFields* fields);

// The four lines of a value with status: "Value: %.5f", "Status: ", "SubStatus: ", "Limits: ".
HRESULT AppendValueWithStatusItem(std::wstring& body, std::wstring_view name, const VARIANT& value);
