// Damaged project files: a saved image cut at every byte and with random bytes changed. Each load is
// refused cleanly with a failure code, leaving the dataset as it was, or loads values of the records' own
// types; nothing crashes.
#include <random>

#include "DatasetImageTest.h"

namespace imagetest {
namespace {

class ImageCorruptionTest : public DatasetImageTest {
protected:
    void SetUp() override {
        DatasetImageTest::SetUp();
        // A dataset with values of every kind away from the table's defaults.
        ASSERT_HR(S_OK, Store().SetValue(1, *vtest::MakeBstr(L"FT-201")));
        ql::Variant address;
        address.SetUI1(42);
        ASSERT_HR(S_OK, Store().SetValue(3, *address.Get()));
        image_ = Save();
        ASSERT_GT(image_.size(), 1000u);
        FreshStore();
    }

    void FreshStore() {
        ASSERT_NO_FATAL_FAILURE(NewStore());
        baseline_ = Snapshot(Store());
    }

    // Loads `image`; a refusal must leave the dataset exactly as it was. Answers whether it loaded.
    bool LoadChecked(const Bytes& image) {
        const HRESULT hr = Load(image);
        if (hr != S_OK) {
            EXPECT_TRUE(FAILED(hr)) << "a refused load is a failure, not " << vtest::HResultName(hr);
            EXPECT_TRUE(deviceType_.IsNull());
            EXPECT_TRUE(baseline_ == Snapshot(Store())) << "a refused load changed the dataset";
            return false;
        }
        // Whatever loaded has the type of its record.
        const CQuelkVariableList& list = Store().Variables();
        for (ULONG i = 0; i < list.Count(); ++i) {
            CQuelkVariable record;
            EXPECT_HR(S_OK, list.GetVariableAt(static_cast<int>(i), &record));
            EXPECT_EQ(record.DataType, record.Value.Type()) << "record " << record.Id();
        }
        FreshStore();
        return true;
    }

    Bytes image_;
    std::vector<std::string> baseline_;
};

TEST_F(ImageCorruptionTest, AnImageCutAtAnyByteIsRefused) {
    EXPECT_TRUE(LoadChecked(image_));
    for (size_t length = 0; length < image_.size(); ++length) {
        SCOPED_TRACE(testing::Message() << "cut at " << length << " of " << image_.size());
        EXPECT_FALSE(LoadChecked(Bytes(image_.begin(), image_.begin() + length)));
        if (HasFailure()) break;
    }
}

TEST_F(ImageCorruptionTest, RandomlyChangedBytesAreRefusedOrLoadValidValues) {
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
}  // namespace imagetest
