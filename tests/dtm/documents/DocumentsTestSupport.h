#pragma once
// The document parts' tests: a complete test DTM object that embeds the store part and the four document
// parts as the DTM object does, with a scripted host (state, user level, locks, UI-function table), the
// communication part's bus information and the automation interface's device reads played by doubles; a
// recording frame (container, events, DTM access); the DTM's real XML handler on the project's schema
// files; and helpers that validate documents against those schemas.
#include <windows.h>
#include <msxml2.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "classlib/DispatchImpl.h"
#include "classlib/Variant.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dtm/documents/DtmDataSetCheckPart.h"
#include "dtm/documents/DtmDocumentationPart.h"
#include "dtm/documents/DtmDocumentsHost.h"
#include "dtm/documents/DtmImportExportPart.h"
#include "dtm/documents/DtmParameterPart.h"
#include "values/QuelkMessageSink.h"
#include "tests/support/ComTest.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TestVariants.h"
#include "xml/QuelkXMLHandlerImpl.h"

namespace doctest {

using vtest::Describe;
using vtest::MakeBstr;
using vtest::MakeBytes;
using vtest::MakeUI4;
using vtest::SchemasFolder;

std::string Narrow(std::wstring_view text);
std::string Narrow(BSTR text);

// The DTM's message sink: keeps every report.
class RecordingSink final : public CQuelkMessageSink {
public:
    void DeliverMessage(BSTR text) noexcept override { messages.push_back(Narrow(text)); }
    std::vector<std::string> messages;
};

// The frame: container, events and DTM access. Calls are recorded as "Method arg|arg".
class FakeFrame final : public ql::ComObjectBase<FakeFrame>,
                        public IFrameContainer,
                        public IFrameEvents,
                        public IFrameDtmAccess {
    QL_INTERFACE_TABLE(FakeFrame, QL_ENTRY(IFrameContainer), QL_ENTRY_FUNC(IID_IFrameEvents, QueryEvents),
                       QL_ENTRY_FUNC(IID_IFrameDtmAccess, QueryDtmAccess))

public:
    bool grantsLock = true;
    HRESULT lockResult = S_OK;
    HRESULT unlockResult = S_OK;
    bool releasesDtm = true;
    bool answersEvents = true;
    bool answersDtmAccess = true;
    std::map<std::wstring, ql::ComPtr<IUnknown>> dtms;
    std::vector<std::string> calls;

    size_t Count(const std::string& method) const;
    std::vector<std::string> Messages() const;  // the texts of NotifyErrorMessage

    // IDispatch of the three interfaces: never called by the DTM.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override {
        return E_NOTIMPL;
    }
    // IFrameContainer
    HRESULT STDMETHODCALLTYPE SetDirtyFlag(BSTR tag, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE LockDataSet(BSTR tag, VARIANT_BOOL* granted) noexcept override;
    HRESULT STDMETHODCALLTYPE UnlockDataSet(BSTR tag, VARIANT_BOOL* done) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSchemaFolder(BSTR* folder) noexcept override;
    // IFrameEvents
    HRESULT STDMETHODCALLTYPE NotifyParameterDocument(BSTR tag, BSTR document) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyErrorMessage(BSTR tag, BSTR message) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyProgress(BSTR tag, BSTR title, LONG percent,
                                             VARIANT_BOOL show) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyUploadFinished(BSTR, VARIANT_BOOL) noexcept override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE NotifyDownloadFinished(BSTR, VARIANT_BOOL) noexcept override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE NotifyFunctionUiClosed(BSTR) noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyFunctionsChanged(BSTR) noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE EventsReserved14() noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE EventsReserved15() noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE EventsReserved16() noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyOnlineStateChanged(BSTR, VARIANT_BOOL) noexcept override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE NotifyPreparedToDelete(BSTR) noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE NotifyPreparedToReleaseCommunication(BSTR) noexcept override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE NotifyFunctionFinished(BSTR, VARIANT_BOOL) noexcept override {
        return Unexpected();
    }
    // IFrameDtmAccess
    HRESULT STDMETHODCALLTYPE DtmAccessReserved7() noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE DtmAccessReserved8() noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE DtmAccessReserved9() noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE DtmAccessReserved10() noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetDtm(BSTR tag, IUnknown** dtm) noexcept override;
    HRESULT STDMETHODCALLTYPE DtmAccessReserved12() noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE DtmAccessReserved13() noexcept override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ReleaseDtm(BSTR tag, VARIANT_BOOL* released) noexcept override;

private:
    HRESULT QueryEvents(REFIID iid, void** out) noexcept;
    HRESULT QueryDtmAccess(REFIID iid, void** out) noexcept;
    HRESULT Unexpected() noexcept;
    void Record(std::string call) { calls.push_back(std::move(call)); }
};

class CTestDtm;

// The DTM's side of the document parts, scripted by the tests.
class TestDocumentsHost final : public DtmDocumentsHost {
public:
    explicit TestDocumentsHost(CTestDtm& dtm) noexcept : dtm_(dtm) {}

