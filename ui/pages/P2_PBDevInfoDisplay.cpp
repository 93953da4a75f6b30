// The device information page's display of the parameters the framework cannot show by itself (block
// object, tag, mode, alarm summary, manufacturer) and its read-back of the tag as an octet string.
#include <cstdio>

#include "UiComponentInterfaces.h"
#include "classlib/Bstr.h"
#include "ui/pages/BlockDisplay.h"
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

constexpr BlockObjectItems kBlockObjectItems{IDC_PB_BLOCK_OBJECT, IDC_PB_PARENT_CLASS, IDC_PB_CLASS,
                                             IDC_PB_PROFILE_REVISION};
constexpr ModeBlockItems kModeBlockItems{IDC_PB_ACTUAL_MODE, IDC_PB_NORMAL_MODE, IDC_PB_PERMITTED_AUTO,
                                         IDC_PB_PERMITTED_OS, IDC_PB_PERMITTED_MAN};

}  // namespace

HRESULT CP2_PBDevInfo::ShowValueById(ULONG id, VARIANT value) noexcept {
    HRESULT result = S_OK;
    {
        UpdatingScope updating(m_updating);
        switch (id) {
            case kBlockObjectId:
                ShowBlockObject(DialogWindow(), kBlockObjectItems, value);
                break;
            case kTagId:
                ShowTag(value);
                break;
            case kModeBlockId:
                ShowModeBlock(DialogWindow(), kModeBlockItems, value);
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
    const HRESULT result = CQuelkControlBase::ShowValueById(id, value);
    const HWND dialog = DialogWindow();
    try {
        if (id == kStaticRevisionId) {
            CopyItemText(dialog, IDC_PB_STATIC_REVISION_VALUE, {IDC_PB_STATIC_REVISION}, 9);
        } else if (id == kDeviceIdId) {
            StoreVariableText(kDeviceIdVariable, ItemText(dialog, IDC_PB_DEVICE_ID, 99));
        } else if (id == kSerialNumberId) {
            StoreVariableText(kSerialNumberVariable, ItemText(dialog, IDC_PB_SERIAL_NUMBER, 99));
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return result;
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

void CP2_PBDevInfo::ShowAlarmSummary(const VARIANT& value) noexcept {
    ShowOctetText(DialogWindow(), IDC_PB_ALARM_VALUE, value);
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
            return TextToOctetString(ItemText(DialogWindow(), IDC_PB_TAG, static_cast<int>(kTagLength)),
                                     kTagLength, value);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    if (id == kEndRowId) return E_INVALIDARG;
    const int row = FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
    if (id == kTargetModeId || id == kIdSelectorId) return ReadNarrowed(id, VT_UI1, value);
    return ReadParameterDisplay(static_cast<UINT>(row), value);
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
