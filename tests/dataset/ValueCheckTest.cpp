// The value check: range, enumeration and bit-enumeration tests, the difference bit, and check-and-mark.
#include <limits>

#include "DatasetTestSupport.h"

namespace {

using ValueCheckTest = StoreTest;

// The array copies each element by its BSTR length prefix, so the entries go in as real BSTRs.
ql::Variant MakeEntries(const std::vector<const wchar_t*>& entries) {
    std::vector<ql::Bstr> owned;
    std::vector<const wchar_t*> bstrs;
    for (const wchar_t* entry : entries) bstrs.push_back(owned.emplace_back(entry).Get());
    return vtest::MakeArray<const wchar_t*>(VT_BSTR, bstrs);
}

// Adds an enumerated record of its own (id `id`, VT_UI4, current value 0, access 0x71).
void AddEnumerated(CQuelkVariableStore& store, ULONG id, USHORT kind, const ql::Variant& entries) {
    const ql::Variant empty, zero = MakeUI4(0), rule = MakeBstr(L"");
    ASSERT_HR(S_OK, store.Variables().Add(CQuelkVariable(0, id, *empty, L"Enumerated", 0, VT_UI4, *zero,
                                                         *zero, *zero, *zero, 1, 0x71, 1, 0, L"", 0, L"",
                                                         kind, *entries, *empty, *rule, VariableHooks{})));
}

TEST_F(ValueCheckTest, AnswersInTheAccessWordLayout) {
    AddEnumerated(store(), 900, kEnumerationBits, MakeEntries({L"1;One", L"2;Two", L"8;Eight"}));
    AddEnumerated(store(), 901, kEnumerationBits, MakeEntries({}));
    AddEnumerated(store(), 902, kEnumerationBits, ql::Variant());
    AddEnumerated(store(), 903, kEnumerationBits, MakeEntries({L"1;One", L"Two"}));
    AddEnumerated(store(), 904, kEnumerationList, ql::Variant());
    AddEnumerated(store(), 905, 3, MakeEntries({L"1;One"}));
    ASSERT_HR(S_OK, store().ChangeValue(18, MakeUI4(5).Get(), nullptr));

    const struct {
        const char* name;
        ULONG id;
        ql::Variant value;
        HRESULT hr;
        ULONG flags;
    } cases[] = {
        {"station address at its maximum", 3, MakeUI4(126), S_OK, 0x73},
        {"station address above it", 3, MakeUI4(127), S_OK, 0x77},
        {"station address as text", 3, MakeBstr(L"12"), S_OK, 0x73},
        {"station address as letters", 3, MakeBstr(L"x"), S_OK, 0x77},
        {"equal bounds: no range", 25, MakeUI4(60000), S_OK, 0x52},
        {"text parameter", 10, MakeBstr(L"anything"), S_OK, 0x73},
        {"byte string", 17, MakeBytes({1, 2}), S_OK, 0x73},
        {"enumeration code", 50, MakeUI4(1), S_OK, 0x33},
        {"enumeration code not listed", 50, MakeUI4(2), S_OK, 0x37},
        {"enumeration code as text", 50, MakeBstr(L"1"), S_OK, 0x33},
        {"bits inside the mask", 900, MakeUI4(11), S_OK, 0x73},
        {"bit outside the mask", 900, MakeUI4(4), S_OK, 0x77},
        {"no bits listed, zero", 901, MakeUI4(0), S_OK, 0x71},
        {"no bits listed, one", 901, MakeUI4(1), S_OK, 0x77},
        {"bits without a list", 902, MakeUI4(0), E_INVALIDARG, 0x71},
        {"malformed bit entry", 903, MakeUI4(1), E_UNEXPECTED, 0x71},
        {"bits not a number", 900, MakeBstr(L"x"), DISP_E_TYPEMISMATCH, 0x71},
        {"enumeration without a list", 904, MakeUI4(0), E_FAIL, 0x71},
        {"unknown enumeration kind", 905, MakeUI4(1), E_FAIL, 0x71},
        // The current value 5 against 5 keeps the access word's 0x02 state; 6 sets it.
        {"same value", 18, MakeUI4(5), S_OK, 0x71},
        {"other value", 18, MakeUI4(6), S_OK, 0x73},
        {"unknown id", 8, MakeUI4(1), E_INVALIDARG, kAccessNoCheck},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ULONG flags = 0xDEAD;
        EXPECT_HR(c.hr, valueCheck()->CheckValue(*MakeUI4(c.id), *c.value, &flags));
        EXPECT_EQ(c.flags, flags);
    }
    EXPECT_HR(E_INVALIDARG, valueCheck()->CheckValue(*MakeUI4(3), *MakeUI4(1), nullptr));
}

// A NaN or an infinity is no value of a float record, whatever its bounds (equal bounds, no range, among
// them), given as a float or as a double; a finite value inside the bounds still passes.
TEST_F(ValueCheckTest, EveryFloatRecordRefusesNaNAndTheInfinities) {
    const double nonFinite[] = {std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity()};
    int floatRecords = 0;
    for (int index = 0; const CQuelkVariable* record = store().Variables().At(index); ++index) {
        if (record->DataType != VT_R4) continue;
        ++floatRecords;
        SCOPED_TRACE(testing::Message() << "record " << record->Id());
        ql::Variant lower, upper;
        ASSERT_HR(S_OK, lower.CopyFrom(*record->MinValue));
        ASSERT_HR(S_OK, upper.CopyFrom(*record->MaxValue));
        ASSERT_HR(S_OK, lower.ChangeType(VT_R8));
        ASSERT_HR(S_OK, upper.ChangeType(VT_R8));
        ql::Variant inside;
        inside.SetR4(static_cast<float>((V_R8(lower.Get()) + V_R8(upper.Get())) / 2));
        ULONG flags = 0;
        ASSERT_HR(S_OK, valueCheck()->CheckValue(*MakeUI4(record->Id()), *inside, &flags));
        EXPECT_EQ(0u, flags & (kAccessRejected | kAccessNoCheck)) << Describe(*inside);
        for (const double number : nonFinite) {
            ql::Variant asFloat, asDouble;
            asFloat.SetR4(static_cast<float>(number));
            asDouble.SetR8(number);
            for (const ql::Variant* value : {&asFloat, &asDouble}) {
                flags = 0;
                EXPECT_HR(S_OK, valueCheck()->CheckValue(*MakeUI4(record->Id()), **value, &flags));
                EXPECT_EQ(kAccessRejected, flags & kAccessRejected) << Describe(**value);
            }
        }
    }
    EXPECT_LT(0, floatRecords);
}

TEST_F(ValueCheckTest, CheckAndMarkStoresEvenARejectedValue) {
    VARIANT_BOOL done = VARIANT_FALSE;
    EXPECT_HR(S_OK, valueCheck()->CheckAndMark(*MakeUI4(3), *MakeUI4(127), &done));
    EXPECT_EQ(VARIANT_TRUE, done);
    EXPECT_EQ(0x77u, AccessOf(3));
    EXPECT_EQ("ui1:127", ValueOf(3));
    ULONG flags = 0;
    EXPECT_HR(S_OK, valueCheck()->CheckValue(*MakeUI4(3), *MakeUI4(126), &flags));
    EXPECT_EQ(0x73u, flags);

    // Nothing is stored for a record that cannot be checked.
    SetAccess(19, 0x79);
    done = VARIANT_FALSE;
    EXPECT_HR(S_OK, valueCheck()->CheckAndMark(*MakeUI4(19), *MakeUI4(9), &done));
    EXPECT_EQ(VARIANT_TRUE, done);
    EXPECT_EQ("ui1:0", ValueOf(19));
    EXPECT_EQ(0x79u, AccessOf(19));

    EXPECT_HR(E_INVALIDARG, valueCheck()->CheckAndMark(*MakeUI4(8), *MakeUI4(9), &done));
    EXPECT_EQ(VARIANT_FALSE, done);
    EXPECT_HR(E_INVALIDARG, valueCheck()->CheckAndMark(*MakeUI4(3), *MakeUI4(9), nullptr));
}

}  // namespace

