#pragma once
// The DTM tests' fixture: one apartment, a DTM created as the class factory creates it, our frame host
// with the project's schema folder, and the fake services attached to the DTM's seams. Helpers drive the
// DTM along the frame's road, and build, read and compare dataset images.
#include <windows.h>
#include <objidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeServices.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "dtm/DtmObject.h"
#include "frame/FrameHost.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestStreams.h"
#include "tests/support/TestVariants.h"

namespace dtmtest {

using namespace vtest;

class DtmTest : public ComTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh DTM with the fakes attached (the fixture's first one is made by SetUp).
    void CreateDtm();
    ULONG State();
    // Forces the state word (the toolkit's own SetState), for the tests that start in a given state.
    void ForceState(ULONG state);

    // The frame's calls, each expected to answer S_OK with TRUE.
    void InitNewDataset();               // persistence InitNew: 4
    void Environment();                  // 6 or 7
    void InitNewDeviceType();            // 7
    void Configure();                    // 8
    void DriveNewToConfigured();         // 1 -> 4 -> 6 -> 7 -> 8
    void LoadImage(const Bytes& image);  // 1 -> 5
    // The IPersistStreamInit image of a configured DTM (device type text empty unless it was named).
    Bytes SaveStreamImage();

    IDtm* Dtm();
    ql::ComPtr<IPersistStreamInit> PersistStream();
    ql::ComPtr<IPersistPropertyBag> PersistBag();

    // The image of a DTM loaded with an empty device type and no values: header, count 0, version.
    static Bytes EmptyImage(ULONG trailerVersion = 0x300);

    FakeFunctions functions_;
    FakeCommunication communication_;
    ql::ComPtr<CFrameHost> frame_;
    ql::ComPtr<CDtmObject> dtm_;
    ql::Bstr systemTag_{L"Plant/Line 1/Varnok"};
    LONG moduleLocksBefore_ = 0;
};

}  // namespace dtmtest
