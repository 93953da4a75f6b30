// The register of open user interfaces: registration and removal, the frame's data-set lock they hold,
// the broadcasts to them, and opening and closing function user interfaces through the frame.
#include <string>
#include <vector>

#include "ServicesTestSupport.h"
#include "classlib/Variant.h"
#include "dtm/DtmState.h"

namespace svctest {
namespace {

// Our frame host, except for the data-set lock: its lock call may fail and it refuses to unlock.
class CLockingFrame final : public ql::ComObjectBase<CLockingFrame>,
                            public ql::NoDispatchImpl<IFrameContainer> {
    QL_INTERFACE_TABLE(CLockingFrame, QL_ENTRY(IFrameContainer), QL_ENTRY_FUNC(IID_IFrameEvents, Forward),
                       QL_ENTRY_FUNC(IID_IFrameActiveX, Forward), QL_ENTRY_FUNC(IID_IFrameDialog, Forward))

public:
    explicit CLockingFrame(CFrameHost* inner) noexcept : inner_(inner) {}
    HRESULT STDMETHODCALLTYPE SetDirtyFlag(BSTR tag, VARIANT_BOOL* result) noexcept override {
        return inner_->SetDirtyFlag(tag, result);
    }
    HRESULT STDMETHODCALLTYPE LockDataSet(BSTR tag, VARIANT_BOOL* granted) noexcept override {
        ++lockRequests;
        return FAILED(lockResult) ? lockResult : inner_->LockDataSet(tag, granted);
    }
    HRESULT STDMETHODCALLTYPE UnlockDataSet(BSTR, VARIANT_BOOL* done) noexcept override {
        ++unlockRequests;
        *done = VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSchemaFolder(BSTR* folder) noexcept override {
        return inner_->GetSchemaFolder(folder);
    }

    HRESULT lockResult = S_OK;
    int lockRequests = 0;
    int unlockRequests = 0;

private:
    HRESULT Forward(REFIID iid, void** out) noexcept { return inner_->QueryInterface(iid, out); }
    ql::ComPtr<CFrameHost> inner_;
};

class OpenUisTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        CreateDtm(SourceDataFolder().c_str());
    }
    // The environment with our frame host behind a frame whose data-set lock the test scripts.
    ql::ComPtr<CLockingFrame> EnvironmentWithLockingFrame() {
        ql::ComPtr<CLockingFrame> frame;
        EXPECT_HR(S_OK, ql::MakeObject(frame, frame_.Get()));
        ForceState(kStateNew);
        VARIANT_BOOL result = VARIANT_FALSE;
        EXPECT_HR(S_OK, Dtm()->Environment(systemTag_.Get(), frame.Get(), &result));
        return frame;
    }
    ql::ComPtr<IQuelkFunctions> Functions() { return Query<IQuelkFunctions>(); }
    size_t Calls(const wchar_t* method) { return frame_->CountCalls(method); }
    ULONG Holders() { return dtmint::DataLockHolders(dtm_.Get()); }
    static std::vector<LONG> Numbers(const std::vector<CFakeControl::Notification>& notifications) {
        std::vector<LONG> numbers;
        for (const auto& n : notifications) numbers.push_back(n.number);
        return numbers;
    }
};

TEST_F(OpenUisTest, ARegisteredControlHearsTheStateAndTheLanguage) {
    DriveToConfigured();
    ql::ComPtr<CFakeControl> control = MakeControl(L"invoke-1", 1);
    EXPECT_EQ(std::vector<ULONG>{kStateConfigured}, control->states);
    EXPECT_EQ(1, control->schemaCacheRequests);
    ASSERT_EQ(1u, control->notifications.size())
        << "a control with the framework's information needs no folder";
    EXPECT_EQ(kNotifyLanguage, control->notifications[0].code);
    EXPECT_EQ(VT_I4, control->notifications[0].type);
    EXPECT_EQ(static_cast<LONG>(kLanguageSystemDefault), control->notifications[0].number);
    EXPECT_EQ(1u, dtmint::OpenUiCount(dtm_.Get()));

    ForceState(kStateCommunicationSet);
    VARIANT_BOOL accepted = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->SetLanguage(1031, &accepted));
    EXPECT_EQ((std::vector<ULONG>{kStateConfigured, kStateCommunicationSet}), control->states);
    EXPECT_EQ((std::vector<LONG>{0x400, 1031}), Numbers(control->NotificationsWith(kNotifyLanguage)));

