// The object base: interface table, reference counting, creation, aggregation and checked downcasts.
#include <gtest/gtest.h>

#include "classlib/ComModule.h"
#include "classlib/ComObject.h"
#include "classlib/SupportErrorInfo.h"
#include "tests/classlib/ComTestObjects.h"

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
    }
    void TearDown() override {
        EXPECT_EQ(0, CWidget::live) << "a test object outlived its references";
        EXPECT_EQ(locksBefore_, ql::ComModule::Instance().LockCount()) << "module locks unbalanced";
    }
    static ql::ComPtr<ITestAlpha> NewWidget() {
        ql::ComPtr<ITestAlpha> alpha;
        EXPECT_EQ(S_OK, ql::CreateInstance<CWidget>(nullptr, __uuidof(ITestAlpha), alpha.PutVoid()));
        return alpha;
    }

    LONG locksBefore_ = 0;
};

// What a query through the table must hand out.
enum class Answer { Alpha, Beta, Gamma, None };

struct QueryCase {
    const char* name;
    IID iid;
    HRESULT expected;
    Answer answer;
};

TEST_F(ComObjectTest, QueryInterfaceFollowsTheTable) {
    const QueryCase cases[] = {
        {"first entry", __uuidof(ITestAlpha), S_OK, Answer::Alpha},
        {"second entry", __uuidof(ITestBeta), S_OK, Answer::Beta},
        {"identity is the first entry", IID_IUnknown, S_OK, Answer::Alpha},
        {"an IID listed twice answers with the earlier entry", comtest::kIidListedTwice, S_OK, Answer::Alpha},
        {"chained part table", __uuidof(ITestGamma), S_OK, Answer::Gamma},
        {"function entry without a target", comtest::kIidForwarded, E_NOINTERFACE, Answer::None},
        {"unknown IID", IID_IDispatch, E_NOINTERFACE, Answer::None},
    };
    ql::ComPtr<ITestAlpha> alpha = NewWidget();
    ql::ComPtr<CWidget> widget;
    ASSERT_EQ(S_OK, ql::ObjectFromUnknown(alpha.Get(), widget));
    for (const QueryCase& c : cases) {
        SCOPED_TRACE(c.name);
        void* out = kGarbage;
        const HRESULT hr = alpha->QueryInterface(c.iid, &out);
        EXPECT_EQ(c.expected, hr);
        void* expected = nullptr;
        switch (c.answer) {
            case Answer::Alpha:
                expected = static_cast<ITestAlpha*>(widget.Get());
                break;
            case Answer::Beta:
                expected = static_cast<ITestBeta*>(widget.Get());
                break;
            case Answer::Gamma:
                expected = static_cast<ITestGamma*>(widget.Get());
                break;
            case Answer::None:
                break;
        }
        EXPECT_EQ(expected, out);  // failures leave the out-pointer null
        if (SUCCEEDED(hr) && out) static_cast<IUnknown*>(out)->Release();
    }
    EXPECT_EQ(E_POINTER, alpha->QueryInterface(__uuidof(ITestBeta), nullptr));
}

TEST_F(ComObjectTest, EveryInterfaceAnswersForTheWholeObject) {
    ql::ComPtr<ITestAlpha> alpha = NewWidget();
    ql::ComPtr<ITestGamma> gamma;
    ASSERT_EQ(S_OK, ql::QueryInterfaceTo(alpha.Get(), gamma));
    ql::ComPtr<ITestBeta> beta;
    ASSERT_EQ(S_OK, ql::QueryInterfaceTo(gamma.Get(), beta));  // from a part's interface back to the object's
    EXPECT_EQ(2, beta->Beta());
    EXPECT_TRUE(ql::IsSameObject(gamma.Get(), beta.Get()));
}

TEST_F(ComObjectTest, FunctionEntryHandsTheQueryOn) {
    ql::ComPtr<ITestAlpha> alpha = NewWidget();
    ql::ComPtr<CWidget> widget;
    ASSERT_EQ(S_OK, ql::ObjectFromUnknown(alpha.Get(), widget));
    CountingOuter target;
    widget->ForwardTo(&target);
    void* out = kGarbage;
    EXPECT_EQ(E_NOINTERFACE, alpha->QueryInterface(comtest::kIidForwarded, &out));
    EXPECT_EQ(nullptr, out);
    ASSERT_EQ(1u, target.asked.size());
    EXPECT_TRUE(IsEqualIID(comtest::kIidForwarded, target.asked[0]));
    widget->ForwardTo(nullptr);
    EXPECT_EQ(1u, target.refs);
}

