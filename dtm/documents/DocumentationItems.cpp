#include "dtm/documents/DocumentationItems.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/VariableFields.h"
#include "dtm/documents/DocumentationText.h"
#include "dtm/documents/PaBlockTexts.h"
#include "dtm/documents/PaRecordBytes.h"
#include "dtm/documents/PaRecordDecoders.h"
#include "dtm/documents/PaStatusTexts.h"
#include "values/Bytes.h"
#include "values/DisplayText.h"
#include "values/EnumEntries.h"
#include "values/HexText.h"

namespace {

// The device table's parameters by the item they get; every other id is a plain item. The internal items
// among the left-out ids never reach the documentation (only device parameters do).
constexpr ULONG kLeftOutIds[] = {2, 3, 4, 10, 11, 22, 29, 30, 38, 67, 82, 91};
constexpr ULONG kBlockObjectIds[] = {15, 31, 60, 84};
constexpr ULONG kTextIds[] = {17, 33, 62, 83, 86};
constexpr ULONG kEnumerationIds[] = {20, 28, 36, 43, 45, 47, 65, 72, 75, 89, 94, 96, 97, 98};
constexpr ULONG kModeIds[] = {21, 37, 66, 90};
constexpr ULONG kManufacturerIds[] = {25};
constexpr ULONG kValueWithStatusIds[] = {46, 69, 93};
constexpr ULONG kBatchIds[] = {68, 92};
constexpr ULONG kScalePairIds[] = {70};
constexpr ULONG kOutputScaleIds[] = {71};

struct ItemKindRow {
    DocumentationItemKind kind;
    const ULONG* ids;
    size_t count;
};
template <size_t N>
constexpr ItemKindRow Row(DocumentationItemKind kind, const ULONG (&ids)[N]) {
    return {kind, ids, N};
}
constexpr ItemKindRow kItemKinds[] = {
    Row(DocumentationItemKind::None, kLeftOutIds),
    Row(DocumentationItemKind::BlockObject, kBlockObjectIds),
    Row(DocumentationItemKind::Text, kTextIds),
    Row(DocumentationItemKind::Enumeration, kEnumerationIds),
    Row(DocumentationItemKind::Mode, kModeIds),
    Row(DocumentationItemKind::Manufacturer, kManufacturerIds),
    Row(DocumentationItemKind::ValueWithStatus, kValueWithStatusIds),
    Row(DocumentationItemKind::Batch, kBatchIds),
    Row(DocumentationItemKind::ScalePair, kScalePairIds),
    Row(DocumentationItemKind::OutputScale, kOutputScaleIds),
};

// One line of a record item: its name attribute (null: the parameter's name), the blanks before
// fdt:display, the label before the value and the closing of the element, exactly as the system writes
// them.
struct LineForm {
    const wchar_t* name;
    const wchar_t* gap;
    const wchar_t* label;
    const wchar_t* close;
};

constexpr LineForm kBlockObjectLines[] = {{nullptr, L" ", L"Block Object : ", L" />"},
                                          {L"", L" ", L"Parent Class : ", L" />"},
                                          {L"", L" ", L"Class : ", L" />"},
                                          {L"", L" ", L"Profile: ", L" />"}};
constexpr LineForm kModeLines[] = {{nullptr, L" ", L"Actual: ", L"/>"},
                                   {L" ", L" ", L"Normal: ", L"/> "},
                                   {L" ", L" ", L"Permitted: ", L"/> "}};
constexpr LineForm kValueWithStatusLines[] = {{nullptr, L" ", L"Value: ", L" />"},
                                              {L"", L" ", L"Status: ", L" />"},
                                              {L"", L" ", L"SubStatus: ", L" />"},
                                              {L"", L" ", L"Limits: ", L" />"}};
constexpr LineForm kBatchLines[] = {{nullptr, L" ", L"Batch : ", L" />"},
                                    {L"", L" ", L"RUP : ", L" />"},
                                    {L"", L" ", L"Operation : ", L" />"},
                                    {L"", L" ", L"Phase : ", L" />"}};
constexpr LineForm kScalePairLines[] = {{nullptr, L" ", L"100% : ", L" />"}, {L"", L" ", L" 0% : ", L" />"}};
constexpr LineForm kOutputScaleLines[] = {{nullptr, L" ", L"EU at 100% : ", L"/> "},
                                          {L"", L"   ", L"EU at 0% : ", L"/> "},
                                          {L"", L"   ", L"Units Index : ", L"/> "},
                                          {L"", L"   ", L"Decimal : ", L"/> "}};

HRESULT AppendLine(std::wstring& out, const LineForm& form, std::wstring_view name, std::wstring_view value) {
    std::wstring line(L"<DocumentVariable fdt:name=\"");
    if (form.name) {
        line.append(form.name);
    } else {
        QL_RETURN_IF_FAILED(AppendEscaped(line, name));
    }
    line.append(L"\"").append(form.gap).append(L"fdt:display=\"");
    QL_RETURN_IF_FAILED(AppendEscaped(line, std::wstring(form.label).append(value)));
    line.append(L"\"").append(form.close);
    out.append(line);
    return S_OK;
}

// The lines of a record item; a line that fails leaves none of them.
template <size_t N>
HRESULT AppendLines(std::wstring& body, const LineForm (&forms)[N], std::wstring_view name,
                    const std::wstring (&values)[N]) {
    std::wstring lines;
    for (size_t i = 0; i < N; ++i) QL_RETURN_IF_FAILED(AppendLine(lines, forms[i], name, values[i]));
    body.append(lines);
    return S_OK;
}

// The display text of a plain item: the system's display form of the value's own type, a text whole.
std::wstring PlainText(const VARIANT& value) {
    if (V_VT(&value) == VT_BSTR) {
        const BSTR text = V_BSTR(&value);
        return std::wstring(text ? text : L"", ::SysStringLen(text));
    }
    char display[kDisplayTextSize];
    VariantToDisplayString(&value, display);
    return WidenAnsi(display);
}

// The bytes of a one-dimensional byte array.
HRESULT BytesOf(const VARIANT& value, std::vector<BYTE>& bytes) { return CopyByteArray(value, bytes); }

// A byte string shown as the ANSI characters of its bytes up to the first zero (a blank tag shows blanks).
HRESULT AppendTextItem(std::wstring& body, std::wstring_view name, const VARIANT& value) {
    if (V_VT(&value) != kByteArrayType) return S_OK;
    std::vector<BYTE> bytes;
    QL_RETURN_IF_FAILED(BytesOf(value, bytes));
    if (bytes.empty()) return S_OK;
    const auto end = std::find(bytes.begin(), bytes.end(), BYTE{0});
    const std::string text(bytes.begin(), end);
    return AppendItem(body, name, WidenAnsi(text));
}

// The number an enumerated value is matched by: a byte as 8 bits, a 16-bit value as 16 bits, a 32-bit
// integer as its 32 bits; false for values without such a number.
bool EnumerationCode(const VARIANT& value, long* code) noexcept {
    switch (V_VT(&value)) {
        case VT_UI1:
            *code = V_UI1(&value);
            return true;
        case VT_UI2:
            *code = V_UI2(&value);
            return true;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
            *code = V_I4(&value);
            return true;
        default:
            return false;
    }
}

HRESULT AppendEnumerationItem(std::wstring& body, ULONG id, std::wstring_view name, const VARIANT& value,
                              IQuelkVariableFields* fields) {
    QL_RETURN_HR_IF(E_POINTER, !fields);
    ql::Variant idVariant, mask, entries;
    idVariant.SetUI4(id);
    mask.SetUI4(kFieldEnumerationEntries);
    QL_RETURN_IF_FAILED(fields->GetVariableField(*idVariant.Get(), *mask.Get(), entries.Put()));
    ULONG count = 0;
    QL_RETURN_IF_FAILED(GetEnumListCount(*entries, &count));

    long wanted = 0;
    const bool hasCode = EnumerationCode(value, &wanted);
    for (ULONG i = 0; i < count; ++i) {
        long code = 0;
        ql::Bstr text;
        QL_RETURN_IF_FAILED(GetEnumListEntry(*entries, i, &code, text.Put()));
        if (hasCode && code == wanted) return AppendItem(body, name, text.View());
    }
    return S_OK;
}

// "250 (Orvo)" for the one manufacturer the device knows, as its 16-bit number.
constexpr USHORT kOrvoManufacturerId = 250;
HRESULT AppendManufacturerItem(std::wstring& body, std::wstring_view name, const VARIANT& value) {
    long number = 0;
    const bool known = EnumerationCode(value, &number) && static_cast<USHORT>(number) == kOrvoManufacturerId;
    return AppendItem(body, name, known ? L"250 (Orvo)" : L"Unknown");
}

HRESULT AppendBlockObjectItem(std::wstring& body, std::wstring_view name, const VARIANT& value) {
    BYTE block = 0, parentClass = 0, blockClass = 250, profile = 3;
    DecodeBlockObject(value, &block, &parentClass, &blockClass, &profile);
    const char* blockText = "";
    const char* parentText = "";
    const char* classText = "";
    FormatBlockClass(block, parentClass, blockClass, &blockText, &parentText, &classText);
    const std::wstring values[] = {WidenAnsi(blockText), WidenAnsi(parentText), WidenAnsi(classText),
                                   FormatNumbers("Ver %i.00", static_cast<int>(profile))};
    return AppendLines(body, kBlockObjectLines, name, values);
}

HRESULT AppendModeItem(std::wstring& body, std::wstring_view name, const VARIANT& value) {
    // A mode byte without a text shows an empty text.
    const char* actual = "";
    const char* normal = "";
    ULONG automatic = 0, outOfService = 0, manual = 0;
    FormatBlockMode(value, &actual, &normal, &automatic, &outOfService, &manual);
    std::wstring permitted;
    if (automatic) permitted.append(L"Auto ");
    if (outOfService) permitted.append(L"OS ");
    if (manual) permitted.append(L"Man ");
    const std::wstring values[] = {WidenAnsi(actual), WidenAnsi(normal), permitted};
    return AppendLines(body, kModeLines, name, values);
}

HRESULT AppendBatchItem(std::wstring& body, std::wstring_view name, const VARIANT& value) {
    ULONG batch = 0, rup = 0, operation = 0, phase = 0;
    DecodeBatchRecord(value, &batch, &rup, &operation, &phase);
    // Printed signed, as the system always has.
    const std::wstring values[] = {
        FormatNumbers("%i", static_cast<int>(batch)), FormatNumbers("%i", static_cast<int>(rup)),
        FormatNumbers("%i", static_cast<int>(operation)), FormatNumbers("%i", static_cast<int>(phase))};
    return AppendLines(body, kBatchLines, name, values);
}

HRESULT AppendScalePairItem(std::wstring& body, std::wstring_view name, const VARIANT& value) {
    float first = 100.0f;
    ULONG second = 0;
    DecodeValueStatusRecord(value, &first, &second);
    const std::wstring values[] = {FormatNumbers("%f", static_cast<double>(first)),
                                   FormatNumbers("%f", static_cast<double>(FloatFromBits(second)))};
    return AppendLines(body, kScalePairLines, name, values);
}

HRESULT AppendOutputScaleItem(std::wstring& body, std::wstring_view name, const VARIANT& value) {
    float at100 = 100.0f, at0 = 0.0f;
    USHORT units = 1133;
    ULONG decimals = 3;
    DecodeScaleRecord(value, &at100, &at0, &units, &decimals);
    const std::wstring values[] = {
        FormatNumbers("%f", static_cast<double>(at100)), FormatNumbers("%f", static_cast<double>(at0)),
        FormatNumbers("%u", static_cast<unsigned>(units)), FormatNumbers("%d", static_cast<int>(decimals))};
    return AppendLines(body, kOutputScaleLines, name, values);
}

}  // namespace

