// The dataset image through IPersistStreamInit and IPersistPropertyBag, byte for byte.
#include "ImageTestSupport.h"
#include <algorithm>

#include "classlib/Variant.h"

namespace dtmtest {
namespace {

class PersistImageTest : public DtmTest {
protected:
    // A DTM loaded from an image with an empty device type and no values, then configured.
    void LoadEmptyAndConfigure() {
        LoadImage(EmptyImage());
        Environment();
        Configure();
    }
    CQuelkVariableStore& Store() { return dtm_->Store(); }
};

TEST_F(PersistImageTest, ImageOfADtmLoadedWithAnEmptyDeviceType) {
    LoadEmptyAndConfigure();
    const Bytes image = SaveStreamImage();

    const Bytes header = {0x00, 0x00, 0x00, 0x00,  //
                          0x08, 0x00, 0x08, 0x00, 0x00, 0x00, 0x31, 0x00, 0x2E, 0x00, 0x30, 0x00,
                          0x00, 0x00, 0x08, 0x00, 0x04, 0x00, 0x00, 0x00, 0x31, 0x00, 0x00, 0x00,  //
                          0x03, 0x00, 0x72, 0x00, 0x00, 0x00};
    ASSERT_GE(image.size(), header.size() + 4);
    EXPECT_EQ(header, Bytes(image.begin(), image.begin() + header.size()));
    EXPECT_EQ((Bytes{0x00, 0x03, 0x00, 0x00}), Bytes(image.end() - 4, image.end()));

    // The 114 entries in list order, each as the test encodes its record independently.
    Bytes expected = header;
    ULONG persistent = 0;
    for (ULONG i = 0; i < Store().Variables().Count(); ++i) {
        CQuelkVariable record;
        ASSERT_HR(S_OK, Store().Variables().GetVariableAt(static_cast<int>(i), &record));
        if (record.Persistent != 1) continue;
        ++persistent;
        const Bytes entry = ExpectedEntry(record);
        expected.insert(expected.end(), entry.begin(), entry.end());
    }
    expected.insert(expected.end(), {0x00, 0x03, 0x00, 0x00});
    EXPECT_EQ(114u, persistent);
    EXPECT_EQ(expected, image);
}

TEST_F(PersistImageTest, EntriesOfTheStationAddressAndAnEmptyByteArray) {
    LoadEmptyAndConfigure();
    const Bytes image = SaveStreamImage();
    const Bytes stationAddress = {0x13, 0x00, 0x03, 0x00, 0x00, 0x00, 0x13, 0x00, 0x11, 0x00, 0x00,
                                  0x00, 0x11, 0x00, 0x00, 0x13, 0x00, 0x71, 0x00, 0x00, 0x00};
    EXPECT_NE(image.end(),
              std::search(image.begin(), image.end(), stationAddress.begin(), stationAddress.end()));

    const CQuelkVariable record22 = RecordOf(Store(), 22);
    ASSERT_EQ(VT_ARRAY | VT_UI1, record22.DataType);
    EXPECT_EQ((Bytes{0x08, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00}), ExpectedValueEncoding(record22));
    const Bytes entry22 = ExpectedEntry(record22);
    EXPECT_NE(image.end(), std::search(image.begin(), image.end(), entry22.begin(), entry22.end()));
}

TEST_F(PersistImageTest, AnEmptyByteArrayLoadsAsAnEmptyArray) {
    const Bytes image = ImageBuilder()
                            .Header()
                            .VariantI4(1)
                            .Entry(22, VT_ARRAY | VT_UI1, ImageBuilder().VariantBstr(L"").Get(), 0x71)
                            .U32(0x300)
                            .Get();
    LoadImage(image);
    const CQuelkVariable record = RecordOf(Store(), 22);
    ASSERT_EQ(VT_ARRAY | VT_UI1, record.Value.Type());
    LONG lower = 0, upper = 0;
    ASSERT_HR(S_OK, ::SafeArrayGetLBound(V_ARRAY(record.Value.Get()), 1, &lower));
    ASSERT_HR(S_OK, ::SafeArrayGetUBound(V_ARRAY(record.Value.Get()), 1, &upper));
    EXPECT_EQ(0, upper - lower + 1);
}

TEST_F(PersistImageTest, SavedImagesLoadBackUnchanged) {
    DriveNewToConfigured();
    ql::Variant tag;
    ASSERT_HR(S_OK, tag.SetBstr(L"FT-101 \u00e4\u20ac"));
    ASSERT_HR(S_OK, Store().SetValue(1, *tag.Get()));
    const std::wstring deviceType(dtm_->DeviceType().View());
    const Bytes image = SaveStreamImage();
    const auto before = Snapshot(Store());

    CreateDtm();
    LoadImage(image);
    EXPECT_EQ(before, Snapshot(Store()));
    EXPECT_EQ(deviceType, dtm_->DeviceType().View());
    Environment();
    Configure();
    EXPECT_EQ(image, SaveStreamImage());
}

TEST_F(PersistImageTest, AnImageWithoutVersionItemsLoads) {
    const Bytes image = ImageBuilder()
                            .NullText()
                            .VariantI4(1)
                            .Entry(3, VT_UI1, ImageBuilder().VariantUI1(42).Get(), 0x71)
                            .U32(0x300)
                            .Get();
    LoadImage(image);
    EXPECT_EQ(42, V_UI1(RecordOf(Store(), 3).Value.Get()));
}

TEST_F(PersistImageTest, IdsTheDatasetLacksAreIgnoredAndMissingIdsKeepTheirValues) {
    const auto before = Snapshot(Store());
    const Bytes image =
        ImageBuilder()
            .Header()
            .VariantI4(3)
            .Entry(999, VT_UI1, ImageBuilder().VariantUI1(1).Get(), 0x71)
            .Entry(3, VT_UI1, ImageBuilder().VariantUI1(99).Get(), 0x33)
            .Entry(3, VT_UI1, ImageBuilder().VariantUI1(5).Get(), 0x71)  // a repeated id is dropped
            .U32(0x300)
            .Get();
    LoadImage(image);
    const auto after = Snapshot(Store());
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i].id == 3) {
            EXPECT_EQ((Bytes{99}), after[i].value);
            EXPECT_EQ(0x33u, after[i].access);
        } else {
            EXPECT_EQ(before[i], after[i]) << "record " << before[i].id;
        }
    }
}

