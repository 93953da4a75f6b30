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

namespace {

std::wstring TypeLibraryPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + L"VarnokP3.tlb";
}

// A stack object shared with another apartment only through the marshaller; the reference count
// is not checked (the test outlives every proxy).
template <class Interface>
class StackObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !Answers(iid))
            return E_NOINTERFACE;
        *out = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

protected:
    virtual bool Answers(REFIID iid) const = 0;
};

// Only the bulk transfer and one u32-id read are expected; every other call fails the test.
class FakeStore final : public StackObject<IQuelkVariablesEx> {
public:
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

    HRESULT STDMETHODCALLTYPE ReadFromDeviceAsync(VARIANT, VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE WriteToDeviceAsync(VARIANT, VARIANT, VARIANT_BOOL*) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE GetVariableInfo(VARIANT, VARIANT*, BSTR*, VARTYPE*, VARIANT*, VARIANT*,
                                              VARIANT*, VARIANT*) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE OnDeviceResult(VARIANT_BOOL, VARIANT, VARIANT, BSTR) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE GetAddress(VARIANT, VARIANT*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ChangeValue(VARIANT, VARIANT*, VARIANT*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetValue(VARIANT, VARIANT*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetValue(VARIANT, VARIANT) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetAddress(VARIANT, VARIANT) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetDeviceFlag(VARIANT, VARIANT*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE InitNewValues(VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE LoadValues(IStream*, VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SaveValues(IStream*, VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE DownloadParameters(BSTR, VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE RequestStop(VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ReadFromDevice(VARIANT, VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE WriteToDevice(VARIANT, VARIANT, VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ReadFromDeviceAsync(ULONG, VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE WriteToDeviceAsync(ULONG, VARIANT, VARIANT_BOOL*) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE GetVariableInfo(ULONG, VARIANT*, BSTR*, VARTYPE*, VARIANT*, VARIANT*, VARIANT*,
                                              ULONG*) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE OnDeviceResult(VARIANT_BOOL, ULONG, VARIANT, BSTR) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE SetAddress(ULONG, VARIANT) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetAddress(ULONG, VARIANT*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ChangeValue(ULONG, VARIANT*, ULONG*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetValue(ULONG, VARIANT) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetDeviceFlag(ULONG, ULONG*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ReadFromDevice(ULONG, VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE WriteToDevice(ULONG, VARIANT, VARIANT_BOOL*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetCount(ULONG*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetVariableAt(INT, ULONG*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE RunUpdateRule(ULONG, ULONG) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ParseUpdateRule(ULONG, BSTR) override { return Unexpected(); }

private:
    bool Answers(REFIID iid) const override {
        return IsEqualIID(iid, __uuidof(IQuelkVariables)) || IsEqualIID(iid, __uuidof(IQuelkVariablesEx));
    }
    static HRESULT Unexpected() {
        ADD_FAILURE() << "unexpected call on the store";
        return E_UNEXPECTED;
    }
};

class FakeFrameEvents final : public StackObject<IFrameEvents> {
public:
    DWORD finishedThread = 0;
    std::wstring finishedInvokeId;
    VARIANT_BOOL finishedOk = VARIANT_FALSE;

    HRESULT STDMETHODCALLTYPE NotifyUploadFinished(BSTR invokeId, VARIANT_BOOL success) override {
        finishedThread = ::GetCurrentThreadId();
        finishedInvokeId = invokeId ? invokeId : L"<null>";
        finishedOk = success;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE NotifyParameterDocument(BSTR, BSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyErrorMessage(BSTR, BSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyProgress(BSTR, BSTR, LONG, VARIANT_BOOL) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyDownloadFinished(BSTR, VARIANT_BOOL) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyFunctionUiClosed(BSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyFunctionsChanged(BSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE EventsReserved14() override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE EventsReserved15() override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE EventsReserved16() override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyOnlineStateChanged(BSTR, VARIANT_BOOL) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyPreparedToDelete(BSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyPreparedToReleaseCommunication(BSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyFunctionFinished(BSTR, VARIANT_BOOL) override { return Unexpected(); }

private:
    bool Answers(REFIID iid) const override { return IsEqualIID(iid, __uuidof(IFrameEvents)); }
    static HRESULT Unexpected() {
        ADD_FAILURE() << "unexpected call on the frame events";
        return E_UNEXPECTED;
    }
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
class MarshalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        comInitialized_ = true;
        ql::Bstr registeredPath;
        if (SUCCEEDED(::QueryPathOfRegTypeLib(LIBID_VarnokP3Lib, 1, 0, 0, registeredPath.Put()))) return;
        ql::ComPtr<ITypeLib> library;
        const std::wstring path = TypeLibraryPath();
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
        if (comInitialized_) ::CoUninitialize();
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
    bool comInitialized_ = false;
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
