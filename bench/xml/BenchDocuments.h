#pragma once
// The documents the XML benchmark loads: a DP-V1 read response as a channel answers it, the offline
// documentation of all 121 parameters, and the parameter document with all parameters exported.
#include <string>
#include <vector>

namespace xmlbench {

struct BenchDocument {
    std::wstring name;
    std::wstring text;
    std::vector<std::wstring> schemas;  // schema files (data/schemas) the document is validated against
};

std::vector<BenchDocument> MakeBenchDocuments();

// The Windows path of a file below the source tree (Wine shows the Unix root as drive Z:).
std::wstring SourcePath(const std::string& relative);

}  // namespace xmlbench