TEST_F(ComObjectTest, ReferencesBalanceAndTheLastReleaseDestroys) {
    const LONG locks = ql::ComModule::Instance().LockCount();
    ITestAlpha* alpha = nullptr;
    ASSERT_EQ(S_OK,
              ql::CreateInstance<CWidget>(nullptr, __uuidof(ITestAlpha), reinterpret_cast<void**>(&alpha)));
    EXPECT_EQ(1, CWidget::live);
    EXPECT_EQ(locks + 1, ql::ComModule::Instance().LockCount()) << "a living object holds one module lock";
    EXPECT_EQ(2u, alpha->AddRef());
    ITestBeta* beta = nullptr;
    ASSERT_EQ(S_OK, alpha->QueryInterface(__uuidof(ITestBeta), reinterpret_cast<void**>(&beta)));
    EXPECT_EQ(4u, beta->AddRef());  // one count for all interfaces of the object
    EXPECT_EQ(3u, beta->Release());
    EXPECT_EQ(2u, beta->Release());
    EXPECT_EQ(1u, alpha->Release());
    EXPECT_EQ(1, CWidget::live);
    EXPECT_EQ(0u, alpha->Release());
    EXPECT_EQ(0, CWidget::live);
    EXPECT_EQ(1, CWidget::finalReleases);
    EXPECT_EQ(locks, ql::ComModule::Instance().LockCount());
}

TEST_F(ComObjectTest, FailedCreationLeavesNothingBehind) {
    void* out = kGarbage;
    EXPECT_EQ(E_NOINTERFACE, ql::CreateInstance<CWidget>(nullptr, IID_IDispatch, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, CWidget::live);

    CWidget::nextConstructResult = E_OUTOFMEMORY;
    out = kGarbage;
    EXPECT_EQ(E_OUTOFMEMORY, ql::CreateInstance<CWidget>(nullptr, __uuidof(ITestAlpha), &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, CWidget::live);
    EXPECT_EQ(2, CWidget::finalReleases);  // both failed objects went through FinalRelease

    ql::ComPtr<CWidget> made;
    EXPECT_EQ(E_OUTOFMEMORY, ql::MakeObject(made));
    EXPECT_FALSE(made);
    EXPECT_EQ(0, CWidget::live);
    EXPECT_EQ(E_POINTER, ql::CreateInstance<CWidget>(nullptr, __uuidof(ITestAlpha), nullptr));
}

TEST_F(ComObjectTest, MakeObjectOwnsTheCppObject) {
    ql::ComPtr<CWidget> widget;
    ASSERT_EQ(S_OK, ql::MakeObject(widget, 42));
    EXPECT_EQ(42, widget->Alpha());
    ql::ComPtr<ITestBeta> beta;
    ASSERT_EQ(S_OK, ql::QueryInterfaceTo(static_cast<ITestAlpha*>(widget.Get()), beta));
    widget.Reset();
    EXPECT_EQ(1, CWidget::live);  // the interface reference keeps it
    beta.Reset();
    EXPECT_EQ(0, CWidget::live);
}

TEST_F(ComObjectTest, ControllingUnknownOfAStandaloneObjectIsItsIdentity) {
    ql::ComPtr<ITestAlpha> alpha = NewWidget();
    ql::ComPtr<CWidget> widget;
    ASSERT_EQ(S_OK, ql::ObjectFromUnknown(alpha.Get(), widget));
    ql::ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, ql::QueryInterfaceTo(alpha.Get(), identity));
    EXPECT_FALSE(widget->IsAggregated());
    EXPECT_EQ(identity.Get(), widget->GetControllingUnknown());
    identity.Reset();
    widget.Reset();
    EXPECT_EQ(2u, alpha->AddRef()) << "GetControllingUnknown must not keep a reference";
    alpha->Release();
}

TEST_F(ComObjectTest, AggregatedObjectDelegatesItsIUnknownToTheOuter) {
    CountingOuter outer;
    ASSERT_EQ(S_OK, ql::CreateInstance<CWidget>(&outer, IID_IUnknown, outer.inner.PutVoid()));
    EXPECT_EQ(1u, outer.refs) << "creation must not keep references on the outer object";

    // The outer hands out the inner's ITestAlpha: its references count on the outer object.
    ql::ComPtr<ITestAlpha> alpha;
    ASSERT_EQ(S_OK, ql::QueryInterfaceTo(static_cast<IUnknown*>(&outer), alpha));
    EXPECT_EQ(2u, outer.refs);
    EXPECT_EQ(3u, alpha->AddRef());
    alpha->Release();

    // Queries through the inner's interfaces are the outer's: it decides, even for the inner's own IIDs.
    outer.asked.clear();
    ql::ComPtr<ITestBeta> beta;
    EXPECT_EQ(E_NOINTERFACE, ql::QueryInterfaceTo(alpha.Get(), beta));
    ASSERT_EQ(1u, outer.asked.size());
    EXPECT_TRUE(IsEqualIID(__uuidof(ITestBeta), outer.asked[0]));
    ql::ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, ql::QueryInterfaceTo(alpha.Get(), identity));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get());
    identity.Reset();

    // The downcast asks through the controlling unknown too: this outer does not pass the query on, the
    // inner unknown answers it.
    ql::ComPtr<CWidget> widget;
    EXPECT_EQ(E_NOINTERFACE, ql::ObjectFromUnknown(alpha.Get(), widget));
    ASSERT_EQ(S_OK, ql::ObjectFromUnknown(outer.inner.Get(), widget));
    EXPECT_EQ(static_cast<ITestAlpha*>(widget.Get()), alpha.Get());
    EXPECT_TRUE(widget->IsAggregated());
    EXPECT_EQ(static_cast<IUnknown*>(&outer), widget->GetControllingUnknown());
    widget.Reset();

    // The inner unknown answers for the inner object itself.
    ql::ComPtr<ITestBeta> innerBeta;
    EXPECT_EQ(S_OK, ql::QueryInterfaceTo(outer.inner.Get(), innerBeta));
    innerBeta.Reset();
    alpha.Reset();
    EXPECT_EQ(1u, outer.refs);
    EXPECT_EQ(1, CWidget::live);
    outer.inner.Reset();
    EXPECT_EQ(0, CWidget::live);
}

