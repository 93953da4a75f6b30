// PROFIBUS PA records: the decoders on full, short, multi-dimensional and foreign records (never a read
// past a record's end), the encoders, and hexadecimal text to bytes.
#include <cstring>
#include <vector>

#include "DocumentsTestSupport.h"
#include "classlib/SafeArray.h"
#include "dtm/documents/PaRecordBytes.h"
#include "dtm/documents/PaRecordDecoders.h"
#include "dtm/documents/PaRecordEncoders.h"

namespace doctest {
namespace {

// A two-dimensional byte array of 2 x 8 bytes.
ql::Variant TwoDimensionalBytes() {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {8, 0}};
    ql::Variant v;
    v.AttachArray(VT_UI1, ::SafeArrayCreate(VT_UI1, 2, bounds));
    return v;
}

// A byte array of exactly `count` bytes whose data is followed by nothing the decoder may read: the
// decoders are given records one byte short of each layout.
std::vector<BYTE> Pattern(size_t count) {
    std::vector<BYTE> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<BYTE>(0xA0 + i);
    return bytes;
}

TEST(PaRecordsTest, ValueWithStatusDecodes) {
    float value = -1;
    BYTE status = 0xEE;
    DecodeFloatWithStatus(*MakeBytes({0x42, 0xC8, 0x00, 0x00, 0x80}), &value, &status);
    EXPECT_EQ(100.0f, value);
    EXPECT_EQ(0x80, status);

    for (const ql::Variant& record :
         {MakeBytes({0x42, 0xC8}), MakeBstr(L"42C8000080"), TwoDimensionalBytes()}) {
        SCOPED_TRACE(Describe(*record));
        value = -1;
        status = 0xEE;
        DecodeFloatWithStatus(*record, &value, &status);
        EXPECT_EQ(0.0f, value);
        EXPECT_EQ(0, status);
    }
}

TEST(PaRecordsTest, ShortRecordsGiveTheDefaults) {
    // One byte short of every layout (the block object's read reaches byte 12).
    float first = -1, second = -1;
    ULONG word = 99;
    DecodeValueStatusRecord(*MakeBytes(Pattern(7)), &first, &word);
    EXPECT_EQ(100.0f, first);
    EXPECT_EQ(0u, word);

    USHORT units = 0;
    ULONG decimals = 0;
    DecodeScaleRecord(*MakeBytes(Pattern(10)), &first, &second, &units, &decimals);
    EXPECT_EQ(100.0f, first);
    EXPECT_EQ(0.0f, second);
    EXPECT_EQ(1133, units);
    EXPECT_EQ(3u, decimals);

    ULONG batch[4] = {9, 9, 9, 9};
    DecodeBatchRecord(*MakeBytes(Pattern(9)), &batch[0], &batch[1], &batch[2], &batch[3]);
    EXPECT_EQ((std::vector<ULONG>{0, 0, 0, 0}), std::vector<ULONG>(batch, batch + 4));

    BYTE block = 9, parent = 9, cls = 9, profile = 9;
    DecodeBlockObject(*MakeBytes(Pattern(12)), &block, &parent, &cls, &profile);
    EXPECT_EQ((std::vector<BYTE>{0, 0, 250, 3}), (std::vector<BYTE>{block, parent, cls, profile}));

    BYTE head = 9, tail = 9;
    DecodeRecord6(*MakeBytes(Pattern(5)), &head, &word, &tail);
    EXPECT_EQ((std::vector<ULONG>{0, 0, 0}), (std::vector<ULONG>{head, word, tail}));
}

}  // namespace
}  // namespace doctest
