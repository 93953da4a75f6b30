#include "frame/FrameDemo.h"

#include <ocidl.h>

#include <cstdarg>
#include <cwchar>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Utf8.h"
#include "classlib/Variant.h"
#include "frame/DtmSession.h"
#include "frame/DtmStateNames.h"
#include "frame/FrameDocuments.h"
#include "frame/FrameHost.h"
#include "frame/ProjectFile.h"
#include "frame/ServerRegistration.h"

namespace {

// Longer arguments of the frame's calls are cut in the printout.
constexpr size_t kShownArgumentLength = 70;

std::wstring ResultText(HRESULT hr) {
    if (hr == S_OK) return L"S_OK";
    if (hr == S_FALSE) return L"S_FALSE";
    wchar_t text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::wstring Shown(const std::wstring& argument) {
    std::wstring shown = argument;
    for (wchar_t& c : shown) {
        if (c == L'\n' || c == L'\r') c = L' ';
    }
    if (shown.size() > kShownArgumentLength) shown = shown.substr(0, kShownArgumentLength) + L"...";
    return L"\"" + shown + L"\"";
}

std::wstring CallText(const FrameCall& call) {
    std::wstring text = call.Method + L"(";
    for (size_t i = 0; i < call.Arguments.size(); ++i) {
        if (i > 0) text += L", ";
        text += Shown(call.Arguments[i]);
    }
    return text + L")";
}

bool CreateDtm(CDtmSession& session, const FrameDemoSettings& settings, HRESULT* hr,
               const std::function<void(const wchar_t*)>& say) {
    *hr = session.CreateByProgId(settings.ProgId.c_str());
    if (*hr != REGDB_E_CLASSNOTREG && *hr != CO_E_CLASSSTRING) return SUCCEEDED(*hr);
    // Not registered in this prefix yet: register the module of this build, as its setup would.
    say((L"the DTM is not registered; registering " + settings.ModulePath).c_str());
    const HRESULT registered = RegisterServerModule(settings.ModulePath);
    if (FAILED(registered)) {
        *hr = registered;
        return false;
    }
    *hr = session.CreateByProgId(settings.ProgId.c_str());
    return SUCCEEDED(*hr);
}

// The tag the demo gives the device before it saves the project; the reloaded DTM must hold it again.
constexpr wchar_t kDemoTag[] = L"FT-101 K\u00fchlwasser";
// The DTM's parameter id of the device's tag.
constexpr ULONG kTagParameter = 1;

// The tag, through the DTM's variable store (our frame host knows the toolkit's interfaces).
HRESULT SetTag(IUnknown* dtm, const wchar_t* text) {
    ql::ComPtr<IQuelkVariablesEx> variables;
    QL_RETURN_IF_FAILED(dtm->QueryInterface(IID_IQuelkVariablesEx, variables.PutVoid()));
    ql::Variant value;
    QL_RETURN_IF_FAILED(value.SetBstr(text));
    return variables->SetValue(kTagParameter, *value.Get());
}

HRESULT GetTag(IUnknown* dtm, std::wstring& text) {
    ql::ComPtr<IQuelkVariablesEx> variables;
    QL_RETURN_IF_FAILED(dtm->QueryInterface(IID_IQuelkVariablesEx, variables.PutVoid()));
    ql::Variant value;
    QL_RETURN_IF_FAILED(variables->GetValue(kTagParameter, value.Put()));
    QL_RETURN_IF_FAILED(value.ChangeType(VT_BSTR));
    text.assign(V_BSTR(value.Get()) ? V_BSTR(value.Get()) : L"");
    return S_OK;
}

}  // namespace

void CFrameDemo::Print(const wchar_t* format, ...) {
    wchar_t text[1024];
    va_list args;
    va_start(args, format);
    std::vswprintf(text, sizeof text / sizeof text[0], format, args);
    va_end(args);
    ql::WriteUtf8(out_, text);
    std::fflush(out_);
}

int CFrameDemo::Run() {
    ql::ComPtr<CFrameHost> frame;
    if (FAILED(ql::MakeObject(frame))) return 1;
    frame->Script().SchemaFolder = settings_.SchemaFolder;
    frame->SetListener(
        [this](const FrameCall& call) { Print(L"        frame <- %ls\n", CallText(call).c_str()); });

    CDtmSession session;
    bool ok = true;
    int number = 0;
    // One step: what the frame does (printed first, so the frame's side of it follows), then the DTM's answer
    // and the state it left.
    auto begin = [&](const std::wstring& what) { Print(L"%2d. %ls\n", ++number, what.c_str()); };
    auto end = [&](HRESULT hr, VARIANT_BOOL result, bool withResult) {
        const bool good = hr == S_OK && (!withResult || result == VARIANT_TRUE);
        ok = ok && good;
        Print(L"    answer %ls", ResultText(hr).c_str());
        if (withResult) Print(L", result %ls", result == VARIANT_TRUE ? L"TRUE" : L"FALSE");
        const ULONG state = session.State();
        if (state != CDtmSession::kNoState) Print(L"; DTM state %lu: %ls", state, DtmStateName(state));
        Print(L"%ls\n", good ? L"" : L"   <-- not what the frame expected");
        return good;
    };
    auto say = [this](const wchar_t* text) { Print(L"    (%ls)\n", text); };

    Print(L"VarnokP3 frame host: demo\n");
    Print(L"Schema folder: %ls\nProject file:  %ls\n\n", settings_.SchemaFolder.c_str(),
          settings_.ProjectPath.c_str());

    ql::Bstr tag(settings_.SystemTag);
    ql::Bstr deviceType(VarnokDeviceTypeDocument());
    ql::Bstr userInformation(UserInformationDocument(L"planningEngineer"));
    CProjectFile project(settings_.ProjectPath);
    VARIANT_BOOL result = VARIANT_FALSE;
    HRESULT hr = S_OK;

    // ---- A new device instance ----
    begin(L"Create the DTM \"" + settings_.ProgId + L"\" through COM");
    const bool created = CreateDtm(session, settings_, &hr, say);
    end(hr, VARIANT_TRUE, false);
    if (!created) return 1;
    ql::ComPtr<IPersistStreamInit> persist;
    begin(L"Start a new dataset (IPersistStreamInit::InitNew)");
    hr = session.Object()->QueryInterface(IID_IPersistStreamInit, persist.PutVoid());
    if (SUCCEEDED(hr)) hr = persist->InitNew();
    end(hr, VARIANT_TRUE, false);
    begin(L"Hand over the environment (IDtm::Environment)");
    hr = session.Dtm()->Environment(tag.Get(), frame.Get(), &result);
    end(hr, result, true);
    begin(L"Name the device type (IDtm::InitNew)");
    hr = session.Dtm()->InitNew(deviceType.Get(), &result);
    end(hr, result, true);
    begin(L"Configure for a planning engineer (IDtm::Config)");
    hr = session.Dtm()->Config(userInformation.Get(), &result);
    end(hr, result, true);
    begin(L"Name the device's tag (parameter 1) \"" + std::wstring(kDemoTag) + L"\"");
    hr = SetTag(session.Object(), kDemoTag);
    end(hr, VARIANT_TRUE, false);
    begin(L"Save the project (IPersistStreamInit::Save into the project file)");
    hr = project.Save(session.Object());
    end(hr, VARIANT_TRUE, false);
    std::string bytes;
    if (SUCCEEDED(project.ReadBytes(bytes))) Print(L"    (the project file holds %zu bytes)\n", bytes.size());
    begin(L"Prepare the DTM for its release (IDtm::PrepareToRelease)");
    hr = session.Dtm()->PrepareToRelease(&result);
    end(hr, result, true);
    persist.Reset();
    session.Release();
    Print(L"    (the frame released the DTM)\n\n");

    // ---- The project opened again ----
    begin(L"Create a DTM for the saved device instance");
    const bool recreated = CreateDtm(session, settings_, &hr, say);
    end(hr, VARIANT_TRUE, false);
    if (!recreated) return 1;
    begin(L"Load the saved project (IPersistStreamInit::Load from the project file)");
    hr = project.Load(session.Object());
    end(hr, VARIANT_TRUE, false);
    std::wstring loadedTag;
    if (SUCCEEDED(GetTag(session.Object(), loadedTag))) {
        Print(L"    (the loaded dataset holds the tag \"%ls\")\n", loadedTag.c_str());
        if (loadedTag != kDemoTag) ok = false;
    }
    begin(L"Hand over the environment (IDtm::Environment)");
    hr = session.Dtm()->Environment(tag.Get(), frame.Get(), &result);
    end(hr, result, true);
    begin(L"Configure for a planning engineer (IDtm::Config)");
    hr = session.Dtm()->Config(userInformation.Get(), &result);
    end(hr, result, true);
    begin(L"Prepare the DTM for its release (IDtm::PrepareToRelease)");
    hr = session.Dtm()->PrepareToRelease(&result);
    end(hr, result, true);
    session.Release();
    Print(L"    (the frame released the DTM)\n\n");

    frame->SetListener(nullptr);
    Print(ok ? L"Demo finished: every step went as the frame expected.\n"
             : L"Demo finished: some steps did not go as the frame expected.\n");
    return ok ? 0 : 1;
}
