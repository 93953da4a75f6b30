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
#include "tests/support/TestObjects.h"
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
    QL_INTERFACE_TABLE(FakeFrame, QL_ENTRY(IFrameContainer), QL_ENTRY(IFrameEvents), QL_ENTRY(IFrameDtmAccess))

public:
    bool grantsLock = true;
    std::map<std::wstring, ql::ComPtr<IUnknown>> dtms;
    std::vector<std::string> calls;

    size_t Count(const std::string& method) const;
    std::vector<std::string> Messages() const;  // the texts of NotifyErrorMessage

    VARNOK_UNEXPECTED_CALL(GetTypeInfoCount, UINT*)
    VARNOK_UNEXPECTED_CALL(GetTypeInfo, UINT, LCID, ITypeInfo**)
    VARNOK_UNEXPECTED_CALL(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    VARNOK_UNEXPECTED_CALL(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    HRESULT STDMETHODCALLTYPE LockDataSet(BSTR tag, VARIANT_BOOL* granted) noexcept override;
    HRESULT STDMETHODCALLTYPE UnlockDataSet(BSTR tag, VARIANT_BOOL* done) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyErrorMessage(BSTR tag, BSTR message) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyProgress(BSTR tag, BSTR title, SHORT percent,
                                             VARIANT_BOOL show) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDtm(BSTR tag, IDtm** dtm) noexcept override;
    HRESULT STDMETHODCALLTYPE ReleaseDtm(BSTR tag, VARIANT_BOOL* released) noexcept override;
    VARNOK_UNEXPECTED_CALL(SetDirtyFlag, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(GetSchemaFolder, BSTR*)
    VARNOK_UNEXPECTED_CALL(NotifyParameterDocument, BSTR, BSTR)
    VARNOK_UNEXPECTED_CALL(NotifyUploadFinished, BSTR, VARIANT_BOOL)
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
    VARNOK_UNEXPECTED_CALL(GetParentNodes, BSTR, BSTR*)
    VARNOK_UNEXPECTED_CALL(GetChildNodes, BSTR, BSTR, BSTR*)
    VARNOK_UNEXPECTED_CALL(CreateChild, BSTR, BSTR, BSTR*)
    VARNOK_UNEXPECTED_CALL(DeleteChild, BSTR, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(GetDtmInfoList, BSTR*)
    VARNOK_UNEXPECTED_CALL(MoveChild, BSTR, BSTR, VARIANT_BOOL*)

private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
};

class CTestDtm;

// The DTM's side of the document parts, scripted by the tests.
class TestDocumentsHost final : public DtmDocumentsHost {
public:
    explicit TestDocumentsHost(CTestDtm& dtm) noexcept : dtm_(dtm) {}

    ULONG state = 8;
    ql::Bstr systemTag{L"Plant/Varnok 1"};
    ql::Bstr deviceType;
    ql::ComPtr<FakeFrame> frame;
    bool modified = false;
    bool dataLocked = false;
    std::vector<bool> suspensions;  // every SuspendModifiedNotification call
    CQuelkXMLHandlerImpl xml;
    RecordingSink sink;

    ULONG State() noexcept override { return state; }
    ULONG UserLevel() noexcept override { return 8; }
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
    bool FrameLocked() noexcept override { return false; }
    bool DataLocked() noexcept override { return dataLocked; }
    bool HasUiFunction(LONG functionId) noexcept override {
        return functionId == 1 || functionId == 2 || (functionId >= 4 && functionId <= 6) || functionId == 8;
    }
    void ReportProgress(LONG, LONG, BSTR) noexcept override {}
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
    VARNOK_UNEXPECTED_CALL(CountNodes, LONG*)
    VARNOK_UNEXPECTED_CALL(GetLcidAt, LONG, ULONG*)
    VARNOK_UNEXPECTED_CALL(SelectById, ULONG, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(LoadDocument, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(NodeExists, BSTR, VARIANT_BOOL*)

    // IDtmObject: the device reads of the documentation, from `deviceValues`.
    VARNOK_UNEXPECTED_CALL(ShowTreeActiveX)
    HRESULT STDMETHODCALLTYPE ShowProgressValue(LONG, LONG, BSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CompareSingleParameter(VARIANT id, VARIANT* deviceValue,
                                                     VARIANT* dtmValue) noexcept override;
    VARNOK_UNEXPECTED_CALL(SetActiveXFunctionID, LONG)
    VARNOK_UNEXPECTED_CALL(GetActiveFunctionID, LONG*)

    bool answersLocalization = false;
    std::map<std::wstring, std::wstring> translations;
    std::map<ULONG, std::vector<BYTE>> deviceValues;
    std::vector<ULONG> deviceReads;

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
