// A project opened and closed again and again: 2,000 DTM objects created through COM as a frame creates
// them (stored image, environment, configuration), in rounds of 100 alive at once, and released. The
// process's memory returns to where it stood after the first round: nothing a DTM object takes stays
// behind it, and what the objects of a thread share (translations, schemas, class objects) goes with the
// last of them and comes back with the next.
#include <windows.h>
#include <objidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FdtInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/ProcessMemory.h"
#include "frame/FrameDocuments.h"
#include "frame/FrameHost.h"
#include "tests/support/ComTest.h"
#include "tests/support/ServerModule.h"

namespace {

constexpr int kDevicesPerRound = 100;
constexpr int kRounds = 20;
// A leak of 32 bytes per object would show over the 2,000; one object's worth is about 45 KB.
constexpr SIZE_T kHeapSlack = 64 * 1024;
// Committed pages move in whole pages and the heaps keep some free ones: a little more than a page per
// round.
constexpr SIZE_T kPrivateSlack = 256 * 1024;

using Bytes = std::vector<BYTE>;

// An FDT call that answers a VARIANT_BOOL: its HRESULT, or S_FALSE when it answered FALSE.
template <class Call>
HRESULT Answered(Call call) {
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = call(&result);
    return FAILED(hr) || result == VARIANT_TRUE ? hr : S_FALSE;
}

class ProjectStressTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_HR(S_OK, ::CLSIDFromProgID(L"VarnokP3.DtmObject", &dtmClass_));
        ASSERT_HR(S_OK, ql::MakeObject(frame_));
        frame_->Script().SchemaFolder = SourceTreeSchemaFolder();
    }
    void TearDown() override {
        frame_.Reset();
        EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"VarnokP3.dll")) << "a DTM object outlived the project";
    }

    ql::ComPtr<IUnknown> Create() {
        ql::ComPtr<IUnknown> dtm;
        EXPECT_HR(S_OK,
                  ::CoCreateInstance(dtmClass_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, dtm.PutVoid()));
        return dtm;
    }
    // A new device configured by the frame, saved as the project stores it.
    Bytes StoredImage() {
        ql::ComPtr<IUnknown> dtm = Create();
        ql::ComPtr<IPersistStreamInit> persist;
        ql::ComPtr<IDtm> lifecycle;
        EXPECT_HR(S_OK, dtm.QueryTo(IID_IPersistStreamInit, persist.PutVoid()));
        EXPECT_HR(S_OK, dtm.QueryTo(IID_IDtm, lifecycle.PutVoid()));
        EXPECT_HR(S_OK, persist->InitNew());
        const ql::Bstr tag(L"Plant/Template"), deviceType(VarnokDeviceTypeDocument());
        EXPECT_HR(S_OK, Answered([&](VARIANT_BOOL* r) {
                      return lifecycle->Environment(tag.Get(), frame_.Get(), r);
                  }));
        EXPECT_HR(S_OK, Answered([&](VARIANT_BOOL* r) { return lifecycle->InitNew(deviceType.Get(), r); }));
        EXPECT_HR(S_OK, Answered([&](VARIANT_BOOL* r) { return lifecycle->Config(user_.Get(), r); }));
        ql::ComPtr<IStream> stream;
        EXPECT_HR(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
        EXPECT_HR(S_OK, persist->Save(stream.Get(), TRUE));
        EXPECT_HR(S_OK, Answered([&](VARIANT_BOOL* r) { return lifecycle->PrepareToRelease(r); }));
        STATSTG status = {};
        EXPECT_HR(S_OK, stream->Stat(&status, STATFLAG_NONAME));
        Bytes image(static_cast<size_t>(status.cbSize.QuadPart));
        const LARGE_INTEGER start = {};
        ULONG read = 0;
        EXPECT_HR(S_OK, stream->Seek(start, STREAM_SEEK_SET, nullptr));
        EXPECT_HR(S_OK, stream->Read(image.data(), static_cast<ULONG>(image.size()), &read));
        frame_->ClearCalls();
        return image;
    }
    // Opens a round of devices from `image`, then closes and releases them all.
    void OpenAndClose(const Bytes& image, int round) {
        std::vector<ql::ComPtr<IDtm>> devices;
        for (int i = 0; i < kDevicesPerRound; ++i) {
            ql::ComPtr<IUnknown> dtm = Create();
            ql::ComPtr<IPersistStreamInit> persist;
            ql::ComPtr<IStream> stream;
            ql::ComPtr<IDtm> lifecycle;
            ASSERT_HR(S_OK, dtm.QueryTo(IID_IPersistStreamInit, persist.PutVoid()));
            ASSERT_HR(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
            ULONG written = 0;
            ASSERT_HR(S_OK, stream->Write(image.data(), static_cast<ULONG>(image.size()), &written));
            const LARGE_INTEGER start = {};
            ASSERT_HR(S_OK, stream->Seek(start, STREAM_SEEK_SET, nullptr));
            ASSERT_HR(S_OK, persist->Load(stream.Get()));
            ASSERT_HR(S_OK, dtm.QueryTo(IID_IDtm, lifecycle.PutVoid()));
            const ql::Bstr tag(L"Plant/Round " + std::to_wstring(round) + L"/Device " + std::to_wstring(i));
            ASSERT_HR(S_OK, Answered([&](VARIANT_BOOL* r) {
                          return lifecycle->Environment(tag.Get(), frame_.Get(), r);
                      }));
            ASSERT_HR(S_OK, Answered([&](VARIANT_BOOL* r) { return lifecycle->Config(user_.Get(), r); }));
            devices.push_back(std::move(lifecycle));
            // The frame host records every call for other tests; a project keeps none of that.
            frame_->ClearCalls();
        }
        for (ql::ComPtr<IDtm>& device : devices) {
            EXPECT_HR(S_OK, Answered([&](VARIANT_BOOL* r) { return device->PrepareToRelease(r); }));
        }
        devices.clear();
        frame_->ClearCalls();
    }

    CLSID dtmClass_ = {};
    ql::ComPtr<CFrameHost> frame_;
    ql::Bstr user_{UserInformationDocument(L"planningEngineer").c_str()};
};

TEST_F(ProjectStressTest, TwoThousandDtmObjectsLeaveTheProcessMemoryWhereItWas) {
    const Bytes image = StoredImage();
    ASSERT_FALSE(image.empty());
    OpenAndClose(image, 0);  // the first round leaves what stays anyway: libraries, heaps, the table
    ASSERT_FALSE(HasFatalFailure());
    const SIZE_T heapBefore = ql::HeapBytesInUse();
    const SIZE_T privateBefore = ql::ProcessPrivateBytes();
    ASSERT_NE(0u, heapBefore);
    ASSERT_NE(0u, privateBefore);

    for (int round = 1; round <= kRounds; ++round) {
        OpenAndClose(image, round);
        ASSERT_FALSE(HasFatalFailure()) << "round " << round;
    }

    const SIZE_T heapAfter = ql::HeapBytesInUse();
    const SIZE_T privateAfter = ql::ProcessPrivateBytes();
    EXPECT_LE(heapAfter, heapBefore + kHeapSlack)
        << "heap in use grew from " << heapBefore << " to " << heapAfter;
    EXPECT_LE(privateAfter, privateBefore + kPrivateSlack)
        << "private bytes grew from " << privateBefore << " to " << privateAfter;
}

}  // namespace