    EXPECT_HR(S_OK, Unregister(L"invoke-1"));
    EXPECT_EQ(0u, dtmint::OpenUiCount(dtm_.Get()));
    ASSERT_EQ(1u, Calls(L"NotifyFunctionUiClosed"));
    EXPECT_EQ(L"invoke-1", frame_->LastCall(L"NotifyFunctionUiClosed")->Arguments[0]);
}

TEST_F(OpenUisTest, TwoLockingUserInterfacesHoldOneFrameLock) {
    DriveToConfigured();
    ql::ComPtr<CFakeControl> first = MakeControl(L"offline", 1);
    ql::ComPtr<CFakeControl> second = MakeControl(L"online", 2);
    EXPECT_EQ(1u, Calls(L"LockDataSet"));
    EXPECT_EQ(2u, Holders());
    EXPECT_TRUE(dtmint::FrameLocked(dtm_.Get()));

    EXPECT_HR(S_OK, Unregister(L"offline"));
    EXPECT_EQ(0u, Calls(L"UnlockDataSet"));
    EXPECT_EQ(1u, Holders());
    EXPECT_HR(S_OK, Unregister(L"online"));
    EXPECT_EQ(1u, Calls(L"UnlockDataSet"));
    EXPECT_EQ(0u, Holders());
    EXPECT_FALSE(dtmint::FrameLocked(dtm_.Get()));

    // The next user interface asks the frame again.
    ql::ComPtr<CFakeControl> third = MakeControl(L"again", 1);
    EXPECT_EQ(2u, Calls(L"LockDataSet"));
    EXPECT_HR(S_OK, Unregister(L"again"));
    EXPECT_EQ(2u, Calls(L"UnlockDataSet"));
}

TEST_F(OpenUisTest, ARepeatedRegistrationCountsOnce) {
    DriveToConfigured();
    ql::ComPtr<CFakeControl> control = MakeControl(L"twice", 1);
    ASSERT_HR(S_OK, Register(L"twice", control.Get()));
    EXPECT_EQ(1u, dtmint::OpenUiCount(dtm_.Get()));
    EXPECT_EQ(1u, Holders());
    EXPECT_EQ(2u, control->states.size()) << "the second registration is greeted again";
    EXPECT_EQ(2u, control->NotificationsWith(kNotifyLanguage).size());

    EXPECT_HR(S_OK, Unregister(L"twice"));
    EXPECT_EQ(0u, Holders());
    EXPECT_EQ(1u, Calls(L"UnlockDataSet")) << "the last holder released the frame's lock";
    EXPECT_HR(S_OK, Unregister(L"twice"));  // gone already: no error, nothing counted
    EXPECT_EQ(0u, Holders());
}

