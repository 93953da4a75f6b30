// Saving into storage that fails, a loaded value's verdict through both forms of the project, and what the
// DTM's documents make of a device type text.
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
        EXPECT_TRUE(dtm_->Lifecycle().DeviceType().IsNull());
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

// The device type text goes into every parameter document as it stands: one that is no device type
// element (the image refuses to load it) never gives a document that does not parse.
TEST_F(PersistFaultsTest, ADocumentWithADeviceTypeTextThatIsNoElementIsRefused) {
    const std::wstring element = L"<fdt:DtmDeviceType xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"/>";
    ASSERT_NO_FATAL_FAILURE(LoadImage(ImageBuilder().Header(&element).VariantI4(0).U32(0x300).Get()));
    const std::wstring noElement = L"<evil";
    ExpectRefused(ImageBuilder().Header(&noElement).VariantI4(0).U32(0x300).Get());
    CreateDtm();
    ASSERT_NO_FATAL_FAILURE(LoadImage(ImageBuilder().Header(&element).VariantI4(0).U32(0x300).Get()));
    EXPECT_EQ(element, StringOf(dtm_->Lifecycle().DeviceType().Get()));
    // A text once accepted vouches for no other: texts that begin, end or differ like it are judged anew.
    for (const std::wstring& text : {element + L"<fdt:DtmDeviceType/>", element.substr(0, element.size() - 2),
                                     L"<!---->" + element, std::wstring(L"<FDT:") + element.substr(5)}) {
        SCOPED_TRACE(testing::Message() << ql::Utf8FromWide(text.c_str()));
        ExpectRefused(ImageBuilder().Header(&text).VariantI4(0).U32(0x300).Get());
    }

    CreateDtm();
    DriveNewToConfigured();
    ASSERT_HR(S_OK, dtm_->Lifecycle().DeviceType().Assign(L"<evil"));
    ql::ComPtr<IDtmParameter> parameters;
    ASSERT_HR(S_OK, dtm_->QueryInterface(IID_IDtmParameter, parameters.PutVoid()));
    ql::Bstr path(L"\\"), document;
    EXPECT_TRUE(FAILED(parameters->GetParameters(path.Get(), document.Put())));
    EXPECT_TRUE(document.IsNull());
}

}  // namespace
}  // namespace dtmtest
