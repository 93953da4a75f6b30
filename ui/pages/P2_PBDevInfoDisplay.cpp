// The device information page's display of the parameters the framework cannot show by itself (block
// object, tag, mode, alarm summary, manufacturer) and its read-back of the tag as an octet string.
#include <cstdio>

#include "UiComponentInterfaces.h"
#include "classlib/Bstr.h"
#include "dtm/documents/PaBlockTexts.h"
#include "dtm/documents/PaRecordDecoders.h"
#include "ui/pages/ByteText.h"
#include "ui/pages/P2_PBDevInfo.h"
#include "ui/pages/PageResources.h"
#include "ui/pages/UpdatingScope.h"
#include "values/AnsiText.h"

namespace {

constexpr ULONG kBlockObjectId = 15;
constexpr ULONG kStaticRevisionId = 16;
constexpr ULONG kTagId = 17;
constexpr ULONG kTargetModeId = 20;
constexpr ULONG kModeBlockId = 21;
constexpr ULONG kAlarmId = 22;
constexpr ULONG kManufacturerId = 25;
constexpr ULONG kDeviceIdId = 26;
constexpr ULONG kSerialNumberId = 27;
constexpr ULONG kIdSelectorId = 28;
constexpr ULONG kTagLength = 32;

// The DTM's own text items that the parameterization window's header shows.
constexpr LONG kSerialNumberVariable = 12;
constexpr LONG kDeviceIdVariable = 13;
constexpr LONG kTagVariable = 14;

// Alarm summary bits and the check boxes that show them.
struct AlarmBit {
    BYTE mask;
    UINT checkBox;
};
constexpr AlarmBit kAlarmBits[] = {{0x80, IDC_PB_ALARM_MODIFICATION},
                                   {0x10, IDC_PB_WARNING_LOW},
                                   {0x08, IDC_PB_ALARM_LOW},
                                   {0x04, IDC_PB_WARNING_HIGH},
                                   {0x02, IDC_PB_ALARM_HIGH}};

}  // namespace

HRESULT CP2_PBDevInfo::ShowValueById(ULONG id, VARIANT value) noexcept {
    HRESULT result = S_OK;
    {
        UpdatingScope updating(m_updating);
        switch (id) {
            case kBlockObjectId:
                ShowBlockObject(value);
                break;
            case kTagId:
                ShowTag(value);
                break;
            case kModeBlockId:
                ShowModeBlock(value);
                break;
            case kAlarmId:
                ShowAlarmSummary(value);
                break;
            case kManufacturerId:
                result = ShowManufacturer(value);
                break;
            default:
                m_updating = FALSE;
                result = ShowInRows(id, value);
                break;
        }
    }
    return result;
}