    ULONG state = 8;
    ULONG userLevel = 8;
    ql::Bstr systemTag{L"Plant/Varnok 1"};
    ql::Bstr deviceType;
    ql::ComPtr<FakeFrame> frame;
    bool modified = false;
    bool frameLocked = false;
    bool dataLocked = false;
    std::set<LONG> uiFunctions{1, 2, 4, 5, 6, 8};
    std::vector<bool> suspensions;  // every SuspendModifiedNotification call
    CQuelkXMLHandlerImpl xml;
    RecordingSink sink;

    ULONG State() noexcept override { return state; }
    ULONG UserLevel() noexcept override { return userLevel; }
    BSTR SystemTag() noexcept override { return systemTag.Get(); }
    BSTR DeviceType() noexcept override { return deviceType.Get(); }
    IFrameContainer* Frame() noexcept override { return frame.Get(); }
    IFrameEvents* FrameEvents() noexcept override;
    IUnknown* ControllingUnknown() noexcept override;
    CQuelkVariableStore& Store() noexcept override;
    CQuelkXMLHandlerImpl& XmlHandler() noexcept override { return xml; }
    CQuelkMessageSink* MessageSink() noexcept override { return &sink; }
    bool DatasetModified() noexcept override { return modified; }
    HRESULT SuspendModifiedNotification(bool suspend) noexcept override {
        suspensions.push_back(suspend);
        return S_OK;
    }
    bool FrameLocked() noexcept override { return frameLocked; }
    bool DataLocked() noexcept override { return dataLocked; }
    bool HasUiFunction(LONG functionId) noexcept override { return uiFunctions.count(functionId) != 0; }
    // Into the test DTM's progress record, as ShowProgressValue.
    void ReportProgress(LONG index, LONG count, BSTR title) noexcept override;
    bool CompareInitialised() noexcept override { return compareInitialised; }
    void SetCompareInitialised(bool initialised) noexcept override { compareInitialised = initialised; }
    bool CompareRunning() noexcept override { return compareRunning; }
    void SetCompareRunning(bool running) noexcept override { compareRunning = running; }
    ql::Bstr& ComparePeerTag() noexcept override { return comparePeerTag; }
    ql::ComPtr<IQuelkVariableFields>& ComparePeerStore() noexcept override { return comparePeerStore; }