namespace {

// ---- Hooks: records keep a pointer to one kept copy of their set; every event reaches its own hook ----

int g_hookCalled = 0;
ULONG g_hookId = 0;
template <int Event>
HRESULT RecordingHook(IQuelkVariablesEx*, ULONG id) {
    g_hookCalled = Event;
    g_hookId = id;
    return S_OK;
}

CQuelkVariable HookedRecord(ULONG id, const VariableHooks& hooks) {
    const ql::Variant empty, zero = MakeUI4(0), rule = MakeBstr(L"");
    return CQuelkVariable(0, id, *empty, L"Hooked", 0, VT_UI4, *zero, *zero, *zero, *zero, 1, 0x71, 1, 0, L"",
                          0, L"", kEnumerationNone, *empty, *empty, *rule, hooks);
}

TEST(VariableHooksTest, RecordsShareTheirSetAndEachEventReachesItsHook) {
    VariableHooks all;
    all.OnBeforeRead = RecordingHook<kHookBeforeRead>;
    all.OnAfterRead = RecordingHook<kHookAfterRead>;
    all.OnBeforeWrite = RecordingHook<kHookBeforeWrite>;
    all.OnAfterWrite = RecordingHook<kHookAfterWrite>;
    all.OnBeforeSetValue = RecordingHook<kHookBeforeSetValue>;
    all.OnAfterSetValue = RecordingHook<kHookAfterSetValue>;
    VariableHooks readOnly;
    readOnly.OnBeforeRead = RecordingHook<kHookBeforeRead>;

    CQuelkVariableList list;
    {
        // Made from sets that are gone once the records are: the records must not point into them.
        VariableHooks copyOfAll = all;
        ASSERT_HR(S_OK, list.Add(HookedRecord(1, copyOfAll)));
        ASSERT_HR(S_OK, list.Add(HookedRecord(2, VariableHooks(all))));
        ASSERT_HR(S_OK, list.Add(HookedRecord(3, VariableHooks(readOnly))));
        ASSERT_HR(S_OK, list.Add(HookedRecord(4, VariableHooks{})));
    }
    EXPECT_EQ(list.Find(1)->Hooks, list.Find(2)->Hooks) << "one kept set for equal sets";
    EXPECT_NE(list.Find(1)->Hooks, list.Find(3)->Hooks);
    EXPECT_EQ(&VariableHooks::None(), list.Find(4)->Hooks);

    for (int event = kHookBeforeRead; event <= kHookAfterSetValue; ++event) {
        SCOPED_TRACE(event);
        g_hookCalled = 0;
        EXPECT_HR(S_OK, list.RunHook(2, event, nullptr));
        EXPECT_EQ(event, g_hookCalled);
        EXPECT_EQ(2u, g_hookId);
        g_hookCalled = 0;
        EXPECT_HR(event == kHookBeforeRead ? S_OK : S_FALSE, list.RunHook(3, event, nullptr));
        EXPECT_HR(S_FALSE, list.RunHook(4, event, nullptr));
    }
    EXPECT_HR(E_INVALIDARG, list.RunHook(2, kHookAfterSetValue + 1, nullptr));
    EXPECT_HR(E_INVALIDARG, list.RunHook(99, kHookBeforeRead, nullptr));
}

}  // namespace
