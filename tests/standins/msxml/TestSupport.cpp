#include "TestSupport.h"

#include "TextEncoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace msxml_core::test {

XmlString U(std::string_view utf8) {
    XmlString text;
    if (!TextEncoding::DecodeUtf8(utf8, text)) ADD_FAILURE() << "test text is not UTF-8";
    return text;
}

std::string A(XmlStringView text) { return TextEncoding::Encode(text, Encoding::Utf8); }

std::string Hex(ErrorCode code) {
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "0x%08X", static_cast<unsigned>(code));
    return buffer;
}

std::string ReadRepositoryFile(const std::string& relativePath) {
    std::ifstream file(std::string(VARNOK_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool RepositoryFileExists(const std::string& relativePath) {
    struct stat info;
    return stat((std::string(VARNOK_SOURCE_DIR) + "/" + relativePath).c_str(), &info) == 0;
}

std::vector<std::string> ListRepositoryFiles(const std::string& relativeFolder, const std::string& suffix) {
    std::vector<std::string> names;
    DIR* dir = opendir((std::string(VARNOK_SOURCE_DIR) + "/" + relativeFolder).c_str());
    if (dir == nullptr) return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::shared_ptr<SchemaCollection> MakeSchemas(
    const std::vector<std::pair<std::string, std::string>>& schemas) {
    auto collection = std::make_shared<SchemaCollection>();
    for (const auto& [namespaceUri, text] : schemas) {
        ParseError error;
        EXPECT_TRUE(collection->AddFromBytes(U(namespaceUri), text, error))
            << namespaceUri << ": " << Describe(error);
    }
    return collection;
}

std::unique_ptr<LoadedDocument> LoadWithSchemas(const std::string& xml,
                                                std::shared_ptr<SchemaCollection> schemas) {
    auto result = std::make_unique<LoadedDocument>();
    result->document.SetSchemas(std::move(schemas));
    result->loaded = result->document.LoadXml(U(xml));
    return result;
}

std::string Describe(const ParseError& error) {
    std::ostringstream text;
    text << Hex(error.errorCode) << " line " << error.line << " col " << error.linepos << ": "
         << A(error.reason);
    return text.str();
}

}  // namespace msxml_core::test
