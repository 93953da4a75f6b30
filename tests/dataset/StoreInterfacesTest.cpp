// The store's interfaces: id checks of every getter, the VARIANT forms' conversions, single fields and the
// quiet setters.
#include "DatasetTestSupport.h"

namespace {

using StoreInterfacesTest = StoreTest;

TEST_F(StoreInterfacesTest, AnswersAsOneObject) {
    ql::ComPtr<IUnknown> unknown, plain, extended;
    ASSERT_HR(S_OK, variables()->QueryInterface(IID_IUnknown, unknown.PutVoid()));
    for (const IID* iid : {&IID_IQuelkVariableFields, &IID_IQuelkValueCheck}) {
        ql::ComPtr<IUnknown> itf;
        EXPECT_HR(S_OK, unknown->QueryInterface(*iid, itf.PutVoid()));
        EXPECT_TRUE(ql::IsSameObject(unknown.Get(), itf.Get()));
    }
    // IQuelkVariables and IQuelkVariablesEx are one pointer and one table.
    ASSERT_HR(S_OK, unknown->QueryInterface(IID_IQuelkVariables, plain.PutVoid()));
    ASSERT_HR(S_OK, unknown->QueryInterface(IID_IQuelkVariablesEx, extended.PutVoid()));
    EXPECT_EQ(plain.Get(), extended.Get());
}

TEST_F(StoreInterfacesTest, EveryGetterRefusesInvalidAndUnknownIds) {
    ql::Variant v;
    ULONG number = 0;
    VARIANT_BOOL sent = VARIANT_TRUE;
    const struct {
        const char* name;
        std::function<HRESULT(ULONG)> call;
    } getters[] = {
        {"GetVariableInfo",
         [&](ULONG id) {
             return variables()->GetVariableInfo(id, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                 &number);
         }},
        {"GetAddress", [&](ULONG id) { return variables()->GetAddress(id, v.Put()); }},
        {"GetValue", [&](ULONG id) { return variables()->GetValue(id, v.Put()); }},
        {"GetDeviceFlag", [&](ULONG id) { return variables()->GetDeviceFlag(id, &number); }},
        {"GetVariableField",
         [&](ULONG id) { return fields()->GetVariableField(*MakeUI4(id), *MakeUI4(kFieldValue), v.Put()); }},
        {"GetValue by VARIANT", [&](ULONG id) { return variantForms()->GetValue(*MakeUI4(id), v.Put()); }},
        {"CheckValue",
         [&](ULONG id) { return valueCheck()->CheckValue(*MakeUI4(id), *MakeUI4(1), &number); }},
        {"ReadFromDeviceAsync", [&](ULONG id) { return variables()->ReadFromDeviceAsync(id, &sent); }},
        {"SetValue", [&](ULONG id) { return variables()->SetValue(id, *MakeUI4(1)); }},
    };
    for (const auto& getter : getters) {
        for (ULONG id : {kInvalidParameterId, 8ul, 114ul}) {
            SCOPED_TRACE(std::string(getter.name) + " " + std::to_string(id));
            EXPECT_HR(E_INVALIDARG, getter.call(id));
        }
    }
    EXPECT_TRUE(host_.notifications.empty());
}

TEST_F(StoreInterfacesTest, SetVariableFieldTakesNumbersOnlyThroughConversion) {
    const struct {
        const char* name;
        ql::Variant value;
        HRESULT hr;
        ULONG access;
    } cases[] = {
        {"VT_UI4", MakeUI4(0x1071), S_OK, 0x1071},
        {"VT_I4", MakeI4(0x71), S_OK, 0x71},
        {"digits", MakeBstr(L"4096"), S_OK, 4096},
        // A text is never read as a number through its pointer bits.
        {"letters", MakeBstr(L"abc"), DISP_E_TYPEMISMATCH, 0x71},
        {"fraction", MakeBstr(L"1.5e40"), DISP_E_OVERFLOW, 0x71},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetAccess(17, 0x71);
        EXPECT_HR(c.hr, fields()->SetVariableField(*MakeUI4(17), *MakeUI4(kFieldAccess), *c.value));
        EXPECT_EQ(c.access, AccessOf(17));
    }
    // Text fields take texts: a number becomes its text.
    EXPECT_HR(S_OK, fields()->SetVariableField(*MakeUI4(10), *MakeUI4(kFieldDescription), *MakeI4(12)));
    EXPECT_EQ(L"12", store().Variables().Find(10)->Description.View());
}

TEST_F(StoreInterfacesTest, ChangeValueIsTheQuietSetter) {
    EXPECT_HR(S_OK, variables()->ChangeValue(16, nullptr, nullptr));
    EXPECT_EQ("ui2:0", ValueOf(16));
    ql::Variant text = MakeBstr(L"300"), letters = MakeBstr(L"x"), goodAccess = MakeI4(0x50);
    ULONG access = 0x73;
    EXPECT_HR(S_OK, variables()->ChangeValue(16, text.Get(), &access));
    EXPECT_EQ("ui2:300", ValueOf(16));
    EXPECT_EQ(0x73u, AccessOf(16));
    EXPECT_TRUE(host_.notifications.empty());
    EXPECT_TRUE(host_.modifiedMarks.empty());
    EXPECT_HR(DISP_E_TYPEMISMATCH, variables()->ChangeValue(16, letters.Get(), &access));
    EXPECT_EQ("ui2:300", ValueOf(16));
    // The VARIANT form takes the access word through the conversion as well.
    EXPECT_HR(DISP_E_TYPEMISMATCH, variantForms()->ChangeValue(*MakeUI4(16), nullptr, letters.Get()));
    EXPECT_HR(S_OK, variantForms()->ChangeValue(*MakeUI4(16), nullptr, goodAccess.Get()));
    EXPECT_EQ(0x50u, AccessOf(16));
    EXPECT_HR(E_INVALIDARG, variables()->ChangeValue(kInvalidParameterId, nullptr, nullptr));
}

}  // namespace
