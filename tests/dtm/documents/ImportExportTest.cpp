// IDtmImportExport: the framed parameter list in and out of the frame's stream, the conditions, the round
// trip of every parameter a list may set, and streams that are short, oversized or cut at any byte.
#include <random>
#include <string>

#include "DocumentsTestSupport.h"
#include "tests/dataset/RandomValues.h"

namespace doctest {
namespace {

class ImportExportTest : public DocumentsTest {
protected:
    static ql::ComPtr<IStream> StreamOn(const std::string& bytes) {
        ql::ComPtr<IStream> stream;
        EXPECT_HR(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
        ULONG written = 0;
        if (!bytes.empty()) {
            EXPECT_HR(S_OK, stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
        }
        Rewind(stream.Get());
        return stream;
    }
    static void Rewind(IStream* stream) {
        LARGE_INTEGER start = {};
        EXPECT_HR(S_OK, stream->Seek(start, STREAM_SEEK_SET, nullptr));
    }
    static ULONGLONG Position(IStream* stream) {
        LARGE_INTEGER none = {};
        ULARGE_INTEGER position = {};
        EXPECT_HR(S_OK, stream->Seek(none, STREAM_SEEK_CUR, &position));
        return position.QuadPart;
    }
    static std::string StreamBytes(IStream* stream) {
        Rewind(stream);
        std::string bytes;
        char buffer[4096];
        ULONG read = 0;
        while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0) bytes.append(buffer, read);
        return bytes;
    }
    static std::string Framed(const std::string& text, ULONG count) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(count >> (8 * i));
        return bytes + text;
    }
    static std::string Framed(const std::string& text) {
        return Framed(text, static_cast<ULONG>(text.size()));
    }
    // Every record's value, to tell whether an import changed anything.
    static std::string Snapshot(CDtmObject* dtm) {
        const ql::ComPtr<IQuelkVariablesEx> variables = Query<IQuelkVariablesEx>(dtm);
        std::string snapshot;
        ULONG count = 0;
        EXPECT_HR(S_OK, variables->GetCount(&count));
        for (ULONG i = 0; i < count; ++i) {
            ULONG id = 0;
            ql::Variant value;
            if (SUCCEEDED(variables->GetVariableAt(static_cast<INT>(i), &id)) &&
                SUCCEEDED(variables->GetValue(id, value.Put())))
                snapshot += std::to_string(id) + "=" + Describe(*value) + "\n";
        }
        return snapshot;
    }
    // The records of `dtm`'s dataset as the value generator needs them.
    static CQuelkVariableList& Records(CDtmObject* dtm) { return dtmint::Store(dtm).Variables(); }
    std::string ExportBytes() {
        ql::ComPtr<IStream> stream = StreamOn("");
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_HR(S_OK, Query<IDtmImportExport>()->Export(stream.Get(), &ok));
        EXPECT_EQ(VARIANT_TRUE, ok);
        return StreamBytes(stream.Get());
    }
    HRESULT ImportInto(CDtmObject* target, const std::string& bytes, VARIANT_BOOL* ok) {
        ql::ComPtr<IStream> stream = StreamOn(bytes);
        return Query<IDtmImportExport>(target)->Import(stream.Get(), ok);
    }
};

TEST_F(ImportExportTest, ExportThenImportRestoresEveryParameterAListMaySet) {
    for (unsigned seed : {11u, 12u, 13u, 14u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ql::ComPtr<CDtmObject> source = MakeDtm(L"Plant/Source");
        ASSERT_TRUE(source);
        const ql::ComPtr<IQuelkVariablesEx> sourceValues = Query<IQuelkVariablesEx>(source.Get());
        std::mt19937 random(seed);
        for (ULONG i = 0; i < Records(source.Get()).Count(); ++i) {
            CQuelkVariable record;
            ASSERT_HR(S_OK, Records(source.Get()).GetVariableAt(static_cast<int>(i), &record));
            if (!randomvalues::IsSetByLists(record)) continue;
            ASSERT_HR(S_OK,
                      sourceValues->SetValue(record.Id(), *randomvalues::RandomValueFor(record, random)));
        }
        ql::ComPtr<IStream> stream = StreamOn("");
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_HR(S_OK, Query<IDtmImportExport>(source.Get())->Export(stream.Get(), &ok));
        const ULONGLONG end = Position(stream.Get());
        Rewind(stream.Get());

        ql::ComPtr<CDtmObject> target = MakeDtm(L"Plant/Target");
        ASSERT_TRUE(target);
        ASSERT_HR(S_OK, Query<IDtmImportExport>(target.Get())->Import(stream.Get(), &ok));
        EXPECT_EQ(VARIANT_TRUE, ok);
        EXPECT_EQ(end, Position(stream.Get())) << "the import leaves the stream after the text";
        for (ULONG i = 0; i < Records(source.Get()).Count(); ++i) {
            CQuelkVariable record;
            ASSERT_HR(S_OK, Records(source.Get()).GetVariableAt(static_cast<int>(i), &record));
            if (!randomvalues::IsSetByLists(record)) continue;
            ql::Variant imported;
            ASSERT_HR(S_OK, Query<IQuelkVariablesEx>(target.Get())->GetValue(record.Id(), imported.Put()));
            EXPECT_EQ(Describe(*record.Value), Describe(*imported)) << "parameter " << record.Id();
        }
    }
}

TEST_F(ImportExportTest, ShortAndOversizedStreamsAreRefusedWithTheDatasetUnchanged) {
    SetValue(1, *MakeBstr(L"exported"));
    const std::string exported = ExportBytes();
    const std::string text = exported.substr(4);
    SetValue(1, *MakeBstr(L"before"));
    const std::string before = Snapshot(dtm_.Get());
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty stream", ""},
        {"three bytes", std::string(3, '\0')},
        {"zero count: an empty text", Framed("")},
        {"count one beyond the text", Framed(text, static_cast<ULONG>(text.size() + 1))},
        {"largest count", Framed(text, 0xFFFFFFFF)},
        {"count beyond the limit", Framed(text, kMaxParameterListBytes + 1)},
        {"text with a zero byte", Framed(text.substr(0, 100) + std::string(1, '\0') + text.substr(100))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VARIANT_BOOL ok = VARIANT_TRUE;
        EXPECT_HR(S_FALSE, ImportInto(dtm_.Get(), c.bytes, &ok));
        EXPECT_EQ(VARIANT_FALSE, ok);
        EXPECT_EQ(before, Snapshot(dtm_.Get()));
    }
    // What follows the promised text is not read.
    VARIANT_BOOL ok = VARIANT_FALSE;
    ql::ComPtr<IStream> stream = StreamOn(exported + "TRAILING");
    EXPECT_HR(S_OK, Query<IDtmImportExport>()->Import(stream.Get(), &ok));
    EXPECT_EQ(exported.size(), Position(stream.Get()));
    EXPECT_EQ("bstr:'exported'", ValueOf(1));
}

TEST_F(ImportExportTest, AListCutAtEveryByteIsRefusedOrImportsAValidPrefix) {
    // Every persistent value differs from the defaults the target holds.
    std::mt19937 random(99);
    for (ULONG i = 0; i < Records(dtm_.Get()).Count(); ++i) {
        CQuelkVariable record;
        ASSERT_HR(S_OK, Records(dtm_.Get()).GetVariableAt(static_cast<int>(i), &record));
        if (randomvalues::IsSetByLists(record))
            SetValue(record.Id(), *randomvalues::RandomValueFor(record, random));
    }
    const std::string exported = ExportBytes();
    const std::string text = exported.substr(4);
    const std::string complete = Snapshot(dtm_.Get());

    ql::ComPtr<CDtmObject> target = MakeDtm(L"Plant/Target");
    ASSERT_TRUE(target);
    const std::string defaults = Snapshot(target.Get());
    // The stream cut short: the promised count is never there.
    for (size_t cut = 0; cut < exported.size(); ++cut) {
        VARIANT_BOOL ok = VARIANT_TRUE;
        ASSERT_HR(S_FALSE, ImportInto(target.Get(), exported.substr(0, cut), &ok)) << cut;
        ASSERT_EQ(defaults, Snapshot(target.Get())) << cut;
    }
    // The text cut short with a count that matches: refused, or (cut in the trailing blanks) complete.
    size_t imported = 0;
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        const HRESULT hr = ImportInto(target.Get(), Framed(text.substr(0, cut)), &ok);
        if (hr == S_FALSE) {
            ASSERT_EQ(defaults, Snapshot(target.Get())) << cut;
            continue;
        }
        ASSERT_HR(S_OK, hr) << cut;
        ASSERT_EQ(complete, Snapshot(target.Get())) << cut;
        ++imported;
        target = MakeDtm(L"Plant/Target");
    }
    EXPECT_EQ(4u, imported) << "only the cuts after the closing tag leave a document";
}

}  // namespace
}  // namespace doctest
