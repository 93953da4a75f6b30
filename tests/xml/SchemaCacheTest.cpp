// The schema cache against a recording collection: which files go where, under which namespace, what is
// reported, and how the frame's and the registry's folders take turns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeFrameContainer.h"
#include "FakeSchemaCollection.h"
#include "XmlTestSupport.h"
#include "classlib/ComPtr.h"
#include "classlib/Utf8.h"
#include "xml/QuelkXMLHandlerImpl.h"
#include "xml/SchemaLists.h"

namespace xmltest {
namespace {

const std::vector<std::wstring> kDtmFiles = {
    L"DTMInformationSchema.xml",    L"DTMParameterSchema.xml",
    L"FDTDataTypesSchema.xml",      L"FDTApplicationIdSchema.xml",
    L"DTMFunctionsSchema.xml",      L"DTMFunctionCallSchema.xml",
    L"FDTOperationPhaseSchema.xml", L"FDTUserInformationSchema.xml",
    L"FDTUserMessageSchema.xml",    L"FDTProfibusDPV1CommunicationSchema.xml"};
const std::vector<std::wstring> kBuiltInFiles = {L"FDTDataTypesSchema.xml", L"FDTApplicationIdSchema.xml",
                                                 L"DTMFunctionsSchema.xml", L"DTMFunctionCallSchema.xml",
                                                 L"FDTOperationPhaseSchema.xml"};

std::string ProblemMessage(const std::wstring& file, const char* code) {
    return "::InitializeSchemaCache\nProblems while loading schema \"" + ql::Utf8FromWide(file) +
           "\".\nIXMLDOMSchemaCollection->add() returns " + code + ".";
}

class SchemaCacheTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        factory_ = std::make_unique<FakeClassFactory>(CLSID_XMLSchemaCache, &collection_);
    }
    void TearDown() override {
        handler_.reset();
        EXPECT_EQ(1u, collection_.refs) << "the handler must release its collection";
        factory_.reset();
        ComTest::TearDown();
    }

    // The adds expected for `files` from `folder` (already ending the way it should).
    static std::vector<std::pair<std::wstring, std::wstring>> Expected(
        const std::wstring& folderWithSeparator, const std::vector<std::wstring>& files) {
        std::vector<std::pair<std::wstring, std::wstring>> pairs;
        for (const auto& f : files) pairs.emplace_back(L"x-schema:" + f, folderWithSeparator + f);
        return pairs;
    }
    std::vector<std::pair<std::wstring, std::wstring>> Adds() const {
        std::vector<std::pair<std::wstring, std::wstring>> pairs;
        for (const auto& call : collection_.adds) {
            EXPECT_EQ(VT_BSTR, call.locationType);
            pairs.emplace_back(call.schemaNamespace, call.location);
        }
        return pairs;
    }

    ScopedRegistryFolder registry_;
    FakeSchemaCollection collection_;
    std::unique_ptr<FakeClassFactory> factory_;
    std::unique_ptr<CQuelkXMLHandlerImpl> handler_ = std::make_unique<CQuelkXMLHandlerImpl>();
    RecordingSink report_;
};

TEST_F(SchemaCacheTest, FillsTheDtmListFromTheFramesFolderInListOrder) {
    EXPECT_EQ(Hr{S_OK}, Hr{handler_->InitializeSchemaCache(L"C:\\S", DtmSchemaList, &report_)});
    EXPECT_EQ(Expected(L"C:\\S\\", kDtmFiles), Adds());
    EXPECT_TRUE(report_.messages.empty());
    EXPECT_EQ(std::wstring(L"C:\\S"), ql::Bstr(handler_->SchemaDirectory()).View());

    collection_.adds.clear();
    handler_ = std::make_unique<CQuelkXMLHandlerImpl>();
    EXPECT_EQ(Hr{S_OK}, Hr{handler_->InitializeSchemaCache(L"C:\\S", BuiltInSchemaList, &report_)});
    EXPECT_EQ(Expected(L"C:\\S\\", kBuiltInFiles), Adds());
}

