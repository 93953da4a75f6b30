#pragma once
// Doubles shared by the dataset tests: a host and a device that record what the store asks of them as short
// texts, so that expected sequences read as tables, and a complete COM object around the store part.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/Utf8.h"
#include "classlib/Variant.h"
#include "dataset/ParameterTable.h"
#include "dataset/QuelkVariableStorePart.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestVariants.h"

using vtest::Describe;
using vtest::MakeBstr;
using vtest::MakeBytes;
using vtest::MakeI4;
using vtest::MakeUI4;

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
    // The persistence and the bulk transfer are not the store's: the store tests never reach them.
    HRESULT SaveValues(IStream*, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT LoadValues(IStream*, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT UploadParameters(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT DownloadParameters(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
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

// A complete COM object holding the store part as a member, as the DTM object does.
class CTestStoreObject : public ql::ComObjectBase<CTestStoreObject> {
    QL_MEMBER_TABLE(CTestStoreObject, QL_ENTRY_MEMBER_IID(IID_IQuelkVariables, IQuelkVariablesEx, part_),
                    QL_ENTRY_MEMBER(IQuelkVariablesEx, part_), QL_ENTRY_MEMBER(IQuelkVariableFields, part_),
                    QL_ENTRY_MEMBER(IQuelkValueCheck, part_))
public:
    CQuelkVariableStorePart& Part() noexcept { return part_; }
    CQuelkVariableStore& Store() noexcept { return part_.Store(); }

private:
    CQuelkVariableStorePart part_{*this};
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
    IQuelkVariablesEx* variables() { return &object_->Part(); }
    IQuelkVariables* variantForms() { return static_cast<IQuelkVariablesEx*>(&object_->Part()); }
    IQuelkVariableFields* fields() { return &object_->Part(); }
    IQuelkValueCheck* valueCheck() { return &object_->Part(); }

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
