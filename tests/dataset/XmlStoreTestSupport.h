#pragma once
// The dataset's documents under test: a store of the device table (StoreTest) in a COM apartment, the
// MSXML classes registered in the build tree's prefix (our stand-in), and a parameter list host that loads
// through a real XML handler on the project's schema files and records the progress it is given.
#include <windows.h>
#include <msxml2.h>

#include <string>
#include <vector>

#include "DatasetTestSupport.h"
#include "classlib/ComApartment.h"
#include "classlib/Utf8.h"
#include "tests/support/TestPaths.h"
#include "dataset/ParameterListHost.h"
#include "values/QuelkMessageSink.h"
#include "xml/QuelkXMLHandlerImpl.h"
#include "xml/SchemaLists.h"

inline std::string Narrow(BSTR text) {
    return ql::Utf8FromWide(std::wstring_view(text ? text : L"", ::SysStringLen(text)));
}

class MessageRecorder final : public CQuelkMessageSink {
public:
    void DeliverMessage(BSTR text) noexcept override { messages.push_back(Narrow(text)); }
    std::vector<std::string> messages;
};

class TestListHost final : public ParameterListHost {
public:
    CQuelkXMLHandlerImpl xml;
    MessageRecorder reports;
    std::vector<std::string> progress;  // "index/count title"

    HRESULT Initialize() {
        const std::wstring folder = vtest::SchemasFolder();
        return xml.InitializeSchemaCache(folder.c_str(), DtmSchemaList, &reports);
    }
    HRESULT LoadParameterList(BSTR text, IXMLDOMDocument2** document,
                              VARIANT_BOOL* loaded) noexcept override {
        return xml.LoadXMLDocument(text, document, loaded, &reports);
    }
    void ReportProgress(ULONG index, ULONG count, const wchar_t* title) noexcept override {
        progress.push_back(std::to_string(index) + "/" + std::to_string(count) + " " +
                           ql::Utf8FromWide(title ? title : L""));
    }
};

class XmlStoreTest : public StoreTest {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, apartment_.Status());
        StoreTest::SetUp();
        ASSERT_EQ(S_OK, listHost_.Initialize());
    }
    void SetValue(ULONG id, const VARIANT& value) { ASSERT_HR(S_OK, store().SetValue(id, value)); }

    ql::ComApartment apartment_;
    TestListHost listHost_;
};