    bool compareInitialised = false;
    bool compareRunning = false;
    ql::Bstr comparePeerTag;
    ql::ComPtr<IQuelkVariableFields> comparePeerStore;

private:
    CTestDtm& dtm_;
    ql::ComPtr<IFrameEvents> events_;
};

// The test DTM object: the store part and the four document parts, chained as the DTM object chains
// them; the communication part's bus information and the automation interface's device reads are doubles
// (Part of the DTM that other work provides).
class CTestDtm final : public ql::ComObjectBase<CTestDtm>,
                       public CQuelkVariableStorePart,
                       public CDtmParameterPart,
                       public CDtmDataSetCheckPart,
                       public CDtmImportExportPart,
                       public CDtmDocumentationPart,
                       public IQuelkBusInformation,
                       public IQuelkLocalization,
                       public IDtmObject {
    QL_INTERFACE_TABLE(CTestDtm, QL_ENTRY_CHAIN(CQuelkVariableStorePart), QL_ENTRY_CHAIN(CDtmParameterPart),
                       QL_ENTRY_CHAIN(CDtmDataSetCheckPart), QL_ENTRY_CHAIN(CDtmImportExportPart),
                       QL_ENTRY_CHAIN(CDtmDocumentationPart), QL_ENTRY(IQuelkBusInformation),
                       QL_ENTRY_FUNC(IID_IQuelkLocalization, QueryLocalization), QL_ENTRY(IDtmObject))

public:
    CTestDtm() noexcept;

    TestDocumentsHost& Host() noexcept { return host_; }

    // IDispatch of every interface of the object: the tests never dispatch.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override;
    // IQuelkBusInformation as the communication part answers it (parameters 3 and 4).
    HRESULT STDMETHODCALLTYPE GetBusInformation(BSTR* busInformation, VARIANT_BOOL* done) noexcept override;
    HRESULT STDMETHODCALLTYPE ApplyBusInformation(IUnknown* document, VARIANT_BOOL* done) noexcept override;

    // IQuelkLocalization: only GetLocaleText, from `translations`; answered when `answersLocalization`.
    HRESULT STDMETHODCALLTYPE GetLocaleText(BSTR path, BSTR* text, VARIANT_BOOL* found) noexcept override;
    HRESULT STDMETHODCALLTYPE CountNodes(LONG*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLcidAt(LONG, ULONG*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SelectById(ULONG, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadDocument(BSTR, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NodeExists(BSTR, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }

    // IDtmObject: the device reads of the documentation, from `deviceValues`.
    HRESULT STDMETHODCALLTYPE ShowTreeActiveX() noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowProgressValue(LONG index, LONG count, BSTR title) noexcept override;
    HRESULT STDMETHODCALLTYPE CompareSingleParameter(VARIANT id, VARIANT* deviceValue,
                                                     VARIANT* dtmValue) noexcept override;
    HRESULT STDMETHODCALLTYPE SetActiveXFunctionID(LONG) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetActiveFunctionID(LONG*) noexcept override { return E_NOTIMPL; }

    bool answersLocalization = false;
    std::map<std::wstring, std::wstring> translations;
    std::map<ULONG, std::vector<BYTE>> deviceValues;
    std::vector<ULONG> deviceReads;
    std::vector<std::string> progress;  // "index/count title", of ShowProgressValue and the host

private:
    HRESULT QueryLocalization(REFIID iid, void** out) noexcept;

    TestDocumentsHost host_;
};

// A fresh apartment, frame and test DTM (state 8, planning engineer, schema cache on data/schemas) per
// test.
class DocumentsTest : public vtest::ComTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Another DTM with its own host, schema cache and the same frame.
    ql::ComPtr<CTestDtm> MakeDtm();
    TestDocumentsHost& host() { return dtm_->Host(); }
    CQuelkVariableStore& store() { return dtm_->Store(); }
    std::string ValueOf(ULONG id);
    void SetValue(ULONG id, const VARIANT& value);
    void SetField(ULONG id, ULONG mask, const VARIANT& value);

    // Loads `xml` with validation against the schema files: S_OK with `loaded` true when it validates.
    // `reason` receives the parse error.
    HRESULT Validate(BSTR xml, bool* loaded, std::string* reason = nullptr);

    ql::ComPtr<FakeFrame> frame_;
    ql::ComPtr<CTestDtm> dtm_;
};

// The minimal device type element the frame hands over with InitNew.
extern const wchar_t kMinimalDeviceType[];

}  // namespace doctest