HRESULT CP2_PBDevInfo::ShowInRows(ULONG id, const VARIANT& value) noexcept {
    HRESULT result = S_OK;
    for (UINT row = 0; row < RowCount() && SUCCEEDED(result); ++row) {
        if (Row(row).id == id) result = ShowValue(row, value);
    }
    try {
        if (id == kStaticRevisionId) {
            SetItemText(IDC_PB_STATIC_REVISION, ItemText(IDC_PB_STATIC_REVISION_VALUE, 9).c_str());
        } else if (id == kDeviceIdId) {
            StoreVariableText(kDeviceIdVariable, ItemText(IDC_PB_DEVICE_ID, 99));
        } else if (id == kSerialNumberId) {
            StoreVariableText(kSerialNumberVariable, ItemText(IDC_PB_SERIAL_NUMBER, 99));
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return result;
}

void CP2_PBDevInfo::ShowBlockObject(const VARIANT& value) noexcept {
    BYTE block = 0, parentClass = 0, blockClass = 0, profileRevision = 0;
    DecodeBlockObject(value, &block, &parentClass, &blockClass, &profileRevision);
    const char *blockText = "", *parentText = "", *classText = "";
    FormatBlockClass(block, parentClass, blockClass, &blockText, &parentText, &classText);
    SetItemText(IDC_PB_BLOCK_OBJECT, blockText);
    SetItemText(IDC_PB_PARENT_CLASS, parentText);
    SetItemText(IDC_PB_CLASS, classText);
    char revision[16];
    std::snprintf(revision, sizeof revision, "Ver %i.00", static_cast<int>(profileRevision));
    SetItemText(IDC_PB_PROFILE_REVISION, revision);
}

void CP2_PBDevInfo::ShowTag(const VARIANT& value) noexcept {
    try {
        const std::string tag = OctetStringText(value);
        SetItemText(IDC_PB_TAG, tag.c_str());
        StoreVariableText(kTagVariable, tag);
    } catch (...) {
        SetItemText(IDC_PB_TAG, "");
    }
}

void CP2_PBDevInfo::ShowModeBlock(const VARIANT& value) noexcept {
    // A mode byte without a text of its own shows an empty field.
    const char *actual = "", *normal = "";
    ULONG automatic = 0, outOfService = 0, manual = 0;
    FormatBlockMode(value, &actual, &normal, &automatic, &outOfService, &manual);
    SetItemText(IDC_PB_ACTUAL_MODE, actual);
    SetItemText(IDC_PB_NORMAL_MODE, normal);
    const HWND dialog = DialogWindow();
    if (!dialog) return;
    ::CheckDlgButton(dialog, IDC_PB_PERMITTED_AUTO, automatic ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(dialog, IDC_PB_PERMITTED_OS, outOfService ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(dialog, IDC_PB_PERMITTED_MAN, manual ? BST_CHECKED : BST_UNCHECKED);
}

void CP2_PBDevInfo::ShowAlarmSummary(const VARIANT& value) noexcept {
    try {
        SetItemText(IDC_PB_ALARM_VALUE, OctetStringText(value).c_str());
    } catch (...) {
        SetItemText(IDC_PB_ALARM_VALUE, "");
    }
    const BYTE summary = LeadingOctet(value);
    const HWND dialog = DialogWindow();
    if (!dialog) return;
    for (const AlarmBit& bit : kAlarmBits) {
        ::CheckDlgButton(dialog, static_cast<int>(bit.checkBox),
                         (summary & bit.mask) ? BST_CHECKED : BST_UNCHECKED);
    }
}

HRESULT CP2_PBDevInfo::ShowManufacturer(const VARIANT& value) noexcept {
    ULONG manufacturer = 0;
    ql::Variant number;
    if (SUCCEEDED(number.CopyFrom(value)) && SUCCEEDED(number.ChangeType(VT_UI4))) {
        manufacturer = V_UI4(number.Get());
    }
    ql::ComPtr<IManufacturerLookup> lookup;
    HRESULT result = ::CoCreateInstance(CLSID_ManufacturerLookup, nullptr, CLSCTX_ALL,
                                        IID_IManufacturerLookup, lookup.PutVoid());
    ql::Bstr name;
    if (SUCCEEDED(result)) result = lookup->GetManufacturerName(manufacturer, name.Put());
    try {
        std::string text;
        if (SUCCEEDED(result) && name.Get() && std::wstring_view(name.Get()) != L"unknown" &&
            SUCCEEDED(WideToAnsi(std::wstring_view(name.Get(), ::SysStringLen(name.Get())), text))) {
            SetItemText(IDC_PB_MANUFACTURER, text.c_str());
            return result;
        }
    } catch (...) {
    }
    char unknown[32];
    std::snprintf(unknown, sizeof unknown, "Unknown (0x%04X)", static_cast<unsigned>(manufacturer & 0xFFFF));
    SetItemText(IDC_PB_MANUFACTURER, unknown);
    return result;
}

HRESULT CP2_PBDevInfo::ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    if (id == kTagId) {
        try {
            return TextToOctetString(ItemText(IDC_PB_TAG, static_cast<int>(kTagLength)), kTagLength, value);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    if (id == kEndRowId) return E_INVALIDARG;
    const int row = FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
    if (id != kTargetModeId && id != kIdSelectorId)
        return ReadParameterDisplay(static_cast<UINT>(row), value);
    ql::Variant read;
    const HRESULT result = ReadParameterDisplay(static_cast<UINT>(row), read.Get());
    (void)read.ChangeType(VT_UI1);  // a failed conversion leaves the value as read
    ql::Variant previous;
    previous.Attach(*value);
    // Detach into a checked out-pointer does not fail.
    (void)read.Detach(value);
    return result;
}

void CP2_PBDevInfo::StoreVariableText(ULONG variableId, const std::string& text) noexcept {
    ql::Bstr wide;
    if (!Variables() || FAILED(AnsiToBstr(text, wide))) return;
    ql::Variant value, item;
    value.AttachBstr(wide.Detach());
    item.SetI4(static_cast<LONG>(variableId));
    // The item only mirrors a shown value for the window's header; one that cannot be stored leaves the
    // header as it was.
    (void)Variables()->SetValue(*item, *value);
}

void CP2_PBDevInfo::SetItemText(UINT controlId, const char* text) noexcept {
    if (DialogWindow()) ::SetDlgItemTextA(DialogWindow(), static_cast<int>(controlId), text);
}

std::string CP2_PBDevInfo::ItemText(UINT controlId, int limit) const {
    std::string text(static_cast<size_t>(limit) + 1, '\0');
    const UINT length = DialogWindow() ? ::GetDlgItemTextA(DialogWindow(), static_cast<int>(controlId),
                                                           text.data(), limit + 1)
                                       : 0;
    text.resize(length);
    return text;
}