TEST_F(SchemaCacheTest, FolderWithAndWithoutTrailingSeparatorGiveTheSameLocation) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* location;
    } const cases[] = {
        {L"C:\\S", L"C:\\S\\FDTDataTypesSchema.xml"},
        {L"C:\\S\\", L"C:\\S\\FDTDataTypesSchema.xml"},
        // Only a backslash counts as separator.
        {L"C:/S/", L"C:/S/\\FDTDataTypesSchema.xml"},
        {L"", L"\\FDTDataTypesSchema.xml"},
    };
    ASSERT_EQ(Hr{S_OK}, Hr{handler_->InitializeSchemaCache(nullptr, nullptr, &report_)});
    for (const Case& c : cases) {
        SCOPED_TRACE(ql::Utf8FromWide(c.folder));
        collection_.adds.clear();
        BOOL added = FALSE;
        EXPECT_EQ(Hr{S_OK}, Hr{handler_->AddSchemaFile(c.folder, L"FDTDataTypesSchema.xml", &added)});
        EXPECT_EQ(TRUE, added);
        ASSERT_EQ(1u, collection_.adds.size());
        EXPECT_EQ(L"x-schema:FDTDataTypesSchema.xml", collection_.adds[0].schemaNamespace);
        EXPECT_EQ(c.location, collection_.adds[0].location);
    }
}

TEST_F(SchemaCacheTest, AFileMissingInTheFramesFolderComesFromTheRegistryFolderSilently) {
    registry_.SetString("D:\\Registry\\Schemas");
    collection_.answers[L"C:\\S\\DTMFunctionsSchema.xml"] = E_FAIL;
    EXPECT_EQ(Hr{S_OK}, Hr{handler_->InitializeSchemaCache(L"C:\\S", BuiltInSchemaList, &report_)});
    EXPECT_TRUE(report_.messages.empty());
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"x-schema:FDTDataTypesSchema.xml", L"C:\\S\\FDTDataTypesSchema.xml"},
        {L"x-schema:FDTApplicationIdSchema.xml", L"C:\\S\\FDTApplicationIdSchema.xml"},
        {L"x-schema:DTMFunctionsSchema.xml", L"C:\\S\\DTMFunctionsSchema.xml"},
        {L"x-schema:DTMFunctionsSchema.xml", L"D:\\Registry\\Schemas\\DTMFunctionsSchema.xml"},
        {L"x-schema:DTMFunctionCallSchema.xml", L"C:\\S\\DTMFunctionCallSchema.xml"},
        {L"x-schema:FDTOperationPhaseSchema.xml", L"C:\\S\\FDTOperationPhaseSchema.xml"},
    };
    EXPECT_EQ(expected, Adds());
}

TEST_F(SchemaCacheTest, WithNoFolderAnywhereEveryFileIsReportedAndTheResultIsStillSOk) {
    for (const wchar_t* folder : {static_cast<const wchar_t*>(nullptr), L""}) {
        SCOPED_TRACE(folder ? "empty folder" : "null folder");
        report_.messages.clear();
        EXPECT_EQ(Hr{S_OK}, Hr{handler_->InitializeSchemaCache(folder, DtmSchemaList, &report_)});
        std::vector<std::string> expected;
        for (const auto& f : kDtmFiles) expected.push_back(ProblemMessage(f, "00000001"));
        EXPECT_EQ(expected, report_.messages);
        EXPECT_TRUE(collection_.adds.empty());
        EXPECT_NE(nullptr, handler_->SchemaCollection());
    }
}

