// IDtmDataSetCheck: the verification of every value with one message for the frame, and the comparison
// with another DTM of the project that the frame hands out by system tag.
#include <functional>

#include "DocumentsTestSupport.h"

namespace doctest {
namespace {

constexpr char kInvalidParameters[] = "There are invalid parameters in the data set";

// Another DTM's record access, scripted: its count, and a hook that runs inside each value read (the
// other DTM calling back into the frame, and so into this DTM, while a comparison runs).
class FakePeerFields final : public ql::ComObjectBase<FakePeerFields>, public IQuelkVariableFields {
    QL_INTERFACE_TABLE(FakePeerFields, QL_ENTRY(IQuelkVariableFields))

public:
    explicit FakePeerFields(CQuelkVariableStore& copyOf) : copyOf_(copyOf) {}
    ULONG extraRecords = 0;
    int valueReads = 0;
    std::function<void()> duringRead;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCountVariant(VARIANT* count) noexcept override {
        ULONG own = 0;
        (void)copyOf_.GetCount(&own);
        V_VT(count) = VT_UI4;
        V_UI4(count) = own + extraRecords;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetVariableAtVariant(VARIANT index, VARIANT* id) noexcept override {
        ULONG found = 0;
        QL_RETURN_IF_FAILED(copyOf_.GetVariableAt(static_cast<int>(V_UI4(&index)), &found));
        V_VT(id) = VT_UI4;
        V_UI4(id) = found;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetVariableField(VARIANT id, VARIANT mask, VARIANT* out) noexcept override {
        ++valueReads;
        if (duringRead) duringRead();
        return copyOf_.GetVariableField(V_UI4(&id), static_cast<ULONG>(V_I4(&mask)), out);
    }
    HRESULT STDMETHODCALLTYPE SetVariableField(VARIANT, VARIANT, VARIANT) noexcept override {
        return E_NOTIMPL;
    }

private:
    CQuelkVariableStore& copyOf_;
};

class DataSetCheckTest : public DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        peer_ = MakeDtm();
        frame_->dtms[L"Peer"] = ql::ComPtr<IUnknown>(static_cast<IDtmParameter*>(peer_.Get()));
    }
    void TearDown() override {
        peer_.Reset();
        DocumentsTest::TearDown();
    }
    using CheckMethod = HRESULT (STDMETHODCALLTYPE CDtmDataSetCheckPart::*)(VARIANT_BOOL*);
    VARIANT_BOOL Call(HRESULT expected, CheckMethod method) {
        VARIANT_BOOL result = VARIANT_TRUE;
        CDtmDataSetCheckPart* check = dtm_.Get();
        EXPECT_HR(expected, (check->*method)(&result));
        return result;
    }
    VARIANT_BOOL InitCompare(HRESULT expected, const wchar_t* tag = L"Peer") {
        ql::Bstr systemTag(tag);
        VARIANT_BOOL ok = VARIANT_TRUE;
        EXPECT_HR(expected, dtm_->InitCompare(systemTag.Get(), &ok));
        return ok;
    }

    ql::ComPtr<CTestDtm> peer_;
};

TEST_F(DataSetCheckTest, VerifyReportsOnlyTheFirstRejectedValue) {
    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &CDtmDataSetCheckPart::VerifyDataSet));
    EXPECT_TRUE(frame_->Messages().empty());

    SetValue(3, *MakeUI4(200));  // station address beyond 126
    SetValue(20, *MakeUI4(99));  // no such target mode
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &CDtmDataSetCheckPart::VerifyDataSet));
    EXPECT_EQ(std::vector<std::string>{kInvalidParameters}, frame_->Messages());
    EXPECT_EQ("ui1:200", ValueOf(3)) << "the dataset is not changed";

    frame_->calls.clear();
    dtm_->answersLocalization = true;
    dtm_->translations[L"localization/ToolkitMessages/Message[@id=\"2002\"]"] = L"Ungueltige Parameter";
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &CDtmDataSetCheckPart::VerifyDataSet));
    EXPECT_EQ(std::vector<std::string>{"Ungueltige Parameter"}, frame_->Messages());

    host().state = 7;
    EXPECT_EQ(VARIANT_FALSE, Call(S_FALSE, &CDtmDataSetCheckPart::VerifyDataSet));
    EXPECT_HR(E_INVALIDARG, dtm_->VerifyDataSet(nullptr));
}

