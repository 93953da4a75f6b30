// The store's setters as the pages, services and scripts call them on the DTM's own interfaces: whatever
// a setter takes, the project still saves, documents and reloads; whatever it refuses leaves the record's
// value and access word as they were.
#include <functional>
#include <string>
#include <utility>

#include "ImageTestSupport.h"
#include "classlib/Variant.h"
#include "dataset/ParameterListExport.h"
#include "tests/support/MemoryPropertyBag.h"

namespace dtmtest {
namespace {

// A text of `bytes` bytes: with an odd count its last UTF-16 character is only half there.
ql::Variant TextOfBytes(const char* bytes, UINT count) {
    ql::Variant text;
    text.AttachBstr(::SysAllocStringByteLen(bytes, count));
    return text;
}

struct Input {
    const char* name;
    std::function<ql::Variant()> make;
    bool whole = true;  // false: a text of an odd byte count, which no record takes
};

const Input kInputs[] = {
    {"half a character", [] { return TextOfBytes("A", 1); }, false},
    {"three-byte text", [] { return TextOfBytes("ABC", 3); }, false},
    {"one-byte string", [] { return MakeBytes({0x41}); }},
    {"three-byte string",
     [] {
         return MakeBytes({0x41, 0x42, 0x43});
     }},
    {"text abc", [] { return MakeBstr(L"abc"); }},
    {"text 7", [] { return MakeBstr(L"7"); }},
    {"I4 7", [] { return MakeI4(7); }},
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
                CreateDtm();
                ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
                const CQuelkVariable before = RecordOf(Store(), id);
                const HRESULT hr = Set(setter.setter, id, *input.make());
                if (!input.whole) {
                    EXPECT_TRUE(FAILED(hr)) << vtest::HResultName(hr);
                }
                if (FAILED(hr)) {
                    const CQuelkVariable after = RecordOf(Store(), id);
                    EXPECT_EQ(Describe(*before.Value), Describe(*after.Value));
                    EXPECT_EQ(before.Access, after.Access);
                } else {
                    if (setter.setter == Setter::SetVariableField) {
                        EXPECT_EQ(Describe(*input.make()), Describe(*RecordOf(Store(), id).Value))
                            << "as given";
                    }
                    ExpectProjectKeepsIt();
                }
            }
        }
    }
}

}  // namespace
}  // namespace dtmtest
