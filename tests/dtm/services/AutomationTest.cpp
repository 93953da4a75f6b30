// The DTM's automation interfaces: the service login, progress, compare, user level, transfer state.
#include <string>

#include "ServicesTestSupport.h"
#include "classlib/Variant.h"
#include "dataset/VariableFields.h"

namespace svctest {
namespace {

class AutomationTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        CreateDtm(SourceDataFolder().c_str());
    }
    void SetText(ULONG id, const wchar_t* text) {
        ql::Variant value;
        ASSERT_HR(S_OK, value.SetBstr(text));
        ASSERT_HR(S_OK, Query<IQuelkVariablesEx>()->SetValue(id, *value.Get()));
    }
    ULONG Access(ULONG id) { return dtm_->Store().Variables().Find(id)->Access; }
};

TEST_F(AutomationTest, TheServiceAccountOpensTheOnlineParameterization) {
    struct Case {
        const char* name;
        const wchar_t* user;  // null: the dataset's default
        const wchar_t* password;
        bool functionEnabled;
        bool opens;
    };
    const Case cases[] = {
        {"service account", L"kvnd", L"ozq", true, true},
        {"user name in upper case", L"KVND", L"ozq", true, false},
        {"password in upper case", L"kvnd", L"OZQ", true, false},
        {"never entered", nullptr, nullptr, true, false},
        {"password longer", L"kvnd", L"ozqq", true, false},
        {"function 2 disabled (offline)", L"kvnd", L"ozq", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDtm(SourceDataFolder().c_str());
        DriveToConfigured();
        if (c.user) SetText(10, c.user);
        if (c.password) SetText(11, c.password);
        if (!c.functionEnabled) {
            ASSERT_HR(S_OK, Query<IQuelkFunctions>()->SetFunctionEnabled(2, FALSE));
        }
        frame_->ClearCalls();

        EXPECT_HR(S_OK, Query<IDtmObject>()->ShowTreeActiveX());
        const FrameCall* open = frame_->LastCall(L"OpenActiveXControlRequest");
        EXPECT_EQ(c.opens, open != nullptr);
        if (open) {
            EXPECT_EQ(FunctionCallDocument(2), open->Arguments[1]);
        }
    }
}

TEST_F(AutomationTest, ProgressIsPassedOnUnchanged) {
    ql::Bstr title(L"Upload");
    EXPECT_HR(S_OK, Query<IDtmObject>()->ShowProgressValue(3, 0, title.Get()));
    ASSERT_EQ(1u, dtm_->progress.size());
    EXPECT_EQ(3, dtm_->progress[0].index);
    EXPECT_EQ(0, dtm_->progress[0].count);
    EXPECT_EQ(L"Upload", dtm_->progress[0].title);
}

TEST_F(AutomationTest, CompareReadsTheDeviceWithoutChangingTheDataset) {
    DriveToConfigured();
    const ULONG calibrationFactor = 39;
    ql::Variant id;
    id.SetI4(static_cast<LONG>(calibrationFactor));
    const ULONG accessBefore = Access(calibrationFactor);
    dtm_->Device().value = 12.5;

    ql::Variant device;
    ql::Variant dataset;
    ASSERT_HR(S_OK, Query<IDtmObject>()->CompareSingleParameter(*id.Get(), device.Put(), dataset.Put()));
    EXPECT_EQ(1, dtm_->Device().reads);
    ASSERT_EQ(VT_R4, device.Type());
    EXPECT_FLOAT_EQ(12.5f, device->fltVal);
    ASSERT_EQ(VT_R4, dataset.Type());
    EXPECT_FLOAT_EQ(1.0f, dataset->fltVal) << "the record keeps its value";
    EXPECT_EQ(accessBefore, Access(calibrationFactor));
    EXPECT_EQ(VT_EMPTY, dtm_->Host().CompareValue().Type()) << "the compare value moved out";

    // A second read that fails shows an empty device value; the mark is cleared even when it was set.
    dtm_->Device().answers = false;
    ql::Variant mask;
    mask.SetI4(kFieldAccess);
    ql::Variant marked;
    marked.SetI4(static_cast<LONG>(accessBefore | kAccessCompareMark));
    ASSERT_HR(S_OK, Query<IQuelkVariableFields>()->SetVariableField(*id.Get(), *mask.Get(), *marked.Get()));
    ASSERT_HR(S_OK, Query<IDtmObject>()->CompareSingleParameter(*id.Get(), device.Put(), dataset.Put()));
    EXPECT_EQ(VT_EMPTY, device.Type());
    EXPECT_EQ(accessBefore, Access(calibrationFactor));
    EXPECT_HR(E_POINTER, Query<IDtmObject>()->CompareSingleParameter(*id.Get(), nullptr, dataset.Put()));
}

TEST_F(AutomationTest, TransferStateErrorInfoAndIdentity) {
    LONG running = 7;
    EXPECT_HR(S_OK, Query<ICheckOnlineParameter>()->CheckIfUpDownloadRunning(&running));
    EXPECT_EQ(0, running);
    ASSERT_HR(S_OK, dtm_->TransferInvokeId().Assign(L"upload-1"));
    EXPECT_HR(S_OK, Query<ICheckOnlineParameter>()->CheckIfUpDownloadRunning(&running));
    EXPECT_EQ(1, running);
    ASSERT_HR(S_OK, dtm_->TransferInvokeId().Assign(L""));  // an empty invoke id is no transfer
    EXPECT_HR(S_OK, Query<ICheckOnlineParameter>()->CheckIfUpDownloadRunning(&running));
    EXPECT_EQ(0, running);
    EXPECT_HR(E_POINTER, Query<IUserInfo>()->GetUserLevel(nullptr));

    ql::ComPtr<ISupportErrorInfo> errors = Query<ISupportErrorInfo>();
    EXPECT_HR(S_OK, errors->InterfaceSupportsErrorInfo(IID_IDtmObject));
    EXPECT_HR(S_FALSE, errors->InterfaceSupportsErrorInfo(IID_IUserInfo));
    // The object's IDispatch is IDtmObject's.
    EXPECT_EQ(static_cast<IDispatch*>(Query<IDtmObject>().Get()), Query<IDispatch>().Get());
}

}  // namespace
}  // namespace svctest