TEST_F(DataSetCheckTest, CompareWithAnotherDtmOfTheProject) {
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &CDtmDataSetCheckPart::Compare)) << "no link yet";
    EXPECT_EQ(VARIANT_TRUE, InitCompare(S_OK));
    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &CDtmDataSetCheckPart::Compare));

    peer_->Store().SetValue(1, *MakeBstr(L"Other tag"));
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &CDtmDataSetCheckPart::Compare));
    SetValue(1, *MakeBstr(L"Other tag"));
    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &CDtmDataSetCheckPart::Compare));
    peer_->Store().SetValue(46, *MakeBytes({1, 2}));
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &CDtmDataSetCheckPart::Compare));

    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &CDtmDataSetCheckPart::ReleaseCompare));
    EXPECT_EQ((std::vector<std::string>{"GetDtm Peer", "ReleaseDtm Peer"}), frame_->calls);
    EXPECT_FALSE(host().compareInitialised);
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &CDtmDataSetCheckPart::Compare));
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &CDtmDataSetCheckPart::ReleaseCompare));
}

TEST_F(DataSetCheckTest, TheLinkKeepsItsFirstDtmAndSurvivesARefusedRelease) {
    EXPECT_EQ(VARIANT_TRUE, InitCompare(S_OK));
    EXPECT_EQ(VARIANT_FALSE, InitCompare(S_OK, L"Someone else"));
    EXPECT_EQ(1u, frame_->Count("GetDtm"));

    frame_->releasesDtm = false;
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &CDtmDataSetCheckPart::ReleaseCompare));
    EXPECT_TRUE(host().compareInitialised);
    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &CDtmDataSetCheckPart::Compare));
}

TEST_F(DataSetCheckTest, InitCompareRefusals) {
    host().userLevel = 1;
    EXPECT_EQ(VARIANT_FALSE, InitCompare(S_FALSE));
    EXPECT_EQ(VARIANT_FALSE, Call(S_FALSE, &CDtmDataSetCheckPart::Compare));
    EXPECT_EQ(VARIANT_FALSE, Call(S_FALSE, &CDtmDataSetCheckPart::ReleaseCompare));
    host().userLevel = 2;
    host().state = 7;
    EXPECT_EQ(VARIANT_FALSE, InitCompare(S_FALSE));
    host().state = 12;

    EXPECT_EQ(VARIANT_FALSE, InitCompare(S_OK, L"Nobody"));  // the frame hands out no DTM
    EXPECT_FALSE(host().compareInitialised);

    // A DTM that shows no records is given back.
    ql::ComPtr<FakeFrame> plain;
    ASSERT_HR(S_OK, ql::MakeObject(plain));
    frame_->dtms[L"Plain"] = ql::ComPtr<IUnknown>(static_cast<IFrameContainer*>(plain.Get()));
    frame_->calls.clear();
    EXPECT_EQ(VARIANT_FALSE, InitCompare(S_OK, L"Plain"));
    EXPECT_EQ((std::vector<std::string>{"GetDtm Plain", "ReleaseDtm Plain"}), frame_->calls);
    EXPECT_FALSE(host().compareInitialised);

    frame_->answersDtmAccess = false;
    EXPECT_EQ(VARIANT_FALSE, InitCompare(E_POINTER));
}

TEST_F(DataSetCheckTest, ADatasetWithAnotherCountIsDifferentWithoutReadingValues) {
    ql::ComPtr<FakePeerFields> peer;
    ASSERT_HR(S_OK, ql::MakeObject(peer, peer_->Store()));
    peer->extraRecords = 1;
    frame_->dtms[L"Counted"] = ql::ComPtr<IUnknown>(static_cast<IQuelkVariableFields*>(peer.Get()));
    EXPECT_EQ(VARIANT_TRUE, InitCompare(S_OK, L"Counted"));
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &CDtmDataSetCheckPart::Compare));
    EXPECT_EQ(0, peer->valueReads);
}

TEST_F(DataSetCheckTest, AReleaseDuringTheComparisonIsRefused) {
    ql::ComPtr<FakePeerFields> peer;
    ASSERT_HR(S_OK, ql::MakeObject(peer, peer_->Store()));
    frame_->dtms[L"Reentrant"] = ql::ComPtr<IUnknown>(static_cast<IQuelkVariableFields*>(peer.Get()));
    EXPECT_EQ(VARIANT_TRUE, InitCompare(S_OK, L"Reentrant"));
    int refusedReleases = 0;
    peer->duringRead = [&] {
        VARIANT_BOOL released = VARIANT_TRUE;
        EXPECT_HR(S_OK, dtm_->ReleaseCompare(&released));
        if (released == VARIANT_FALSE) ++refusedReleases;
    };
    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &CDtmDataSetCheckPart::Compare));
    EXPECT_EQ(peer->valueReads, refusedReleases);
    EXPECT_GT(refusedReleases, 100);
    EXPECT_TRUE(host().compareInitialised);
    EXPECT_FALSE(host().compareRunning);
    EXPECT_EQ(0u, frame_->Count("ReleaseDtm"));
}

}  // namespace
}  // namespace doctest
