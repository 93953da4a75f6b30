// Function calls: the ActiveX information, InvokeFunctionRequest, PrivateDialogEnabled and OpenDocument.
#include <string>

#include "ServicesTestSupport.h"
#include "dtm/services/QuelkUiFunctionTable.h"

namespace svctest {
namespace {

constexpr wchar_t kOtherRootCall[] =
    L"<?xml version=\"1.0\"?><Call><FDTFunctionCall xmlns=\"x-schema:DTMFunctionCallSchema.xml\" "
    L"xmlns:func=\"x-schema:DTMFunctionsSchema.xml\" func:functionId=\"%ID%\"/></Call>";

std::wstring OtherRootCall(LONG functionId) {
    std::wstring call = kOtherRootCall;
    return call.replace(call.find(L"%ID%"), 4, std::to_wstring(functionId));
}

int g_handlerRuns = 0;
HRESULT SucceedingHandler(IUnknown* dtm) noexcept {
    ++g_handlerRuns;
    return dtm ? S_OK : E_POINTER;
}
HRESULT FailingHandler(IUnknown*) noexcept {
    ++g_handlerRuns;
    return E_FAIL;
}

class FunctionCallsTest : public ServicesTest {
protected:
    HRESULT ProgId(const std::wstring& call, std::wstring& progId) {
        ql::Bstr document(call.c_str());
        ql::Bstr answer;
        const HRESULT hr = Query<IDtmActiveXInformation>()->GetActiveXProgId(document.Get(), answer.Put());
        progId = Text(answer.Get());
        return hr;
    }
    HRESULT Guid(const std::wstring& call, std::wstring& classId) {
        ql::Bstr document(call.c_str());
        ql::Bstr answer;
        const HRESULT hr = Query<IDtmActiveXInformation>()->GetActiveXGuid(document.Get(), answer.Put());
        classId = Text(answer.Get());
        return hr;
    }
    HRESULT Invoke(const std::wstring& call, VARIANT_BOOL* result) {
        ql::Bstr invokeId(L"invoke-7");
        ql::Bstr document(call.c_str());
        return Dtm()->InvokeFunctionRequest(invokeId.Get(), document.Get(), result);
    }
};

TEST_F(FunctionCallsTest, TheParameterizationWindowAnswersItsClassId) {
    CProgIdRegistration treeFrame(L"VarnokP3.TreeFrame", L"{bfc664c7-f499-41df-aca5-dbd33e10409f}", true);
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured();
    std::wstring classId;
    EXPECT_HR(S_OK, Guid(FunctionCallDocument(1), classId));
    EXPECT_EQ(L"BFC664C7-F499-41DF-ACA5-DBD33E10409F", classId);
    EXPECT_HR(S_FALSE, Guid(FunctionCallDocument(3), classId));
    // Only a document whose root is FDT is read here (InvokeFunctionRequest reads any root).
    std::wstring progId;
    EXPECT_HR(S_FALSE, ProgId(OtherRootCall(1), progId));
    EXPECT_HR(S_OK, ProgId(FunctionCallDocument(5), progId));
    EXPECT_EQ(L"VarnokP3.MeasuredValues", progId);
}

TEST_F(FunctionCallsTest, TheClassIdIsTheOneRegisteredForTheProgId) {
    static const CLSID kTableClass = {
        0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
    QuelkUiFunction rows[3] = {};
    rows[0].Kind = kUiFunctionWithGui;
    rows[0].FunctionId = 30;
    rows[0].ProgId = "VarnokP3Tests.RegisteredView";
    rows[0].ClassId = &kTableClass;
    rows[1] = rows[0];
    rows[1].FunctionId = 31;
    rows[1].ProgId = "VarnokP3Tests.UnregisteredView";
    CProgIdRegistration registered(L"VarnokP3Tests.RegisteredView",
                                   L"{0a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d}");
    CreateDtmWithTable(SourceDataFolder().c_str(), rows, 3);
    DriveToConfigured();
    std::wstring classId;
    EXPECT_HR(S_OK, Guid(FunctionCallDocument(30), classId));
    EXPECT_EQ(L"0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D", classId) << "the registry's class in upper case";
    EXPECT_HR(S_FALSE, Guid(FunctionCallDocument(31), classId)) << "a ProgID that is not registered";
    EXPECT_EQ(L"", classId);
}

TEST_F(FunctionCallsTest, BeforeTheEnvironmentNothingIsAnswered) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured();
    ql::Bstr call(FunctionCallDocument(1));
    for (ULONG state :
         {kStateCreated, kStatePreparedToRelease, kStatePreparedToDelete, kStateNew, kStateLoaded}) {
        SCOPED_TRACE(state);
        ForceState(state);
        std::wstring answer;
        EXPECT_HR(S_FALSE, ProgId(FunctionCallDocument(1), answer));
        EXPECT_HR(S_FALSE, Guid(FunctionCallDocument(1), answer));
        VARIANT_BOOL opened = VARIANT_TRUE;
        EXPECT_HR(S_FALSE, Query<IQuelkFunctions>()->OpenDocument(0, call.Get(), 0, &opened));
        EXPECT_EQ(VARIANT_FALSE, opened);
    }
}

TEST_F(FunctionCallsTest, FunctionsWithoutHandlerCannotBeInvoked) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured(L"operator");
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Invoke(FunctionCallDocument(1), &result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_HR(E_POINTER, Invoke(FunctionCallDocument(1), nullptr));
}

TEST_F(FunctionCallsTest, AHandlerRunsAndTheFrameHearsHowItEnded) {
    QuelkUiFunction rows[3] = {};
    rows[0].Kind = kUiFunction;
    rows[0].FunctionId = 20;
    rows[0].Name = "Reset totalizer";
    rows[0].Handler = SucceedingHandler;
    rows[1] = rows[0];
    rows[1].FunctionId = 21;
    rows[1].Handler = FailingHandler;

    struct Case {
        const char* name;
        const wchar_t* level;
        std::wstring call;
        HRESULT hr;
        VARIANT_BOOL result;
        int runs;
        const wchar_t* finished;  // the frame's NotifyFunctionFinished success argument, null: not called
    };
    const Case cases[] = {
        {"succeeding handler", L"operator", FunctionCallDocument(20), S_OK, VARIANT_TRUE, 1, L"TRUE"},
        {"failing handler still answers TRUE", L"maintenance", FunctionCallDocument(21), S_OK, VARIANT_TRUE,
         1, L"FALSE"},
        {"any root element", L"operator", OtherRootCall(20), S_OK, VARIANT_TRUE, 1, L"TRUE"},
        {"an observer cannot invoke", L"observer", FunctionCallDocument(20), S_FALSE, VARIANT_FALSE, 0,
         nullptr},
        {"no row", L"operator", FunctionCallDocument(22), S_FALSE, VARIANT_FALSE, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDtmWithTable(SourceDataFolder().c_str(), rows, 3);
        DriveToConfigured(c.level);
        frame_->ClearCalls();
        g_handlerRuns = 0;
        VARIANT_BOOL result = VARIANT_FALSE;
        EXPECT_HR(c.hr, Invoke(c.call, &result));
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.runs, g_handlerRuns);
        const FrameCall* finished = frame_->LastCall(L"NotifyFunctionFinished");
        if (c.finished) {
            ASSERT_NE(nullptr, finished);
            EXPECT_EQ(L"invoke-7", finished->Arguments[0]);
            EXPECT_EQ(c.finished, finished->Arguments[1]);
        } else {
            EXPECT_EQ(nullptr, finished);
        }
    }
    // Only while configured or later.
    ForceState(kStateInitialised);
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Invoke(FunctionCallDocument(20), &result));
}

TEST_F(FunctionCallsTest, PrivateDialogEnabled) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToInitialised();
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Dtm()->PrivateDialogEnabled(VARIANT_TRUE, &result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_HR(E_INVALIDARG, Dtm()->PrivateDialogEnabled(VARIANT_TRUE, nullptr));

    ForceState(kStateConfigured);
    for (VARIANT_BOOL enabled : {VARIANT_TRUE, static_cast<VARIANT_BOOL>(1)}) {
        result = VARIANT_FALSE;
        EXPECT_HR(S_OK, Dtm()->PrivateDialogEnabled(enabled, &result));
        EXPECT_EQ(VARIANT_TRUE, result);
        EXPECT_EQ(enabled == VARIANT_TRUE ? 1u : 0u, dtm_->PrivateDialogsEnabled());
    }
}

}  // namespace
}  // namespace svctest
