#pragma once
// CBenchDtm: the parts of the DTM object that one device read and an upload pass through (the variable store
// with the device's parameter table, the DP-V1 client, the dataset transfer) in one COM object, with a host
// that does what the DTM object's does on these roads and nothing else: the state word, the broadcasts to
// the open user interfaces (none are open; the notification is still built and handed on), the DTM's schema
// cache, and the frame's event interface for the upload's progress.
#include <windows.h>

#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "comm/CommunicationHost.h"
#include "comm/QuelkDatasetTransfer.h"
#include "comm/QuelkDpv1Communication.h"
#include "dataset/DatasetHost.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dtm/services/ToolkitMessages.h"
#include "xml/QuelkXMLHandlerImpl.h"

class CBenchDtm final : public ql::ComObjectBase<CBenchDtm>,
                        public CQuelkVariableStorePart,
                        public CQuelkDpv1Communication,
                        public ICommunicationHost,
                        public IDatasetHost,
                        public CQuelkMessageSink {
    QL_INTERFACE_TABLE(CBenchDtm, QL_ENTRY_CHAIN(CQuelkVariableStorePart),
                       QL_ENTRY_CHAIN(CQuelkDpv1Communication))

public:
    CBenchDtm() noexcept;
    HRESULT FinalConstruct() noexcept;
    // The frame's event interface and the schema cache of `schemaFolder`.
    HRESULT Attach(IFrameEvents* events, const wchar_t* schemaFolder) noexcept;
    void Detach() noexcept { events_.Reset(); }

    HRESULT STDMETHODCALLTYPE UploadParameters(BSTR text, VARIANT_BOOL* ok) noexcept override;

    // ICommunicationHost
    IUnknown* ControllingUnknown() noexcept override { return GetControllingUnknown(); }
    HRESULT GetState(ULONG* state) noexcept override;
    HRESULT SetState(ULONG state) noexcept override;
    HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept override;
    HRESULT LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept override;
    CQuelkMessageSink* MessageSink() noexcept override { return this; }
    IUnknown* Frame() noexcept override { return events_.Get(); }
    IFrameEvents* FrameEvents() noexcept override { return events_.Get(); }
    HRESULT GetSystemTag(BSTR* tag) noexcept override;
    HRESULT ShowFrameMessage(BSTR, BSTR, const VARIANT&, LONG*) noexcept override { return E_NOINTERFACE; }
    HRESULT GetToolkitMessage(LONG id, BSTR* text) noexcept override { return GetToolkitMessageText(nullptr, id, text); }
    CQuelkVariableStore& Store() noexcept override { return CQuelkVariableStorePart::Store(); }
    ULONG UserLevel() noexcept override { return 8; }
    HANDLE StateEvent() noexcept override { return nullptr; }
    DWORD StateWaitTime() noexcept override { return 0; }
    DWORD CancelPause() noexcept override { return 0; }

    // IDatasetHost
    HRESULT BroadcastMessage(ULONG, BSTR, const VARIANT&) noexcept override { return S_OK; }
    HRESULT SetModified(bool) noexcept override { return S_OK; }

    // CQuelkMessageSink: the reports a run makes; counted, not shown.
    void DeliverMessage(BSTR) noexcept override { ++reports; }

    ULONG state = 8;
    ULONG notifications = 0;
    ULONG reports = 0;

private:
    CQuelkXMLHandlerImpl xml_;
    CQuelkDatasetTransfer transfer_;
    ql::ComPtr<IFrameEvents> events_;
};
