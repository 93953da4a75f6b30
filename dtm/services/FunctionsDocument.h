#pragma once
// The functions document (DTMFunctionsSchema) that the frame asks for with IDtm::GetFunctions: one element
// per row of the UI-function table that the current user level and operation phase let through, inside
// one outer Functions group. The element templates, blanks and tabs included, are the ones frames have
// always received; every text is escaped for its attribute.
#include <windows.h>

#include <vector>

#include "classlib/Bstr.h"
#include "dtm/services/QuelkUiFunction.h"

// Where the document's texts come from: the translation of a function's attribute, and a text reference.
class IFunctionTextSource {
public:
    // The translation of `attribute` ("Name", "Label", "Help", "IconName") of `functionId`, else the text
    // of `defaultText` (with that lookup's result).
    virtual HRESULT GetFunctionText(LPCSTR defaultText, LONG functionId, LPCSTR attribute,
                                    ql::Bstr& text) noexcept = 0;
    // The text of a text reference (string-resource id or ANSI text).
    virtual HRESULT GetReferenceText(LPCSTR reference, ql::Bstr& text) noexcept = 0;

protected:
    ~IFunctionTextSource() = default;
};

// The element sequence (the inner part, without the FDT root) for `rows` in table order. A row is left out
// when the user level is below its minimum, when (its phase mask AND `phase`) is not `phase`, when it is
// excluded, and when its kind or application id is unknown. S_OK with an empty text when nothing is listed.
HRESULT BuildFunctionElements(const std::vector<QuelkUiFunction>& rows, ULONG userLevel, ULONG phase,
                              IFunctionTextSource& texts, ql::Bstr& body) noexcept;

// The whole functions document around `body` (a null or empty body becomes one blank).
HRESULT WrapFunctionsDocument(BSTR body, ql::Bstr& document) noexcept;

// A text reference read as ANSI text: "" for a null reference and for a string-resource id, which is no text.
const char* TextReferenceAsAnsi(LPCSTR reference) noexcept;
