// The DTM object as created: its members, its interface table and aggregation, and the toolkit main
// interface IQuelkDtm.
#include "DtmTestSupport.h"
#include "classlib/Variant.h"
#include "dtm/DtmObjectFactory.h"

namespace dtmtest {
namespace {

using QuelkDtmTest = DtmTest;

TEST_F(QuelkDtmTest, CreationBuildsTheDatasetAndEntersStateOne) {
    EXPECT_EQ(1u, State());
    ULONG count = 0;
    EXPECT_HR(S_OK, dtm_->GetCount(&count));
    EXPECT_EQ(121u, count);
    ULONG language = 0;
    EXPECT_HR(S_OK, dtm_->GetLanguage(&language));
    EXPECT_EQ(0x400u, language);
}

TEST_F(QuelkDtmTest, MembersStartAsTheToolkitLeavesThem) {
    EXPECT_EQ(8u, dtm_->UserLevel());
    EXPECT_EQ(0u, dtm_->OperationPhase());
    EXPECT_FALSE(dtm_->DataLocked());
    EXPECT_FALSE(dtm_->FrameLocked());
    // Fields the toolkit leaves unset start at zero here.
    EXPECT_EQ(0u, dtm_->PrivateDialogsEnabled());
    EXPECT_TRUE(dtm_->TransferInvokeId().IsNull());
    EXPECT_TRUE(dtm_->DeviceType().IsNull());
    EXPECT_EQ(nullptr, dtm_->Frame());
    EXPECT_EQ(nullptr, dtm_->FrameEvents());
    EXPECT_EQ(nullptr, dtm_->Channel());
    EXPECT_EQ(1000u, dtm_->CancelPause());
    EXPECT_TRUE(dtm_->AutoConnect());
    EXPECT_FALSE(dtm_->StateEvent().IsSet());
    EXPECT_FALSE(dtm_->CommunicationSetEvent().IsSet());
}

TEST_F(QuelkDtmTest, SystemTagIsEmptyBeforeTheEnvironmentAndOutPointersAreChecked) {
    ql::Bstr tag, text;
    EXPECT_HR(S_OK, dtm_->GetSystemTag(tag.Put()));
    EXPECT_EQ(0u, tag.Length());
    EXPECT_HR(E_INVALIDARG, dtm_->GetSystemTag(nullptr));
    EXPECT_HR(E_INVALIDARG, dtm_->GetState(nullptr));
    EXPECT_HR(E_INVALIDARG, dtm_->GetLanguage(nullptr));
    EXPECT_HR(S_OK, dtm_->LoadMessageText("Ready.", text.Put()));
    EXPECT_EQ(L"Ready.", text.View());
    EXPECT_HR(E_FAIL, dtm_->LoadMessageText(MAKEINTRESOURCEA(0xFFF0), text.Put()));
    EXPECT_HR(E_INVALIDARG, dtm_->LoadMessageText(nullptr, text.Put()));
}

TEST_F(QuelkDtmTest, NotifyUisConvertsTheCodeFirst) {
    EXPECT_TRUE(FAILED(dtm_->NotifyUisVariant(*MakeBstr(L"not a number"), *MakeI4(7))));
    EXPECT_TRUE(functions_.notifications.empty()) << "nobody is notified";
    EXPECT_HR(S_OK, dtm_->NotifyUisVariant(*MakeBstr(L"9986"), *MakeI4(7)));  // 0x2702
    ASSERT_EQ(1u, functions_.notifications.size());
    EXPECT_EQ(0x2702u, functions_.notifications[0].code);
    EXPECT_EQ(7, functions_.notifications[0].number);
}

TEST_F(QuelkDtmTest, InterfacesShareOneIdentity) {
    ql::ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, dtm_->QueryInterface(IID_IUnknown, identity.PutVoid()));
    // Every interface of the object's table, in its order.
    const IID answered[] = {IID_IDtmObject,
                            IID_IDispatch,
                            IID_IQuelkDtm,
                            IID_IDtm,
                            IID_IDtmInformation,
                            IID_IDtmParameter,
                            IID_IDtmDataLock,
                            IID_IQuelkDtmDispatch,
                            IID_IQuelkVariables,
                            IID_IQuelkVariablesEx,
                            IID_IQuelkVariableFields,
                            IID_IQuelkValueCheck,
                            IID_IQuelkPersistData,
                            IID_IPersistStreamInit,
                            IID_IPersistPropertyBag,
                            IID_IDtmActiveXInformation,
                            IID_IQuelkFunctions,
                            IID_IDtmOnlineParameter,
                            IID_IQuelkDpv1Communication,
                            IID_IQuelkDpv1Client,
                            IID_IQuelkOnlineAccess,
                            IID_IQuelkOnlineState,
                            IID_IQuelkBusInformation,
                            IID_IFdtCommunicationEvents,
                            IID_IQuelkLocalization,
                            IID_IQuelkParameterTexts,
                            IID_IQuelkLocalizationInit,
                            IID_IQuelkAboutFile,
                            IID_IUserInfo,
                            IID_ICheckOnlineParameter,
                            IID_IDtmDocumentation,
                            IID_IDtmDataSetCheck,
                            IID_IDtmImportExport,
                            IID_ISupportErrorInfo};
    for (const IID& iid : answered) {
        ql::ComPtr<IUnknown> itf;
        ASSERT_HR(S_OK, dtm_->QueryInterface(iid, itf.PutVoid()));
        ql::ComPtr<IUnknown> back;
        ASSERT_HR(S_OK, itf->QueryInterface(IID_IUnknown, back.PutVoid()));
        EXPECT_EQ(identity.Get(), back.Get());
    }
    ql::ComPtr<IUnknown> dispatch, automation;
    ASSERT_HR(S_OK, dtm_->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
    ASSERT_HR(S_OK, dtm_->QueryInterface(IID_IDtmObject, automation.PutVoid()));
    EXPECT_EQ(automation.Get(), dispatch.Get()) << "IDispatch is answered by IDtmObject";
    EXPECT_EQ(automation.Get(), identity.Get()) << "the first entry is the identity";
}

TEST_F(QuelkDtmTest, OptionalInterfacesOfAnAggregatorAreNotAnswered) {
    const IID refused[] = {IID_IQuelkDtmExtension, IID_IQuelkDtmTrace, IID_IQuelkPersistExtension,
                           IID_IPersist, IID_IPersistStream};
    for (const IID& iid : refused) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_HR(E_NOINTERFACE, dtm_->QueryInterface(iid, &out));
        EXPECT_EQ(nullptr, out);
    }
}

// An outer object that aggregates the DTM: it answers IUnknown itself and hands every other query to the
// DTM's inner unknown.
class Aggregator final : public ql::ComObjectBase<Aggregator>, public IUnknown {
    QL_INTERFACE_TABLE(Aggregator, QL_ENTRY(IUnknown), QL_ENTRY_FUNC(IID_IDtm, QueryInner),
                       QL_ENTRY_FUNC(IID_IQuelkDtm, QueryInner))

public:
    HRESULT QueryInner(REFIID iid, void** out) noexcept { return inner_->QueryInterface(iid, out); }
    ql::ComPtr<IUnknown> inner_;
    void FinalRelease() noexcept { inner_.Reset(); }
};

TEST_F(QuelkDtmTest, AnAggregatedDtmSendsItsQueriesToTheOuterObject) {
    ql::ComPtr<Aggregator> outer;
    ASSERT_HR(S_OK, ql::MakeObject(outer));
    IUnknown* outerUnknown = static_cast<IUnknown*>(outer.Get());
    EXPECT_HR(CLASS_E_NOAGGREGATION, CreateDtmObject(outerUnknown, IID_IDtm, outer->inner_.PutVoid()));
    ASSERT_HR(S_OK, CreateDtmObject(outerUnknown, IID_IUnknown, outer->inner_.PutVoid()));

    ql::ComPtr<IQuelkDtm> toolkit;
    ASSERT_HR(S_OK, outerUnknown->QueryInterface(IID_IQuelkDtm, toolkit.PutVoid()));
    EXPECT_EQ(outerUnknown, toolkit->GetControllingUnknown());
    ql::ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, toolkit->QueryInterface(IID_IUnknown, identity.PutVoid()));
    EXPECT_EQ(outerUnknown, identity.Get());
    // The outer object does not answer persistence, so neither does the DTM inside it.
    ql::ComPtr<IUnknown> persist;
    EXPECT_HR(E_NOINTERFACE, toolkit->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()));
    ULONG state = 0;
    EXPECT_HR(S_OK, toolkit->GetState(&state));
    EXPECT_EQ(1u, state);
}

}  // namespace
}  // namespace dtmtest
