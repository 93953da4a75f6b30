// The demo's frame, its printout and the offline steps: a new device instance, the project saved, the DTM
// released and the project loaded into a new one.
#include "frame/FrameDemo.h"

#include <ocidl.h>

#include <cstdarg>
#include <cwchar>

#include "classlib/Bstr.h"
#include "classlib/Utf8.h"
#include "classlib/Variant.h"
#include "frame/DeviceKeyValues.h"
#include "frame/DtmStateNames.h"
#include "frame/FrameDocuments.h"
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

}  // namespace

CFrameDemo::CFrameDemo(std::FILE* out, FrameDemoSettings settings)
    : out_(out), settings_(std::move(settings)), project_(settings_.ProjectPath) {}

void CFrameDemo::Print(const wchar_t* format, ...) {
    wchar_t text[1024];
    va_list args;
    va_start(args, format);
    std::vswprintf(text, sizeof text / sizeof text[0], format, args);
    va_end(args);
    ql::WriteUtf8(out_, text);
    std::fflush(out_);
}

void CFrameDemo::Begin(const std::wstring& what) { Print(L"%2d. %ls\n", ++number_, what.c_str()); }

bool CFrameDemo::End(HRESULT hr, VARIANT_BOOL result, bool withResult) {
    const bool good = hr == S_OK && (!withResult || result == VARIANT_TRUE);
    ok_ = ok_ && good;
    Print(L"    answer %ls", ResultText(hr).c_str());
    if (withResult) Print(L", result %ls", result == VARIANT_TRUE ? L"TRUE" : L"FALSE");
    const ULONG state = session_.State();
    if (state != CDtmSession::kNoState) Print(L"; DTM state %lu: %ls", state, DtmStateName(state));
    Print(L"%ls\n", good ? L"" : L"   <-- not what the frame expected");
    return good;
}

bool CFrameDemo::Expect(bool good, const wchar_t* what) {
    ok_ = ok_ && good;
    if (!good) Print(L"    <-- %ls\n", what);
    return good;
}

void CFrameDemo::Say(const std::wstring& text) { Print(L"    (%ls)\n", text.c_str()); }

void CFrameDemo::OnFrameCall(const FrameCall& call) {
    // A finished transfer fills the bar first.
    if ((call.Method == L"NotifyUploadFinished" || call.Method == L"NotifyDownloadFinished") &&
        call.Arguments.size() == 2 && call.Arguments[1] == L"TRUE" && !progressTitle_.empty()) {
        Print(L"    %ls\n", CProgressBar::Render(progressTitle_, 100).c_str());
        progressTitle_.clear();
    }
    // A transfer reports every parameter: the frame draws its bar instead of listing the calls.
    if (call.Method == L"NotifyProgress" && call.Arguments.size() == 4) {
        const std::wstring line =
            progress_.Update(call.Arguments[1], std::wcstol(call.Arguments[2].c_str(), nullptr, 10),
                             call.Arguments[3] == L"TRUE");
        if (call.Arguments[3] == L"TRUE") progressTitle_ = call.Arguments[1];
        if (!line.empty()) Print(L"    %ls\n", line.c_str());
        return;
    }
    Print(L"        frame <- %ls\n", CallText(call).c_str());
}

bool CFrameDemo::CreateDtm(HRESULT* hr) {
    *hr = session_.CreateByProgId(settings_.ProgId.c_str());
    if (*hr != REGDB_E_CLASSNOTREG && *hr != CO_E_CLASSSTRING) return SUCCEEDED(*hr);
    // Not registered in this prefix yet: register the module of this build, as its setup would.
    Say(L"the DTM is not registered; registering " + settings_.ModulePath);
    const HRESULT registered = RegisterServerModule(settings_.ModulePath);
    if (FAILED(registered)) {
        *hr = registered;
        return false;
    }
    *hr = session_.CreateByProgId(settings_.ProgId.c_str());
    return SUCCEEDED(*hr);
}

bool CFrameDemo::StartFrame() {
    if (FAILED(ql::MakeObject(frame_))) return false;
    frame_->Script().SchemaFolder = settings_.SchemaFolder;
    frame_->SetListener([this](const FrameCall& call) { OnFrameCall(call); });
    return true;
}

void CFrameDemo::StopFrame() {
    frame_->SetListener(nullptr);
    frame_->ClearProjectDtms();
}

