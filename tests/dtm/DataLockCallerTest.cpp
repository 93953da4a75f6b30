// The frame's data lock as a real frame calls it: by vtable slot with the standard's arguments, declared
// here independently of our generated headers, and late-bound by DISPID through the registered FDT library.
// The frame owns every string it passes; only slot 10 has a result. On 32-bit a callee that takes other
// arguments than the caller pushed leaves the stack unbalanced (stdcall), which the caller measures.
#include <string>
#include <vector>

#include "DtmTestSupport.h"
#include "classlib/Bstr.h"
#include "classlib/Variant.h"

namespace dtmtest {
namespace {

struct CallOutcome {
    HRESULT hr = E_FAIL;
    LONG stackLeft = 0;  // bytes the callee left on (or took beyond) the caller's stack; 32-bit only
};

#if defined(__i386__)
// Calls a stdcall method with `count` 32-bit arguments (the object pointer first) and measures the stack:
// the answer is 0 when the callee removed exactly what was pushed.
extern "C" LONG __cdecl CallStdcallMeasuringStack(const void* method, const DWORD* arguments, int count,
                                                  HRESULT* result);
asm(R"(
    .text
    .globl _CallStdcallMeasuringStack
_CallStdcallMeasuringStack:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    movl %esp, %edi
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl 20(%ebp), %ecx
    movl %eax, (%ecx)
    movl %edi, %eax
    subl %esp, %eax
    movl %edi, %esp
    popl %edi
    popl %esi
    popl %ebp
    ret
)");
#endif

// Calls vtable slot `slot` of `object` with the arguments as a caller compiled against the standard passes
// them: each a pointer-sized value.
CallOutcome CallSlot(IUnknown* object, int slot, const std::vector<void*>& arguments) {
    void* const* vtable = *reinterpret_cast<void* const* const*>(object);
    CallOutcome outcome;
#if defined(__i386__)
    std::vector<DWORD> pushed{reinterpret_cast<DWORD>(object)};
    for (void* argument : arguments) pushed.push_back(reinterpret_cast<DWORD>(argument));
    outcome.stackLeft =
        CallStdcallMeasuringStack(vtable[slot], pushed.data(), static_cast<int>(pushed.size()), &outcome.hr);
#else
    using Two = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, void*);
    using Three = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, void*, void*);
    using Four = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, void*, void*, void*);
    switch (arguments.size()) {
        case 1:
            outcome.hr = reinterpret_cast<Two>(vtable[slot])(object, arguments[0]);
            break;
        case 2:
            outcome.hr = reinterpret_cast<Three>(vtable[slot])(object, arguments[0], arguments[1]);
            break;
        case 3:
            outcome.hr =
                reinterpret_cast<Four>(vtable[slot])(object, arguments[0], arguments[1], arguments[2]);
            break;
        default:
            ADD_FAILURE() << "no call shape for " << arguments.size() << " arguments";
    }
#endif
    return outcome;
}

struct DataLockSlot {
    const char* name;
    int slot;
    DISPID dispid;
    bool secondText;  // slots 8 to 10 take a second string
    bool hasResult;   // slot 10 only
    HRESULT expected;
    bool lockedAfter;
};

constexpr DataLockSlot kSlots[] = {
    {"DataLockQuery", 7, 1, false, false, S_FALSE, false},
    {"DataLockQueryParameter", 8, 2, true, false, S_FALSE, false},
    {"LockData", 9, 3, true, false, S_OK, true},
    {"UnlockData", 10, 4, true, true, S_OK, false},
};

constexpr wchar_t kSystemTag[] = L"Plant/Line 4/FT-101";
constexpr wchar_t kUserName[] = L"maintenance engineer";

class DataLockCallerTest : public DtmTest, public ::testing::WithParamInterface<DataLockSlot> {
protected:
    void SetUp() override {
        DtmTest::SetUp();
        ASSERT_HR(S_OK, dtm_->QueryInterface(__uuidof(IDtmDataLock), lock_.PutVoid()));
        // A lock before each unlock, so that the unlock has something to clear.
        if (GetParam().slot == 10) {
            ASSERT_HR(S_OK, lock_->LockData(systemTag_.Get(), userName_.Get()));
        }
    }
    void TearDown() override {
        lock_.Reset();
        DtmTest::TearDown();
    }
    void ExpectStringsUnchanged() {
        EXPECT_EQ(std::wstring(kSystemTag), std::wstring(systemTag_.View()));
        EXPECT_EQ(sizeof(kSystemTag) - sizeof(wchar_t), ::SysStringByteLen(systemTag_.Get()));
        EXPECT_EQ(std::wstring(kUserName), std::wstring(userName_.View()));
        EXPECT_EQ(sizeof(kUserName) - sizeof(wchar_t), ::SysStringByteLen(userName_.Get()));
    }

    ql::ComPtr<IDtmDataLock> lock_;
    ql::Bstr systemTag_{kSystemTag};
    ql::Bstr userName_{kUserName};
};

TEST_P(DataLockCallerTest, ByVtableSlotLeavesTheFramesStringsAndSetsOnlyTheResult) {
    const DataLockSlot& c = GetParam();
    VARIANT_BOOL result = VARIANT_TRUE;
    std::vector<void*> arguments{systemTag_.Get()};
    if (c.secondText) arguments.push_back(userName_.Get());
    if (c.hasResult) arguments.push_back(&result);

    const CallOutcome outcome = CallSlot(lock_.Get(), c.slot, arguments);
    EXPECT_HR(c.expected, outcome.hr);
    EXPECT_EQ(0, outcome.stackLeft) << "the callee took other arguments than the standard's";
    ExpectStringsUnchanged();
    if (c.hasResult) {
        EXPECT_EQ(VARIANT_FALSE, result);
    }
    EXPECT_EQ(c.lockedAfter, dtm_->Lifecycle().DataLocked());
}

// A late-bound frame: the DTM's IDispatch for IDtmDataLock answers through the registered FDT library.
TEST_P(DataLockCallerTest, ByDispidThroughTheFdtLibrary) {
    const DataLockSlot& c = GetParam();
    std::vector<VARIANT> arguments;  // last argument first; the BSTRs stay owned by the fixture
    VARIANT text = {};
    V_VT(&text) = VT_BSTR;
    if (c.secondText) {
        V_BSTR(&text) = userName_.Get();
        arguments.push_back(text);
    }
    V_BSTR(&text) = systemTag_.Get();
    arguments.push_back(text);
    DISPPARAMS parameters = {arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    ql::Variant result;

    // A success code of the method (S_FALSE) reaches a late-bound caller as S_OK.
    EXPECT_HR(S_OK, lock_->Invoke(c.dispid, IID_NULL, 0x409, DISPATCH_METHOD, &parameters, result.Put(),
                                  nullptr, nullptr));
    ExpectStringsUnchanged();
    EXPECT_EQ(c.hasResult ? VT_BOOL : VT_EMPTY, V_VT(result.Get()));
    if (c.hasResult) {
        EXPECT_EQ(VARIANT_FALSE, V_BOOL(result.Get()));
    }
    EXPECT_EQ(c.lockedAfter, dtm_->Lifecycle().DataLocked());
}

INSTANTIATE_TEST_SUITE_P(Slots, DataLockCallerTest, ::testing::ValuesIn(kSlots),
                         [](const ::testing::TestParamInfo<DataLockSlot>& info) { return info.param.name; });

}  // namespace
}  // namespace dtmtest
