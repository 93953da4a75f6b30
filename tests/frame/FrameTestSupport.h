#pragma once
// The frame tests' fixture: one apartment, a frame host, and a temporary folder removed afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include "FdtInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/Variant.h"
#include "frame/DtmSession.h"
#include "frame/FrameDocuments.h"
#include "frame/FrameHost.h"
#include "frame/MessagePump.h"
#include "frame/simulator/SimulatedDpv1Channel.h"
#include "tests/support/ComTest.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestObjects.h"
#include "values/DtmVocabulary.h"

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

// Hands a configured DTM a new simulated channel to the flowmeter at the device's own station address and
// waits (pumping messages, at most `waitMs`) until the DTM is online.
inline void ConnectToSimulatedDevice(CDtmSession& session, ql::ComPtr<CSimulatedDpv1Channel>& channel,
                                     DWORD waitMs = 30000) {
    ASSERT_HR(S_OK, ql::MakeObject(channel));
    ASSERT_HR(S_OK, channel->SetSchemaFolder(SourceTreeSchemaFolder()));
    ql::ComPtr<IQuelkVariablesEx> store;
    ASSERT_HR(S_OK, session.Object()->QueryInterface(IID_IQuelkVariablesEx, store.PutVoid()));
    ql::Variant address;
    address.SetUI1(channel->Device().StationAddress());
    ASSERT_HR(S_OK, store->SetValue(kParameterStationAddress, *address));
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, session.Dtm()->SetCommunication(channel.Get(), &result));
    ASSERT_EQ(VARIANT_TRUE, result);
    ASSERT_TRUE(PumpMessagesUntil([&session] { return session.State() != kStateConnecting; }, waitMs));
    ASSERT_EQ(kStateConnected, session.State());
}

// A DTM's IDtm as a frame hands it to a function's control, which only keeps it: any call fails the test,
// and its references are counted.
class KeptDtm final : public CountedDispatch<IDtm> {
public:
    KeptDtm() : CountedDispatch<IDtm>({IID_IDtm}) {}
    VARNOK_UNEXPECTED_IDTM_CALLS
};

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
