// The store's setters as the pages, services and scripts call them on the DTM's own interfaces: whatever
// a setter takes, the project still saves, documents and reloads; whatever it refuses leaves the record's
// value and access word as they were.
#include <functional>
#include <string>
#include <utility>

#include "ImageTestSupport.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "dataset/ParameterListExport.h"
#include "tests/support/MemoryPropertyBag.h"
#include "tests/support/TestObjects.h"

namespace dtmtest {
namespace {

// A text of `bytes` bytes: with an odd count its last UTF-16 character is only half there.
ql::Variant TextOfBytes(const char* bytes, UINT count) {
    ql::Variant text;
    text.AttachBstr(::SysAllocStringByteLen(bytes, count));
    return text;
}

// What a given value refers to, living for one case as a script's variables do.
struct Referred {
    LONG number = 7;
    ql::Variant variant;
    vtest::DefaultValueObject object{7};
};

// The texts "7" and one of `count` bytes in an array of BSTRs.
ql::Variant TextsWith(const char* bytes, UINT count) {
    ql::SafeArray array;
    EXPECT_HR(S_OK, array.Create(VT_BSTR, 2));
    {
        ql::SafeArrayData<BSTR> texts(array.Get());
        EXPECT_HR(S_OK, texts.Status());
        texts[0] = ::SysAllocString(L"7");
        texts[1] = ::SysAllocStringByteLen(bytes, count);
    }
    ql::Variant value;
    value.AttachArray(VT_BSTR, array.Detach());
    return value;
}

struct Input {
    const char* name;
    std::function<ql::Variant(Referred&)> make;
    bool whole = true;  // false: a text of an odd byte count, anywhere in the value, which no record takes
};

const Input kInputs[] = {
    {"half a character", [](Referred&) { return TextOfBytes("A", 1); }, false},
    {"three-byte text", [](Referred&) { return TextOfBytes("ABC", 3); }, false},
    {"one-byte string", [](Referred&) { return MakeBytes({0x41}); }},
    {"three-byte string",
     [](Referred&) {
         return MakeBytes({0x41, 0x42, 0x43});
     }},
    {"text abc", [](Referred&) { return MakeBstr(L"abc"); }},
    {"text 7", [](Referred&) { return MakeBstr(L"7"); }},
    {"I4 7", [](Referred&) { return MakeI4(7); }},
    {"reference to I4 7", [](Referred& referred) { return MakeReference(VT_I4, &referred.number); }},
    {"reference to a VARIANT holding text 7",
     [](Referred& referred) {
         referred.variant = MakeBstr(L"7");
         return MakeReference(VT_VARIANT, referred.variant.Get());
     }},
    {"reference to a VARIANT holding 7 and half a character",
     [](Referred& referred) {
         referred.variant = TextOfBytes("7\08", 3);
         return MakeReference(VT_VARIANT, referred.variant.Get());
     },
     false},
    {"texts 7 and half a character", [](Referred&) { return TextsWith("8", 1); }, false},
    {"object whose default value is 7",
     [](Referred& referred) {
         ql::Variant object;
         object.SetDispatch(&referred.object);
         return object;
     }},
};

// The tag and a read-only text, the 32-byte string, the UI1 station address and two R4 records.
constexpr ULONG kRecords[] = {1, 23, 17, 3, 39, 51};

enum class Setter { SetValue, SetValueByVariantId, SetVariableField, CheckAndMark, WriteOffline };

const struct {
    const char* name;
    Setter setter;
} kSetters[] = {
    {"IQuelkVariablesEx::SetValue", Setter::SetValue},
    {"IQuelkVariables::SetValue", Setter::SetValueByVariantId},
    {"SetVariableField 0x80", Setter::SetVariableField},
    {"CheckAndMark", Setter::CheckAndMark},
    {"WriteToDeviceAsync offline", Setter::WriteOffline},
};

class StoreSettersTest : public DtmTest {
protected:
    CQuelkVariableStore& Store() { return dtm_->Store(); }

    template <class Interface>
    ql::ComPtr<Interface> Ask(REFIID iid) {
        ql::ComPtr<Interface> found;
        EXPECT_HR(S_OK, dtm_->QueryInterface(iid, found.PutVoid()));
        return found;
    }

