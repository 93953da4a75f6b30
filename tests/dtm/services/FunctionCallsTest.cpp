// Function calls: the ActiveX information of the function-call documents.
#include <string>

#include "ServicesTestSupport.h"

namespace svctest {
namespace {

constexpr wchar_t kOtherRootCall[] =
    L"<?xml version=\"1.0\"?><Call><FDTFunctionCall xmlns=\"x-schema:DTMFunctionCallSchema.xml\" "
    L"xmlns:func=\"x-schema:DTMFunctionsSchema.xml\" func:functionId=\"%ID%\"/></Call>";

std::wstring OtherRootCall(LONG functionId) {
    std::wstring call = kOtherRootCall;
    return call.replace(call.find(L"%ID%"), 4, std::to_wstring(functionId));
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

}  // namespace
}  // namespace svctest
