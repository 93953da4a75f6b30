// The online upload/download worker reaches the variable store and the frame's event interface
// only through pointers marshalled into its own apartment, so both must go through the
// type-library marshaller: a call made on the worker has to arrive on the owning thread with its
// arguments, and the out-value has to come back.
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

// Only the bulk transfer and one u32-id read are expected; every other call fails the test.
class FakeStore final : public vtest::CountedDispatch<IQuelkVariablesEx> {
public:
    FakeStore() : CountedDispatch({__uuidof(IQuelkVariables), __uuidof(IQuelkVariablesEx)}) {}
    DWORD uploadThread = 0;
    std::wstring uploadText;
    DWORD getValueThread = 0;
    ULONG getValueId = 0;

    HRESULT STDMETHODCALLTYPE UploadParameters(BSTR text, VARIANT_BOOL* ok) override {
        uploadThread = ::GetCurrentThreadId();
        uploadText = text ? text : L"<null>";
        *ok = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetValue(ULONG id, VARIANT* value) override {
        getValueThread = ::GetCurrentThreadId();
        getValueId = id;
        V_VT(value) = VT_I4;
        V_I4(value) = 4711;
        return S_OK;
    }
    VARNOK_UNEXPECTED_CALL(ReadFromDeviceAsync, VARIANT, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(WriteToDeviceAsync, VARIANT, VARIANT, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(GetVariableInfo, VARIANT, VARIANT*, BSTR*, VARTYPE*, VARIANT*, VARIANT*, VARIANT*,
                           VARIANT*)
    VARNOK_UNEXPECTED_CALL(OnDeviceResult, VARIANT_BOOL, VARIANT, VARIANT, BSTR)
    VARNOK_UNEXPECTED_CALL(GetAddress, VARIANT, VARIANT*)
    VARNOK_UNEXPECTED_CALL(ChangeValue, VARIANT, VARIANT*, VARIANT*)
    VARNOK_UNEXPECTED_CALL(GetValue, VARIANT, VARIANT*)
    VARNOK_UNEXPECTED_CALL(SetValue, VARIANT, VARIANT)
    VARNOK_UNEXPECTED_CALL(SetAddress, VARIANT, VARIANT)
    VARNOK_UNEXPECTED_CALL(GetDeviceFlag, VARIANT, VARIANT*)
    VARNOK_UNEXPECTED_CALL(InitNewValues, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(LoadValues, IStream*, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(SaveValues, IStream*, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(DownloadParameters, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(RequestStop, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(ReadFromDevice, VARIANT, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(WriteToDevice, VARIANT, VARIANT, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(ReadFromDeviceAsync, ULONG, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(WriteToDeviceAsync, ULONG, VARIANT, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(GetVariableInfo, ULONG, VARIANT*, BSTR*, VARTYPE*, VARIANT*, VARIANT*, VARIANT*,
                           ULONG*)
    VARNOK_UNEXPECTED_CALL(OnDeviceResult, VARIANT_BOOL, ULONG, VARIANT, BSTR)
    VARNOK_UNEXPECTED_CALL(SetAddress, ULONG, VARIANT)
    VARNOK_UNEXPECTED_CALL(GetAddress, ULONG, VARIANT*)
    VARNOK_UNEXPECTED_CALL(ChangeValue, ULONG, VARIANT*, ULONG*)
    VARNOK_UNEXPECTED_CALL(SetValue, ULONG, VARIANT)
    VARNOK_UNEXPECTED_CALL(GetDeviceFlag, ULONG, ULONG*)
    VARNOK_UNEXPECTED_CALL(ReadFromDevice, ULONG, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(WriteToDevice, ULONG, VARIANT, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(GetCount, ULONG*)
    VARNOK_UNEXPECTED_CALL(GetVariableAt, INT, ULONG*)
    VARNOK_UNEXPECTED_CALL(RunUpdateRule, ULONG, ULONG)
    VARNOK_UNEXPECTED_CALL(ParseUpdateRule, ULONG, BSTR)
};

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

// What the worker saw of its calls.
struct WorkerResults {
    HRESULT init = E_FAIL;
    HRESULT unmarshalStore = E_FAIL;
    HRESULT unmarshalEvents = E_FAIL;
    HRESULT upload = E_FAIL;
    VARIANT_BOOL uploadOk = VARIANT_FALSE;
    HRESULT getValue = E_FAIL;
    VARTYPE valueType = VT_EMPTY;
    LONG value = 0;
    HRESULT finished = E_FAIL;
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

TEST_F(MarshalTest, WorkerCallsStoreAndFrameEventsOnTheOwningThread) {
    FakeStore store;
    FakeFrameEvents events;
    ql::ComPtr<IStream> storeStream, eventsStream;
    ASSERT_EQ(S_OK,
              ::CoMarshalInterThreadInterfaceInStream(
                  __uuidof(IQuelkVariablesEx), static_cast<IQuelkVariablesEx*>(&store), storeStream.Put()));
    ASSERT_EQ(S_OK,
              ::CoMarshalInterThreadInterfaceInStream(__uuidof(IFrameEvents), &events, eventsStream.Put()));

    WorkerResults results;
    std::atomic<bool> done{false};
    IStream* storeHandOver = storeStream.Detach();
    IStream* eventsHandOver = eventsStream.Detach();
    std::thread worker([&] {
        results.init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            ql::ComPtr<IQuelkVariablesEx> remoteStore;
            ql::ComPtr<IFrameEvents> remoteEvents;
            results.unmarshalStore = ::CoGetInterfaceAndReleaseStream(
                storeHandOver, __uuidof(IQuelkVariablesEx), remoteStore.PutVoid());
            results.unmarshalEvents = ::CoGetInterfaceAndReleaseStream(eventsHandOver, __uuidof(IFrameEvents),
                                                                       remoteEvents.PutVoid());
            if (remoteStore && remoteEvents) {
                ql::Bstr text(L"request text"), invokeId(L"6F9619FF-8B86-D011-B42D-00C04FC964FF");
                results.upload = remoteStore->UploadParameters(text.Get(), &results.uploadOk);
                ql::Variant value;
                results.getValue = remoteStore->GetValue(42UL, value.Put());
                results.valueType = V_VT(value.Get());
                results.value = V_VT(value.Get()) == VT_I4 ? V_I4(value.Get()) : 0;
                results.finished = remoteEvents->NotifyUploadFinished(invokeId.Get(), results.uploadOk);
            }
        }
        if (SUCCEEDED(results.init)) ::CoUninitialize();
        done = true;
    });
    PumpUntil(done);
    worker.join();

    const DWORD owner = ::GetCurrentThreadId();
    EXPECT_EQ(S_OK, results.unmarshalStore);
    EXPECT_EQ(S_OK, results.unmarshalEvents);
    EXPECT_EQ(S_OK, results.upload);
    EXPECT_EQ(VARIANT_TRUE, results.uploadOk);
    EXPECT_EQ(owner, store.uploadThread);
    EXPECT_EQ(L"request text", store.uploadText);
    EXPECT_EQ(S_OK, results.getValue);
    EXPECT_EQ(42u, store.getValueId);
    EXPECT_EQ(VT_I4, results.valueType);
    EXPECT_EQ(4711, results.value);
    EXPECT_EQ(S_OK, results.finished);
    EXPECT_EQ(owner, events.finishedThread);
    EXPECT_EQ(L"6F9619FF-8B86-D011-B42D-00C04FC964FF", events.finishedInvokeId);
    EXPECT_EQ(VARIANT_TRUE, events.finishedOk);
}

}  // namespace
