// The FDT name tables: exact, case-sensitive look-ups that leave the value alone when nothing matches.
#include <gtest/gtest.h>

#include "XmlTestSupport.h"
#include "xml/FdtNameTables.h"

namespace xmltest {
namespace {

using Lookup = HRESULT (*)(BSTR, ULONG*);

// The names in the order of their values (from `first` on); then names that must not match.
void ExpectTable(Lookup lookup, ULONG first, std::vector<const wchar_t*> names,
                 std::vector<const wchar_t*> nonNames) {
    ULONG expected = first;
    for (const wchar_t* name : names) {
        ULONG value = 0xDEADBEEF;
        EXPECT_HR(S_OK, lookup(ql::Bstr(name).Get(), &value));
        EXPECT_EQ(expected++, value) << ql::Utf8FromWide(name);
    }
    nonNames.push_back(nullptr);
    for (const wchar_t* name : nonNames) {
        ULONG value = 0xDEADBEEF;
        EXPECT_HR(E_FAIL, lookup(ql::Bstr(name).Get(), &value)) << (name ? ql::Utf8FromWide(name) : "null");
        EXPECT_EQ(0xDEADBEEF, value);
    }
    EXPECT_HR(E_POINTER, lookup(ql::Bstr(names[0]).Get(), nullptr));
}

TEST(FdtNameTablesTest, ApplicationIds) {
    ExpectTable(ApplicationIdFromString, 1,
                {L"fdtAdjustSetValue", L"fdtAssetManagement", L"fdtAuditTrail", L"fdtConfiguration",
                 L"fdtDiagnosis", L"fdtForce", L"fdtManagement", L"fdtObserve", L"fdtOfflineCompare",
                 L"fdtOfflineParameterize", L"fdtOnlineCompare", L"fdtOnlineParameterize"},
                {L"FdtOnlineParameterize", L"fdtOnlineParameterize ", L"fdtOnline", L""});
}

TEST(FdtNameTablesTest, OperationPhases) {
    ExpectTable(OperationPhaseFromString, 0, {L"notSupported", L"engineering", L"commissioning"},
                {L"Runtime", L"fdtDiagnosis", L""});
    ULONG value = 0;
    EXPECT_HR(S_OK, OperationPhaseFromString(ql::Bstr(L"runtime").Get(), &value));
    EXPECT_EQ(4u, value);
}

}  // namespace
}  // namespace xmltest