    HRESULT Set(Setter setter, ULONG id, const VARIANT& value) {
        VARIANT_BOOL done = VARIANT_FALSE;
        HRESULT hr = E_UNEXPECTED;
        switch (setter) {
            case Setter::SetValue:
                return Ask<IQuelkVariablesEx>(IID_IQuelkVariablesEx)->SetValue(id, value);
            case Setter::SetValueByVariantId:
                return Ask<IQuelkVariables>(IID_IQuelkVariables)->SetValue(*MakeUI4(id), value);
            case Setter::SetVariableField:
                return Ask<IQuelkVariableFields>(IID_IQuelkVariableFields)
                    ->SetVariableField(*MakeUI4(id), *MakeUI4(kFieldValue), value);
            case Setter::CheckAndMark:
                hr = Ask<IQuelkValueCheck>(IID_IQuelkValueCheck)->CheckAndMark(*MakeUI4(id), value, &done);
                break;
            case Setter::WriteOffline:
                hr = Ask<IQuelkVariablesEx>(IID_IQuelkVariablesEx)->WriteToDeviceAsync(id, value, &done);
                break;
        }
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(VARIANT_TRUE, done);
        }
        return hr;
    }

    // The parameter document and the parameter list of the DTM as it is now.
    std::pair<std::wstring, std::wstring> Documents() {
        ql::Bstr path(L"\\"), document, list;
        EXPECT_HR(S_OK, Ask<IDtmParameter>(IID_IDtmParameter)->GetParameters(path.Get(), document.Put()));
        EXPECT_HR(S_OK, ExportParameters(Store(), nullptr, list.Put()));
        return {StringOf(document.Get()), StringOf(list.Get())};
    }

    // A field holds values, never a reference into the caller's memory.
    void ExpectNoFieldRefersToTheCaller(ULONG id) {
        const auto fields = Ask<IQuelkVariableFields>(IID_IQuelkVariableFields);
        for (ULONG mask = 1; mask <= kFieldUpdateRule; mask <<= 1) {
            ql::Variant field;
            if (FAILED(fields->GetVariableField(*MakeUI4(id), *MakeUI4(mask), field.Put()))) continue;
            EXPECT_FALSE(field.Type() & VT_BYREF) << "field " << std::hex << mask;
        }
    }

    // The project of a taken value goes every way a frame takes it, and comes back as it went: the
    // documents read the value as the reloaded DTM, which holds it converted, reads it.
    void ExpectProjectKeepsIt() {
        const Bytes image = SaveStreamImage();
        ql::ComPtr<MemoryPropertyBag> bag;
        ASSERT_HR(S_OK, ql::MakeObject(bag));
        EXPECT_HR(S_OK, PersistBag()->Save(bag.Get(), TRUE, TRUE));
        const auto documents = Documents();

        CreateDtm();
        ASSERT_NO_FATAL_FAILURE(LoadImage(image));
        ASSERT_NO_FATAL_FAILURE(Environment());
        ASSERT_NO_FATAL_FAILURE(Configure());
        EXPECT_EQ(image, SaveStreamImage());
        EXPECT_EQ(documents, Documents());
    }
};

TEST_F(StoreSettersTest, WhatASetterTakesSavesAndWhatItRefusesLeavesNoMark) {
    for (const auto& setter : kSetters) {
        for (const Input& input : kInputs) {
            for (ULONG id : kRecords) {
                SCOPED_TRACE(testing::Message() << setter.name << ", " << input.name << " into " << id);
                Referred referred;
                CreateDtm();
                ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
                const CQuelkVariable before = RecordOf(Store(), id);
                const HRESULT hr = Set(setter.setter, id, *input.make(referred));
                if (!input.whole) {
                    EXPECT_HR(E_INVALIDARG, hr);
                }
                ExpectNoFieldRefersToTheCaller(id);
                if (FAILED(hr)) {
                    const CQuelkVariable after = RecordOf(Store(), id);
                    EXPECT_EQ(Describe(*before.Value), Describe(*after.Value));
                    EXPECT_EQ(before.Access, after.Access);
                } else {
                    const std::string held = Describe(*RecordOf(Store(), id).Value);
                    ExpectProjectKeepsIt();
                    if (setter.setter == Setter::SetVariableField) {
                        Referred again;
                        CreateDtm();
                        ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
                        EXPECT_HR(S_OK, Set(Setter::SetValue, id, *input.make(again)));
                        EXPECT_EQ(Describe(*RecordOf(Store(), id).Value), held) << "as SetValue holds it";
                    }
                }
                dtm_.Reset();
                EXPECT_EQ(1u, referred.object.refs) << "nothing keeps the caller's object";
            }
        }
    }
}

}  // namespace
}  // namespace dtmtest
