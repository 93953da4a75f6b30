// The online worker reaches the frame's event interface through a pointer marshalled into its own
// apartment by the type-library marshaller: the call must arrive on the owning thread with its arguments.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "VarnokP3.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/Variant.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestObjects.h"
#include "tests/support/TestPaths.h"

namespace {

class FakeFrameEvents final : public vtest::CountedDispatch<IFrameEvents> {
public:
    FakeFrameEvents() : CountedDispatch({__uuidof(IFrameEvents)}) {}
    DWORD finishedThread = 0;
    std::wstring finishedInvokeId;
    VARIANT_BOOL finishedOk = VARIANT_FALSE;

    HRESULT STDMETHODCALLTYPE NotifyUploadFinished(BSTR invokeId, VARIANT_BOOL success) override {
        finishedThread = ::GetCurrentThreadId();
        finishedInvokeId = invokeId ? invokeId : L"<null>";
        finishedOk = success;
        return S_OK;
    }
    VARNOK_UNEXPECTED_CALL(NotifyParameterDocument, BSTR, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyErrorMessage, BSTR, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyProgress, BSTR, BSTR, LONG, VARIANT_BOOL)
    VARNOK_UNEXPECTED_CALL(NotifyDownloadFinished, BSTR, VARIANT_BOOL)
    VARNOK_UNEXPECTED_CALL(NotifyFunctionUiClosed, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyFunctionsChanged, BSTR)
    VARNOK_UNEXPECTED_CALL(EventsReserved14)
    VARNOK_UNEXPECTED_CALL(EventsReserved15)
    VARNOK_UNEXPECTED_CALL(EventsReserved16)
    VARNOK_UNEXPECTED_CALL(NotifyOnlineStateChanged, BSTR, VARIANT_BOOL)
    VARNOK_UNEXPECTED_CALL(NotifyPreparedToDelete, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyPreparedToReleaseCommunication, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyFunctionFinished, BSTR, VARIANT_BOOL)
};

// Owns COM on the test thread and the type library's registration: the type-library marshaller
// finds an interface's description through the registry. A registration that was there before
// (the module's) is left alone.
class MarshalTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ql::Bstr registeredPath;
        if (SUCCEEDED(::QueryPathOfRegTypeLib(LIBID_VarnokP3Lib, 1, 0, 0, registeredPath.Put()))) return;
        ql::ComPtr<ITypeLib> library;
        const std::wstring path = vtest::FileBesideProgram(L"VarnokP3.tlb");
        ASSERT_EQ(S_OK, ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put()));
        std::wstring writablePath = path;
        ASSERT_EQ(S_OK, ::RegisterTypeLib(library.Get(), &writablePath[0], nullptr));
        registeredHere_ = true;
    }
    void TearDown() override {
        if (registeredHere_) {
            EXPECT_EQ(S_OK, ::UnRegisterTypeLib(LIBID_VarnokP3Lib, 1, 0, 0,
                                                sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32));
        }
    }

    // Keeps the test thread's apartment serving calls until the worker is done.
    static void PumpUntil(const std::atomic<bool>& done) {
        while (!done) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }

private:
    bool registeredHere_ = false;
};

TEST_F(MarshalTest, WorkerCallsFrameEventsOnTheOwningThread) {
    FakeFrameEvents events;
    ql::ComPtr<IStream> stream;
    ASSERT_HR(S_OK, ::CoMarshalInterThreadInterfaceInStream(__uuidof(IFrameEvents), &events, stream.Put()));
    HRESULT unmarshal = E_FAIL, finished = E_FAIL;
    std::atomic<bool> done{false};
    IStream* handOver = stream.Detach();
    std::thread worker([&] {
        const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            ql::ComPtr<IFrameEvents> remote;
            unmarshal = ::CoGetInterfaceAndReleaseStream(handOver, __uuidof(IFrameEvents), remote.PutVoid());
            ql::Bstr invokeId(L"6F9619FF-8B86-D011-B42D-00C04FC964FF");
            if (remote) finished = remote->NotifyUploadFinished(invokeId.Get(), VARIANT_TRUE);
        }
        if (SUCCEEDED(init)) ::CoUninitialize();
        done = true;
    });
    PumpUntil(done);
    worker.join();
    EXPECT_HR(S_OK, unmarshal);
    EXPECT_HR(S_OK, finished);
    EXPECT_EQ(::GetCurrentThreadId(), events.finishedThread);
    EXPECT_EQ(L"6F9619FF-8B86-D011-B42D-00C04FC964FF", events.finishedInvokeId);
    EXPECT_EQ(VARIANT_TRUE, events.finishedOk);
}

}  // namespace
