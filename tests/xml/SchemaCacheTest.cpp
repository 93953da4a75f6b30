// The schema cache against a recording collection: which files go where, under which namespace, what is
// reported, and how the frame's and the registry's folders take turns.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeFrameContainer.h"
#include "FakeSchemaCollection.h"
#include "XmlTestSupport.h"
#include "xml/QuelkXMLHandlerImpl.h"
#include "xml/SchemaLists.h"

namespace xmltest {
namespace {

using Adds = std::vector<std::pair<std::wstring, std::wstring>>;

std::string ProblemMessage(const std::wstring& file, const char* code) {
    return "::InitializeSchemaCache\nProblems while loading schema \"" + ql::Utf8FromWide(file) +
           "\".\nIXMLDOMSchemaCollection->add() returns " + code + ".";
}

class SchemaCacheTest : public ComTest {
protected:
    void TearDown() override {
        handler_.reset();
        EXPECT_EQ(1u, collection_.refs) << "the handler must release its collection";
    }
    // The adds expected for `files` from `folder` (already ending the way it should).
    static Adds Expected(const std::wstring& folder, const std::vector<std::wstring>& files) {
        Adds pairs;
        for (const auto& f : files) pairs.emplace_back(L"x-schema:" + f, folder + f);
        return pairs;
    }
    Adds TakeAdds() {
        Adds pairs;
        for (const auto& call : collection_.adds) {
            EXPECT_EQ(VT_BSTR, call.locationType);
            pairs.emplace_back(call.schemaNamespace, call.location);
        }
        collection_.adds.clear();
        return pairs;
    }

