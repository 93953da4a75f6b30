#include "DtmTestSupport.h"

#include "classlib/ComModule.h"
#include "frame/FrameDocuments.h"

namespace dtmtest {

void DtmTest::SetUp() {
    ComTest::SetUp();
    moduleLocksBefore_ = ql::ComModule::Instance().LockCount();
    ASSERT_HR(S_OK, ql::MakeObject(frame_));
    frame_->Script().SchemaFolder = SourceTreeSchemaFolder();
    CreateDtm();
}

void DtmTest::TearDown() {
    if (dtm_) {
        const ULONG left = dtm_.Detach()->Release();
        EXPECT_EQ(0u, left) << "the DTM outlived the frame's last reference";
    }
    if (frame_) {
        frame_->AddRef();
        EXPECT_EQ(1u, frame_->Release()) << "the DTM kept a reference to the frame";
        frame_.Reset();
    }
    EXPECT_EQ(moduleLocksBefore_, ql::ComModule::Instance().LockCount()) << "an object was not released";
}

void DtmTest::CreateDtm() {
    if (dtm_) dtm_.Detach()->Release();
    ASSERT_HR(S_OK, ql::MakeObject(dtm_));
    dtm_->Lifecycle().AttachFunctions(&functions_);
    dtm_->Lifecycle().AttachCommunication(&communication_);
    communication_.SetDtm(&dtm_->Lifecycle());
    dtm_->Lifecycle().SetStateWaitTime(
        50);  // the waits for the channel's answer end quickly where none comes
}

ULONG DtmTest::State() {
    ULONG state = 0xFFFF;
    EXPECT_HR(S_OK, dtm_->Lifecycle().GetState(&state));
    return state;
}

void DtmTest::ForceState(ULONG state) { ASSERT_HR(S_OK, dtm_->Lifecycle().SetState(state)); }

IDtm* DtmTest::Dtm() { return &dtm_->Lifecycle(); }

ql::ComPtr<IPersistStreamInit> DtmTest::PersistStream() {
    ql::ComPtr<IPersistStreamInit> persist;
    EXPECT_HR(S_OK, dtm_->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()));
    return persist;
}

ql::ComPtr<IPersistPropertyBag> DtmTest::PersistBag() {
    ql::ComPtr<IPersistPropertyBag> persist;
    EXPECT_HR(S_OK, dtm_->QueryInterface(IID_IPersistPropertyBag, persist.PutVoid()));
    return persist;
}

void DtmTest::InitNewDataset() {
    ASSERT_HR(S_OK, PersistStream()->InitNew());
    ASSERT_EQ(4u, State());
}

void DtmTest::Environment() {
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->Environment(systemTag_.Get(), frame_.Get(), &result));
    ASSERT_EQ(VARIANT_TRUE, result);
}

void DtmTest::InitNewDeviceType() {
    ql::Bstr document(VarnokDeviceTypeDocument());
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->InitNew(document.Get(), &result));
    ASSERT_EQ(VARIANT_TRUE, result);
}

void DtmTest::Configure() {
    ql::Bstr document(UserInformationDocument(L"planningEngineer"));
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->Config(document.Get(), &result));
    ASSERT_EQ(VARIANT_TRUE, result);
    ASSERT_EQ(8u, State());
}

void DtmTest::DriveNewToConfigured() {
    ASSERT_NO_FATAL_FAILURE(InitNewDataset());
    ASSERT_NO_FATAL_FAILURE(Environment());
    ASSERT_EQ(6u, State());
    ASSERT_NO_FATAL_FAILURE(InitNewDeviceType());
    ASSERT_EQ(7u, State());
    ASSERT_NO_FATAL_FAILURE(Configure());
}

void DtmTest::LoadImage(const Bytes& image) {
    ql::ComPtr<IStream> stream = StreamOn(image);
    ASSERT_HR(S_OK, PersistStream()->Load(stream.Get()));
    ASSERT_EQ(5u, State());
}

Bytes DtmTest::SaveStreamImage() {
    ql::ComPtr<IStream> stream = StreamOn({});
    EXPECT_HR(S_OK, PersistStream()->Save(stream.Get(), TRUE));
    return StreamBytes(stream.Get());
}

Bytes DtmTest::EmptyImage(ULONG trailerVersion) {
    Bytes image = {
        0x00, 0x00, 0x00, 0x00,  // device type: null
        0x08, 0x00, 0x08, 0x00, 0x00, 0x00, 0x31, 0x00, 0x2E, 0x00, 0x30, 0x00, 0x00, 0x00,  // "1.0"
        0x08, 0x00, 0x04, 0x00, 0x00, 0x00, 0x31, 0x00, 0x00, 0x00,                          // "1"
        0x03, 0x00, 0x00, 0x00, 0x00, 0x00,                                                  // VT_I4 count 0
    };
    for (int shift = 0; shift < 32; shift += 8) image.push_back(static_cast<BYTE>(trailerVersion >> shift));
    return image;
}

}  // namespace dtmtest