TEST_F(OpenUisTest, AFailedLockCallCountsNothingAndNothingIsCountedDown) {
    ql::ComPtr<CLockingFrame> frame = EnvironmentWithLockingFrame();
    frame->lockResult = E_FAIL;
    ql::ComPtr<CFakeControl> first = MakeControl(L"first", 1);
    ql::ComPtr<CFakeControl> second = MakeControl(L"second", 2);
    EXPECT_EQ(2, frame->lockRequests);
    EXPECT_EQ(2u, dtmint::OpenUiCount(dtm_.Get())) << "registered all the same";
    EXPECT_EQ(0u, Holders());
    EXPECT_HR(S_OK, Unregister(L"first"));
    EXPECT_HR(S_OK, Unregister(L"second"));
    EXPECT_EQ(0u, Holders()) << "never below zero";

    // Once the frame answers, the count starts from zero and returns to it.
    frame->lockResult = S_OK;
    ql::ComPtr<CFakeControl> third = MakeControl(L"third", 1);
    EXPECT_EQ(1u, Holders());
    EXPECT_TRUE(dtmint::FrameLocked(dtm_.Get()));
    EXPECT_HR(S_OK, Unregister(L"third"));
    EXPECT_EQ(0u, Holders());
    EXPECT_EQ(1, frame->unlockRequests);

    // A record made without a function that later registers with one is counted down all the same.
    ql::ComPtr<CFakeControl> late = MakeControl(L"late", 0);
    late->functionCall = FunctionCallDocument(2);
    ASSERT_HR(S_OK, Register(L"late", late.Get()));
    EXPECT_EQ(1u, Holders());
    EXPECT_HR(S_OK, Unregister(L"late"));
    EXPECT_EQ(0u, Holders());
    EXPECT_EQ(2, frame->unlockRequests);
}

TEST_F(OpenUisTest, ABroadcastGoesPastAControlThatNoLongerAnswers) {
    struct Case {
        const char* name;
        int dead;     // index of a control that stopped answering, -1 for none
        int failing;  // index of a control whose call fails, -1 for none
        HRESULT expected;
    };
    const Case cases[] = {
        {"all answer", -1, -1, S_OK},
        {"first gone", 0, -1, E_UNEXPECTED},
        {"middle gone", 1, -1, E_UNEXPECTED},
        {"gone, then a failure", 0, 1, E_FAIL},
        {"a failure, then gone", 2, 0, E_UNEXPECTED},
    };
    DriveToConfigured();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ql::ComPtr<CFakeControl>> controls;
        for (int i = 0; i < 3; ++i) {
            controls.push_back(MakeControl((L"view-" + std::to_wstring(i)).c_str(), 0, false));
            controls.back()->notifications.clear();
        }
        if (c.dead >= 0) controls[c.dead]->answersControl = false;
        if (c.failing >= 0) controls[c.failing]->notifyResult = E_FAIL;

        ql::Variant data;
        data.SetI4(15);
        EXPECT_HR(c.expected, Functions()->BroadcastNotification(0x2702, *data.Get()));
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(i == c.dead ? 0u : 1u, controls[i]->NotificationsWith(0x2702).size());
        }
        for (int i = 0; i < 3; ++i) EXPECT_HR(S_OK, Unregister((L"view-" + std::to_wstring(i)).c_str()));
    }
}

TEST_F(OpenUisTest, OpeningAFunctionUserInterface) {
    ql::ComPtr<IQuelkFunctions> functions = Functions();
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, functions->OpenFunctionUi(2, &result)) << "no frame yet";
    EXPECT_HR(E_POINTER, functions->OpenFunctionUi(2, nullptr));

    DriveToConfigured();
    ForceState(kStateConnected);  // the online parameterization is offered while online only
    EXPECT_HR(S_OK, functions->OpenFunctionUi(2, &result));
    EXPECT_EQ(VARIANT_TRUE, result);
    ASSERT_EQ(1u, Calls(L"OpenActiveXControlRequest"));
    const FrameCall* call = frame_->LastCall(L"OpenActiveXControlRequest");
    EXPECT_EQ(Text(systemTag_.Get()), call->Arguments[0]);
    EXPECT_EQ(FunctionCallDocument(2), call->Arguments[1]);

    EXPECT_HR(E_FAIL, functions->OpenFunctionUi(3, &result)) << "function 3 has no row";
    ASSERT_HR(S_OK, functions->SetFunctionEnabled(2, FALSE));
    result = VARIANT_FALSE;
    EXPECT_HR(S_FALSE, functions->OpenFunctionUi(2, &result));
    EXPECT_EQ(VARIANT_TRUE, result) << "a disabled function answers as handled";
    EXPECT_EQ(1u, Calls(L"OpenActiveXControlRequest"));
}

}  // namespace
}  // namespace svctest
