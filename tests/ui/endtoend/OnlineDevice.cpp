#include "tests/ui/endtoend/OnlineDevice.h"

#include <gtest/gtest.h>

#include <cwctype>

#include "classlib/AxControlSite.h"
#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "frame/FrameDocuments.h"
#include "frame/MessagePump.h"
#include "frame/UiScript.h"
#include "tests/frame/FrameTestSupport.h"
#include "tests/support/HResultText.h"
#include "values/DtmVocabulary.h"

namespace endtoend {

namespace {

constexpr DWORD kConnectWaitMs = 30000;
constexpr DWORD kCloseWaitMs = 10000;

// The value of attribute `name` in the start tag `tag` (blanks around '=' as the DTM writes them).
std::wstring AttributeOf(const std::wstring& tag, const std::wstring& name) {
    for (size_t at = tag.find(name); at != std::wstring::npos; at = tag.find(name, at + 1)) {
        if (at == 0 || !std::iswspace(tag[at - 1])) continue;
        size_t next = at + name.size();
        while (next < tag.size() && std::iswspace(tag[next])) ++next;
        if (next >= tag.size() || tag[next] != L'=') continue;
        ++next;
        while (next < tag.size() && std::iswspace(tag[next])) ++next;
        if (next >= tag.size() || (tag[next] != L'"' && tag[next] != L'\'')) continue;
        const size_t end = tag.find(tag[next], next + 1);
        if (end == std::wstring::npos) return std::wstring();
        return tag.substr(next + 1, end - next - 1);
    }
    return std::wstring();
}

}  // namespace

std::vector<OfferedFunction> ReadFunctionsDocument(const std::wstring& document) {
    std::vector<OfferedFunction> functions;
    for (size_t at = document.find(L'<'); at != std::wstring::npos; at = document.find(L'<', at + 1)) {
        const size_t nameEnd = document.find_first_of(L" \t\r\n/>", at + 1);
        if (nameEnd == std::wstring::npos) break;
        const std::wstring element = document.substr(at + 1, nameEnd - at - 1);
        const bool standard = element == L"StandardFunction";
        if (!standard && element != L"Function") continue;
        const size_t tagEnd = document.find(L'>', nameEnd);
        const std::wstring tag = document.substr(nameEnd, tagEnd - nameEnd);
        OfferedFunction function;
        function.id = std::wcstol(AttributeOf(tag, L"functionId").c_str(), nullptr, 10);
        function.name = AttributeOf(tag, L"fdt:name");
        function.hasUi = standard || AttributeOf(tag, L"hasGUI") == L"1";
        functions.push_back(function);
    }
    return functions;
}

void OnlineDevice::Start(bool online) {
    ASSERT_HR(S_OK, ql::MakeObject(frame_));
    ASSERT_NO_FATAL_FAILURE(frametest::CreateConfiguredDtm(session_, frame_.Get()));
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(session_.Object(), store_));
    frame_->SetUiCloser([this](const std::wstring& invokeId) {
        for (const auto& ui : uis_) {
            if (ui->IsOpen() && ui->InvokeId() == invokeId) ui->Container().RequestClose();
        }
    });
    if (online) {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
    }
}

void OnlineDevice::GoOnline() {
    ASSERT_NO_FATAL_FAILURE(frametest::ConnectToSimulatedDevice(session_, channel_, kConnectWaitMs));
}

void OnlineDevice::GoOffline() {
    if (!channel_) return;
    VARIANT_BOOL result = VARIANT_FALSE;
    if (session_.Dtm()) {
        EXPECT_HR(S_OK, session_.Dtm()->PrepareToReleaseCommunication(&result));
        EXPECT_HR(S_OK, session_.Dtm()->ReleaseCommunication(&result));
    }
    // The frame lets the channel go; it holds the DTM's answer sink until then.
    channel_->DropCallback();
    channel_.Reset();
}

void OnlineDevice::Release() {
    CloseAll();
    GoOffline();
    if (session_.Dtm()) {
        VARIANT_BOOL result = VARIANT_FALSE;
        EXPECT_HR(S_OK, session_.Dtm()->PrepareToRelease(&result));
    }
    store_.Reset();
    session_.Release();
    if (frame_) {
        frame_->SetUiCloser(nullptr);
        frame_->ClearProjectDtms();
        frame_.Reset();
    }
    // What the release posted (a window's last messages) is dispatched before anyone counts.
    PumpPendingMessages();
}

std::vector<OfferedFunction> OnlineDevice::Functions(const wchar_t* phase) {
    ql::Bstr request(OperationPhaseDocument(phase));
    ql::Bstr document;
    EXPECT_HR(S_OK, session_.Dtm()->GetFunctions(request.Get(), document.Put()));
    return ReadFunctionsDocument(std::wstring(document.View()));
}

HRESULT OnlineDevice::Keep(std::unique_ptr<CFunctionUi> ui, HRESULT opened, CFunctionUi** out) {
    if (out) *out = opened == S_OK ? ui.get() : nullptr;
    if (opened == S_OK) uis_.push_back(std::move(ui));
    return opened;
}

HRESULT OnlineDevice::OpenFunction(long functionId, CFunctionUi** opened) {
    auto ui = std::make_unique<CFunctionUi>();
    const HRESULT hr = ui->OpenFunction(session_.Object(), functionId);
    return Keep(std::move(ui), hr, opened);
}

HRESULT OnlineDevice::OpenControl(const std::wstring& progId, CFunctionUi** opened) {
    auto ui = std::make_unique<CFunctionUi>();
    const HRESULT hr = ui->OpenControl(progId, session_.Object());
    return Keep(std::move(ui), hr, opened);
}

bool OnlineDevice::CloseByUser(CFunctionUi& ui, HRESULT* released) {
    if (released) *released = S_OK;
    if (!ui.IsOpen()) return true;
    ::PostMessageW(ui.Container().Window(), WM_CLOSE, 0, 0);
    const bool closed = PumpMessagesUntil(
        [this, &ui] {
            Pump();
            return !ui.IsOpen();
        },
        kCloseWaitMs);
    if (closed && released) *released = ui.LastReleaseResult();
    DropClosed();
    return closed;
}

void OnlineDevice::CloseAll() {
    // Last opened first, as a frame closes its windows.
    while (!uis_.empty()) {
        (void)uis_.back()->Close();  // a window already gone has nothing to give back
        uis_.pop_back();
    }
}

void OnlineDevice::DropClosed() {
    for (auto ui = uis_.begin(); ui != uis_.end();) {
        ui = (*ui)->IsOpen() ? ui + 1 : uis_.erase(ui);
    }
}

CFunctionUi* OnlineDevice::UiOfWindow(HWND window) const {
    for (const auto& ui : uis_) {
        const HWND container = ui->Container().Window();
        if (container && (window == container || ::IsChild(container, window))) return ui.get();
    }
    return nullptr;
}

void OnlineDevice::Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
            CFunctionUi* ui = UiOfWindow(message.hwnd);
            if (ui && ui->Container().TranslateKey(&message)) continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void OnlineDevice::PumpFor(DWORD milliseconds) {
    ::PumpFor([this] { Pump(); }, milliseconds);
    Pump();
}

}  // namespace endtoend
