// The FDT name tables: exact, case-sensitive look-ups that leave the value alone when nothing matches.
#include <gtest/gtest.h>

#include "XmlTestSupport.h"
#include "xml/FdtNameTables.h"

namespace xmltest {
namespace {

struct NameCase {
    const wchar_t* name;  // null: a null BSTR
    HRESULT result;
    ULONG value;  // expected when S_OK
};

using Lookup = HRESULT (*)(BSTR, ULONG*);

void RunCases(Lookup lookup, std::initializer_list<NameCase> cases) {
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name ? ::testing::PrintToString(std::wstring(c.name)) : "null");
        ql::Bstr name;
        if (c.name) {
            ASSERT_EQ(S_OK, name.Assign(c.name));
        }
        ULONG value = 0xDEADBEEF;
        EXPECT_EQ(Hr{c.result}, Hr{lookup(name.Get(), &value)});
        EXPECT_EQ(c.result == S_OK ? c.value : 0xDEADBEEF, value);
    }
}

TEST(FdtNameTablesTest, ApplicationIds) {
    RunCases(ApplicationIdFromString, {{L"fdtAdjustSetValue", S_OK, 1},
                                       {L"fdtAssetManagement", S_OK, 2},
                                       {L"fdtAuditTrail", S_OK, 3},
                                       {L"fdtConfiguration", S_OK, 4},
                                       {L"fdtDiagnosis", S_OK, 5},
                                       {L"fdtForce", S_OK, 6},
                                       {L"fdtManagement", S_OK, 7},
                                       {L"fdtObserve", S_OK, 8},
                                       {L"fdtOfflineCompare", S_OK, 9},
                                       {L"fdtOfflineParameterize", S_OK, 10},
                                       {L"fdtOnlineCompare", S_OK, 11},
                                       {L"fdtOnlineParameterize", S_OK, 12},
                                       {L"FdtOnlineParameterize", E_FAIL, 0},
                                       {L"fdtOnlineParameterize ", E_FAIL, 0},
                                       {L"fdtOnline", E_FAIL, 0},
                                       {L"", E_FAIL, 0},
                                       {nullptr, E_FAIL, 0}});
}

TEST(FdtNameTablesTest, OperationPhases) {
    RunCases(OperationPhaseFromString, {{L"notSupported", S_OK, 0},
                                        {L"engineering", S_OK, 1},
                                        {L"commissioning", S_OK, 2},
                                        {L"runtime", S_OK, 4},
                                        {L"Runtime", E_FAIL, 0},
                                        {L"fdtDiagnosis", E_FAIL, 0},
                                        {L"", E_FAIL, 0},
                                        {nullptr, E_FAIL, 0}});
}

TEST(FdtNameTablesTest, AMissingValuePointerIsRefused) {
    ql::Bstr name(L"runtime");
    EXPECT_EQ(Hr{E_POINTER}, Hr{OperationPhaseFromString(name.Get(), nullptr)});
    EXPECT_EQ(Hr{E_POINTER}, Hr{ApplicationIdFromString(name.Get(), nullptr)});
}

}  // namespace
}  // namespace xmltest
