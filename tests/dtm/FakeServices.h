#pragma once
// Test doubles of the functions part and the DP-V1 client as the DTM's lifecycle sees them (its views
// DtmFunctionsSeam and DtmCommunicationSeam), and of the channel and the streams and property bags a frame
// hands it.
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
#include "comm/DtmCommunicationSeam.h"
#include "dtm/DtmFunctionsSeam.h"
#include "tests/support/MemoryPropertyBag.h"
#include "tests/support/TestObjects.h"

namespace dtmtest {

// The functions and user-interface service: records broadcasts and enable switches, keeps a register of
// open user interfaces that close when asked.
class FakeFunctions final : public DtmFunctionsSeam {
public:
    HRESULT STDMETHODCALLTYPE BroadcastState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE BroadcastNotification(ULONG code, VARIANT data) noexcept override;
    HRESULT STDMETHODCALLTYPE BroadcastMessage(ULONG, BSTR, VARIANT) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFunctionEnabled(ULONG functionId, BOOL enabled) noexcept override;
    HRESULT GetOpenUiCount(ULONG* count) noexcept override;
    HRESULT GetOpenUiInvokeId(ULONG index, BSTR* invokeId) noexcept override;
    HRESULT STDMETHODCALLTYPE CloseFunctionUi(BSTR invokeId, VARIANT_BOOL* result) noexcept override;

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
};

// The DP-V1 client: hands the channel over and plays the channel's answers by setting the DTM's state as
// the real client does when they arrive.
class FakeCommunication final : public DtmCommunicationSeam {
public:
    enum class ConnectAnswer { None, Success, Failure, NotSent };

    explicit FakeCommunication(IQuelkDtm* dtm = nullptr) noexcept : dtm_(dtm) {}
    void SetDtm(IQuelkDtm* dtm) noexcept { dtm_ = dtm; }

    bool HasClient() noexcept override { return hasClient; }
    HRESULT STDMETHODCALLTYPE SetChannel(IUnknown* channel) noexcept override;
    HRESULT STDMETHODCALLTYPE GoOnline(VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE GoOffline(VARIANT_BOOL* result) noexcept override;
    HRESULT AbandonConnection() noexcept override { return S_FALSE; }

    bool hasClient = true;
    ConnectAnswer connectAnswer = ConnectAnswer::Success;
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
    VARNOK_UNEXPECTED_CALL(GetTypeInfoCount, UINT*)
    VARNOK_UNEXPECTED_CALL(GetTypeInfo, UINT, LCID, ITypeInfo**)
    VARNOK_UNEXPECTED_CALL(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    VARNOK_UNEXPECTED_CALL(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    VARNOK_UNEXPECTED_CALL(CommunicationReserved7, BSTR)
    VARNOK_UNEXPECTED_CALL(ConnectRequest, IFdtCommunicationEvents*, BSTR, BSTR, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(DisconnectRequest, BSTR, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(TransactionRequest, BSTR, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(GetSupportedProtocols, BSTR*)
    VARNOK_UNEXPECTED_CALL(SequenceBegin, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(SequenceStart, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(SequenceEnd, BSTR, VARIANT_BOOL*)
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

    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) noexcept override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return S_OK; }
    VARNOK_UNEXPECTED_CALL(Read, void*, ULONG, ULONG*)
    VARNOK_UNEXPECTED_CALL(Seek, LARGE_INTEGER, DWORD, ULARGE_INTEGER*)
    VARNOK_UNEXPECTED_CALL(SetSize, ULARGE_INTEGER)
    VARNOK_UNEXPECTED_CALL(CopyTo, IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*)
    VARNOK_UNEXPECTED_CALL(Revert)
    VARNOK_UNEXPECTED_CALL(LockRegion, ULARGE_INTEGER, ULARGE_INTEGER, DWORD)
    VARNOK_UNEXPECTED_CALL(UnlockRegion, ULARGE_INTEGER, ULARGE_INTEGER, DWORD)
    VARNOK_UNEXPECTED_CALL(Stat, STATSTG*, DWORD)
    VARNOK_UNEXPECTED_CALL(Clone, IStream**)

private:
    size_t capacity_;
    bool failOutright_;
    std::string bytes_;
};

using vtest::MemoryPropertyBag;

}  // namespace dtmtest
