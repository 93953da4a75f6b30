#pragma once
// The document parts' tests: the DTM object itself, driven through its interfaces; a recording frame
// (container, events, DTM access) whose data-set lock the tests script; and helpers that validate
// documents against the project's schema files.
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
#include "dtm/DtmObject.h"
#include "values/QuelkMessageSink.h"
#include "tests/support/ComTest.h"
#include "tests/support/DtmInternals.h"
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
    QL_INTERFACE_TABLE(FakeFrame, QL_ENTRY(IFrameContainer), QL_ENTRY(IFrameEvents),
                       QL_ENTRY(IFrameDtmAccess))

public:
    bool grantsLock = true;
    std::map<std::wstring, ql::ComPtr<IUnknown>> dtms;
    std::vector<std::string> calls;

    size_t Count(const std::string& method) const;
    // The recorded calls of these methods only, in order.
    std::vector<std::string> CallsOf(std::initializer_list<std::string> methods) const;
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
    HRESULT STDMETHODCALLTYPE SetDirtyFlag(BSTR tag, VARIANT_BOOL* done) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSchemaFolder(BSTR* folder) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyParameterDocument(BSTR tag, BSTR document) noexcept override;
    VARNOK_UNEXPECTED_CALL(NotifyUploadFinished, BSTR, VARIANT_BOOL)
    VARNOK_UNEXPECTED_CALL(NotifyDownloadFinished, BSTR, VARIANT_BOOL)
    VARNOK_UNEXPECTED_CALL(NotifyFunctionUiClosed, BSTR)
    HRESULT STDMETHODCALLTYPE NotifyFunctionsChanged(BSTR tag) noexcept override;
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

// A fresh apartment, frame and DTM object per test: the DTM configured along the frame's road (state 8,
// planning engineer, system tag kSystemTag, the minimal device type); a validator on the project's schema
// files for the documents it writes.
class DocumentsTest : public vtest::ComTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Another DTM object on the same frame, configured the same way under `systemTag`: new, with the minimal
    // device type, or loaded from `image` (a frame's stream) when one is given.
    ql::ComPtr<CDtmObject> MakeDtm(const wchar_t* systemTag, const std::vector<BYTE>* image = nullptr);
    template <class Interface>
    static ql::ComPtr<Interface> Query(CDtmObject* dtm) {
        ql::ComPtr<Interface> out;
        EXPECT_HR(S_OK, dtm->QueryInterface(__uuidof(Interface), out.PutVoid()));
        return out;
    }
    template <class Interface>
    ql::ComPtr<Interface> Query() {
        return Query<Interface>(dtm_.Get());
    }
    ql::ComPtr<IQuelkVariablesEx> Variables() { return Query<IQuelkVariablesEx>(); }
    // Forces the lifecycle state word, for the cases that need another state.
    void ForceState(ULONG state);
    std::string ValueOf(ULONG id);
    void SetValue(ULONG id, const VARIANT& value);
    void SetField(ULONG id, ULONG mask, const VARIANT& value);

    // Loads `xml` with validation against the schema files: S_OK with `loaded` true when it validates.
    // `reason` receives the parse error.
    HRESULT Validate(BSTR xml, bool* loaded, std::string* reason = nullptr);
    // The validator's own load, with its reports in `sink`.
    HRESULT LoadValidated(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded, RecordingSink* sink);

    ql::ComPtr<FakeFrame> frame_;
    ql::ComPtr<CDtmObject> dtm_;

private:
    CQuelkXMLHandlerImpl validator_;
    RecordingSink validatorSink_;
};

// The system tag of the fixture's DTM.
extern const wchar_t kSystemTag[];
// The minimal device type element the frame hands over with InitNew, and the element as the DTM keeps it
// (taken out of the frame's document, it declares the namespace of its prefix itself).
extern const wchar_t kMinimalDeviceType[];
extern const wchar_t kKeptDeviceType[];

}  // namespace doctest
