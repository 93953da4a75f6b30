#pragma once
// Test doubles of the services the DTM reaches through its seams, and of the channel and the streams and
// property bags a frame hands it.
#include <windows.h>
#include <objidl.h>
#include <ocidl.h>

#include <map>
#include <string>
#include <vector>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/DispatchImpl.h"
#include "classlib/Variant.h"
#include "dtm/DtmCommunicationSeam.h"
#include "dtm/DtmFunctionsSeam.h"

namespace dtmtest {

// The functions and user-interface service: records broadcasts and enable switches, keeps a register of
// open user interfaces that close (or not) when asked.
class FakeFunctions final : public DtmFunctionsSeam {
public:
    HRESULT BroadcastState(ULONG state) noexcept override;
    HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept override;
    HRESULT SetFunctionEnabled(ULONG functionId, BOOL enabled) noexcept override;
    HRESULT GetOpenUiCount(ULONG* count) noexcept override;
    HRESULT GetOpenUiInvokeId(ULONG index, BSTR* invokeId) noexcept override;
    HRESULT CloseFunctionUi(BSTR invokeId, VARIANT_BOOL* result) noexcept override;

    std::vector<ULONG> states;
    struct Notification {
        ULONG code;
        VARTYPE type;
        LONG number;  // the data as a number where it is one
    };
    std::vector<Notification> notifications;
    std::vector<std::pair<ULONG, bool>> enables;
    std::vector<std::wstring> openUis;
    std::vector<std::wstring> closeRequests;
    bool uisClose = true;
};

// The DP-V1 client: hands the channel over and plays the channel's answers by setting the DTM's state as
// the real client does when they arrive.
class FakeCommunication final : public DtmCommunicationSeam {
public:
    enum class ConnectAnswer { None, Success, Failure, NotSent };

    explicit FakeCommunication(IQuelkDtm* dtm = nullptr) noexcept : dtm_(dtm) {}
    void SetDtm(IQuelkDtm* dtm) noexcept { dtm_ = dtm; }

    bool HasClient() noexcept override { return hasClient; }
    HRESULT SetChannel(IUnknown* channel) noexcept override;
    HRESULT GoOnline(VARIANT_BOOL* result) noexcept override;
    HRESULT GoOffline(VARIANT_BOOL* result) noexcept override;

    bool hasClient = true;
    ConnectAnswer connectAnswer = ConnectAnswer::Success;
    bool disconnects = true;
    std::vector<bool> channels;  // each SetChannel call: true with a channel, false with null
    int goOnlineCalls = 0;
    int goOfflineCalls = 0;

private:
    IQuelkDtm* dtm_;  // not owned: the DTM owns this double's lifetime in the tests
};

// A communication channel: the DTM only keeps it; its requests are never called here.
class FakeChannel final : public ql::ComObjectBase<FakeChannel>, public IFdtCommunication {
    QL_INTERFACE_TABLE(FakeChannel, QL_ENTRY(IFdtCommunication),
                       QL_ENTRY_IID(IID_IDispatch, IFdtCommunication))

public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CommunicationReserved7() noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConnectRequest(IFdtCommunicationEvents*, BSTR, BSTR, BSTR,
                                             VARIANT_BOOL*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DisconnectRequest(BSTR, BSTR, VARIANT_BOOL*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TransactionRequest(BSTR, BSTR, VARIANT_BOOL*) noexcept override {
        return E_NOTIMPL;
    }
};

// An object that answers nothing but IUnknown (a channel of the wrong kind).
class PlainObject final : public ql::ComObjectBase<PlainObject>, public IUnknown {
    QL_INTERFACE_TABLE(PlainObject, QL_ENTRY(IUnknown))
};

// A stream on memory that takes only `capacity` bytes: later writes are cut short (a full medium), or
// fail outright when `failOutright`.
class LimitedStream final : public ql::ComObjectBase<LimitedStream>, public IStream {
    QL_INTERFACE_TABLE(LimitedStream, QL_ENTRY(IStream), QL_ENTRY_IID(IID_ISequentialStream, IStream))

public:
    LimitedStream(size_t capacity, bool failOutright) noexcept
        : capacity_(capacity), failOutright_(failOutright) {}
    const std::string& Bytes() const noexcept { return bytes_; }

    HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) noexcept override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                     ULARGE_INTEGER*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) noexcept override { return E_NOTIMPL; }

private:
    size_t capacity_;
    bool failOutright_;
    std::string bytes_;
};

// A property bag in memory: properties by name, each a copy of what was written.
class MemoryPropertyBag final : public ql::ComObjectBase<MemoryPropertyBag>, public IPropertyBag {
    QL_INTERFACE_TABLE(MemoryPropertyBag, QL_ENTRY(IPropertyBag))

public:
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* errorLog) noexcept override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) noexcept override;

    std::map<std::wstring, ql::Variant> properties;
    bool failWrites = false;
};

}  // namespace dtmtest
