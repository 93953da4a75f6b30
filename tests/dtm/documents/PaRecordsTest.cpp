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

ULONG Bits(float value) {
    ULONG bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

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

TEST(PaRecordsTest, FullRecordsDecodeBigEndian) {
    float at100 = 0, at0 = 1;
    USHORT units = 0;
    ULONG decimals = 0;
    DecodeScaleRecord(*MakeBytes({0x42, 0xC8, 0, 0, 0, 0, 0, 0, 0x05, 0x3E, 0x05}), &at100, &at0, &units,
                      &decimals);
    EXPECT_EQ(100.0f, at100);
    EXPECT_EQ(0.0f, at0);
    EXPECT_EQ(1342, units);
    EXPECT_EQ(5u, decimals);

    ULONG batch[4] = {};
    DecodeBatchRecord(*MakeBytes({0x01, 0x02, 0x03, 0x04, 0x00, 0x05, 0xFF, 0xFF, 0x12, 0x34}), &batch[0],
                      &batch[1], &batch[2], &batch[3]);
    EXPECT_EQ((std::vector<ULONG>{0x01020304, 5, 0xFFFF, 0x1234}), std::vector<ULONG>(batch, batch + 4));

    BYTE block = 0, parent = 0, cls = 0, profile = 0;
    ql::Variant blockObject =
        MakeBytes({0x00, 0x01, 0x01, 0xFA, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0x02, 0x03, 0, 0, 0, 0x23, 0x00});
    DecodeBlockObject(*blockObject, &block, &parent, &cls, &profile);
    EXPECT_EQ((std::vector<BYTE>{1, 1, 250, 0x40}), (std::vector<BYTE>{block, parent, cls, profile}));

    BYTE head = 0, tail = 0;
    ULONG word = 0;
    DecodeRecord6(*MakeBytes({0x80, 0x42, 0xC8, 0x00, 0x00, 0x01}), &head, &word, &tail);
    EXPECT_EQ((std::vector<ULONG>{0x80, 0x42C80000, 1}), (std::vector<ULONG>{head, word, tail}));

    float first = 0;
    DecodeValueStatusRecord(*MakeBytes({0x42, 0xC8, 0, 0, 0x3F, 0x80, 0, 0}), &first, &word);
    EXPECT_EQ(100.0f, first);
    EXPECT_EQ(Bits(1.0f), word);
}

TEST(PaRecordsTest, TheDefaultBlockObjectIsAPhysicalTransmitter) {
    // The table's default: block 1, parent 1, class 250 and, at byte 12, the profile revision 3.
    std::vector<BYTE> bytes;
    ql::Bstr text(L"000101FA00000000000040020300000023003301");
    ASSERT_HR(S_OK, ParseHexBytes(&bytes, text.Get()));
    BYTE block = 0, parent = 0, cls = 0, profile = 0;
    DecodeBlockObject(*MakeBytes(bytes), &block, &parent, &cls, &profile);
    EXPECT_EQ((std::vector<BYTE>{1, 1, 250, 3}), (std::vector<BYTE>{block, parent, cls, profile}));
}

TEST(PaRecordsTest, AByteArrayWithoutItsArrayLeavesTheOutputs) {
    ql::Variant record;
    VARIANT* raw = record.Put();
    raw->vt = VT_ARRAY | VT_UI1;
    raw->parray = nullptr;
    float value = -1;
    BYTE status = 0xEE;
    DecodeFloatWithStatus(*record, &value, &status);
    EXPECT_EQ(-1.0f, value);
    EXPECT_EQ(0xEE, status);
    BYTE block = 9;
    DecodeBlockObject(*record, &block, nullptr, nullptr, nullptr);
    EXPECT_EQ(9, block);
}

TEST(PaRecordsTest, EncodersBuildTheLayouts) {
    ql::Variant record;
    ASSERT_HR(S_OK, EncodeScaleRecord(record.Put(), 100.0f, 0.0f, 1342, 5));
    EXPECT_EQ("bytes:42C8000000000000053E05", Describe(*record));
    float at100 = 0, at0 = 1;
    USHORT units = 0;
    ULONG decimals = 0;
    DecodeScaleRecord(*record, &at100, &at0, &units, &decimals);
    EXPECT_EQ(100.0f, at100);
    EXPECT_EQ(1342, units);
    EXPECT_EQ(5u, decimals);

    ASSERT_HR(S_OK, MakeByteArray8(record.Put(), 0x42C80000, 0x01020304));
    EXPECT_EQ("bytes:42C8000001020304", Describe(*record));
    ASSERT_HR(S_OK, BuildByteArrayRecord(record.Put(), 0x80, 0x3F800000, 0x01));
    EXPECT_EQ("bytes:803F80000001", Describe(*record));
    EXPECT_HR(E_POINTER, BuildByteArrayRecord(nullptr, 0, 0, 0));
}

TEST(PaRecordsTest, HexTextBecomesBytes) {
    const struct {
        const wchar_t* text;
        HRESULT expected;
        std::vector<BYTE> bytes;
    } cases[] = {
        {L"0aFF", S_OK, {0x0A, 0xFF}},   {L"", S_OK, {}},
        {L"0AF", E_INVALIDARG, {0x55}},  {L"0G", E_INVALIDARG, {0x55}},
        {L"0A 1", E_INVALIDARG, {0x55}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(std::wstring_view(c.text)));
        std::vector<BYTE> bytes{0x55};  // a rejected text leaves it untouched
        ql::Bstr text(c.text);
        EXPECT_HR(c.expected, ParseHexBytes(&bytes, text.Get()));
        EXPECT_EQ(c.bytes, bytes);
    }
    // Longer than any fixed buffer of the system.
    std::wstring long_text(2048, L'A');
    std::vector<BYTE> bytes;
    ql::Bstr text(long_text);
    ASSERT_HR(S_OK, ParseHexBytes(&bytes, text.Get()));
    EXPECT_EQ(1024u, bytes.size());
    EXPECT_HR(S_OK, ParseHexBytes(nullptr, text.Get()));
    EXPECT_HR(S_OK, ParseHexBytes(&bytes, nullptr));
    EXPECT_EQ(1024u, bytes.size());
}

}  // namespace
}  // namespace doctest
