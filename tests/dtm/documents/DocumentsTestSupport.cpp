#include "DocumentsTestSupport.h"

#include "classlib/Utf8.h"
#include "tests/support/TestStreams.h"
#include "xml/SchemaLists.h"

namespace doctest {

const wchar_t kSystemTag[] = L"Plant/Varnok 1";

const wchar_t kMinimalDeviceType[] =
    L"<fdt:DtmDeviceType><fdt:VersionInformation name=\"Orvo Varnok Profile3 Device\" vendor=\"Orvo\" "
    L"version=\"1.0\"/></fdt:DtmDeviceType>";

const wchar_t kKeptDeviceType[] =
    L"<fdt:DtmDeviceType xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><fdt:VersionInformation "
    L"name=\"Orvo Varnok Profile3 Device\" vendor=\"Orvo\" version=\"1.0\"/></fdt:DtmDeviceType>";

std::string Narrow(std::wstring_view text) { return ql::Utf8FromWide(text); }
std::string Narrow(BSTR text) { return Narrow(std::wstring_view(text ? text : L"", ::SysStringLen(text))); }

size_t FakeFrame::Count(const std::string& method) const {
    size_t count = 0;
    for (const std::string& call : calls) {
        if (call.compare(0, method.size() + 1, method + " ") == 0 || call == method) ++count;
    }
    return count;
}

std::vector<std::string> FakeFrame::CallsOf(std::initializer_list<std::string> methods) const {
    std::vector<std::string> found;
    for (const std::string& call : calls) {
        for (const std::string& method : methods) {
            if (call.compare(0, method.size() + 1, method + " ") == 0 || call == method) {
                found.push_back(call);
                break;
            }
        }
    }
    return found;
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
    return found->second->QueryInterface(IID_IDtm, reinterpret_cast<void**>(dtm));
}

HRESULT FakeFrame::ReleaseDtm(BSTR tag, VARIANT_BOOL* released) noexcept {
    Record("ReleaseDtm " + Narrow(tag));
    *released = VARIANT_TRUE;
    return S_OK;
}

HRESULT FakeFrame::SetDirtyFlag(BSTR tag, VARIANT_BOOL* done) noexcept {
    Record("SetDirtyFlag " + Narrow(tag));
    *done = VARIANT_TRUE;
    return S_OK;
}

HRESULT FakeFrame::NotifyFunctionsChanged(BSTR tag) noexcept {
    Record("NotifyFunctionsChanged " + Narrow(tag));
    return S_OK;
}

HRESULT FakeFrame::NotifyParameterDocument(BSTR tag, BSTR) noexcept {
    Record("NotifyParameterDocument " + Narrow(tag));
    return S_OK;
}

HRESULT FakeFrame::GetSchemaFolder(BSTR* folder) noexcept { return ql::Bstr(SchemasFolder()).CopyTo(folder); }

ql::ComPtr<CDtmObject> DocumentsTest::MakeDtm(const wchar_t* systemTag, const std::vector<BYTE>* image) {
    ql::ComPtr<CDtmObject> dtm;
    EXPECT_HR(S_OK, ql::MakeObject(dtm));
    if (!dtm) return dtm;
    // The frame's road: a new dataset (or the project's), the environment, the device type of a new one
    // and the user.
    if (image) {
        EXPECT_HR(S_OK, Query<IPersistStreamInit>(dtm.Get())->Load(vtest::StreamOn(*image).Get()));
    } else {
        EXPECT_HR(S_OK, Query<IPersistStreamInit>(dtm.Get())->InitNew());
    }
    const ql::ComPtr<IDtm> fdt = Query<IDtm>(dtm.Get());
    VARIANT_BOOL result = VARIANT_FALSE;
    ql::Bstr tag(systemTag);
    EXPECT_HR(S_OK, fdt->Environment(tag.Get(), frame_.Get(), &result));
    if (!image) {
        ql::Bstr deviceType(
            std::wstring(L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:DTMInformationSchema.xml\" "
                         L"xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">") +
            kMinimalDeviceType + L"</FDT>");
        EXPECT_HR(S_OK, fdt->InitNew(deviceType.Get(), &result));
        EXPECT_EQ(VARIANT_TRUE, result);
    }
    ql::Bstr user(
        L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\">"
        L"<FDTUserInformation userLevel=\"planningEngineer\"/></FDT>");
    EXPECT_HR(S_OK, fdt->Config(user.Get(), &result));
    EXPECT_EQ(VARIANT_TRUE, result);
    return dtm;
}

void DocumentsTest::SetUp() {
    vtest::ComTest::SetUp();
    ASSERT_HR(S_OK, ql::MakeObject(frame_));
    const std::wstring folder = SchemasFolder();
    ASSERT_HR(S_OK, validator_.InitializeSchemaCache(folder.c_str(), DtmSchemaList, &validatorSink_));
    dtm_ = MakeDtm(kSystemTag);
    ASSERT_TRUE(dtm_);
    frame_->calls.clear();
}

void DocumentsTest::TearDown() {
    frame_->dtms.clear();
    dtm_.Reset();
    frame_.Reset();
}

void DocumentsTest::ForceState(ULONG state) { ASSERT_HR(S_OK, Query<IQuelkDtm>()->SetState(state)); }

std::string DocumentsTest::ValueOf(ULONG id) {
    ql::Variant value;
    EXPECT_HR(S_OK, Variables()->GetValue(id, value.Put()));
    return Describe(*value);
}

void DocumentsTest::SetValue(ULONG id, const VARIANT& value) {
    ASSERT_HR(S_OK, Variables()->SetValue(id, value));
}

void DocumentsTest::SetField(ULONG id, ULONG mask, const VARIANT& value) {
    ASSERT_HR(S_OK, Query<IQuelkVariableFields>()->SetVariableField(*MakeUI4(id), *MakeUI4(mask), value));
}

HRESULT DocumentsTest::Validate(BSTR xml, bool* loaded, std::string* reason) {
    *loaded = false;
    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL parsed = VARIANT_FALSE;
    RecordingSink sink;
    const HRESULT hr = LoadValidated(xml, document.Put(), &parsed, &sink);
    *loaded = parsed == VARIANT_TRUE;
    if (reason && !sink.messages.empty()) *reason = sink.messages.back();
    return hr;
}

HRESULT DocumentsTest::LoadValidated(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded,
                                     RecordingSink* sink) {
    return validator_.LoadXMLDocument(xml, document, loaded, sink);
}

}  // namespace doctest