TEST_F(ComObjectTest, AggregationMustAskForIUnknown) {
    CountingOuter outer;
    void* out = kGarbage;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, ql::CreateInstance<CWidget>(&outer, __uuidof(ITestAlpha), &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, CWidget::live);
    EXPECT_EQ(1u, outer.refs);
}

TEST_F(ComObjectTest, CheckedDowncastAcceptsOnlyItsOwnClass) {
    ql::ComPtr<ITestAlpha> widgetAlpha = NewWidget();
    ql::ComPtr<ITestAlpha> gadgetAlpha;
    ASSERT_EQ(S_OK, ql::CreateInstance<CGadget>(nullptr, __uuidof(ITestAlpha), gadgetAlpha.PutVoid()));
    CountingOuter foreign;

    ql::ComPtr<CWidget> widget;
    EXPECT_EQ(S_OK, ql::ObjectFromUnknown(widgetAlpha.Get(), widget));
    ASSERT_TRUE(widget);
    EXPECT_EQ(static_cast<ITestAlpha*>(widget.Get()), widgetAlpha.Get());

    EXPECT_EQ(E_NOINTERFACE, ql::ObjectFromUnknown(gadgetAlpha.Get(), widget)) << "another class of ours";
    EXPECT_FALSE(widget);
    EXPECT_EQ(E_NOINTERFACE, ql::ObjectFromUnknown(static_cast<IUnknown*>(&foreign), widget))
        << "foreign object";
    EXPECT_FALSE(widget);
    EXPECT_EQ(1u, foreign.refs);
    EXPECT_EQ(E_POINTER, ql::ObjectFromUnknown<CWidget>(nullptr, widget));
}

class CErrorInfoObject : public ql::ComObjectBase<CErrorInfoObject>,
                         public ITestAlpha,
                         public ql::SupportErrorInfoImpl<&comtest::kIidTestAlpha> {
    QL_INTERFACE_TABLE(CErrorInfoObject, QL_ENTRY(ITestAlpha), QL_ENTRY(ISupportErrorInfo))
public:
    int STDMETHODCALLTYPE Alpha() override { return 0; }
};

TEST_F(ComObjectTest, SupportErrorInfoAnswersForTheListedInterfacesOnly) {
    ql::ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(S_OK, ql::CreateInstance<CErrorInfoObject>(nullptr, IID_ISupportErrorInfo, support.PutVoid()));
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(__uuidof(ITestAlpha)));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_ISupportErrorInfo));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IUnknown));
}

}  // namespace
