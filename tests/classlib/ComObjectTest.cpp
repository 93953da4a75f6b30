// The object base: interface table, reference counting, creation, aggregation and checked downcasts.
#include <gtest/gtest.h>

#include "classlib/ComModule.h"
#include "classlib/ComObject.h"
#include "classlib/SupportErrorInfo.h"
#include "tests/classlib/ComTestObjects.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestObjects.h"

namespace {

using comtest::CGadget;
using comtest::CountingOuter;
using comtest::CWidget;

void* const kGarbage = reinterpret_cast<void*>(static_cast<UINT_PTR>(0x5A5A));

class ComObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        CWidget::ResetCounters();
        locksBefore_ = ql::ComModule::Instance().LockCount();
        ASSERT_HR(S_OK, ql::CreateInstance<CWidget>(nullptr, __uuidof(ITestAlpha), alpha_.PutVoid()));
        ASSERT_HR(S_OK, ql::ObjectFromUnknown(alpha_.Get(), widget_));
    }
    void TearDown() override {
        alpha_.Reset();
        widget_.Reset();
        EXPECT_EQ(0, CWidget::live) << "a test object outlived its references";
        EXPECT_EQ(locksBefore_, ql::ComModule::Instance().LockCount()) << "module locks unbalanced";
    }

    LONG locksBefore_ = 0;
    ql::ComPtr<ITestAlpha> alpha_;
    ql::ComPtr<CWidget> widget_;
};

TEST_F(ComObjectTest, QueryInterfaceFollowsTheTable) {
    void* const alpha = static_cast<ITestAlpha*>(widget_.Get());
    const struct {
        const char* name;
        IID iid;
        HRESULT expected;
        void* answer;
    } cases[] = {
        {"first entry", __uuidof(ITestAlpha), S_OK, alpha},
        {"second entry", __uuidof(ITestBeta), S_OK, static_cast<ITestBeta*>(widget_.Get())},
        {"identity is the first entry", IID_IUnknown, S_OK, alpha},
        {"an IID listed twice answers with the earlier entry", comtest::kIidListedTwice, S_OK, alpha},
        {"chained part table", __uuidof(ITestGamma), S_OK, static_cast<ITestGamma*>(widget_.Get())},
        {"function entry without a target", comtest::kIidForwarded, E_NOINTERFACE, nullptr},
        {"unknown IID", IID_IDispatch, E_NOINTERFACE, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Failures leave the out-pointer null.
        vtest::ExpectQueryAnswer(alpha_.Get(), c.iid, c.expected, c.answer, kGarbage);
    }
    EXPECT_HR(E_POINTER, alpha_->QueryInterface(__uuidof(ITestBeta), nullptr));

    // From a part's interface back to the object's: every interface answers for the whole object.
    ql::ComPtr<ITestGamma> gamma;
    ql::ComPtr<ITestBeta> beta;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(alpha_.Get(), gamma));
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(gamma.Get(), beta));
    EXPECT_TRUE(ql::IsSameObject(gamma.Get(), beta.Get()));
}

TEST_F(ComObjectTest, ReferencesBalanceAndTheLastReleaseDestroys) {
    const LONG locks = ql::ComModule::Instance().LockCount();
    widget_.Reset();
    ITestAlpha* alpha = alpha_.Detach();
    EXPECT_EQ(1, CWidget::live);
    EXPECT_EQ(locksBefore_ + 1, locks) << "a living object holds one module lock";
    ITestBeta* beta = nullptr;
    ASSERT_HR(S_OK, alpha->QueryInterface(__uuidof(ITestBeta), reinterpret_cast<void**>(&beta)));
    EXPECT_EQ(3u, beta->AddRef());  // one count for all interfaces of the object
    EXPECT_EQ(2u, beta->Release());
    EXPECT_EQ(1u, beta->Release());
    EXPECT_EQ(1, CWidget::live);
    EXPECT_EQ(0u, alpha->Release());
    EXPECT_EQ(0, CWidget::live);
    EXPECT_EQ(1, CWidget::finalReleases);

    // MakeObject passes its arguments on; an interface reference alone keeps the C++ object.
    ql::ComPtr<CWidget> made;
    ASSERT_HR(S_OK, ql::MakeObject(made, 42));
    EXPECT_EQ(42, made->Alpha());
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(static_cast<ITestAlpha*>(made.Get()), alpha_));
    made.Reset();
    EXPECT_EQ(1, CWidget::live);
}

