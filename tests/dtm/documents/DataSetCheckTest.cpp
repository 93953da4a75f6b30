// IDtmDataSetCheck: the verification of every value with one message for the frame, and the comparison
// with another DTM of the project that the frame hands out by system tag.
#include "DocumentsTestSupport.h"
#include "tests/support/TestObjects.h"

namespace doctest {
namespace {

constexpr char kInvalidParameters[] = "There are invalid parameters in the data set";

// Another DTM's record access: a copy of a store.
class FakePeerFields final : public ql::ComObjectBase<FakePeerFields>, public IQuelkVariableFields {
    QL_INTERFACE_TABLE(FakePeerFields, QL_ENTRY(IQuelkVariableFields))

public:
    explicit FakePeerFields(CQuelkVariableStore& copyOf) : copyOf_(copyOf) {}
    VARNOK_UNEXPECTED_CALL(GetTypeInfoCount, UINT*)
    VARNOK_UNEXPECTED_CALL(GetTypeInfo, UINT, LCID, ITypeInfo**)
    VARNOK_UNEXPECTED_CALL(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    VARNOK_UNEXPECTED_CALL(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    HRESULT STDMETHODCALLTYPE GetCountVariant(VARIANT* count) noexcept override {
        ULONG own = 0;
        (void)copyOf_.GetCount(&own);
        V_VT(count) = VT_UI4;
        V_UI4(count) = own;
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
        return copyOf_.GetVariableField(V_UI4(&id), static_cast<ULONG>(V_I4(&mask)), out);
    }
    VARNOK_UNEXPECTED_CALL(SetVariableField, VARIANT, VARIANT, VARIANT)

private:
    CQuelkVariableStore& copyOf_;
};

class DataSetCheckTest : public DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        peer_ = MakeDtm(L"Plant/Peer");
        ASSERT_TRUE(peer_);
        frame_->dtms[L"Peer"] = ql::ComPtr<IUnknown>(peer_->GetControllingUnknown());
        frame_->calls.clear();
    }
    void TearDown() override {
        peer_.Reset();
        DocumentsTest::TearDown();
    }
    using CheckMethod = HRESULT (STDMETHODCALLTYPE IDtmDataSetCheck::*)(VARIANT_BOOL*);
    VARIANT_BOOL Call(HRESULT expected, CheckMethod method) {
        VARIANT_BOOL result = VARIANT_TRUE;
        const ql::ComPtr<IDtmDataSetCheck> check = Query<IDtmDataSetCheck>();
        EXPECT_HR(expected, (check.Get()->*method)(&result));
        return result;
    }
    VARIANT_BOOL InitCompare(HRESULT expected, const wchar_t* tag = L"Peer") {
        ql::Bstr systemTag(tag);
        VARIANT_BOOL ok = VARIANT_TRUE;
        EXPECT_HR(expected, Query<IDtmDataSetCheck>()->InitCompare(systemTag.Get(), &ok));
        return ok;
    }

    ql::ComPtr<CDtmObject> peer_;
};

TEST_F(DataSetCheckTest, VerifyReportsOnlyTheFirstRejectedValue) {
    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &IDtmDataSetCheck::VerifyDataSet));
    EXPECT_TRUE(frame_->Messages().empty());

    SetValue(3, *MakeUI4(200));  // station address beyond 126
    SetValue(20, *MakeUI4(99));  // no such target mode
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &IDtmDataSetCheck::VerifyDataSet));
    EXPECT_EQ(std::vector<std::string>{kInvalidParameters}, frame_->Messages());
    EXPECT_EQ("ui1:200", ValueOf(3)) << "the dataset is not changed";

    frame_->calls.clear();
    ql::Bstr translation(
        L"<localization><ToolkitMessages><Message id=\"2002\"><locale code=\"en\">Ungueltige "
        L"Parameter</locale>"
        L"</Message></ToolkitMessages></localization>");
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_HR(S_OK, Query<IQuelkLocalization>()->LoadDocument(translation.Get(), &loaded));
    ASSERT_EQ(VARIANT_TRUE, loaded);
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &IDtmDataSetCheck::VerifyDataSet));
    EXPECT_EQ(std::vector<std::string>{"Ungueltige Parameter"}, frame_->Messages());

    ForceState(7);
    EXPECT_EQ(VARIANT_FALSE, Call(S_FALSE, &IDtmDataSetCheck::VerifyDataSet));
    EXPECT_HR(E_INVALIDARG, Query<IDtmDataSetCheck>()->VerifyDataSet(nullptr));
}

TEST_F(DataSetCheckTest, CompareWithAnotherDtmOfTheProject) {
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &IDtmDataSetCheck::Compare)) << "no link yet";
    EXPECT_EQ(VARIANT_TRUE, InitCompare(S_OK));
    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &IDtmDataSetCheck::Compare));

    Query<IQuelkVariablesEx>(peer_.Get())->SetValue(1, *MakeBstr(L"Other tag"));
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &IDtmDataSetCheck::Compare));
    SetValue(1, *MakeBstr(L"Other tag"));
    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &IDtmDataSetCheck::Compare));
    Query<IQuelkVariablesEx>(peer_.Get())->SetValue(46, *MakeBytes({1, 2}));
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &IDtmDataSetCheck::Compare));

    EXPECT_EQ(VARIANT_TRUE, Call(S_OK, &IDtmDataSetCheck::ReleaseCompare));
    EXPECT_EQ((std::vector<std::string>{"GetDtm Peer", "ReleaseDtm Peer"}),
              frame_->CallsOf({"GetDtm", "ReleaseDtm"}));
    EXPECT_FALSE(dtmint::CompareInitialised(dtm_.Get()));
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &IDtmDataSetCheck::Compare));
    EXPECT_EQ(VARIANT_FALSE, Call(S_OK, &IDtmDataSetCheck::ReleaseCompare));
}

}  // namespace
}  // namespace doctest
