// VARIANTs whose type claims what their data is not, as a broken caller in the frame's process may pass
// them: every setter refuses them without reading them, leaves the record as it was, and the process heap
// stays whole. Arrays whose texts stay their caller's, because the platform does not own the elements, are
// refused the same way: the DTM neither frees the caller's strings nor keeps them.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "classlib/Variant.h"
#include "tests/support/AllocatorWatch.h"
#include "tests/support/CallerTexts.h"
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
        for (const vtest::NamedValue& shape : vtest::MisclaimedValues()) {
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

// The text record, and the byte string and the UI1 whose conversions read elements as numbers.
constexpr ULONG kTextRecords[] = {1, 17, 19};

TEST_F(MisclaimedValuesTest, EverySetterRefusesTextsItsCallerOwnsAndNeitherFreesNorKeepsThem) {
    AllocatorWatch watch;
    ASSERT_EQ(S_OK, watch.Status()) << "the test needs OANOCACHE=1 in its environment";
    ASSERT_TRUE(watch.FreesReachAllocator());
    ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
    const size_t shapes = TextArrays({}, ElementOwner::kCaller).size();
    for (const NamedSetter& setter : Setters()) {
        for (size_t shape = 0; shape < shapes; ++shape) {
            for (const ULONG id : kTextRecords) {
                CallerTexts caller;
                const std::vector<const void*> blocks = caller.Blocks(watch);
                std::vector<NamedValue> lent = TextArrays(caller.Texts(), ElementOwner::kCaller);
                SCOPED_TRACE(testing::Message() << setter.name << ", " << lent[shape].name << " into " << id);
                const std::vector<std::string> before = Snapshot(id);
                (void)watch.TakeFrees();
                EXPECT_TRUE(FAILED(setter.call(*dtm_.Get(), id, *lent[shape].value)));
                lent.clear();  // the caller clears its arrays, which leave the texts to it
                EXPECT_EQ(std::vector<size_t>{}, CallerTexts::FreedAmong(blocks, watch.TakeFrees()))
                    << "freed the caller's texts";
                EXPECT_EQ(before, Snapshot(id));
                caller.FreeAndReuse();
                EXPECT_EQ(before, Snapshot(id));
                EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
            }
        }
    }
}

// The same arrays as the platform makes them, owning their texts: the setters take them as they always did.
TEST_F(MisclaimedValuesTest, TextsThePlatformOwnsAreTakenAsBefore) {
    ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
    struct Answer {
        HRESULT hr;
        const char* field;  // the field after the call
    };
    const struct {
        const char* setter;
        ULONG id;
        ULONG field;
        std::vector<Answer> answers;  // one for each shape of TextArrays, in order
    } cases[] = {
        {"IQuelkVariablesEx::SetValue",
         1,
         kFieldValue,
         {{S_OK, "bstr:'first'"},
          {DISP_E_TYPEMISMATCH, "bstr:'before'"},
          {DISP_E_TYPEMISMATCH, "bstr:'before'"},
          {DISP_E_TYPEMISMATCH, "bstr:'before'"}}},
        {"CheckAndMark",
         1,
         kFieldValue,
         {{S_OK, "bstr:'first'"},
          {DISP_E_TYPEMISMATCH, "bstr:'before'"},
          {DISP_E_TYPEMISMATCH, "bstr:'before'"},
          {DISP_E_TYPEMISMATCH, "bstr:'before'"}}},
        {"SetVariableField 32",
         39,
         kFieldMinValue,
         {{S_OK, "texts['first', 'second', 'third']"},
          {S_OK, "[bstr:'first', bstr:'second', bstr:'third']"},
          {S_OK, "[texts['first', 'second', 'third']]"},
          {S_OK, "[[bstr:'first', bstr:'second', bstr:'third']]"}}},
    };
    const std::vector<NamedSetter> setters = Setters();
    for (const auto& c : cases) {
        const auto setter = std::find_if(setters.begin(), setters.end(),
                                         [&](const NamedSetter& named) { return named.name == c.setter; });
        ASSERT_NE(setters.end(), setter);
        CallerTexts caller;
        const std::vector<NamedValue> owned = TextArrays(caller.Texts(), ElementOwner::kPlatform);
        ASSERT_EQ(c.answers.size(), owned.size());
        for (size_t shape = 0; shape < owned.size(); ++shape) {
            SCOPED_TRACE(testing::Message() << c.setter << ", " << owned[shape].name);
            ASSERT_HR(S_OK, setter->call(*dtm_.Get(), c.id, *MakeBstr(L"before")));
            EXPECT_HR(c.answers[shape].hr, setter->call(*dtm_.Get(), c.id, *owned[shape].value));
            ql::Variant field;
            EXPECT_HR(S_OK, Ask<IQuelkVariableFields>(*dtm_.Get())
                                ->GetVariableField(*MakeUI4(c.id), *MakeUI4(c.field), field.Put()));
            EXPECT_EQ(c.answers[shape].field, Describe(*field));
        }
    }
}

}  // namespace
}  // namespace dtmtest
