// The schema files that the XML handlers of one thread share: a schema one handler needed serves the
// next without its file being read again, a changed file reaches the handlers filled afterwards while
// the others keep what they took, and nothing outlives the last handler.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestDocuments.h"
#include "XmlTestSupport.h"
#include "classlib/Handle.h"
#include "xml/QuelkXMLHandlerImpl.h"

namespace xmltest {
namespace {

// The built-in list without the function-call schema, which kFunctionCall names.
const char* const kWithoutFunctionCall[] = {"FDTDataTypesSchema.xml", "FDTApplicationIdSchema.xml",
                                            "DTMFunctionsSchema.xml", "FDTOperationPhaseSchema.xml", ""};
const char* const kItemSchemaList[] = {"ItemSchema.xml", ""};
constexpr wchar_t kItem[] = L"<?xml version=\"1.0\"?><Item xmlns=\"x-schema:ItemSchema.xml\"/>";

// A schema of one element whose attribute `a` is optional or required.
std::string ItemSchema(bool attributeRequired) {
    return std::string(
               "<?xml version=\"1.0\"?><Schema name=\"ItemSchema\" "
               "xmlns=\"urn:schemas-microsoft-com:xml-data\" "
               "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\"><AttributeType name=\"a\" "
               "dt:type=\"string\"/>"
               "<ElementType name=\"Item\" content=\"empty\" model=\"closed\"><attribute type=\"a\" "
               "required=\"") +
           (attributeRequired ? "yes" : "no") + "\"/></ElementType></Schema>";
}

class SharedSchemaFilesTest : public ComTest {
protected:
    std::unique_ptr<CQuelkXMLHandlerImpl> Filled(SchemaList list) {
        auto handler = std::make_unique<CQuelkXMLHandlerImpl>();
        EXPECT_HR(S_OK, handler->InitializeSchemaCache(folder_.Path().c_str(), list, &report_));
        return handler;
    }
    VARIANT_BOOL Load(CQuelkXMLHandlerImpl& handler, const wchar_t* text) {
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(S_OK, handler.LoadXMLDocument(ql::Bstr(text).Get(), document.Put(), &loaded, &report_));
        return loaded;
    }
    // Opens `file` of the folder for nobody else: no one can read it while the handle lives.
    ql::Handle Lock(const wchar_t* file) {
        ql::Handle handle(::CreateFileW(folder_.File(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_NE(INVALID_HANDLE_VALUE, handle.Get());
        return handle;
    }

    ScopedRegistryFolder noRegistryFolder_;
    TempFolder folder_;
    RecordingSink report_;
};

TEST_F(SharedSchemaFilesTest, ASchemaOneHandlerNeededServesAnotherWithoutItsFileBeingRead) {
    folder_.CopyFrom(SchemasFolder(), kBuiltInFiles);
    auto first = Filled(kWithoutFunctionCall);
    ASSERT_EQ(VARIANT_TRUE, Load(*first, kFunctionCall)) << "added from the folder and retried";

    ql::Handle locked = Lock(L"DTMFunctionCallSchema.xml");
    auto second = Filled(kWithoutFunctionCall);
    EXPECT_EQ(VARIANT_TRUE, Load(*second, kFunctionCall));
    EXPECT_EQ(std::vector<std::string>{}, report_.messages);

    // With every handler gone nothing is kept: the locked file is read again, and cannot be.
    first.reset();
    second.reset();
    auto afterwards = Filled(kWithoutFunctionCall);
    EXPECT_EQ(VARIANT_FALSE, Load(*afterwards, kFunctionCall));
}

TEST_F(SharedSchemaFilesTest, AChangedFileServesTheHandlersFilledAfterwardsAndTheOthersKeepTheirs) {
    folder_.Write(L"ItemSchema.xml", ItemSchema(false));
    auto before = Filled(kItemSchemaList);
    ASSERT_EQ(VARIANT_TRUE, Load(*before, kItem));

    folder_.Write(L"ItemSchema.xml", ItemSchema(true));
    auto after = Filled(kItemSchemaList);
    EXPECT_EQ(VARIANT_FALSE, Load(*after, kItem)) << "the changed schema requires the attribute";
    EXPECT_EQ(VARIANT_TRUE, Load(*before, kItem)) << "the first handler keeps the schema it took";

    // A file that is gone is not served from what was compiled of it.
    report_.messages.clear();
    ASSERT_TRUE(::DeleteFileW(folder_.File(L"ItemSchema.xml").c_str()));
    auto removed = Filled(kItemSchemaList);
    EXPECT_EQ(1u, report_.messages.size()) << "the missing file is reported";
    EXPECT_EQ(std::vector<std::wstring>{}, Namespaces(removed->SchemaCollection()));
}

}  // namespace
}  // namespace xmltest