TEST_F(SchemaCacheTest, OnlyAnAddAnsweringSOkCountsAsAdded) {
    struct Case {
        const char* name;
        HRESULT frameAnswer;
        bool registryFolder;
        HRESULT registryAnswer;
        const char* reportedCode;  // null: no message
    } const cases[] = {
        {"frame folder error, no registry", static_cast<HRESULT>(0x800C0006), false, S_OK, "800C0006"},
        {"frame folder S_FALSE, no registry", S_FALSE, false, S_OK, "00000001"},
        {"frame folder S_FALSE, registry adds", S_FALSE, true, S_OK, nullptr},
        {"both fail: the registry's code", E_FAIL, true, E_ACCESSDENIED, "80070005"},
        {"registry answers S_FALSE", E_FAIL, true, S_FALSE, "00000001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report_.messages.clear();
        ScopedRegistryFolder::Remove();
        if (c.registryFolder) registry_.SetString("R:");
        collection_.answers = {{L"C:\\S\\FDTDataTypesSchema.xml", c.frameAnswer},
                               {L"R:\\FDTDataTypesSchema.xml", c.registryAnswer}};
        const char* const list[] = {"FDTDataTypesSchema.xml", ""};
        EXPECT_EQ(Hr{S_OK}, Hr{handler_->InitializeSchemaCache(L"C:\\S", list, &report_)});
        if (c.reportedCode) {
            EXPECT_EQ(std::vector<std::string>{ProblemMessage(L"FDTDataTypesSchema.xml", c.reportedCode)},
                      report_.messages);
        } else {
            EXPECT_TRUE(report_.messages.empty());
        }
    }
}

TEST_F(SchemaCacheTest, WithoutACollectionNothingCanBeAdded) {
    BOOL added = TRUE;
    EXPECT_EQ(Hr{S_FALSE}, Hr{handler_->AddSchema(Text(L"A.xml").Get(), &added)});
    EXPECT_EQ(FALSE, added);
    added = TRUE;
    EXPECT_EQ(Hr{S_FALSE}, Hr{handler_->AddSchemaFile(L"C:\\S", L"A.xml", &added)});
    EXPECT_EQ(FALSE, added);
    EXPECT_EQ(0, factory_->requests);
}

TEST_F(SchemaCacheTest, ARegistryValueThatIsNoUsableStringCountsAsAbsent) {
    const std::string tooLong(512, 'x');
    const DWORD number = 42;
    const char unterminated[] = {'R', ':'};
    struct Case {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
        const wchar_t* location;  // null: absent
    } const cases[] = {
        {"string", REG_SZ, "R:", 3, L"R:\\A.xml"},
        {"empty string", REG_SZ, "", 1, L"\\A.xml"},
        {"string stored without its zero", REG_SZ, unterminated, 2, L"R:\\A.xml"},
        {"number", REG_DWORD, &number, sizeof(number), nullptr},
        {"binary", REG_BINARY, unterminated, 2, nullptr},
        {"512 characters", REG_SZ, tooLong.c_str(), 513, nullptr},
        {"512 characters without zero", REG_SZ, tooLong.c_str(), 512, nullptr},
    };
    ASSERT_EQ(Hr{S_OK}, Hr{handler_->InitializeSchemaCache(nullptr, nullptr, &report_)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedRegistryFolder::Remove();
        registry_.SetRaw(c.type, c.data, c.size);
        collection_.adds.clear();
        BOOL added = FALSE;
        const HRESULT hr = handler_->AddSchema(Text(L"A.xml").Get(), &added);
        if (c.location) {
            EXPECT_EQ(Hr{S_OK}, Hr{hr});
            ASSERT_EQ(1u, collection_.adds.size());
            EXPECT_EQ(c.location, collection_.adds[0].location);
        } else {
            EXPECT_EQ(Hr{S_FALSE}, Hr{hr});
            EXPECT_TRUE(collection_.adds.empty());
        }
    }
    // 511 characters are the longest folder that fits.
    ScopedRegistryFolder::Remove();
    registry_.SetString(std::string(511, 'y'));
    collection_.adds.clear();
    BOOL added = FALSE;
    EXPECT_EQ(Hr{S_OK}, Hr{handler_->AddSchema(Text(L"A.xml").Get(), &added)});
    ASSERT_EQ(1u, collection_.adds.size());
    EXPECT_EQ(std::wstring(511, L'y') + L"\\A.xml", collection_.adds[0].location);
}

TEST_F(SchemaCacheTest, ASecondRunReusesTheCollectionWithTheNewFolder) {
    ASSERT_EQ(Hr{S_OK}, Hr{handler_->InitializeSchemaCache(L"C:\\First", BuiltInSchemaList, &report_)});
    IXMLDOMSchemaCollection* const first = handler_->SchemaCollection();
    collection_.adds.clear();
    ASSERT_EQ(Hr{S_OK}, Hr{handler_->InitializeSchemaCache(L"C:\\Second\\", BuiltInSchemaList, &report_)});
    EXPECT_EQ(first, handler_->SchemaCollection());
    EXPECT_EQ(1, factory_->instancesMade);
    EXPECT_EQ(Expected(L"C:\\Second\\", kBuiltInFiles), Adds());
    EXPECT_EQ(std::wstring(L"C:\\Second\\"), ql::Bstr(handler_->SchemaDirectory()).View());
}

TEST_F(SchemaCacheTest, AFailedCreationIsReportedAndTriedAgainNextTime) {
    struct Case {
        const char* name;
        HRESULT createResult;
        bool giveNothing;
        HRESULT expected;
        const char* printed;
    } const cases[] = {
        {"creation fails", E_OUTOFMEMORY, false, E_OUTOFMEMORY, "8007000E"},
        {"creation gives no object", S_OK, true, E_FAIL, "00000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CQuelkXMLHandlerImpl handler;
        report_.messages.clear();
        factory_->createResult = c.createResult;
        factory_->giveNothing = c.giveNothing;
        EXPECT_EQ(Hr{c.expected}, Hr{handler.InitializeSchemaCache(L"C:\\S", BuiltInSchemaList, &report_)});
        EXPECT_EQ(std::vector<std::string>{std::string("::InitializeSchemaCache\nXMLSchemaCache creation "
                                                       "failed!\nHRESULT = ") +
                                           c.printed},
                  report_.messages);
        EXPECT_EQ(nullptr, handler.SchemaCollection());
        EXPECT_EQ(std::wstring(L"C:\\S"), ql::Bstr(handler.SchemaDirectory()).View());
        EXPECT_TRUE(collection_.adds.empty());

        factory_->createResult = S_OK;
        factory_->giveNothing = false;
        EXPECT_EQ(Hr{S_OK}, Hr{handler.InitializeSchemaCache(L"C:\\S", BuiltInSchemaList, &report_)});
        EXPECT_NE(nullptr, handler.SchemaCollection());
        EXPECT_EQ(kBuiltInFiles.size(), collection_.adds.size());
        collection_.adds.clear();
    }
}

// --- the control's route through the frame container ---

class InitFromFrameTest : public SchemaCacheTest {
protected:
    FakeFrameContainer frame_{L"C:\\Frame\\Schemas"};
    ql::ComPtr<IFrameContainer> container_;
};

TEST_F(InitFromFrameTest, FillsTheBuiltInListFromTheFramesFolderAndAnswersSFalse) {
    EXPECT_EQ(Hr{S_FALSE}, Hr{handler_->InitSchemaCacheFromFrame(&frame_, container_, &report_)});
    EXPECT_EQ(Expected(L"C:\\Frame\\Schemas\\", kBuiltInFiles), Adds());
    EXPECT_TRUE(report_.messages.empty());
    EXPECT_EQ(static_cast<IFrameContainer*>(&frame_), container_.Get());
    EXPECT_EQ(2u, frame_.refs);
    // Calling again with the same frame keeps exactly one reference.
    EXPECT_EQ(Hr{S_FALSE}, Hr{handler_->InitSchemaCacheFromFrame(&frame_, container_, &report_)});
    EXPECT_EQ(2u, frame_.refs);
    container_.Reset();
    EXPECT_EQ(1u, frame_.refs);
}

TEST_F(InitFromFrameTest, WithoutAContainerNothingChangesButTheOldReferenceGoes) {
    ASSERT_EQ(Hr{S_FALSE}, Hr{handler_->InitSchemaCacheFromFrame(&frame_, container_, &report_)});
    collection_.adds.clear();
    PlainUnknown notAContainer;
    struct Case {
        const char* name;
        IUnknown* frame;
    } const cases[] = {{"null frame", nullptr}, {"frame without IFrameContainer", &notAContainer}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Hr{S_FALSE}, Hr{handler_->InitSchemaCacheFromFrame(c.frame, container_, &report_)});
        EXPECT_EQ(nullptr, container_.Get());
        EXPECT_EQ(1u, frame_.refs);
        EXPECT_EQ(1u, notAContainer.refs);
        EXPECT_TRUE(collection_.adds.empty());
        EXPECT_EQ(std::wstring(L"C:\\Frame\\Schemas"), ql::Bstr(handler_->SchemaDirectory()).View());
        EXPECT_TRUE(report_.messages.empty());
    }
}

TEST_F(InitFromFrameTest, AFailingFolderRequestAnswersItsCodeSilently) {
    frame_.folderResult = E_ACCESSDENIED;
    EXPECT_EQ(Hr{E_ACCESSDENIED}, Hr{handler_->InitSchemaCacheFromFrame(&frame_, container_, &report_)});
    EXPECT_EQ(nullptr, handler_->SchemaCollection());
    EXPECT_EQ(nullptr, handler_->SchemaDirectory());
    EXPECT_TRUE(report_.messages.empty());
    EXPECT_EQ(0, factory_->instancesMade);
}

TEST_F(InitFromFrameTest, AFailedCacheIsReportedTwiceAndAnswersItsCode) {
    struct Case {
        const char* name;
        HRESULT createResult;
        bool giveNothing;
        HRESULT expected;
        std::vector<std::string> messages;
    } const cases[] = {
        {"class not registered",
         REGDB_E_CLASSNOTREG,
         false,
         REGDB_E_CLASSNOTREG,
         {"::InitializeSchemaCache\nXMLSchemaCache creation failed!\nHRESULT = 80040154",
          "InitializeSchemaCache returned 0x80040154, maybe there is a problem with MSXML."}},
        {"no object with S_OK",
         S_OK,
         true,
         E_FAIL,
         {"::InitializeSchemaCache\nXMLSchemaCache creation failed!\nHRESULT = 00000000",
          "InitializeSchemaCache returned 0x80004005, maybe there is a problem with MSXML."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report_.messages.clear();
        factory_->createResult = c.createResult;
        factory_->giveNothing = c.giveNothing;
        EXPECT_EQ(Hr{c.expected}, Hr{handler_->InitSchemaCacheFromFrame(&frame_, container_, &report_)});
        EXPECT_EQ(c.messages, report_.messages);
    }
}

}  // namespace
}  // namespace xmltest