int CFrameDemo::Run() {
    if (!StartFrame()) return 1;

    Print(L"VarnokP3 frame host: demo\n");
    Print(L"Schema folder: %ls\nProject file:  %ls\n\n", settings_.SchemaFolder.c_str(),
          settings_.ProjectPath.c_str());

    bool online = false;
    if (SetUpNewInstance()) {
        online = GoOnline();
        if (online) {
            RunOnlineRequest(OnlineRequest::Upload);
            ShowKeyValues();
            WriteAndReadBackTag();
            RunOnlineRequest(OnlineRequest::Download);
        }
        SaveProject();
        if (online) GoOffline();
        if (ReleaseDtm()) ReloadProject();
    }
    if (!online) ok_ = false;

    StopFrame();
    Print(ok_ ? L"Demo finished: every step went as the frame expected.\n"
              : L"Demo finished: some steps did not go as the frame expected.\n");
    return ok_ ? 0 : 1;
}

bool CFrameDemo::SetUpNewInstance() {
    ql::Bstr tag(settings_.SystemTag);
    ql::Bstr deviceType(VarnokDeviceTypeDocument());
    ql::Bstr userInformation(UserInformationDocument(L"planningEngineer"));
    VARIANT_BOOL result = VARIANT_FALSE;
    HRESULT hr = S_OK;

    Print(L"---- A new device instance ----\n");
    Begin(L"Create the DTM \"" + settings_.ProgId + L"\" through COM");
    const bool created = CreateDtm(&hr);
    End(hr, VARIANT_TRUE, false);
    if (!created) return false;
    Begin(L"Start a new dataset (IPersistStreamInit::InitNew)");
    ql::ComPtr<IPersistStreamInit> persist;
    hr = session_.Object()->QueryInterface(IID_IPersistStreamInit, persist.PutVoid());
    if (SUCCEEDED(hr)) hr = persist->InitNew();
    End(hr, VARIANT_TRUE, false);
    Begin(L"Hand over the environment (IDtm::Environment)");
    hr = session_.Dtm()->Environment(tag.Get(), frame_.Get(), &result);
    End(hr, result, true);
    Begin(L"Name the device type (IDtm::InitNew)");
    hr = session_.Dtm()->InitNew(deviceType.Get(), &result);
    End(hr, result, true);
    Begin(L"Configure for a planning engineer (IDtm::Config)");
    hr = session_.Dtm()->Config(userInformation.Get(), &result);
    return End(hr, result, true);
}

void CFrameDemo::SaveProject() {
    Begin(L"Save the project (IPersistStreamInit::Save into the project file)");
    End(project_.Save(session_.Object()), VARIANT_TRUE, false);
    std::string bytes;
    if (SUCCEEDED(project_.ReadBytes(bytes)))
        Say(L"the project file holds " + std::to_wstring(bytes.size()) + L" bytes");
}

bool CFrameDemo::ReleaseDtm() {
    VARIANT_BOOL result = VARIANT_FALSE;
    Begin(L"Prepare the DTM for its release (IDtm::PrepareToRelease)");
    // The call first: the result it writes is read afterwards.
    const HRESULT hr = session_.Dtm()->PrepareToRelease(&result);
    const bool prepared = End(hr, result, true);
    session_.Release();
    Say(L"the frame released the DTM");
    Print(L"\n");
    return prepared;
}

bool CFrameDemo::ReloadProject() {
    ql::Bstr tag(settings_.SystemTag);
    ql::Bstr userInformation(UserInformationDocument(L"planningEngineer"));
    VARIANT_BOOL result = VARIANT_FALSE;
    HRESULT hr = S_OK;

    Print(L"---- The project opened again ----\n");
    Begin(L"Create a DTM for the saved device instance");
    const bool created = CreateDtm(&hr);
    End(hr, VARIANT_TRUE, false);
    if (!created) return false;
    Begin(L"Load the saved project (IPersistStreamInit::Load from the project file)");
    End(project_.Load(session_.Object()), VARIANT_TRUE, false);
    std::wstring deviceTag;
    if (SUCCEEDED(ReadDeviceTag(session_.Object(), &deviceTag))) {
        Say(L"the loaded dataset holds the device's tag \"" + deviceTag + L"\"");
        Expect(deviceTag == settings_.DeviceTag, L"not the tag written to the device");
    }
    Begin(L"Hand over the environment (IDtm::Environment)");
    hr = session_.Dtm()->Environment(tag.Get(), frame_.Get(), &result);
    End(hr, result, true);
    Begin(L"Configure for a planning engineer (IDtm::Config)");
    hr = session_.Dtm()->Config(userInformation.Get(), &result);
    End(hr, result, true);
    return ReleaseDtm();
}
