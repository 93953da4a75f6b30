// The DTM object as created: its members, its interface table and aggregation, and the toolkit main
// interface IQuelkDtm.
#include <vector>

#include "DtmTestSupport.h"
#include "classlib/Variant.h"
#include "dtm/DtmObjectFactory.h"
#include "tests/support/TestObjects.h"

namespace dtmtest {
namespace {

using QuelkDtmTest = DtmTest;

TEST_F(QuelkDtmTest, CreationBuildsTheDatasetAndEntersStateOne) {
    EXPECT_EQ(1u, State());
    ULONG count = 0;
    EXPECT_HR(S_OK, dtm_->StorePart().GetCount(&count));
    EXPECT_EQ(121u, count);
    ULONG language = 0;
    EXPECT_HR(S_OK, dtm_->Lifecycle().GetLanguage(&language));
    EXPECT_EQ(0x400u, language);
}

TEST_F(QuelkDtmTest, MembersStartAsTheToolkitLeavesThem) {
    EXPECT_EQ(8u, dtm_->Lifecycle().UserLevel());
    EXPECT_EQ(0u, dtm_->Lifecycle().OperationPhase());
    EXPECT_FALSE(dtm_->Lifecycle().DataLocked());
    EXPECT_FALSE(dtm_->Lifecycle().FrameLocked());
    // Fields the toolkit leaves unset start at zero here.
    EXPECT_EQ(0u, dtm_->Lifecycle().PrivateDialogsEnabled());
    EXPECT_TRUE(dtm_->Lifecycle().TransferInvokeId().IsNull());
    EXPECT_TRUE(dtm_->Lifecycle().DeviceType().IsNull());
    EXPECT_EQ(nullptr, dtm_->Lifecycle().Frame());
    EXPECT_EQ(nullptr, dtm_->Lifecycle().FrameEvents());
    EXPECT_EQ(nullptr, dtm_->Lifecycle().Channel());
    EXPECT_EQ(1000u, dtm_->Lifecycle().CancelPause());
    EXPECT_TRUE(dtm_->Lifecycle().AutoConnect());
    EXPECT_FALSE(dtm_->Lifecycle().StateEvent().IsSet());
    EXPECT_FALSE(dtm_->Lifecycle().CommunicationSetEvent().IsSet());
}

// Each interface the frame and the controls ask for is answered by the part the table names for it, and
// the object's identity is the automation part's IDtmObject, whichever interface is asked.
TEST_F(QuelkDtmTest, EveryInterfaceIsAnsweredByThePartTheTableNames) {
    CDtmObject& dtm = *dtm_.Get();
    const struct {
        const char* name;
        IID iid;
        void* part;
    } cases[] = {
        {"IUnknown", IID_IUnknown, static_cast<IDtmObject*>(&dtm.Automation())},
        {"IDtmObject", IID_IDtmObject, static_cast<IDtmObject*>(&dtm.Automation())},
        {"IDispatch", IID_IDispatch, static_cast<IDtmObject*>(&dtm.Automation())},
        {"IQuelkDtm", IID_IQuelkDtm, static_cast<IQuelkDtm*>(&dtm.Lifecycle())},
        {"IDtm", IID_IDtm, static_cast<IDtm*>(&dtm.Lifecycle())},
        {"IDtmInformation", IID_IDtmInformation, static_cast<IDtmInformation*>(&dtm.Information())},
        {"IDtmParameter", IID_IDtmParameter, static_cast<IDtmParameter*>(&dtm.ParameterDocument())},
        {"IDtmDataLock", IID_IDtmDataLock, static_cast<IDtmDataLock*>(&dtm.Lifecycle())},
        {"IQuelkDtmDispatch", IID_IQuelkDtmDispatch, static_cast<IQuelkDtmDispatch*>(&dtm.Lifecycle())},
        {"IQuelkVariables", IID_IQuelkVariables, static_cast<IQuelkVariablesEx*>(&dtm.StorePart())},
        {"IQuelkVariablesEx", IID_IQuelkVariablesEx, static_cast<IQuelkVariablesEx*>(&dtm.StorePart())},
        {"IQuelkVariableFields", IID_IQuelkVariableFields,
         static_cast<IQuelkVariableFields*>(&dtm.StorePart())},
        {"IQuelkValueCheck", IID_IQuelkValueCheck, static_cast<IQuelkValueCheck*>(&dtm.StorePart())},
        {"IQuelkPersistData", IID_IQuelkPersistData, static_cast<IQuelkPersistData*>(&dtm.Persistence())},
        {"IPersistStreamInit", IID_IPersistStreamInit, static_cast<IPersistStreamInit*>(&dtm.Persistence())},
        {"IPersistPropertyBag", IID_IPersistPropertyBag,
         static_cast<IPersistPropertyBag*>(&dtm.Persistence())},
        {"IDtmActiveXInformation", IID_IDtmActiveXInformation,
         static_cast<IDtmActiveXInformation*>(&dtm.Functions())},
        {"IQuelkFunctions", IID_IQuelkFunctions, static_cast<IQuelkFunctions*>(&dtm.Functions())},
        {"IDtmOnlineParameter", IID_IDtmOnlineParameter,
         static_cast<IDtmOnlineParameter*>(&dtm.OnlineRequests())},
        {"IQuelkDpv1Communication", IID_IQuelkDpv1Communication,
         static_cast<IQuelkDpv1Communication*>(&dtm.Client())},
        {"IQuelkDpv1Client", IID_IQuelkDpv1Client, static_cast<IQuelkDpv1Client*>(&dtm.Client())},
        {"IQuelkOnlineAccess", IID_IQuelkOnlineAccess, static_cast<IQuelkOnlineAccess*>(&dtm.Client())},
        {"IQuelkOnlineState", IID_IQuelkOnlineState, static_cast<IQuelkOnlineState*>(&dtm.Client())},
        {"IQuelkBusInformation", IID_IQuelkBusInformation, static_cast<IQuelkBusInformation*>(&dtm.Client())},
        {"IFdtCommunicationEvents", IID_IFdtCommunicationEvents,
         static_cast<IFdtCommunicationEvents*>(&dtm.Client())},
        {"IQuelkLocalization", IID_IQuelkLocalization, static_cast<IQuelkLocalization*>(&dtm.Localization())},
        {"IQuelkParameterTexts", IID_IQuelkParameterTexts,
         static_cast<IQuelkParameterTexts*>(&dtm.Localization())},
        {"IQuelkLocalizationInit", IID_IQuelkLocalizationInit,
         static_cast<IQuelkLocalizationInit*>(&dtm.Localization())},
        {"IQuelkAboutFile", IID_IQuelkAboutFile, static_cast<IQuelkAboutFile*>(&dtm.Localization())},
        {"IUserInfo", IID_IUserInfo, static_cast<IUserInfo*>(&dtm.Automation())},
        {"ICheckOnlineParameter", IID_ICheckOnlineParameter,
         static_cast<ICheckOnlineParameter*>(&dtm.Automation())},
        {"IDtmDocumentation", IID_IDtmDocumentation, static_cast<IDtmDocumentation*>(&dtm.Documentation())},
        {"IDtmDataSetCheck", IID_IDtmDataSetCheck, static_cast<IDtmDataSetCheck*>(&dtm.DataSetCheck())},
        {"IDtmImportExport", IID_IDtmImportExport, static_cast<IDtmImportExport*>(&dtm.ImportExport())},
        {"ISupportErrorInfo", IID_ISupportErrorInfo, static_cast<ISupportErrorInfo*>(&dtm.Automation())},
        // Interfaces the parts derive from but the object never answered.
        {"IPersist", IID_IPersist, nullptr},
        {"IQuelkDtmExtension", IID_IQuelkDtmExtension, nullptr},
    };
    // Asked through a part other than the one that answers: every member's QueryInterface is the object's.
    IQuelkValueCheck* asked = &dtm.StorePart();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vtest::ExpectQueryAnswer(asked, c.iid, c.part ? S_OK : E_NOINTERFACE, c.part);
    }
}

// Aggregated, the DTM's parts send every query to the outer object: the frame's, and the DTM's own
// questions an outer object may answer (the channel extension's veto, the persistence extension).
TEST_F(QuelkDtmTest, AnAggregatedDtmAsksTheOuterObjectThroughEveryPart) {
    vtest::RecordingOuter outer;
    ASSERT_HR(S_OK, ql::CreateInstance<CDtmObject>(&outer, IID_IUnknown, outer.inner.PutVoid()));
    EXPECT_EQ(1u, outer.refs) << "creation keeps no reference on the outer object";

    ql::ComPtr<IQuelkDtm> toolkit;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(static_cast<IUnknown*>(&outer), toolkit));
    ql::ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(toolkit.Get(), identity));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get()) << "a part's identity is the outer object";
    EXPECT_EQ(static_cast<IUnknown*>(&outer), toolkit->GetControllingUnknown());
    identity.Reset();

    outer.asked.clear();
    ql::ComPtr<IQuelkFunctions> functions;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(toolkit.Get(), functions));
    EXPECT_TRUE(outer.WasAsked(IID_IQuelkFunctions)) << "a part's query went past the outer object";

    outer.asked.clear();
    EXPECT_HR(S_OK, toolkit->InitChannels());
    EXPECT_TRUE(outer.WasAsked(IID_IQuelkDtmExtension)) << "the extension is the outer object's to answer";

    functions.Reset();
    toolkit.Reset();
    EXPECT_EQ(1u, outer.refs) << "every reference a part handed out counted on the outer object";
    outer.inner.Reset();
}

}  // namespace
}  // namespace dtmtest