DocumentationItemKind DocumentationItemKindOf(ULONG parameterId) noexcept {
    for (const ItemKindRow& row : kItemKinds) {
        if (std::find(row.ids, row.ids + row.count, parameterId) != row.ids + row.count) return row.kind;
    }
    return DocumentationItemKind::Plain;
}

HRESULT AppendValueWithStatusItem(std::wstring& body, std::wstring_view name, const VARIANT& value) {
    float number = 0.0f;
    BYTE status = 0;
    DecodeFloatWithStatus(value, &number, &status);
    const char* quality = "";
    const char* substatus = "";
    const char* limits = "";
    FormatPaStatus(status, &quality, &substatus, &limits);
    const std::wstring values[] = {FormatNumbers("%.5f", static_cast<double>(number)), WidenAnsi(quality),
                                   WidenAnsi(substatus), WidenAnsi(limits)};
    return AppendLines(body, kValueWithStatusLines, name, values);
}

HRESULT AppendParameterItem(std::wstring& body, ULONG id, std::wstring_view name, const VARIANT& value,
                            IQuelkVariableFields* fields) {
    switch (DocumentationItemKindOf(id)) {
        case DocumentationItemKind::None:
            return S_OK;
        case DocumentationItemKind::Plain:
            return AppendItem(body, name, PlainText(value));
        case DocumentationItemKind::Text:
            return AppendTextItem(body, name, value);
        case DocumentationItemKind::Enumeration:
            return AppendEnumerationItem(body, id, name, value, fields);
        case DocumentationItemKind::Manufacturer:
            return AppendManufacturerItem(body, name, value);
        case DocumentationItemKind::BlockObject:
            return AppendBlockObjectItem(body, name, value);
        case DocumentationItemKind::Mode:
            return AppendModeItem(body, name, value);
        case DocumentationItemKind::ValueWithStatus:
            return AppendValueWithStatusItem(body, name, value);
        case DocumentationItemKind::Batch:
            return AppendBatchItem(body, name, value);
        case DocumentationItemKind::ScalePair:
            return AppendScalePairItem(body, name, value);
        case DocumentationItemKind::OutputScale:
            return AppendOutputScaleItem(body, name, value);
    }
    return S_OK;
}
