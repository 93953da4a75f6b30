// The dataset image byte for byte: what is written, what a load refuses, what a load takes, and the same
// image as a property bag's byte array.
#include <algorithm>
#include <sstream>

#include "DatasetImageTest.h"
#include "classlib/Utf8.h"
#include "dataset/DatasetImageBag.h"
#include "dataset/StreamValueWriter.h"
#include "tests/support/MemoryPropertyBag.h"
#include "tests/support/TestPaths.h"

namespace imagetest {
namespace {

using vtest::Elements;
using vtest::MakeBytes;
using vtest::MemoryPropertyBag;
using vtest::SourceFileBytes;

TEST_F(DatasetImageTest, ImageOfADatasetWithoutDeviceType) {
    const Bytes image = Save();
    // Null device type, "1.0", "1", and the count 114 as VT_I4.
    Bytes expected = {0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00, 0x00, 0x31, 0x00,
                      0x2E, 0x00, 0x30, 0x00, 0x00, 0x00, 0x08, 0x00, 0x04, 0x00, 0x00, 0x00,
                      0x31, 0x00, 0x00, 0x00, 0x03, 0x00, 0x72, 0x00, 0x00, 0x00};
    // The 114 persistent entries in list order, each as the test encodes its record independently.
    for (ULONG i = 0; i < Store().Variables().Count(); ++i) {
        CQuelkVariable record;
        ASSERT_HR(S_OK, Store().Variables().GetVariableAt(static_cast<int>(i), &record));
        if (record.Persistent != 1) continue;
        const Bytes entry = ExpectedEntry(record);
        expected.insert(expected.end(), entry.begin(), entry.end());
    }
    EXPECT_EQ(expected, image);

    // Two entries written out by hand, so the encoder above is checked as well: station address 0x13 (VT_UI1
    // 0, access 0x71) and record 22, an empty byte array saved as an empty text.
    const Bytes stationAddress = {0x13, 0x00, 0x03, 0x00, 0x00, 0x00, 0x13, 0x00, 0x11, 0x00, 0x00,
                                  0x00, 0x11, 0x00, 0x00, 0x13, 0x00, 0x71, 0x00, 0x00, 0x00};
    EXPECT_NE(image.end(),
              std::search(image.begin(), image.end(), stationAddress.begin(), stationAddress.end()));
    EXPECT_EQ((Bytes{0x08, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00}),
              ExpectedValueEncoding(RecordOf(Store(), 22)));
}

// Loading never trusts lengths, counts or types from the stream: a project file must never create objects,
// read past its end or allocate what it claims.
TEST_F(DatasetImageTest, ImagesThatLieAboutThemselvesAreRefused) {
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

// The writer's id, data type and access word are VT_UI4; another number type, or a text of a number, is
// taken as the platform converts it.
TEST_F(DatasetImageTest, EntryWordsOfOtherNumberTypesAreConverted) {
    const Bytes five = ImageBuilder().VariantUI1(5).Get();
    ImageBuilder image;
    image.Header().VariantI4(1).VariantI4(3).U16(VT_UI2).U16(VT_UI1).Raw(five).VariantBstr(L"113");
    ASSERT_HR(S_OK, Load(image.Get()));
    const CQuelkVariable record = RecordOf(Store(), 3);
    EXPECT_EQ(VT_UI1, record.Value.Type());
    EXPECT_EQ(5, V_UI1(record.Value.Get()));
    EXPECT_EQ(0x71u, record.Access & 0x71u);
}

// The transfer marks belong to the running session and the capabilities to the parameter table: a project
// carries only whether a value still waits for the device. A stale compare mark would send every later
// device result of the record to the compare value; 0x08 would make offline writes vanish; 0x71 on a
// read-only record would make it writable.
TEST_F(DatasetImageTest, AProjectCarriesOnlyTheModifiedBitOfTheAccessWord) {
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
        ASSERT_NO_FATAL_FAILURE(NewStore());
        const CQuelkVariable record = RecordOf(Store(), c.id);
        const Bytes image = ImageBuilder()
                                .Header()
                                .VariantI4(1)
                                .Entry(c.id, record.DataType, ExpectedValueEncoding(record), c.stored)
                                .Get();
        ASSERT_HR(S_OK, Load(image));
        EXPECT_EQ(c.loaded, RecordOf(Store(), c.id).Access);
    }

    // A project saved while a compare waits (a frame's autosave) stores the word without the mark.
    ASSERT_NO_FATAL_FAILURE(NewStore());
    const ULONG marked = 0x4071;
    ASSERT_HR(S_OK, Store().ChangeValue(18, nullptr, &marked));
    const Bytes image = Save();
    CQuelkVariable saved = RecordOf(Store(), 18);
    saved.Access = 0x71;
    const Bytes entry = ExpectedEntry(saved);
    EXPECT_NE(image.end(), std::search(image.begin(), image.end(), entry.begin(), entry.end()));
}

// The device type text goes into every parameter document as it stands: only one well-formed device type
// element may come from a project.
TEST_F(DatasetImageTest, ADeviceTypeTextThatIsNoElementIsRefused) {
    for (const wchar_t* text : {L"<evil", L"</FDT><FDT>", L"plain text", L"<fdt:DtmDeviceType/><DtmDevice/>",
                                L"<!-- a --><fdt:DtmDeviceType/>", L"<fdt:Other/>"}) {
        SCOPED_TRACE(testing::Message() << ql::Utf8FromWide(text));
        const std::wstring deviceType(text);
        ExpectRefused(ImageBuilder().Header(&deviceType).VariantI4(0).Get());
    }
    ASSERT_NO_FATAL_FAILURE(NewStore());
    const std::wstring element = L"<fdt:DtmDeviceType xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"/>";
    ASSERT_HR(S_OK, Load(ImageBuilder().Header(&element).VariantI4(0).Get()));
    EXPECT_EQ(element, deviceType_.View());
}

// A project image kept in the repository, written by an earlier build: the 32-bit and the 64-bit build
// must read it into the same dataset and write it back byte for byte, since a project moves between 32-bit
// and 64-bit frames and its format must not depend on the bitness of the DTM that wrote it.
TEST_F(DatasetImageTest, AStoredProjectLoadsIntoItsDatasetAndSavesBackUnchanged) {
    // Every persistent record holds a value other than its default, of each data type the table uses (texts
    // outside the ANSI code page, byte strings with bytes above 0x7F, fractional and negative floats). The
    // file is a frame's stream: the class library's version 0x300 follows the image.
    const std::string stored = SourceFileBytes("tests/data/dtm/project.varnok");
    ASSERT_GT(stored.size(), 4u);
    const Bytes image(stored.begin(), stored.end() - 4);
    // The dataset that image holds, as Snapshot() writes it, one record a line.
    std::vector<std::string> dataset;
    std::istringstream lines(SourceFileBytes("tests/data/dtm/project-dataset.txt"));
    for (std::string line; std::getline(lines, line);) dataset.push_back(line);
    ASSERT_FALSE(dataset.empty());

    ASSERT_HR(S_OK, Load(image));
    EXPECT_EQ(dataset, Snapshot(Store()));
    EXPECT_EQ(image, Save());
}

// A values part is taken by id whatever its order: each record gets the first entry with its id, an entry
// for no record is passed over, and records without an entry keep their values.
TEST_F(DatasetImageTest, EntriesInAnyOrderReachTheirRecords) {
    const std::string stored = SourceFileBytes("tests/data/dtm/project.varnok");
    ASSERT_GT(stored.size(), 4u);
    ASSERT_HR(S_OK, Load(Bytes(stored.begin(), stored.end() - 4)));
    const std::vector<std::string> project = Snapshot(Store());
    std::vector<Bytes> entries;   // the project's entries in list order, none at its default
    std::vector<Bytes> defaults;  // the same records' entries in a new dataset
    ASSERT_NO_FATAL_FAILURE(NewStore());
    for (ULONG i = 0; i < Store().Variables().Count(); ++i) {
        CQuelkVariable record;
        ASSERT_HR(S_OK, Store().Variables().GetVariableAt(static_cast<int>(i), &record));
        if (record.Persistent != 1) continue;
        defaults.push_back(ExpectedEntry(record));
    }
    ASSERT_HR(S_OK, Load(Bytes(stored.begin(), stored.end() - 4)));
    for (ULONG i = 0; i < Store().Variables().Count(); ++i) {
        CQuelkVariable record;
        ASSERT_HR(S_OK, Store().Variables().GetVariableAt(static_cast<int>(i), &record));
        if (record.Persistent == 1) entries.push_back(ExpectedEntry(record));
    }
    ASSERT_EQ(defaults.size(), entries.size());

    std::vector<Bytes> reversed(entries.rbegin(), entries.rend());
    std::vector<Bytes> interleaved;
    for (size_t start : {size_t{1}, size_t{0}}) {
        for (size_t i = start; i < entries.size(); i += 2) interleaved.push_back(entries[i]);
    }
    std::vector<Bytes> repeated = entries;  // a later entry of an id changes nothing
    repeated.insert(repeated.end(), defaults.begin(), defaults.begin() + 5);
    std::vector<Bytes> unknown = reversed;
    unknown.insert(unknown.begin() + 3, ImageBuilder().Entry(999999, VT_UI1, {0x11, 0x00, 0x07}, 0x71).Get());
    const struct {
        const char* name;
        const std::vector<Bytes>& entries;
    } orders[] = {{"list order", entries},
                  {"reversed", reversed},
                  {"odd, then even", interleaved},
                  {"repeated ids", repeated},
                  {"an unknown id", unknown}};
    for (const auto& order : orders) {
        SCOPED_TRACE(order.name);
        ImageBuilder image;
        image.Header().VariantI4(static_cast<LONG>(order.entries.size()));
        for (const Bytes& entry : order.entries) image.Raw(entry);
        ASSERT_NO_FATAL_FAILURE(NewStore());
        ASSERT_HR(S_OK, Load(image.Get()));
        EXPECT_EQ(project, Snapshot(Store()));
    }

    // The entries of every other record only: the rest keep what a new dataset holds.
    ASSERT_NO_FATAL_FAILURE(NewStore());
    const std::vector<std::string> fresh = Snapshot(Store());
    ImageBuilder half;
    half.Header().VariantI4(static_cast<LONG>((entries.size() + 1) / 2));
    std::vector<std::string> expected = fresh;
    for (ULONG i = 0, persistent = 0; i < Store().Variables().Count(); ++i) {
        if (Store().Variables().At(static_cast<int>(i))->Persistent != 1) continue;
        if (persistent % 2 == 0) {
            half.Raw(entries[persistent]);
            expected[i] = project[i];
        }
        ++persistent;
    }
    ASSERT_HR(S_OK, Load(half.Get()));
    EXPECT_EQ(expected, Snapshot(Store()));
}

// Every stored data type against every record type, in a stream and in a bag: what a load takes saves, loads
// back into the same dataset and saves again byte for byte. Only a value that converts into no whole value
// of its record's type, a byte string of odd length made a text (half a character), damages the image.
TEST_F(DatasetImageTest, WhatALoadTakesSavesAndLoadsBackEqual) {
    const float r4 = 65.5f;
    const struct {
        const char* name;
        VARTYPE type;
        Bytes value;
        ULONG refusingRecord;  // 0: every record takes it or keeps its own value
    } stored[] = {
        {"text", VT_BSTR, ImageBuilder().VariantBstr(L"41").Get(), 0},
        {"odd byte string", VT_ARRAY | VT_UI1, ImageBuilder().VariantBstr(L"41").Get(), 23},
        {"even byte string", VT_ARRAY | VT_UI1, ImageBuilder().VariantBstr(L"4142").Get(), 0},
        {"ui1", VT_UI1, ImageBuilder().VariantUI1(65).Get(), 0},
        {"ui2", VT_UI2, ImageBuilder().U16(VT_UI2).U16(65).Get(), 0},
        {"ui4", VT_UI4, ImageBuilder().VariantUI4(65).Get(), 0},
        {"r4", VT_R4, ImageBuilder().U16(VT_R4).Raw(&r4, sizeof r4).Get(), 0},
    };
    // A record of each type the table uses: text, byte string, ui1, ui2, ui4, r4.
    const ULONG records[] = {23, 22, 3, 18, 123, 39};
    for (const Medium medium : {Medium::Stream, Medium::Bag}) {
        for (const auto& s : stored) {
            for (const ULONG id : records) {
                SCOPED_TRACE(testing::Message() << (medium == Medium::Bag ? "bag, " : "stream, ") << s.name
                                                << " in record " << id);
                ASSERT_NO_FATAL_FAILURE(NewStore());
                const Bytes image = ImageBuilder()
                                        .Header()
                                        .VariantI4(1)
                                        .Entry(id, s.type, s.value, RecordOf(Store(), id).Access)
                                        .Get();
                if (id == s.refusingRecord) {
                    ExpectRefused(image, medium);
                    continue;
                }
                ASSERT_HR(S_OK, Load(image, medium));
                const auto loaded = Snapshot(Store());
                const Bytes saved = Save(medium);
                ASSERT_NO_FATAL_FAILURE(NewStore());
                ASSERT_HR(S_OK, Load(saved, medium));
                EXPECT_EQ(loaded, Snapshot(Store()));
                EXPECT_EQ(saved, Save(medium));
            }
        }
    }

    // Nor does the writer cut such a text's zero off: it refuses a text it could not read back.
    ql::Variant halfCharacter = MakeBytes({0x41});
    ASSERT_HR(S_OK, halfCharacter.ChangeType(VT_BSTR));
    ASSERT_EQ(1u, ::SysStringByteLen(V_BSTR(halfCharacter.Get())));
    ql::ComPtr<IStream> stream = StreamOn({});
    CStreamValueWriter writer(stream.Get());
    EXPECT_TRUE(FAILED(writer.WriteValue(*halfCharacter)));
    EXPECT_TRUE(StreamBytes(stream.Get()).empty());
}

// ---- The property bag ----

TEST_F(DatasetImageTest, TheBagsPropertyHoldsTheStreamImage) {
    ASSERT_HR(S_OK, Store().ChangeValue(1, vtest::MakeBstr(L"FT-201").Get(), nullptr));
    const Bytes streamImage = Save();
    ql::ComPtr<MemoryPropertyBag> bag;
    ASSERT_HR(S_OK, ql::MakeObject(bag));
    ASSERT_HR(S_OK, CDatasetImageBag::Write(bag.Get(), deviceType_.Get(), Store(), nullptr));
    ASSERT_EQ(1u, bag->properties.count(L"DTM_DATA"));
    const ql::Variant& property = bag->properties[L"DTM_DATA"];
    ASSERT_EQ(VT_ARRAY | VT_UI1, property.Type());
    EXPECT_EQ(1u, ::SafeArrayGetDim(V_ARRAY(property.Get())));
    EXPECT_EQ(streamImage, Elements<BYTE>(*property));

    const auto saved = Snapshot(Store());
    ASSERT_NO_FATAL_FAILURE(NewStore());
    LoadedDatasetImage loaded;
    ASSERT_HR(S_OK, CDatasetImageBag::Read(bag.Get(), nullptr, nullptr, loaded));
    ASSERT_HR(S_OK, CQuelkValuesImage::Assign(Store(), loaded.Values));
    EXPECT_EQ(saved, Snapshot(Store()));
}

// A property that holds no image fails the load as a damaged image does; a bag that cannot give the
// property passes its own failure on.
TEST_F(DatasetImageTest, APropertyThatHoldsNoImageIsRefused) {
    ql::SafeArray matrix;
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    matrix.Attach(::SafeArrayCreate(VT_UI1, 2, bounds));
    ASSERT_TRUE(matrix.Get());
    ql::Variant twoDimensions;
    twoDimensions.AttachArray(VT_UI1, matrix.Detach());
    const struct {
        const char* name;
        ql::Variant property;  // VT_EMPTY: the bag has none
        HRESULT hr;
    } cases[] = {
        {"a text", vtest::MakeBstr(L"image"), E_FAIL},
        {"two dimensions", std::move(twoDimensions), E_FAIL},
        {"numbers", vtest::MakeArray<LONG>(VT_I4, {1, 2}), E_FAIL},
        {"an empty array", MakeBytes({}), E_FAIL},
        {"a cut image", MakeBytes(ImageBuilder().Header().Get()), E_FAIL},
        {"no property", ql::Variant(), E_INVALIDARG},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ql::ComPtr<MemoryPropertyBag> bag;
        ASSERT_HR(S_OK, ql::MakeObject(bag));
        if (c.property.Type() != VT_EMPTY) {
            ASSERT_HR(S_OK, bag->properties[L"DTM_DATA"].CopyFrom(*c.property));
        }
        LoadedDatasetImage loaded;
        EXPECT_HR(c.hr, CDatasetImageBag::Read(bag.Get(), nullptr, nullptr, loaded));
    }
}

// ---- The values part alone ----

TEST_F(DatasetImageTest, AValuesPartThatDoesNotReadCompletelyChangesNothing) {
    ASSERT_HR(S_OK, Store().ChangeValue(3, vtest::MakeUI4(42).Get(), nullptr));
    ql::ComPtr<IStream> stream = StreamOn({});
    ASSERT_HR(S_OK, CQuelkValuesImage::SaveToStream(Store(), stream.Get()));
    const Bytes part = StreamBytes(stream.Get());
    const auto saved = Snapshot(Store());

    ASSERT_NO_FATAL_FAILURE(NewStore());
    const auto fresh = Snapshot(Store());
    ASSERT_NE(saved, fresh);
    EXPECT_TRUE(FAILED(
        CQuelkValuesImage::LoadFromStream(Store(), StreamOn(Bytes(part.begin(), part.end() - 1)).Get())));
    EXPECT_EQ(fresh, Snapshot(Store()));
    ASSERT_HR(S_OK, CQuelkValuesImage::LoadFromStream(Store(), StreamOn(part).Get()));
    EXPECT_EQ(saved, Snapshot(Store()));
}

}  // namespace
}  // namespace imagetest
