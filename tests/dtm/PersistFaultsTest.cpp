// Saving into storage that fails, and loading images that lie about themselves.
#include <algorithm>

#include "ImageTestSupport.h"
#include "classlib/Utf8.h"
#include "classlib/Variant.h"

namespace dtmtest {
namespace {

class PersistFaultsTest : public DtmTest {
protected:
    CQuelkVariableStore& Store() { return dtm_->Store(); }

    // Loads `image` through IPersistStreamInit and expects a refusal that changes nothing.
    void ExpectRefused(const Bytes& image) {
        CreateDtm();
        const auto before = Snapshot(Store());
        ql::ComPtr<IStream> stream = StreamOn(image);
        const HRESULT hr = PersistStream()->Load(stream.Get());
        EXPECT_TRUE(FAILED(hr)) << "a refused load is a failure, not " << vtest::HResultName(hr);
        EXPECT_EQ(1u, State());
        EXPECT_EQ(before, Snapshot(Store()));
        EXPECT_TRUE(dtm_->DeviceType().IsNull());
    }
};

TEST_F(PersistFaultsTest, ASaveWhoseWritesAreCutShortIsNoSave) {
    DriveNewToConfigured();
    ql::Variant tag;
    ASSERT_HR(S_OK, tag.SetBstr(L"FT-103"));
    ASSERT_HR(S_OK, Store().SetValue(1, *tag.Get()));
    const size_t full = SaveStreamImage().size();
    ASSERT_HR(S_OK, tag.SetBstr(L"FT-104"));
    ASSERT_HR(S_OK, Store().SetValue(1, *tag.Get()));
    ASSERT_HR(S_OK, PersistStream()->IsDirty());

    for (bool failOutright : {false, true}) {
        for (size_t capacity : {size_t(0), size_t(3), size_t(4), size_t(40), full / 2, full - 5, full - 1}) {
            SCOPED_TRACE(testing::Message()
                         << "capacity " << capacity << (failOutright ? ", failing" : ", cut"));
            ql::ComPtr<LimitedStream> stream;
            ASSERT_HR(S_OK, ql::MakeObject(stream, capacity, failOutright));
            // The stream's own failure; a write it cut short while answering success counts as the same.
            EXPECT_HR(STG_E_MEDIUMFULL, PersistStream()->Save(stream.Get(), TRUE));
            EXPECT_HR(S_OK, PersistStream()->IsDirty()) << "the change is still unsaved";
        }
    }
    ql::ComPtr<LimitedStream> roomy;
    ASSERT_HR(S_OK, ql::MakeObject(roomy, full, true));
    EXPECT_HR(S_OK, PersistStream()->Save(roomy.Get(), TRUE));
    EXPECT_EQ(full, roomy->Bytes().size());
    EXPECT_HR(S_FALSE, PersistStream()->IsDirty());
}

// Loading never trusts lengths, counts or types from the stream: a project file must never create objects,
// read past its end or allocate what it claims.
TEST_F(PersistFaultsTest, ImagesThatLieAboutThemselvesAreRefused) {
    const std::wstring deviceType = L"<fdt:DtmDeviceType/>";
    const Bytes tail = ImageBuilder().VariantBstr(L"1.0").VariantBstr(L"1").VariantI4(0).U32(0x300).Get();
    const Bytes one = ImageBuilder().VariantUI1(1).Get();
    const GUID anyClass = {0x00000303, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};  // the file moniker's class
    const Bytes classId(reinterpret_cast<const BYTE*>(&anyClass),
                        reinterpret_cast<const BYTE*>(&anyClass) + 16);
    // An image whose values part holds `count` and then the entry.
    auto withEntry = [](const Bytes& entry, LONG count = 1) {
        return ImageBuilder().Header().VariantI4(count).Raw(entry).U32(0x300).Get();
    };
    // An image whose only entry is record 3 (VT_UI1) with the encoded `value`.
    auto withValue = [&](const Bytes& value) {
        return withEntry(ImageBuilder().Entry(3, VT_UI1, value, 0x71).Get());
    };
    auto byteArrayEntry = [](const Bytes& value) {
        return ImageBuilder().Entry(22, VT_ARRAY | VT_UI1, value, 0x71).Get();
    };
    const struct {
        const char* name;
        Bytes image;
    } cases[] = {
        {"text of odd length", ImageBuilder().U32(3).Raw({0x41, 0x00, 0x00}).Raw(tail).Get()},
        {"text length beyond the stream", ImageBuilder().U32(0x7FFFFFF0).Raw(tail).Get()},
        {"text length of almost 4 GiB", ImageBuilder().U32(0xFFFFFFFE).Raw(tail).Get()},
        {"text without terminating zero",
         ImageBuilder().U32(4).Raw({0x41, 0x00, 0x42, 0x00}).Raw(tail).Get()},
        {"version text beyond the stream",
         ImageBuilder().Text(deviceType).U16(VT_BSTR).U32(0x10000).Raw({0x31, 0x00, 0x00, 0x00}).Get()},
        {"nothing at all", {}},
        {"device type only", ImageBuilder().Text(deviceType).Get()},
        {"negative count", withEntry(ImageBuilder().Entry(3, VT_UI1, one, 0x71).Get(), -1)},
        {"absurd count", withEntry(ImageBuilder().Entry(3, VT_UI1, one, 0x71).Get(), 0x7FFFFFFF)},
        {"one more than present", withEntry(ImageBuilder().Entry(3, VT_UI1, one, 0x71).Get(), 2)},
        {"a count that is no number", ImageBuilder().Header().VariantBstr(L"many").U32(0x300).Get()},
        {"VT_DISPATCH", withValue(ImageBuilder().U16(VT_DISPATCH).Raw(classId).Get())},
        {"VT_UNKNOWN", withValue(ImageBuilder().U16(VT_UNKNOWN).Raw(classId).Get())},
        {"VT_BYREF|VT_UI4", withValue(ImageBuilder().U16(VT_BYREF | VT_UI4).U32(0x12345678).Get())},
        {"VT_ARRAY|VT_UI1", withValue(ImageBuilder().U16(VT_ARRAY | VT_UI1).Text(L"00").Get())},
        {"VT_VARIANT", withValue(ImageBuilder().U16(VT_VARIANT).Text(L"1").Get())},
        {"VT_RECORD", withValue(ImageBuilder().U16(VT_RECORD).Text(L"1").Get())},
        {"type 0x0FFF", withValue(ImageBuilder().U16(0x0FFF).Text(L"1").Get())},
        {"id as text",
         withEntry(ImageBuilder().VariantBstr(L"three").VariantUI4(VT_UI1).Raw(one).VariantUI4(0x71).Get())},
        {"data type as text",
         withEntry(ImageBuilder().VariantUI4(3).VariantBstr(L"UI1").Raw(one).VariantUI4(0x71).Get())},
        {"access as text",
         withEntry(ImageBuilder().VariantUI4(3).VariantUI4(VT_UI1).Raw(one).VariantBstr(L"rw").Get())},
        {"odd hexadecimal", withEntry(byteArrayEntry(ImageBuilder().VariantBstr(L"ABC").Get()))},
        {"no hexadecimal", withEntry(byteArrayEntry(ImageBuilder().VariantBstr(L"XY").Get()))},
        {"byte array as a number", withEntry(byteArrayEntry(one))},
        // Zeros read as null texts and VT_EMPTY items: no version item and no count is there.
        {"zeros after an empty text", Bytes(26, 0)},
        {"zeros", Bytes(64, 0)},
        {"count as a text", ImageBuilder().Header().VariantBstr(L"0").U32(0x300).Get()},
        {"version items of another type",
         ImageBuilder().Text(deviceType).VariantUI4(1).VariantUI4(0).VariantI4(0).U32(0x300).Get()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(c.image);
    }
}

// The transfer marks belong to the running session and the capabilities to the parameter table: a project
// carries only whether a value still waits for the device. A stale compare mark would send every later
// device result of the record to the compare value; 0x08 would make offline writes vanish; 0x71 on a
// read-only record would make it writable.
TEST_F(PersistFaultsTest, AProjectCarriesOnlyTheModifiedBitOfTheAccessWord) {
    const struct {
        const char* name;
        ULONG id;
        ULONG stored;
        ULONG loaded;
    } cases[] = {
        {"compare mark", 18, 0x4071, 0x71},
        {"online transfer mark", 18, 0x1071, 0x71},
        {"offline store mark", 18, 0x2071, 0x71},
        {"no check possible", 3, 0x79, 0x71},
        {"read-only record made writable", 25, 0x71, 0x50},
        {"value waiting for the device", 3, 0x73, 0x73},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDtm();
        const CQuelkVariable record = RecordOf(Store(), c.id);
        const Bytes image = ImageBuilder()
                                .Header()
                                .VariantI4(1)
                                .Entry(c.id, record.DataType, ExpectedValueEncoding(record), c.stored)
                                .U32(0x300)
                                .Get();
        ASSERT_NO_FATAL_FAILURE(LoadImage(image));
        EXPECT_EQ(c.loaded, RecordOf(Store(), c.id).Access);
    }

    // A project saved while a compare waits (a frame's autosave) stores the word without the mark.
    CreateDtm();
    DriveNewToConfigured();
    const ULONG marked = 0x4071;
    ASSERT_HR(S_OK, Store().ChangeValue(18, nullptr, &marked));
    const Bytes image = SaveStreamImage();
    CQuelkVariable saved = RecordOf(Store(), 18);
    saved.Access = 0x71;
    const Bytes entry = ExpectedEntry(saved);
    EXPECT_NE(image.end(), std::search(image.begin(), image.end(), entry.begin(), entry.end()));
}

// A loaded value is taken without a range test, but the value check judges it: a value the check refuses
// loads marked rejected, whether it was saved so, written by hand or damaged on disk, through either form of
// the project, and the verification agrees with the mark.
TEST_F(PersistFaultsTest, ALoadedValueCarriesTheValueChecksVerdict) {
    const Bytes notANumber = ImageBuilder().U16(VT_R4).U32(0x7FC00000).Get();
    const struct {
        const char* name;
        ULONG id;
        VARTYPE dataType;
        Bytes value;
        ULONG stored;
        ULONG loaded;
    } cases[] = {
        {"station address 127 saved while rejected", 3, VT_UI1, ImageBuilder().VariantUI1(127).Get(), 0x77,
         0x77},
        {"station address 200 written by hand", 3, VT_UI1, ImageBuilder().VariantUI1(200).Get(), 0x71, 0x75},
        {"target mode 7", 20, VT_UI1, ImageBuilder().VariantUI1(7).Get(), 0x71, 0x75},
        {"duct width not a number", 51, VT_R4, notANumber, 0x73, 0x77},
        {"a valid value saved with a stale mark", 3, VT_UI1, ImageBuilder().VariantUI1(42).Get(), 0x75, 0x71},
    };
    for (const bool bag : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << (bag ? ", property bag" : ", stream"));
            CreateDtm();
            const Bytes image = ImageBuilder()
                                    .Header()
                                    .VariantI4(1)
                                    .Entry(c.id, c.dataType, c.value, c.stored)
                                    .U32(0x300)
                                    .Get();
            if (bag) {
                ql::ComPtr<MemoryPropertyBag> properties;
                ASSERT_HR(S_OK, ql::MakeObject(properties));
                properties->properties[L"DTM_DATA"] = MakeBytes(Bytes(image.begin(), image.end() - 4));
                ASSERT_HR(S_OK, PersistBag()->Load(properties.Get(), nullptr));
            } else {
                ASSERT_NO_FATAL_FAILURE(LoadImage(image));
            }
            EXPECT_EQ(c.loaded, RecordOf(Store(), c.id).Access);

            ASSERT_NO_FATAL_FAILURE(Environment());
            ASSERT_NO_FATAL_FAILURE(Configure());
            ql::ComPtr<IDtmDataSetCheck> check;
            ASSERT_HR(S_OK, dtm_->QueryInterface(IID_IDtmDataSetCheck, check.PutVoid()));
            VARIANT_BOOL valid = VARIANT_FALSE;
            ASSERT_HR(S_OK, check->VerifyDataSet(&valid));
            EXPECT_EQ((c.loaded & 0x04) ? VARIANT_FALSE : VARIANT_TRUE, valid);
        }
    }
}

// A save that keeps the dirty flag (a frame saving a copy) leaves the change to be saved into the project.
TEST_F(PersistFaultsTest, ASaveWithoutClearingTheDirtyFlagKeepsTheChangeUnsaved) {
    DriveNewToConfigured();
    ql::Variant tag;
    ASSERT_HR(S_OK, tag.SetBstr(L"FT-105"));
    ASSERT_HR(S_OK, Store().SetValue(1, *tag.Get()));
    ql::ComPtr<IStream> stream = StreamOn({});
    ASSERT_HR(S_OK, PersistStream()->Save(stream.Get(), FALSE));
    EXPECT_HR(S_OK, PersistStream()->IsDirty());
    ql::ComPtr<MemoryPropertyBag> bag;
    ASSERT_HR(S_OK, ql::MakeObject(bag));
    ASSERT_HR(S_OK, PersistBag()->Save(bag.Get(), FALSE, TRUE));
    EXPECT_HR(S_OK, PersistStream()->IsDirty());
    ASSERT_HR(S_OK, PersistStream()->Save(stream.Get(), TRUE));
    EXPECT_HR(S_FALSE, PersistStream()->IsDirty());

    // A property that holds no image is a failed load, not a refusal in the lifecycle.
    CreateDtm();
    ASSERT_HR(S_OK, bag->properties[L"DTM_DATA"].SetBstr(L"image"));
    EXPECT_HR(E_FAIL, PersistBag()->Load(bag.Get(), nullptr));
    EXPECT_EQ(1u, State());
}

// The device type text goes into every parameter document as it stands: only one well-formed device type
// element may come from a project, and no document that does not parse leaves the DTM.
TEST_F(PersistFaultsTest, ADeviceTypeTextThatIsNoElementIsRefused) {
    for (const wchar_t* text : {L"<evil", L"</FDT><FDT>", L"plain text", L"<fdt:DtmDeviceType/><DtmDevice/>",
                                L"<!-- a --><fdt:DtmDeviceType/>", L"<fdt:Other/>"}) {
        SCOPED_TRACE(testing::Message() << ql::Utf8FromWide(text));
        const std::wstring deviceType(text);
        ExpectRefused(ImageBuilder().Header(&deviceType).VariantI4(0).U32(0x300).Get());
    }
    const std::wstring element = L"<fdt:DtmDeviceType xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"/>";
    ASSERT_NO_FATAL_FAILURE(LoadImage(ImageBuilder().Header(&element).VariantI4(0).U32(0x300).Get()));
    CreateDtm();
    ASSERT_NO_FATAL_FAILURE(LoadImage(ImageBuilder().Header(&element).VariantI4(0).U32(0x300).Get()));
    EXPECT_EQ(element, StringOf(dtm_->DeviceType().Get()));
    // A text once accepted vouches for no other: texts that begin, end or differ like it are judged anew.
    for (const std::wstring& text : {element + L"<fdt:DtmDeviceType/>", element.substr(0, element.size() - 2),
                                     L"<!---->" + element, std::wstring(L"<FDT:") + element.substr(5)}) {
        SCOPED_TRACE(testing::Message() << ql::Utf8FromWide(text.c_str()));
        ExpectRefused(ImageBuilder().Header(&text).VariantI4(0).U32(0x300).Get());
    }
    CreateDtm();

    CreateDtm();
    DriveNewToConfigured();
    ASSERT_HR(S_OK, dtm_->DeviceType().Assign(L"<evil"));
    ql::ComPtr<IDtmParameter> parameters;
    ASSERT_HR(S_OK, dtm_->QueryInterface(IID_IDtmParameter, parameters.PutVoid()));
    ql::Bstr path(L"\\"), document;
    EXPECT_TRUE(FAILED(parameters->GetParameters(path.Get(), document.Put())));
    EXPECT_TRUE(document.IsNull());
}

}  // namespace
}  // namespace dtmtest
