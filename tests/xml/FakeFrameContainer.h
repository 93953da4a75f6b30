#pragma once
// The frame application's container as a control meets it: it names the schema folder, and nothing else
// may be asked of it. Counts its references so tests can prove the control's container reference is
// balanced.
#include <windows.h>

#include <string>

#include "FdtInterfaces.h"
#include "classlib/Bstr.h"
#include "tests/support/TestObjects.h"

namespace xmltest {

class FakeFrameContainer final : public vtest::CountedDispatch<IFrameContainer> {
public:
    explicit FakeFrameContainer(std::wstring folder)
        : CountedDispatch({IID_IDispatch, IID_IFrameContainer}), folder_(std::move(folder)) {}

    // GetSchemaFolder answers this; on success with a copy of the folder.
    HRESULT folderResult = S_OK;

    HRESULT STDMETHODCALLTYPE GetSchemaFolder(BSTR* folder) override {
        *folder = SUCCEEDED(folderResult) ? ql::Bstr(folder_.c_str()).Detach() : nullptr;
        return folderResult;
    }
    VARNOK_UNEXPECTED_CALL(SetDirtyFlag, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(LockDataSet, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(UnlockDataSet, BSTR, VARIANT_BOOL*)

private:
    std::wstring folder_;
};

}  // namespace xmltest
