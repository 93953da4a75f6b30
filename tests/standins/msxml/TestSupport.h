// Helpers shared by the native tests of the MSXML stand-in core.
#pragma once

#include "Document.h"
#include "ErrorCodes.h"
#include "XmlString.h"

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace msxml_core::test {

// UTF-8 test text to the core's UTF-16 and back.
XmlString U(std::string_view utf8);
std::string A(XmlStringView text);

// "0xC00CE56D" for messages.
std::string Hex(ErrorCode code);

// The repository's file (path relative to its root); empty when missing.
std::string ReadRepositoryFile(const std::string& relativePath);
bool RepositoryFileExists(const std::string& relativePath);
std::vector<std::string> ListRepositoryFiles(const std::string& relativeFolder, const std::string& suffix);

// A collection with each (namespace, schema text) added; fails the test when one does not compile.
std::shared_ptr<SchemaCollection> MakeSchemas(
    const std::vector<std::pair<std::string, std::string>>& schemas);

// A document with the given schemas attached, loaded from text; the load result goes to 'loaded'.
struct LoadedDocument {
    Document document;
    bool loaded = false;
};
std::unique_ptr<LoadedDocument> LoadWithSchemas(const std::string& xml,
                                                std::shared_ptr<SchemaCollection> schemas);

// Describes a failed load for assertion messages.
std::string Describe(const ParseError& error);

}  // namespace msxml_core::test
