#pragma once
// The frame tests' fixture: one apartment, a frame host, and a temporary folder removed afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "frame/DtmSession.h"
#include "frame/FrameDocuments.h"
#include "frame/FrameHost.h"
#include "tests/support/ComTest.h"
#include "tests/support/TempFolder.h"

namespace frametest {

using namespace vtest;

// A new DTM created by its ProgID as a frame does and taken to state 8: the frame's environment (schemas from
// the source tree), a new dataset of the Varnok device type, and a planning engineer's user information.
inline void CreateConfiguredDtm(CDtmSession& session, CFrameHost* frame) {
    frame->Script().SchemaFolder = SourceTreeSchemaFolder();
    ASSERT_HR(S_OK, session.CreateByProgId(L"VarnokP3.DtmObject"));
    ql::ComPtr<IPersistStreamInit> persist;
    ASSERT_HR(S_OK, session.Object()->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()));
    ASSERT_HR(S_OK, persist->InitNew());
    ql::Bstr tag(L"Test/Varnok"), deviceType(VarnokDeviceTypeDocument());
    ql::Bstr user(UserInformationDocument(L"planningEngineer"));
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, session.Dtm()->Environment(tag.Get(), frame, &result));
    ASSERT_HR(S_OK, session.Dtm()->InitNew(deviceType.Get(), &result));
    ASSERT_HR(S_OK, session.Dtm()->Config(user.Get(), &result));
    ASSERT_EQ(8u, session.State());
}

class FrameTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_HR(S_OK, ql::MakeObject(frame_));
    }
    void TearDown() override {
        frame_->ClearProjectDtms();
        frame_->AddRef();
        EXPECT_EQ(1u, frame_->Release()) << "someone kept a reference to the frame";
        frame_.Reset();
    }

    ql::ComPtr<CFrameHost> frame_;
    TempFolder temp_;
};

}  // namespace frametest
