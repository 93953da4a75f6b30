#pragma once
// Doubles and printers shared by the dataset tests: a host and a device that record what the store asks
// of them, a complete COM object around the store part, and short texts of VARIANTs and notifications so
// that expected sequences read as tables.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/SafeArray.h"
#include "classlib/Utf8.h"
#include "classlib/Variant.h"
#include "dataset/ParameterTable.h"
#include "dataset/QuelkVariableStorePart.h"

inline std::string HrName(HRESULT hr) {
    struct Known {
        HRESULT hr;
        const char* name;
    } static const known[] = {
        {S_OK, "S_OK"},
        {S_FALSE, "S_FALSE"},
        {E_POINTER, "E_POINTER"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {E_UNEXPECTED, "E_UNEXPECTED"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_FAIL, "E_FAIL"},
        {E_NOTIMPL, "E_NOTIMPL"},
        {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
        {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
        {E_ACCESSDENIED, "E_ACCESSDENIED"},
    };
    for (const Known& k : known) {
        if (k.hr == hr) return k.name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}
#define EXPECT_HR(expected, actual) EXPECT_EQ(HrName(expected), HrName(actual))
#define ASSERT_HR(expected, actual) ASSERT_EQ(HrName(expected), HrName(actual))

// "ui2:7", "bstr:'abc'", "bytes:0A1B", "[ui4:7, ui2:7]" ...
inline std::string Describe(const VARIANT& v) {
    char text[64];
    switch (V_VT(&v)) {
        case VT_EMPTY:
            return "empty";
        case VT_UI1:
            std::snprintf(text, sizeof text, "ui1:%u", v.bVal);
            return text;
        case VT_UI2:
            std::snprintf(text, sizeof text, "ui2:%u", v.uiVal);
            return text;
        case VT_UI4:
            std::snprintf(text, sizeof text, "ui4:%lu", v.ulVal);
            return text;
        case VT_I4:
            std::snprintf(text, sizeof text, "i4:%ld", v.lVal);
            return text;
        case VT_R4:
            std::snprintf(text, sizeof text, "r4:%.9g", v.fltVal);
            return text;
        case VT_R8:
            std::snprintf(text, sizeof text, "r8:%.17g", v.dblVal);
            return text;
        case VT_BOOL:
            std::snprintf(text, sizeof text, "bool:%d", v.boolVal);
            return text;
        case VT_BSTR:
            return "bstr:'" +
                   ql::Utf8FromWide(v.bstrVal ? std::wstring_view(v.bstrVal, ::SysStringLen(v.bstrVal))
                                              : std::wstring_view()) +
                   "'";
        case VT_ARRAY | VT_UI1: {
            std::string out = "bytes:";
            ql::SafeArrayData<BYTE> data(v.parray);
            const ULONG count = v.parray ? v.parray->rgsabound[0].cElements : 0;
            for (ULONG i = 0; i < count && SUCCEEDED(data.Status()); ++i) {
                std::snprintf(text, sizeof text, "%02X", data[i]);
                out += text;
            }
            return out;
        }
        case VT_ARRAY | VT_VARIANT: {
            std::string out = "[";
            ql::SafeArrayData<VARIANT> data(v.parray);
            const ULONG count = v.parray ? v.parray->rgsabound[0].cElements : 0;
            for (ULONG i = 0; i < count && SUCCEEDED(data.Status()); ++i)
                out += (i ? ", " : "") + Describe(data[i]);
            return out + "]";
        }
        default:
            std::snprintf(text, sizeof text, "vt%u", V_VT(&v));
            return text;
    }
}

inline ql::Variant MakeBstr(const wchar_t* text) {
    ql::Variant v;
    EXPECT_EQ(S_OK, v.SetBstr(text));
    return v;
}
inline ql::Variant MakeUI4(ULONG number) {
    ql::Variant v;
    v.SetUI4(number);
    return v;
}
inline ql::Variant MakeI4(LONG number) {
    ql::Variant v;
    v.SetI4(number);
    return v;
}
inline ql::Variant MakeBytes(std::initializer_list<BYTE> bytes) {
    ql::SafeArray array;
    EXPECT_EQ(S_OK, array.Create(VT_UI1, static_cast<ULONG>(bytes.size())));
    LONG index = 0;
    for (BYTE b : bytes) {
        EXPECT_EQ(S_OK, ::SafeArrayPutElement(array.Get(), &index, &b));
        ++index;
    }
    ql::Variant v;
    v.AttachArray(VT_UI1, array.Detach());
    return v;
}

// Records every call of the store into its DTM object; answers can be set per test.
class RecordingHost : public IDatasetHost {
public:
    ULONG state = 8;  // configured, offline
    HRESULT notificationResult = S_OK;
    std::vector<std::string> notifications;  // "2702 [ui4:7, ui2:7]"
    std::vector<std::string> messages;       // "7 'text' ui2:5"
    std::vector<bool> modifiedMarks;

    HRESULT GetState(ULONG* out) noexcept override {
        *out = state;
        return S_OK;
    }
    HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept override {
        char text[16];
        std::snprintf(text, sizeof text, "%04lX ", code);
        notifications.push_back(text + Describe(data));
        return notificationResult;
    }
    HRESULT BroadcastMessage(ULONG id, BSTR text, const VARIANT& argument) noexcept override {
        messages.push_back(std::to_string(id) + " '" + ql::Utf8FromWide(text ? text : L"") + "' " +
                           Describe(argument));
        return S_OK;
    }
    HRESULT SetModified(bool modified) noexcept override {
        modifiedMarks.push_back(modified);
        return S_OK;
    }
};

// The DP-V1 client as a recorder. A synchronous read answers through `onRead` (the real client reports
// the device's answer to OnDeviceResult before the read returns).
class RecordingDevice : public IDatasetDeviceAccess {
public:
    std::vector<std::string> calls;  // "read 16", "write 17 bytes:20", "readAsync 16", "writeAsync 17 ..."
    std::function<void(ULONG id)> onRead;

    HRESULT ReadParameterAsync(ULONG id, VARIANT_BOOL* sent) noexcept override {
        calls.push_back("readAsync " + std::to_string(id));
        *sent = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT WriteParameterAsync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent) noexcept override {
        calls.push_back("writeAsync " + std::to_string(id) + " " + Describe(value));
        *sent = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT ReadParameter(ULONG id) noexcept override {
        calls.push_back("read " + std::to_string(id));
        if (onRead) onRead(id);
        return S_OK;
    }
    HRESULT WriteParameter(ULONG id, const VARIANT& value) noexcept override {
        calls.push_back("write " + std::to_string(id) + " " + Describe(value));
        return S_OK;
    }
};

// A complete COM object around the store part, as the DTM object will be.
class CTestStoreObject : public ql::ComObjectBase<CTestStoreObject>, public CQuelkVariableStorePart {
    QL_INTERFACE_TABLE(CTestStoreObject, QL_ENTRY_CHAIN(CQuelkVariableStorePart))
};

// Every test starts with a fresh store holding the device's table, a recording host (offline) and device.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, ql::MakeObject(object_));
        store().AttachHost(&host_);
        store().AttachDeviceAccess(&device_);
        ASSERT_EQ(S_OK, DefineDeviceParameters(&store().Variables(), nullptr, nullptr));
    }

    CQuelkVariableStore& store() { return object_->Store(); }
    IQuelkVariablesEx* variables() { return static_cast<IQuelkVariablesEx*>(object_.Get()); }
    IQuelkVariables* variantForms() { return static_cast<IQuelkVariablesEx*>(object_.Get()); }
    IQuelkVariableFields* fields() { return static_cast<IQuelkVariableFields*>(object_.Get()); }
    IQuelkValueCheck* valueCheck() { return static_cast<IQuelkValueCheck*>(object_.Get()); }

    std::string ValueOf(ULONG id) {
        ql::Variant value;
        EXPECT_HR(S_OK, store().GetValue(id, value.Get()));
        return Describe(*value);
    }
    ULONG AccessOf(ULONG id) {
        const CQuelkVariable* record = store().Variables().Find(id);
        return record ? record->Access : 0xDEAD;
    }
    void SetAccess(ULONG id, ULONG access) { ASSERT_HR(S_OK, store().ChangeValue(id, nullptr, &access)); }

    ql::ComPtr<CTestStoreObject> object_;
    RecordingHost host_;
    RecordingDevice device_;
};
