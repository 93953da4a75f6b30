#pragma once
// Shared pieces of the XML handler tests: a recording message routine, the registry fallback folder, and
// the namespaces a schema collection holds. The general test support (HRESULTs, COM per test, paths,
// temporary folders) comes from tests/support.
#include <windows.h>
#include <msxml2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/Utf8.h"
#include "tests/support/ComTest.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/TestVariants.h"
#include "values/QuelkMessageSink.h"
#include "xml/SchemaRegistryFolder.h"

namespace xmltest {

using namespace vtest;

// The owner's message sink: keeps every text it receives.
class RecordingSink final : public CQuelkMessageSink {
public:
    void DeliverMessage(BSTR text) noexcept override { messages.push_back(ql::Utf8FromWide(StringOf(text))); }
    std::vector<std::string> messages;
};

// The registry value that names the fallback schema folder, absent when the test starts and ends. Values
// are written as ANSI, as an installation writes them.
class ScopedRegistryFolder {
public:
    // A REG_SZ value with its terminating zero.
    void SetString(const std::string& folder) const {
        SetRaw(REG_SZ, folder.c_str(), DWORD(folder.size() + 1));
    }
    // Any type and exact bytes (no terminating zero added).
    void SetRaw(DWORD type, const void* data, DWORD size) const {
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key_.Create().Get(), kSchemaPathsValue, 0, type,
                                                  static_cast<const BYTE*>(data), size));
    }
    void Remove() const { key_.Remove(); }

private:
    // The keys exist only for these tests: the three above the value's own go too once empty.
    ScopedRegistryKey key_{HKEY_LOCAL_MACHINE, ql::WideFromUtf8(kSchemaPathsKey), 3};
};

// The namespaces a schema collection holds, in its order.
inline std::vector<std::wstring> Namespaces(IXMLDOMSchemaCollection* collection) {
    std::vector<std::wstring> namespaces;
    LONG length = 0;
    if (!collection || FAILED(collection->get_length(&length))) return namespaces;
    for (LONG i = 0; i < length; ++i) {
        ql::Bstr uri;
        EXPECT_EQ(S_OK, collection->get_namespaceURI(i, uri.Put()));
        namespaces.emplace_back(uri.View());
    }
    return namespaces;
}

// The files of DtmSchemaList and BuiltInSchemaList, in list order.
inline const std::vector<std::wstring> kDtmFiles = {
    L"DTMInformationSchema.xml",    L"DTMParameterSchema.xml",
    L"FDTDataTypesSchema.xml",      L"FDTApplicationIdSchema.xml",
    L"DTMFunctionsSchema.xml",      L"DTMFunctionCallSchema.xml",
    L"FDTOperationPhaseSchema.xml", L"FDTUserInformationSchema.xml",
    L"FDTUserMessageSchema.xml",    L"FDTProfibusDPV1CommunicationSchema.xml"};
inline const std::vector<std::wstring> kBuiltInFiles = {
    L"FDTDataTypesSchema.xml", L"FDTApplicationIdSchema.xml", L"DTMFunctionsSchema.xml",
    L"DTMFunctionCallSchema.xml", L"FDTOperationPhaseSchema.xml"};

}  // namespace xmltest
