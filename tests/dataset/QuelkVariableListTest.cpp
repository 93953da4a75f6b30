// The record list: uniqueness, masked copies in both directions, index access and the hook runner.
#include "DatasetTestSupport.h"

namespace {

int hookCalls = 0;
HRESULT CountingHook(IQuelkVariablesEx*, ULONG) {
    ++hookCalls;
    return S_OK;
}

CQuelkVariable MakeRecord(ULONG id, ULONG value, const wchar_t* name, VariableHooks hooks = {}) {
    const ql::Variant empty, number = MakeUI4(value), zero = MakeUI4(0);
    return CQuelkVariable(0, id, *empty, name, 0, VT_UI2, *zero, *zero, *number, *number, 1, 0x71, 1, 0, L"",
                          0, L"", kEnumerationNone, *empty, *empty, *empty, hooks);
}

class QuelkVariableListTest : public ::testing::Test {
protected:
    void SetUp() override {
        EXPECT_EQ(-1, list_.FindById(1));
        ASSERT_HR(S_OK, list_.Add(MakeRecord(1, 5, L"one")));
    }
    CQuelkVariableList list_;
};

TEST_F(QuelkVariableListTest, FirstDefinitionOfAnIdWinsAndCopiesAreIndependent) {
    EXPECT_HR(S_OK, list_.Add(MakeRecord(1, 6, L"second")));
    EXPECT_HR(S_OK, list_.Add(MakeRecord(2, 7, L"other")));
    EXPECT_EQ(2u, list_.Count());
    EXPECT_EQ(L"one", list_.Find(1)->Name.View());
    EXPECT_EQ(1, list_.FindById(2));

    CQuelkVariable copy;
    ASSERT_HR(S_OK, list_.GetVariableAt(0, &copy));
    copy.Name.Reset();
    copy.Value.SetUI4(77);
    EXPECT_EQ(L"one", list_.Find(1)->Name.View());
    EXPECT_EQ("ui2:5", Describe(*list_.Find(1)->Value));
    EXPECT_HR(E_INVALIDARG, list_.GetVariableAt(2, &copy));
    EXPECT_HR(E_INVALIDARG, list_.GetVariableAt(-1, &copy));
}

TEST_F(QuelkVariableListTest, MaskedCopiesTouchOnlyTheSelectedFields) {
    CQuelkVariable out = MakeRecord(99, 42, L"mine");
    EXPECT_HR(S_OK, list_.GetVariable(1, 0, &out));
    EXPECT_EQ(L"mine", out.Name.View());
    EXPECT_HR(E_INVALIDARG, list_.GetVariable(2, 0, &out));
    EXPECT_HR(E_INVALIDARG, list_.GetVariable(1, kFieldName, nullptr));
    EXPECT_HR(S_OK, list_.GetVariable(1, kFieldName | kFieldValue, &out));
    EXPECT_EQ(L"one", out.Name.View());
    EXPECT_EQ("ui2:5", Describe(*out.Value));
    EXPECT_EQ(99u, out.Id());  // the id has no field bit

    // The data type and the enumeration kind never change; writing them is a write of nothing.
    CQuelkVariable change = MakeRecord(1, 9, L"changed");
    change.DataType = VT_BSTR;
    change.EnumerationKind = kEnumerationBits;
    EXPECT_HR(S_OK, list_.SetVariable(1, kFieldDataType | kFieldEnumerationKind | kFieldValue, change));
    EXPECT_EQ(VT_UI2, list_.Find(1)->DataType);
    EXPECT_EQ(kEnumerationNone, list_.Find(1)->EnumerationKind);
    EXPECT_EQ("ui2:9", Describe(*list_.Find(1)->Value));
    EXPECT_EQ(L"one", list_.Find(1)->Name.View());
    EXPECT_HR(E_INVALIDARG, list_.SetVariable(3, kFieldValue, change));
}

TEST(QuelkVariableListHookTest, RunHookCallsOnlyTheEventsHook) {
    VariableHooks hooks;
    hooks.OnAfterRead = CountingHook;
    CQuelkVariableList list;
    ASSERT_HR(S_OK, list.Add(MakeRecord(1, 5, L"hooked", hooks)));
    hookCalls = 0;
    EXPECT_HR(E_INVALIDARG, list.RunHook(1, 0, nullptr));
    EXPECT_HR(E_INVALIDARG, list.RunHook(1, 7, nullptr));
    EXPECT_HR(E_INVALIDARG, list.RunHook(2, kHookAfterRead, nullptr));
    EXPECT_HR(S_FALSE, list.RunHook(1, kHookBeforeRead, nullptr));
    EXPECT_HR(S_OK, list.RunHook(1, kHookAfterRead, nullptr));
    EXPECT_EQ(1, hookCalls);
}

}  // namespace
