#include "DocumentsTestSupport.h"

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Utf8.h"
#include "dataset/ParameterTable.h"
#include "values/HexText.h"
#include "xml/SchemaLists.h"
#include "xml/XmlNodeReads.h"

namespace doctest {

const wchar_t kMinimalDeviceType[] =
    L"<fdt:DtmDeviceType><fdt:VersionInformation name=\"Orvo Varnok Profile3 Device\" vendor=\"Orvo\" "
    L"version=\"1.0\"/></fdt:DtmDeviceType>";

std::string Narrow(std::wstring_view text) { return ql::Utf8FromWide(text); }
std::string Narrow(BSTR text) { return Narrow(std::wstring_view(text ? text : L"", ::SysStringLen(text))); }

size_t FakeFrame::Count(const std::string& method) const {
    size_t count = 0;
    for (const std::string& call : calls) {
        if (call.compare(0, method.size() + 1, method + " ") == 0 || call == method) ++count;
    }
    return count;
}

std::vector<std::string> FakeFrame::Messages() const {
    std::vector<std::string> messages;
    const std::string prefix = "NotifyErrorMessage ";
    for (const std::string& call : calls) {
        if (call.compare(0, prefix.size(), prefix) == 0) messages.push_back(call.substr(call.find('|') + 1));
    }
    return messages;
}

HRESULT FakeFrame::LockDataSet(BSTR tag, VARIANT_BOOL* granted) noexcept {
    Record("LockDataSet " + Narrow(tag));
    *granted = grantsLock ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT FakeFrame::UnlockDataSet(BSTR tag, VARIANT_BOOL* done) noexcept {
    Record("UnlockDataSet " + Narrow(tag));
    *done = VARIANT_TRUE;
    return S_OK;
}

HRESULT FakeFrame::NotifyErrorMessage(BSTR tag, BSTR message) noexcept {
    Record("NotifyErrorMessage " + Narrow(tag) + "|" + Narrow(message));
    return S_OK;
}

HRESULT FakeFrame::NotifyProgress(BSTR tag, BSTR title, SHORT percent, VARIANT_BOOL show) noexcept {
    Record("NotifyProgress " + Narrow(tag) + "|" + Narrow(title) + "|" + std::to_string(percent) + "|" +
           (show ? "show" : "hide"));
    return S_OK;
}

HRESULT FakeFrame::GetDtm(BSTR tag, IDtm** dtm) noexcept {
    Record("GetDtm " + Narrow(tag));
    *dtm = nullptr;
    const auto found = dtms.find(std::wstring(tag ? tag : L""));
    if (found == dtms.end()) return S_OK;
    // The peers here are DTM parts without IDtm; the DTM under test only queries the pointer it gets,
    // and an IDtm pointer starts with IUnknown's slots.
    IUnknown* peer = nullptr;
    QL_RETURN_IF_FAILED(found->second.CopyTo(&peer));
    *dtm = reinterpret_cast<IDtm*>(peer);
    return S_OK;
}

HRESULT FakeFrame::ReleaseDtm(BSTR tag, VARIANT_BOOL* released) noexcept {
    Record("ReleaseDtm " + Narrow(tag));
    *released = VARIANT_TRUE;
    return S_OK;
}

IFrameEvents* TestDocumentsHost::FrameEvents() noexcept {
    events_.Reset();
    if (frame) (void)ql::QueryInterfaceTo(static_cast<IFrameContainer*>(frame.Get()), events_);
    return events_.Get();
}

IUnknown* TestDocumentsHost::ControllingUnknown() noexcept { return dtm_.GetControllingUnknown(); }

CQuelkVariableStore& TestDocumentsHost::Store() noexcept { return dtm_.Store(); }

CTestDtm::CTestDtm() noexcept
    : CDtmParameterPart(host_),
      CDtmDataSetCheckPart(host_),
      CDtmImportExportPart(host_),
      CDtmDocumentationPart(host_),
      host_(*this) {}

HRESULT CTestDtm::GetTypeInfoCount(UINT* count) noexcept {
    *count = 0;
    return S_OK;
}
HRESULT CTestDtm::GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept { return E_NOTIMPL; }
HRESULT CTestDtm::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept { return E_NOTIMPL; }
HRESULT CTestDtm::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept {
    return E_NOTIMPL;
}

HRESULT CTestDtm::GetBusInformation(BSTR* busInformation, VARIANT_BOOL* done) noexcept {
    if (!busInformation || !done) return E_POINTER;
    ql::Variant address, configuration;
    QL_RETURN_IF_FAILED(Store().GetValue(3, address.Put()));
    QL_RETURN_IF_FAILED(Store().GetValue(4, configuration.Put()));
    ql::Bstr hex;
    (void)BytesToHexBstr(configuration.Get(), hex.Put(), TRUE);
    const std::wstring text = L"<BusInformation> <MasterSlaveBus busAddress=\"" +
                              std::to_wstring(V_UI1(address.Get())) + L"\" busMasterConfigurationPart=\"" +
                              std::wstring(hex.View()) + L"\" /> </BusInformation>";
    ql::Bstr result(text);
    *busInformation = result.Detach();
    *done = VARIANT_TRUE;
    return S_OK;
}

HRESULT CTestDtm::ApplyBusInformation(IUnknown* document, VARIANT_BOOL* done) noexcept {
    if (!done || !document) return E_POINTER;
    ql::ComPtr<IXMLDOMDocument2> parsed;
    if (FAILED(document->QueryInterface(IID_IXMLDOMDocument2, parsed.PutVoid()))) return E_POINTER;
    ql::Bstr path(L"FDT/DtmDevice/BusInformation/MasterSlaveBus/@busAddress");
    ql::Variant address;
    if (!XmlNodeExists(parsed.Get(), path.Get())) return E_FAIL;
    if (FAILED(XmlGetNodeValue(parsed.Get(), path.Get(), address.Put(), VT_UI1))) return E_FAIL;
    QL_RETURN_IF_FAILED(Store().SetValue(3, *address.Get()));
    *done = VARIANT_TRUE;
    return S_OK;
}

HRESULT CTestDtm::QueryLocalization(REFIID, void** out) noexcept {
    if (!answersLocalization) return E_NOINTERFACE;
    AddRef();
    *out = static_cast<IQuelkLocalization*>(this);
    return S_OK;
}

HRESULT CTestDtm::GetLocaleText(BSTR path, BSTR* text, VARIANT_BOOL* found) noexcept {
    *found = VARIANT_FALSE;
    *text = nullptr;
    const auto entry = translations.find(std::wstring(path ? path : L""));
    if (entry == translations.end()) return S_OK;
    ql::Bstr result(entry->second);
    *text = result.Detach();
    *found = VARIANT_TRUE;
    return S_OK;
}

HRESULT CTestDtm::CompareSingleParameter(VARIANT id, VARIANT* deviceValue, VARIANT* dtmValue) noexcept {
    ql::Variant number;
    QL_RETURN_IF_FAILED(::VariantChangeType(number.Get(), &id, 0, VT_UI4));
    deviceReads.push_back(V_UI4(number.Get()));
    (void)dtmValue;
    const auto value = deviceValues.find(V_UI4(number.Get()));
    if (value == deviceValues.end()) return E_FAIL;
    ql::Variant bytes = MakeBytes(value->second);
    return bytes.Detach(deviceValue);
}

ql::ComPtr<CTestDtm> DocumentsTest::MakeDtm() {
    ql::ComPtr<CTestDtm> dtm;
    EXPECT_HR(S_OK, ql::MakeObject(dtm));
    EXPECT_HR(S_OK, DefineDeviceParameters(&dtm->Store().Variables(), nullptr, nullptr));
    const std::wstring folder = SchemasFolder();
    EXPECT_HR(S_OK, dtm->Host().xml.InitializeSchemaCache(folder.c_str(), DtmSchemaList, &dtm->Host().sink));
    EXPECT_HR(S_OK, dtm->Host().deviceType.Assign(kMinimalDeviceType));
    dtm->Host().frame = frame_;
    return dtm;
}

void DocumentsTest::SetUp() {
    vtest::ComTest::SetUp();
    ASSERT_HR(S_OK, ql::MakeObject(frame_));
    dtm_ = MakeDtm();
    ASSERT_TRUE(dtm_);
}

void DocumentsTest::TearDown() {
    frame_->dtms.clear();
    if (dtm_) dtm_->Host().frame.Reset();
    dtm_.Reset();
    frame_.Reset();
}

std::string DocumentsTest::ValueOf(ULONG id) {
    ql::Variant value;
    EXPECT_HR(S_OK, store().GetValue(id, value.Put()));
    return Describe(*value);
}

void DocumentsTest::SetValue(ULONG id, const VARIANT& value) { ASSERT_HR(S_OK, store().SetValue(id, value)); }

void DocumentsTest::SetField(ULONG id, ULONG mask, const VARIANT& value) {
    ASSERT_HR(S_OK, store().SetVariableField(id, mask, value));
}

HRESULT DocumentsTest::Validate(BSTR xml, bool* loaded, std::string* reason) {
    *loaded = false;
    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL parsed = VARIANT_FALSE;
    RecordingSink sink;
    const HRESULT hr = host().xml.LoadXMLDocument(xml, document.Put(), &parsed, &sink);
    *loaded = parsed == VARIANT_TRUE;
    if (reason && !sink.messages.empty()) *reason = sink.messages.back();
    return hr;
}

}  // namespace doctest
