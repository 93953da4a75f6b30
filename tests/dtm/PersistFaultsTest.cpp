// Saving into storage that fails, and loading images that lie about themselves.
#include "ImageTestSupport.h"
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
        EXPECT_HR(S_FALSE, PersistStream()->Load(stream.Get()));
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
            EXPECT_HR(S_FALSE, PersistStream()->Save(stream.Get(), TRUE));
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(c.image);
    }
}

}  // namespace
}  // namespace dtmtest