    ScopedRegistryFolder registry_;
    FakeSchemaCollection collection_;
    FakeClassFactory factory_{CLSID_XMLSchemaCache, &collection_};
    std::unique_ptr<CQuelkXMLHandlerImpl> handler_ = std::make_unique<CQuelkXMLHandlerImpl>();
    RecordingSink report_;
};

TEST_F(SchemaCacheTest, FillsEachListFromTheFramesFolderInListOrder) {
    EXPECT_HR(S_OK, handler_->InitializeSchemaCache(L"C:\\S", DtmSchemaList, &report_));
    EXPECT_EQ(Expected(L"C:\\S\\", kDtmFiles), TakeAdds());
    EXPECT_TRUE(report_.messages.empty());
    EXPECT_EQ(L"C:\\S", StringOf(handler_->SchemaDirectory()));
    // A second run reuses the collection with the new folder.
    IXMLDOMSchemaCollection* const first = handler_->SchemaCollection();
    EXPECT_HR(S_OK, handler_->InitializeSchemaCache(L"C:\\Second\\", BuiltInSchemaList, &report_));
    EXPECT_EQ(Expected(L"C:\\Second\\", kBuiltInFiles), TakeAdds());
    EXPECT_EQ(first, handler_->SchemaCollection());
    EXPECT_EQ(1, factory_.instancesMade);
    EXPECT_EQ(L"C:\\Second\\", StringOf(handler_->SchemaDirectory()));
}

TEST_F(SchemaCacheTest, FolderWithAndWithoutTrailingSeparatorGiveTheSameLocation) {
    const struct {
        const wchar_t* folder;
        const wchar_t* location;
    } cases[] = {
        {L"C:\\S", L"C:\\S\\FDTDataTypesSchema.xml"},
        {L"C:\\S\\", L"C:\\S\\FDTDataTypesSchema.xml"},
        {L"C:/S/", L"C:/S/\\FDTDataTypesSchema.xml"},  // only a backslash counts as separator
        {L"", L"\\FDTDataTypesSchema.xml"},
    };
    ASSERT_HR(S_OK, handler_->InitializeSchemaCache(nullptr, nullptr, &report_));
    for (const auto& c : cases) {
        BOOL added = FALSE;
        EXPECT_HR(S_OK, handler_->AddSchemaFile(c.folder, L"FDTDataTypesSchema.xml", &added));
        EXPECT_EQ(TRUE, added);
        EXPECT_EQ((Adds{{L"x-schema:FDTDataTypesSchema.xml", c.location}}), TakeAdds());
    }
}

TEST_F(SchemaCacheTest, AFileMissingInTheFramesFolderComesFromTheRegistryFolderSilently) {
    registry_.SetString("D:\\Registry\\Schemas");
    collection_.answers[L"C:\\S\\DTMFunctionsSchema.xml"] = E_FAIL;
    EXPECT_HR(S_OK, handler_->InitializeSchemaCache(L"C:\\S", BuiltInSchemaList, &report_));
    EXPECT_TRUE(report_.messages.empty());
    Adds expected = Expected(L"C:\\S\\", kBuiltInFiles);
    expected.insert(expected.begin() + 3,
                    {L"x-schema:DTMFunctionsSchema.xml", L"D:\\Registry\\Schemas\\DTMFunctionsSchema.xml"});
    EXPECT_EQ(expected, TakeAdds());
}

TEST_F(SchemaCacheTest, WithNoFolderAnywhereEveryFileIsReportedAndTheResultIsStillSOk) {
    std::vector<std::string> expected;
    for (const auto& f : kDtmFiles) expected.push_back(ProblemMessage(f, "00000001"));
    for (const wchar_t* folder : {static_cast<const wchar_t*>(nullptr), L""}) {
        SCOPED_TRACE(folder ? "empty folder" : "null folder");
        report_.messages.clear();
        EXPECT_HR(S_OK, handler_->InitializeSchemaCache(folder, DtmSchemaList, &report_));
        EXPECT_EQ(expected, report_.messages);
        EXPECT_TRUE(collection_.adds.empty());
        EXPECT_NE(nullptr, handler_->SchemaCollection());
    }
}

// The registry fallback accepts only string values and always terminates what it read; anything else
// counts as absent.
TEST_F(SchemaCacheTest, ARegistryValueThatIsNoUsableStringCountsAsAbsent) {
    const std::string tooLong(512, 'x'), longest(511, 'y');
    const DWORD number = 42;
    const char unterminated[] = {'R', ':'};
    const struct {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
        std::wstring location;  // empty: absent
    } cases[] = {
        {"string", REG_SZ, "R:", 3, L"R:\\A.xml"},
        {"empty string", REG_SZ, "", 1, L"\\A.xml"},
        {"string stored without its zero", REG_SZ, unterminated, 2, L"R:\\A.xml"},
        {"511 characters are the longest folder", REG_SZ, longest.c_str(), 512,
         std::wstring(511, L'y') + L"\\A.xml"},
        {"number", REG_DWORD, &number, sizeof(number), L""},
        {"binary", REG_BINARY, unterminated, 2, L""},
        {"512 characters", REG_SZ, tooLong.c_str(), 513, L""},
        {"512 characters without zero", REG_SZ, tooLong.c_str(), 512, L""},
    };
    ASSERT_HR(S_OK, handler_->InitializeSchemaCache(nullptr, nullptr, &report_));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        registry_.Remove();
        registry_.SetRaw(c.type, c.data, c.size);
        BOOL added = FALSE;
        EXPECT_HR(c.location.empty() ? S_FALSE : S_OK, handler_->AddSchema(ql::Bstr(L"A.xml").Get(), &added));
        EXPECT_EQ((c.location.empty() ? Adds{} : Adds{{L"x-schema:A.xml", c.location}}), TakeAdds());
    }
}

// --- the control's route through the frame container ---

class InitFromFrameTest : public SchemaCacheTest {
protected:
    FakeFrameContainer frame_{L"C:\\Frame\\Schemas"};
    ql::ComPtr<IFrameContainer> container_;
};

TEST_F(InitFromFrameTest, FillsTheBuiltInListFromTheFramesFolderAndAnswersSFalse) {
    EXPECT_HR(S_FALSE, handler_->InitSchemaCacheFromFrame(&frame_, container_, &report_));
    EXPECT_EQ(Expected(L"C:\\Frame\\Schemas\\", kBuiltInFiles), TakeAdds());
    EXPECT_TRUE(report_.messages.empty());
    EXPECT_EQ(static_cast<IFrameContainer*>(&frame_), container_.Get());
    // Calling again with the same frame keeps exactly one reference.
    EXPECT_HR(S_FALSE, handler_->InitSchemaCacheFromFrame(&frame_, container_, &report_));
    EXPECT_EQ(2u, frame_.refs);
    container_.Reset();
    EXPECT_EQ(1u, frame_.refs);
}

}  // namespace
}  // namespace xmltest
