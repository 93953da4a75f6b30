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
