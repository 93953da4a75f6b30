// The scan of a "schema not found" reason for quoted file names: which names it hands on, in which order,
// and where it stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XmlTestSupport.h"
#include "xml/MissingSchemaScan.h"

namespace xmltest {
namespace {

TEST(MissingSchemaScanTest, HandsOnTheFirstQuotedNameFromEachLineStart) {
    const std::wstring longName(kMaxSchemaNameLength, L'n');
    const struct {
        const char* name;
        std::wstring reason;
        std::vector<std::wstring> names;
        HRESULT result;
    } cases[] = {
        {"name on the first line", L"Error processing resource 'A.xml'.", {L"A.xml"}, S_OK},
        {"only the first quote pair of a line counts", L"cannot find 'A.xml' or 'B.xml'", {L"A.xml"}, S_OK},
        // The search runs past line ends, so a name on a later line is found from every earlier line start.
        {"name on the second line", L"not found.\r\nresource 'B.xml'.", {L"B.xml", L"B.xml"}, S_OK},
        {"a name per line", L"resource 'A.xml'\nresource 'B.xml'", {L"A.xml", L"B.xml"}, S_OK},
        {"no quote at all", L"The system cannot locate the object.", {}, S_OK},
        {"reason begins with a quote", L"'A.xml' is missing", {}, S_OK},
        {"later line begins with a quote", L"x 'A.xml'\n'B.xml'", {L"A.xml"}, S_OK},
        {"quote never closed", L"resource 'A.xml", {}, E_FAIL},
        {"empty name", L"resource '' missing", {}, E_FAIL},
        {"closed on the next line", L"resource 'A.xml\n'", {L"A.xml\n"}, S_OK},
        {"longest name that fits", L"resource '" + longName + L"'.", {longName}, S_OK},
        // A fixed buffer of 260 characters must never be copied past: such a name ends the scan.
        {"name of 260 characters", L"resource '" + longName + L"n'.", {}, E_FAIL},
        {"a bad name after a good one keeps the good one", L"x 'A.xml'\ny 'B.xml", {L"A.xml"}, E_FAIL},
    };
    EXPECT_EQ(259u, longName.size());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::wstring> seen;
        EXPECT_HR(c.result, ScanMissingSchemaNames(c.reason, [&](std::wstring_view name) {
                      seen.emplace_back(name);
                      return S_OK;
                  }));
        EXPECT_EQ(c.names, seen);
    }
}

}  // namespace
}  // namespace xmltest
