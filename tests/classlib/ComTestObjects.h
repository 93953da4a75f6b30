#pragma once
// Test interfaces and objects built on the class library's COM machinery, shared by the COM tests.
#include <unknwn.h>
#include <windows.h>

#include <vector>

#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "tests/support/TestObjects.h"

struct ITestAlpha : public IUnknown {
    virtual int STDMETHODCALLTYPE Alpha() = 0;
};
struct ITestBeta : public IUnknown {
    virtual int STDMETHODCALLTYPE Beta() = 0;
};
struct ITestGamma : public IUnknown {
    virtual int STDMETHODCALLTYPE Gamma() = 0;
};
__CRT_UUID_DECL(ITestAlpha, 0x4f5085a5, 0x444a, 0x49f6, 0xb1, 0x83, 0x94, 0xae, 0xf2, 0xce, 0x47, 0x57)
__CRT_UUID_DECL(ITestBeta, 0x6e98a98d, 0x3e08, 0x41f2, 0xa0, 0xba, 0x05, 0xf5, 0x30, 0x18, 0x50, 0xcc)
__CRT_UUID_DECL(ITestGamma, 0x428163e9, 0x7e64, 0x464c, 0x8c, 0x03, 0x2e, 0xd5, 0xf9, 0xc9, 0x43, 0xd1)

namespace comtest {

// ITestAlpha's IID as a constant, for template arguments.
inline constexpr IID kIidTestAlpha = {
    0x4f5085a5, 0x444a, 0x49f6, {0xb1, 0x83, 0x94, 0xae, 0xf2, 0xce, 0x47, 0x57}};

// Answered by two entries of CWidget's table (alpha first), so the answer shows the search order.
inline constexpr IID kIidListedTwice = {
    0x457bc122, 0x43dd, 0x4508, {0x87, 0x63, 0x4e, 0x6b, 0xf9, 0xd2, 0x37, 0x3c}};
// Answered by CWidget's function entry, which hands the query on to another object when it has one.
inline constexpr IID kIidForwarded = {
    0x5581f244, 0xef4e, 0x4fee, {0x90, 0x98, 0xdd, 0x7d, 0xcf, 0x22, 0x68, 0xc1}};

// A part that implements one interface for complete objects.
class CGammaPart : public ITestGamma {
    QL_INTERFACE_PART_TABLE(CGammaPart, QL_ENTRY(ITestGamma))
    int STDMETHODCALLTYPE Gamma() override { return 3; }
};

// The main test object. Static counters let tests prove that objects go when their references do.
class CWidget : public ql::ComObjectBase<CWidget>, public ITestAlpha, public ITestBeta, public CGammaPart {
    QL_INTERFACE_TABLE(CWidget, QL_ENTRY(ITestAlpha), QL_ENTRY(ITestBeta),
                       QL_ENTRY_IID(kIidListedTwice, ITestAlpha), QL_ENTRY_IID(kIidListedTwice, ITestBeta),
                       QL_ENTRY_CHAIN(CGammaPart), QL_ENTRY_FUNC(kIidForwarded, QueryForwarded))
public:
    static inline int live = 0;
    static inline int finalReleases = 0;
    static inline HRESULT nextConstructResult = S_OK;  // FinalConstruct's answer, to fail creation on purpose

    CWidget() noexcept { ++live; }
    explicit CWidget(int alphaValue) noexcept : alphaValue_(alphaValue) { ++live; }
    ~CWidget() override { --live; }

    HRESULT FinalConstruct() noexcept { return nextConstructResult; }
    void FinalRelease() noexcept { ++finalReleases; }

    int STDMETHODCALLTYPE Alpha() override { return alphaValue_; }
    int STDMETHODCALLTYPE Beta() override { return 2; }

    void ForwardTo(IUnknown* target) { forwardTarget_ = ql::ComPtr<IUnknown>(target); }

    static void ResetCounters() {
        live = 0;
        finalReleases = 0;
        nextConstructResult = S_OK;
    }

private:
    HRESULT QueryForwarded(REFIID iid, void** out) noexcept {
        return forwardTarget_ ? forwardTarget_->QueryInterface(iid, out) : E_NOINTERFACE;
    }

    int alphaValue_ = 1;
    ql::ComPtr<IUnknown> forwardTarget_;
};

// A second class, for checked downcasts that must fail.
class CGadget : public ql::ComObjectBase<CGadget>, public ITestAlpha {
    QL_INTERFACE_TABLE(CGadget, QL_ENTRY(ITestAlpha))
public:
    int STDMETHODCALLTYPE Alpha() override { return 10; }
};

// Member parts: CHouse holds its interfaces as members and maps each straight to its member. The beta part
// answers ITestBeta and, listed a second time, kIidListedTwice.
class CAlphaMember : public ql::MemberPart, public ITestAlpha {
    QL_MEMBER_IUNKNOWN()
public:
    explicit CAlphaMember(ql::PartOwner& owner) noexcept : ql::MemberPart(owner) {}
    int STDMETHODCALLTYPE Alpha() override { return 7; }
};
class CBetaGammaMember : public ql::MemberPart, public ITestBeta, public ITestGamma {
    QL_MEMBER_IUNKNOWN()
public:
    explicit CBetaGammaMember(ql::PartOwner& owner) noexcept : ql::MemberPart(owner) {}
    int STDMETHODCALLTYPE Beta() override { return 8; }
    int STDMETHODCALLTYPE Gamma() override { return 9; }
};

class CHouse : public ql::ComObjectBase<CHouse> {
    QL_MEMBER_TABLE(CHouse, QL_ENTRY_MEMBER(ITestAlpha, alpha_), QL_ENTRY_MEMBER(ITestGamma, betaGamma_),
                    QL_ENTRY_MEMBER_IID(kIidListedTwice, ITestBeta, betaGamma_),
                    QL_ENTRY_MEMBER(ITestBeta, betaGamma_))
public:
    static inline int live = 0;
    CHouse() noexcept { ++live; }
    ~CHouse() override { --live; }

    CAlphaMember& AlphaPart() noexcept { return alpha_; }
    CBetaGammaMember& BetaGammaPart() noexcept { return betaGamma_; }

private:
    CAlphaMember alpha_{*this};
    CBetaGammaMember betaGamma_{*this};
};

// An outer object that aggregates a CWidget: its queries for ITestAlpha go to the widget.
class CountingOuter final : public vtest::RecordingOuter {
public:
    CountingOuter() : RecordingOuter(&__uuidof(ITestAlpha)) {}
};

}  // namespace comtest
