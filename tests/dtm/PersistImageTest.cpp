// The dataset image through IPersistStreamInit and IPersistPropertyBag: the class library's version behind
// the stream image, and the bag's property holding the same image.
#include "ImageTestSupport.h"
#include "classlib/Variant.h"

namespace dtmtest {
namespace {

class PersistImageTest : public DtmTest {
protected:
    // An image of the header, one entry of record `id` and the library's version.
    static Bytes OneEntryImage(ULONG id, VARTYPE dataType, const Bytes& value, ULONG access,
                               ULONG version = 0x300) {
        return ImageBuilder().Header().VariantI4(1).Entry(id, dataType, value, access).U32(version).Get();
    }
    CQuelkVariableStore& Store() { return dtm_->Store(); }
};

// A values part this system wrote holds the records in list order; one written by hand, by an older
// version or damaged may hold them in any order, repeat an id (the first entry counts) or name records
// that do not exist. Every entry still reaches its own record, converted to the record's type.
TEST_F(PersistImageTest, EntriesReachTheirRecordsInAnyOrder) {
    const Bytes tag = ImageBuilder().VariantBstr(L"FT-7").Get();
    const Bytes seven = ImageBuilder().VariantUI1(7).Get();
    const Bytes nine = ImageBuilder().VariantUI1(9).Get();
    const Bytes wideEight = ImageBuilder().VariantUI4(8).Get();
    const Bytes noNumber = ImageBuilder().VariantBstr(L"x").Get();
    struct Entry {
        ULONG id;
        Bytes value;
    };
    struct Expected {
        ULONG id;
        std::string value;
    };
    const struct {
        const char* name;
        std::vector<Entry> entries;
        std::vector<Expected> expected;
    } cases[] = {
        {"list order",
         {{1, tag}, {3, seven}, {0x13, nine}},
         {{1, "bstr:'FT-7'"}, {3, "ui1:7"}, {0x13, "ui1:9"}}},
        {"reversed",
         {{0x13, nine}, {3, seven}, {1, tag}},
         {{1, "bstr:'FT-7'"}, {3, "ui1:7"}, {0x13, "ui1:9"}}},
        {"an id repeated in place", {{3, seven}, {3, nine}, {0x13, nine}}, {{3, "ui1:7"}, {0x13, "ui1:9"}}},
        {"an id repeated later", {{3, seven}, {0x13, nine}, {3, nine}}, {{3, "ui1:7"}, {0x13, "ui1:9"}}},
        {"an unknown id between", {{3, seven}, {99999, nine}, {0x13, nine}}, {{3, "ui1:7"}, {0x13, "ui1:9"}}},
        {"a value of another type", {{3, wideEight}, {0x13, nine}}, {{3, "ui1:8"}, {0x13, "ui1:9"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDtm();
        ImageBuilder image;
        image.Header().VariantI4(static_cast<LONG>(c.entries.size()));
        for (const Entry& entry : c.entries) {
            const VARTYPE type =
                entry.id == 99999 ? static_cast<VARTYPE>(VT_UI1) : RecordOf(Store(), entry.id).DataType;
            image.Entry(entry.id, type, entry.value, 0x71);
        }
        ASSERT_NO_FATAL_FAILURE(LoadImage(image.U32(0x300).Get()));
        for (const Expected& expected : c.expected) {
            EXPECT_EQ(expected.value, Describe(*RecordOf(Store(), expected.id).Value))
                << "record " << expected.id;
        }
    }

    // A value that does not convert leaves the record's own.
    CreateDtm();
    const std::string before = Describe(*RecordOf(Store(), 3).Value);
    ASSERT_NO_FATAL_FAILURE(LoadImage(OneEntryImage(3, VT_UI1, noNumber, 0x71)));
    EXPECT_EQ(before, Describe(*RecordOf(Store(), 3).Value));
}

TEST_F(PersistImageTest, APropertyMapVersionAboveTheLibrarysIsRefusedAndNothingIsTaken) {
    const auto before = Snapshot(Store());
    ql::ComPtr<IStream> stream =
        StreamOn(OneEntryImage(3, VT_UI1, ImageBuilder().VariantUI1(7).Get(), 0x71, 0x301));
    EXPECT_HR(E_FAIL, PersistStream()->Load(stream.Get()));
    EXPECT_EQ(1u, State());
    EXPECT_EQ(before, Snapshot(Store()));
    // Saving before the configuration writes nothing.
    LoadImage(EmptyImage());
    stream = StreamOn({});
    EXPECT_HR(S_FALSE, PersistStream()->Save(stream.Get(), TRUE));
    EXPECT_TRUE(StreamBytes(stream.Get()).empty());
}

// ---- The property bag ----

TEST_F(PersistImageTest, DtmDataRoundTrip) {
    DriveNewToConfigured();
    const Bytes streamImage = SaveStreamImage();
    ql::ComPtr<MemoryPropertyBag> bag;
    ASSERT_HR(S_OK, ql::MakeObject(bag));
    ASSERT_HR(S_OK, PersistBag()->Save(bag.Get(), TRUE, TRUE));
    // The property holds the stream image without the class library's version.
    ASSERT_EQ(1u, bag->properties.count(L"DTM_DATA"));
    const ql::Variant& property = bag->properties[L"DTM_DATA"];
    ASSERT_EQ(VT_ARRAY | VT_UI1, property.Type());
    EXPECT_EQ(1u, ::SafeArrayGetDim(V_ARRAY(property.Get())));
    EXPECT_EQ(Bytes(streamImage.begin(), streamImage.end() - 4), Elements<BYTE>(*property));

    const auto before = Snapshot(Store());
    CreateDtm();
    ASSERT_HR(S_OK, PersistBag()->Load(bag.Get(), nullptr));
    EXPECT_EQ(5u, State());
    EXPECT_EQ(before, Snapshot(Store()));
}

// ---- The modified flag ----

}  // namespace
}  // namespace dtmtest
