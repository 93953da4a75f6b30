// Damaged project files: a saved image cut at every byte and with random bytes changed. Each load is
// refused cleanly with a failure code, leaving the DTM as it was, or loads values of the records' own types;
// nothing crashes.
#include <random>

#include "ImageTestSupport.h"
#include "classlib/Variant.h"

namespace dtmtest {
namespace {

class CorruptionTest : public DtmTest {
protected:
    void SetUp() override {
        DtmTest::SetUp();
        DriveNewToConfigured();
        // A dataset with values of every kind away from the table's defaults.
        ql::Variant tag, address;
        ASSERT_HR(S_OK, tag.SetBstr(L"FT-201"));
        ASSERT_HR(S_OK, dtm_->Store().SetValue(1, *tag.Get()));
        address.SetUI1(42);
        ASSERT_HR(S_OK, dtm_->Store().SetValue(3, *address.Get()));
        image_ = SaveStreamImage();
        ASSERT_GT(image_.size(), 1000u);
        FreshDtm();
    }

    void FreshDtm() {
        CreateDtm();
        baseline_ = Snapshot(dtm_->Store());
    }

    // Loads `image`; a refusal must leave the DTM exactly as it was. Answers whether it loaded.
    bool LoadChecked(const Bytes& image) {
        ql::ComPtr<IStream> stream = StreamOn(image);
        const HRESULT hr = PersistStream()->Load(stream.Get());
        if (hr != S_OK) {
            EXPECT_TRUE(FAILED(hr)) << "a refused load is a failure, not " << vtest::HResultName(hr);
            EXPECT_EQ(1u, State());
            EXPECT_TRUE(dtm_->Lifecycle().DeviceType().IsNull());
            EXPECT_TRUE(baseline_ == Snapshot(dtm_->Store())) << "a refused load changed the dataset";
            return false;
        }
        EXPECT_EQ(5u, State());
        // Whatever loaded has the type of its record.
        const CQuelkVariableList& list = dtm_->Store().Variables();
        for (ULONG i = 0; i < list.Count(); ++i) {
            CQuelkVariable record;
            EXPECT_HR(S_OK, list.GetVariableAt(static_cast<int>(i), &record));
            EXPECT_EQ(record.DataType, record.Value.Type()) << "record " << record.Id();
        }
        FreshDtm();
        return true;
    }

    Bytes image_;
    std::vector<std::string> baseline_;
};

TEST_F(CorruptionTest, AnImageCutAtAnyByteIsRefused) {
    EXPECT_TRUE(LoadChecked(image_));
    for (size_t length = 0; length < image_.size(); ++length) {
        SCOPED_TRACE(testing::Message() << "cut at " << length << " of " << image_.size());
        EXPECT_FALSE(LoadChecked(Bytes(image_.begin(), image_.begin() + length)));
        if (HasFailure()) break;
    }
}

TEST_F(CorruptionTest, RandomlyChangedBytesAreRefusedOrLoadValidValues) {
    std::mt19937 random(20240601);
    std::uniform_int_distribution<size_t> position(0, image_.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255), flips(1, 4);
    int loaded = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = image_;
        const int count = flips(random);
        for (int i = 0; i < count; ++i) damaged[position(random)] = static_cast<BYTE>(byte(random));
        SCOPED_TRACE(testing::Message() << "round " << round);
        (LoadChecked(damaged) ? loaded : refused)++;
        if (HasFailure()) break;
    }
    // Both outcomes occur: changed values load, changed structure is refused.
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
    RecordProperty("loaded", loaded);
    RecordProperty("refused", refused);
}

}  // namespace
}  // namespace dtmtest