TEST_F(ComObjectTest, AggregatedObjectDelegatesItsIUnknownToTheOuter) {
    CountingOuter outer;
    void* out = kGarbage;
    EXPECT_HR(CLASS_E_NOAGGREGATION, ql::CreateInstance<CWidget>(&outer, __uuidof(ITestAlpha), &out))
        << "an aggregated object must be asked for IUnknown";
    EXPECT_EQ(nullptr, out);
    ASSERT_HR(S_OK, ql::CreateInstance<CWidget>(&outer, IID_IUnknown, outer.inner.PutVoid()));
    EXPECT_EQ(1u, outer.refs) << "creation must not keep references on the outer object";

    // The outer hands out the inner's ITestAlpha: its references count on the outer object.
    ql::ComPtr<ITestAlpha> alpha;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(static_cast<IUnknown*>(&outer), alpha));
    EXPECT_EQ(2u, outer.refs);

    // Queries through the inner's interfaces are the outer's: it decides, even for the inner's own IIDs.
    outer.asked.clear();
    ql::ComPtr<ITestBeta> beta;
    EXPECT_HR(E_NOINTERFACE, ql::QueryInterfaceTo(alpha.Get(), beta));
    ASSERT_EQ(1u, outer.asked.size());
    EXPECT_TRUE(IsEqualIID(__uuidof(ITestBeta), outer.asked[0]));
    ql::ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(alpha.Get(), identity));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get());
    identity.Reset();

    // The downcast asks through the controlling unknown too: this outer does not pass the query on, the
    // inner unknown answers it.
    ql::ComPtr<CWidget> widget;
    EXPECT_HR(E_NOINTERFACE, ql::ObjectFromUnknown(alpha.Get(), widget));
    ASSERT_HR(S_OK, ql::ObjectFromUnknown(outer.inner.Get(), widget));
    EXPECT_TRUE(widget->IsAggregated());
    EXPECT_EQ(static_cast<IUnknown*>(&outer), widget->GetControllingUnknown());
    widget.Reset();
    EXPECT_HR(S_OK, ql::QueryInterfaceTo(outer.inner.Get(), beta)) << "the inner unknown answers itself";
    beta.Reset();
    alpha.Reset();
    EXPECT_EQ(1u, outer.refs);
    outer.inner.Reset();
    EXPECT_EQ(1, CWidget::live);
}