TEST_F(PersistImageTest, AValueThatDoesNotConvertKeepsTheOldValueButTakesTheAccessWord) {
    const Bytes image = ImageBuilder()
                            .Header()
                            .VariantI4(1)
                            .Entry(3, VT_UI1, ImageBuilder().VariantBstr(L"not a number").Get(), 0x30)
                            .U32(0x300)
                            .Get();
    LoadImage(image);
    const CQuelkVariable record = RecordOf(Store(), 3);
    EXPECT_EQ(VT_UI1, record.Value.Type());
    EXPECT_EQ(0, V_UI1(record.Value.Get()));
    EXPECT_EQ(0x30u, record.Access);
}

TEST_F(PersistImageTest, SavingBeforeTheConfigurationWritesNothing) {
    LoadImage(EmptyImage());
    ql::ComPtr<IStream> stream = StreamOn({});
    EXPECT_HR(S_FALSE, PersistStream()->Save(stream.Get(), TRUE));
    EXPECT_TRUE(StreamBytes(stream.Get()).empty());
}

TEST_F(PersistImageTest, APropertyMapVersionAboveTheLibrarysIsRefusedAndNothingIsTaken) {
    const auto before = Snapshot(Store());
    Bytes image = ImageBuilder()
                      .Header()
                      .VariantI4(1)
                      .Entry(3, VT_UI1, ImageBuilder().VariantUI1(7).Get(), 0x71)
                      .U32(0x301)
                      .Get();
    ql::ComPtr<IStream> stream = StreamOn(image);
    EXPECT_HR(S_FALSE, PersistStream()->Load(stream.Get()));
    EXPECT_EQ(1u, State());
    EXPECT_EQ(before, Snapshot(Store()));
    // Version 0x300 itself and older ones load.
    for (ULONG version : {0x300ul, 0x200ul}) {
        image.resize(image.size() - 4);
        image.insert(image.end(), {BYTE(version), BYTE(version >> 8), 0, 0});
        CreateDtm();
        LoadImage(image);
    }
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
    EXPECT_EQ(Bytes(streamImage.begin(), streamImage.end() - 4), ArrayBytesOf(*property.Get()));

    const auto before = Snapshot(Store());
    CreateDtm();
    ASSERT_HR(S_OK, PersistBag()->Load(bag.Get(), nullptr));
    EXPECT_EQ(5u, State());
    EXPECT_EQ(before, Snapshot(Store()));
}

TEST_F(PersistImageTest, DtmDataThatIsNoByteArrayIsRefused) {
    ql::ComPtr<MemoryPropertyBag> bag;
    ASSERT_HR(S_OK, ql::MakeObject(bag));
    ASSERT_HR(S_OK, bag->properties[L"DTM_DATA"].SetBstr(L"00000000"));
    EXPECT_HR(S_FALSE, PersistBag()->Load(bag.Get(), nullptr));
    EXPECT_EQ(1u, State());
    bag->properties.clear();
    EXPECT_HR(S_FALSE, PersistBag()->Load(bag.Get(), nullptr)) << "no property at all";
    EXPECT_EQ(1u, State());
}

TEST_F(PersistImageTest, InitNewOfThePropertyBagStartsANewDataset) {
    EXPECT_HR(S_OK, PersistBag()->InitNew());
    EXPECT_EQ(4u, State());
    EXPECT_HR(S_FALSE, PersistBag()->InitNew()) << "only before the environment";
}

// ---- The modified flag ----

TEST_F(PersistImageTest, AChangedValueMarksTheDtmDirtyUntilSaved) {
    DriveNewToConfigured();
    EXPECT_HR(S_FALSE, PersistStream()->IsDirty());
    ql::Variant tag;
    ASSERT_HR(S_OK, tag.SetBstr(L"FT-102"));
    ASSERT_HR(S_OK, Store().SetValue(1, *tag.Get()));
    EXPECT_HR(S_OK, PersistStream()->IsDirty()) << "a frame that asks before saving must not lose the change";
    EXPECT_EQ(1u, frame_->CountCalls(L"SetDirtyFlag"));
    EXPECT_EQ(systemTag_.View(), frame_->LastCall(L"SetDirtyFlag")->Arguments[0]);
    SaveStreamImage();
    EXPECT_HR(S_FALSE, PersistStream()->IsDirty());
}

}  // namespace
}  // namespace dtmtest
