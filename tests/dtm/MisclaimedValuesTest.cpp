// VARIANTs whose type claims what their data is not, as a broken caller in the frame's process may pass
// them: every setter refuses them without reading them, leaves the record as it was, and the process heap
// stays whole.
#include <functional>
#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "classlib/Variant.h"
#include "values/DtmVocabulary.h"

namespace dtmtest {
namespace {

template <class Interface>
ql::ComPtr<Interface> Ask(CDtmObject& dtm) {
    ql::ComPtr<Interface> found;
    EXPECT_HR(S_OK, dtm.QueryInterface(__uuidof(Interface), found.PutVoid()));
    return found;
}

IQuelkVariables* ByVariantId(const ql::ComPtr<IQuelkVariablesEx>& variables) {
    return static_cast<IQuelkVariables*>(variables.Get());
}

struct NamedSetter {
    std::string name;
    std::function<HRESULT(CDtmObject&, ULONG id, const VARIANT& value)> call;
};

std::vector<NamedSetter> Setters() {
    std::vector<NamedSetter> setters = {
        {"IQuelkVariablesEx::SetValue",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             return Ask<IQuelkVariablesEx>(dtm)->SetValue(id, value);
         }},
        {"IQuelkVariables::SetValue",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             return ByVariantId(Ask<IQuelkVariablesEx>(dtm))->SetValue(*MakeUI4(id), value);
         }},
        {"IQuelkVariablesEx::SetAddress",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             return Ask<IQuelkVariablesEx>(dtm)->SetAddress(id, value);
         }},
        {"IQuelkVariables::SetAddress",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             return ByVariantId(Ask<IQuelkVariablesEx>(dtm))->SetAddress(*MakeUI4(id), value);
         }},
        {"IQuelkVariablesEx::ChangeValue",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             return Ask<IQuelkVariablesEx>(dtm)->ChangeValue(id, const_cast<VARIANT*>(&value), nullptr);
         }},
        {"IQuelkVariables::ChangeValue",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             return ByVariantId(Ask<IQuelkVariablesEx>(dtm))
                 ->ChangeValue(*MakeUI4(id), const_cast<VARIANT*>(&value), nullptr);
         }},
        {"CheckAndMark",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             VARIANT_BOOL done = VARIANT_FALSE;
             return Ask<IQuelkValueCheck>(dtm)->CheckAndMark(*MakeUI4(id), value, &done);
         }},
        {"IQuelkVariablesEx::OnDeviceResult",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             return Ask<IQuelkVariablesEx>(dtm)->OnDeviceResult(VARIANT_TRUE, id, value, nullptr);
         }},
        {"IQuelkVariables::OnDeviceResult",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             return ByVariantId(Ask<IQuelkVariablesEx>(dtm))
                 ->OnDeviceResult(VARIANT_TRUE, *MakeUI4(id), value, nullptr);
         }},
        {"OnDeviceResult under the compare mark",
         [](CDtmObject& dtm, ULONG id, const VARIANT& value) {
             const ql::ComPtr<IQuelkVariablesEx> variables = Ask<IQuelkVariablesEx>(dtm);
             ULONG access = RecordOf(dtm.Store(), id).Access;
             ULONG marked = access | kAccessCompareMark;
             EXPECT_HR(S_OK, variables->ChangeValue(id, nullptr, &marked));
             const HRESULT hr = variables->OnDeviceResult(VARIANT_TRUE, id, value, nullptr);
             EXPECT_HR(S_OK, variables->ChangeValue(id, nullptr, &access));
             return hr;
         }},
    };
    for (ULONG mask = 1; mask <= kFieldUpdateRule; mask <<= 1) {
        if (mask == kFieldDataType) continue;
        setters.push_back({"SetVariableField " + std::to_string(mask),
                           [mask](CDtmObject& dtm, ULONG id, const VARIANT& value) {
                               return Ask<IQuelkVariableFields>(dtm)->SetVariableField(*MakeUI4(id),
                                                                                       *MakeUI4(mask), value);
                           }});
    }
    return setters;
}

class MisclaimedValuesTest : public DtmTest {
protected:
    // Every field of the record as text, and the value last read under the compare mark.
    std::vector<std::string> Snapshot(ULONG id) {
        std::vector<std::string> fields;
        const auto variableFields = Ask<IQuelkVariableFields>(*dtm_.Get());
        for (ULONG mask = 1; mask <= kFieldUpdateRule; mask <<= 1) {
            ql::Variant field;
            const HRESULT hr = variableFields->GetVariableField(*MakeUI4(id), *MakeUI4(mask), field.Put());
            fields.push_back(SUCCEEDED(hr) ? Describe(*field) : "failed");
        }
        fields.push_back(Describe(*dtm_->Store().CompareValue()));
        return fields;
    }
};

// A byte string and a UI1: each setter's conversion takes a different road for them.
constexpr ULONG kRecords[] = {17, 19};

TEST_F(MisclaimedValuesTest, EverySetterRefusesThemAndChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
    for (const NamedSetter& setter : Setters()) {
        for (const vtest::MisclaimedValue& shape : vtest::MisclaimedValues()) {
            for (const ULONG id : kRecords) {
                SCOPED_TRACE(testing::Message() << setter.name << ", " << shape.name << " into " << id);
                const std::vector<std::string> before = Snapshot(id);
                EXPECT_TRUE(FAILED(setter.call(*dtm_.Get(), id, *shape.value)));
                EXPECT_EQ(before, Snapshot(id));
                EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
            }
        }
    }
}

}  // namespace
}  // namespace dtmtest
