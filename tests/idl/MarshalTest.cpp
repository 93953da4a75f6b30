// The online worker reaches the frame's event interface through a pointer marshalled into its own
// apartment by the type-library marshaller: the call must arrive on the owning thread with its arguments.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "FdtInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestObjects.h"

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
    VARNOK_UNEXPECTED_CALL(NotifyProgress, BSTR, BSTR, SHORT, VARIANT_BOOL)
    VARNOK_UNEXPECTED_CALL(NotifyDownloadFinished, BSTR, VARIANT_BOOL)
    VARNOK_UNEXPECTED_CALL(NotifyFunctionUiClosed, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyFunctionsChanged, BSTR)
    VARNOK_UNEXPECTED_CALL(EventsReserved14, BSTR, BSTR)
    VARNOK_UNEXPECTED_CALL(EventsReserved15, BSTR, BSTR)
    VARNOK_UNEXPECTED_CALL(EventsReserved16, BSTR)
    VARNOK_UNEXPECTED_CALL(EventsReserved21, BSTR, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyOnlineStateChanged, BSTR, VARIANT_BOOL)
    VARNOK_UNEXPECTED_CALL(NotifyPreparedToDelete, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyPreparedToReleaseCommunication, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyFunctionFinished, BSTR, VARIANT_BOOL)
};

// The type-library marshaller finds the interface's description through the registry: the FDT library
// that the prepared prefix registers, as a frame's installation would.
class MarshalTest : public vtest::ComTest {
protected:
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
