// The schema cache with MSXML's own collection and the project's schema files: the files really load
// from the folders the frame and the registry name.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FakeFrameContainer.h"
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

std::vector<std::wstring> Sorted(std::vector<std::wstring> v) {
    std::sort(v.begin(), v.end());
    return v;
}

class MsxmlSchemaCacheTest : public ComTest {
protected:
    ScopedRegistryFolder registry_;
    CQuelkXMLHandlerImpl handler_;
    RecordingSink report_;
};

// The DTM object's route: the frame's container names the folder, the handler adds the ten files.
TEST_F(MsxmlSchemaCacheTest, TheDtmListLoadsFromTheFramesFolder) {
    FakeFrameContainer frame(SchemasFolder());
    ql::Bstr folder;
    ASSERT_EQ(S_OK, frame.GetSchemaFolder(folder.Put()));
    EXPECT_EQ(Hr{S_OK}, Hr{handler_.InitializeSchemaCache(folder.Get(), DtmSchemaList, &report_)});
    EXPECT_EQ(std::vector<std::string>{}, report_.messages);
    EXPECT_EQ(Sorted(SchemaNamespaces(kDtmFiles)), Sorted(Namespaces(handler_.SchemaCollection())));
}

TEST_F(MsxmlSchemaCacheTest, AFileMissingInTheFramesFolderLoadsFromTheRegistryFolder) {
    TempFolder frameFolder;
    std::vector<std::wstring> present(kDtmFiles);
    present.erase(std::find(present.begin(), present.end(), L"FDTUserMessageSchema.xml"));
    frameFolder.CopySchemas(present);
    registry_.SetString(ql::Utf8FromWide(SchemasFolder()));  // plain ASCII path

    EXPECT_EQ(Hr{S_OK},
              Hr{handler_.InitializeSchemaCache(frameFolder.Path().c_str(), DtmSchemaList, &report_)});
    EXPECT_EQ(std::vector<std::string>{}, report_.messages);
    EXPECT_EQ(Sorted(SchemaNamespaces(kDtmFiles)), Sorted(Namespaces(handler_.SchemaCollection())));
}

// A control's route: the five built-in files from the frame's folder, S_FALSE on success.
TEST_F(MsxmlSchemaCacheTest, AControlFillsTheBuiltInListThroughItsFrame) {
    FakeFrameContainer frame(SchemasFolder() + L"\\");
    ql::ComPtr<IFrameContainer> container;
    EXPECT_EQ(Hr{S_FALSE}, Hr{handler_.InitSchemaCacheFromFrame(&frame, container, &report_)});
    EXPECT_EQ(std::vector<std::string>{}, report_.messages);
    EXPECT_EQ(Sorted(SchemaNamespaces({L"FDTDataTypesSchema.xml", L"FDTApplicationIdSchema.xml",
                                       L"DTMFunctionsSchema.xml", L"DTMFunctionCallSchema.xml",
                                       L"FDTOperationPhaseSchema.xml"})),
              Sorted(Namespaces(handler_.SchemaCollection())));
}

}  // namespace
}  // namespace xmltest