// An object of member parts: each row names the member that answers, every member's IUnknown is the
// object's (its count, its identity), and an aggregated object's members ask the outer object.
TEST_F(ComObjectTest, MemberPartsAnswerForTheObjectThatHoldsThem) {
    using comtest::CHouse;
    ql::ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, ql::CreateInstance<CHouse>(nullptr, IID_IUnknown, identity.PutVoid()));
    ql::ComPtr<CHouse> house;
    ASSERT_HR(S_OK, ql::ObjectFromUnknown(identity.Get(), house));
    void* const alpha = static_cast<ITestAlpha*>(&house->AlphaPart());
    void* const beta = static_cast<ITestBeta*>(&house->BetaGammaPart());
    void* const gamma = static_cast<ITestGamma*>(&house->BetaGammaPart());
    EXPECT_EQ(alpha, identity.Get()) << "the first row is the identity";
    const struct {
        const char* name;
        IID iid;
        HRESULT expected;
        void* answer;
    } cases[] = {
        {"identity", IID_IUnknown, S_OK, alpha},
        {"first member", __uuidof(ITestAlpha), S_OK, alpha},
        {"second member's second interface", __uuidof(ITestGamma), S_OK, gamma},
        {"an IID of another interface, in table order", comtest::kIidListedTwice, S_OK, beta},
        {"second member's first interface", __uuidof(ITestBeta), S_OK, beta},
        {"unknown IID", IID_IDispatch, E_NOINTERFACE, nullptr},
    };
    auto* gammaItf = static_cast<ITestGamma*>(gamma);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Asked through a member's own QueryInterface: the object's table answers.
        vtest::ExpectQueryAnswer(gammaItf, c.iid, c.expected, c.answer, kGarbage);
    }
    // One count for the object, whichever member is asked.
    house.Reset();
    EXPECT_EQ(2u, gammaItf->AddRef());
    EXPECT_EQ(1u, static_cast<ITestAlpha*>(alpha)->Release());
    EXPECT_EQ(1, CHouse::live);
    identity.Reset();
    EXPECT_EQ(0, CHouse::live);

    // Aggregated: a member's queries and references are the outer object's.
    CountingOuter outer;
    ASSERT_HR(S_OK, ql::CreateInstance<CHouse>(&outer, IID_IUnknown, outer.inner.PutVoid()));
    ql::ComPtr<ITestGamma> innerGamma;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(outer.inner.Get(), innerGamma));
    EXPECT_EQ(2u, outer.refs) << "the inner hands out its member's interface on the outer's count";
    outer.asked.clear();
    ql::ComPtr<ITestBeta> viaOuter;
    EXPECT_HR(E_NOINTERFACE, ql::QueryInterfaceTo(innerGamma.Get(), viaOuter));
    ASSERT_EQ(1u, outer.asked.size());
    EXPECT_TRUE(IsEqualIID(__uuidof(ITestBeta), outer.asked[0]));
    ASSERT_HR(S_OK, ql::ObjectFromUnknown(outer.inner.Get(), house));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), house->BetaGammaPart().ControllingUnknown());
    house.Reset();
    innerGamma.Reset();
    EXPECT_EQ(1u, outer.refs);
    outer.inner.Reset();
    EXPECT_EQ(0, CHouse::live);
}

TEST_F(ComObjectTest, CheckedDowncastAcceptsOnlyItsOwnClass) {
    ql::ComPtr<ITestAlpha> gadgetAlpha;
    ASSERT_HR(S_OK, ql::CreateInstance<CGadget>(nullptr, __uuidof(ITestAlpha), gadgetAlpha.PutVoid()));
    CountingOuter foreign;
    EXPECT_EQ(static_cast<ITestAlpha*>(widget_.Get()), alpha_.Get());
    ql::ComPtr<CWidget> widget;
    EXPECT_HR(E_NOINTERFACE, ql::ObjectFromUnknown(gadgetAlpha.Get(), widget)) << "another class of ours";
    EXPECT_FALSE(widget);
    EXPECT_HR(E_NOINTERFACE, ql::ObjectFromUnknown(static_cast<IUnknown*>(&foreign), widget)) << "foreign";
    EXPECT_FALSE(widget);
    EXPECT_EQ(1u, foreign.refs);
    EXPECT_HR(E_POINTER, ql::ObjectFromUnknown<CWidget>(nullptr, widget));
}

class CErrorInfoObject : public ql::ComObjectBase<CErrorInfoObject>,
                         public ITestAlpha,
                         public ql::SupportErrorInfoImpl<&comtest::kIidTestAlpha> {
    QL_INTERFACE_TABLE(CErrorInfoObject, QL_ENTRY(ITestAlpha), QL_ENTRY(ISupportErrorInfo))
public:
    int STDMETHODCALLTYPE Alpha() override { return 0; }
};

}  // namespace
