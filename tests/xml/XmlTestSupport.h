#pragma once
// Shared fixtures and doubles of the XML handler tests: COM per test, a recording message routine, the
// schema folders, the registry fallback value and HRESULTs that print their names.
#include <windows.h>
#include <msxml2.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "values/QuelkMessageSink.h"

namespace xmltest {

// An HRESULT that compares exactly and prints as hexadecimal with its name.
struct Hr {
    HRESULT value;
    bool operator==(const Hr& other) const { return value == other.value; }
};
void PrintTo(const Hr& hr, std::ostream* os);

// The owner's message sink: keeps every text it receives.
class RecordingSink final : public CQuelkMessageSink {
public:
    void DeliverMessage(BSTR text) noexcept override;
    std::vector<std::string> messages;
};

// One apartment per test, as the owners (apartment-threaded objects) run.
class ComTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    bool initialized_ = false;
};

// The Windows path of the project's schema files (data/schemas), as a frame would name it.
std::wstring SchemasFolder();
// A Windows path of a folder or file below the source tree.
std::wstring SourcePath(const char* relative);

// A temporary folder, removed with everything in it when the owner goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    // Copies the named files from data/schemas.
    void CopySchemas(const std::vector<std::wstring>& fileNames) const;
    void WriteFile(const std::wstring& name, const std::string& content) const;

private:
    std::wstring path_;
};

// Sets, and removes again, the registry value that names the fallback schema folder. Every instance
// starts by removing a value left behind, so tests begin without a registry folder.
class ScopedRegistryFolder {
public:
    ScopedRegistryFolder();
    ~ScopedRegistryFolder();
    ScopedRegistryFolder(const ScopedRegistryFolder&) = delete;
    ScopedRegistryFolder& operator=(const ScopedRegistryFolder&) = delete;
    // A REG_SZ value with its terminating zero.
    void SetString(const std::string& folder) const;
    // Any type and exact bytes (no terminating zero added).
    void SetRaw(DWORD type, const void* data, DWORD size) const;
    static void Remove();
};

// A document text as a BSTR.
ql::Bstr Text(const wchar_t* text);

// The namespaces a schema collection holds, in its order.
std::vector<std::wstring> Namespaces(IXMLDOMSchemaCollection* collection);

// The x-schema namespaces of `files`, in order.
std::vector<std::wstring> SchemaNamespaces(const std::vector<std::wstring>& files);

}  // namespace xmltest
