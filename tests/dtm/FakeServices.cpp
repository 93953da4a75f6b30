#include "FakeServices.h"

#include <algorithm>
#include <cstring>

#include "classlib/Bstr.h"

namespace dtmtest {

HRESULT STDMETHODCALLTYPE FakeFunctions::BroadcastState(ULONG state) noexcept {
    states.push_back(state);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeFunctions::BroadcastNotification(ULONG code, VARIANT data) noexcept {
    LONG number = 0;
    if (V_VT(&data) == VT_I4) number = V_I4(&data);
    if (V_VT(&data) == VT_BOOL) number = V_BOOL(&data);
    notifications.push_back({code, V_VT(&data), number});
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeFunctions::SetFunctionEnabled(ULONG functionId, BOOL enabled) noexcept {
    enables.emplace_back(functionId, enabled != FALSE);
    return S_OK;
}

HRESULT FakeFunctions::GetOpenUiCount(ULONG* count) noexcept {
    *count = static_cast<ULONG>(openUis.size());
    return S_OK;
}

HRESULT FakeFunctions::GetOpenUiInvokeId(ULONG index, BSTR* invokeId) noexcept {
    *invokeId = nullptr;
    if (index >= openUis.size()) return E_FAIL;
    *invokeId = ::SysAllocString(openUis[index].c_str());
    return *invokeId ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE FakeFunctions::CloseFunctionUi(BSTR invokeId, VARIANT_BOOL* result) noexcept {
    closeRequests.emplace_back(invokeId ? invokeId : L"");
    *result = VARIANT_TRUE;
    // The control unregisters itself while it closes.
    openUis.erase(std::remove(openUis.begin(), openUis.end(), closeRequests.back()), openUis.end());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeCommunication::SetChannel(IUnknown* channel) noexcept {
    channels.push_back(channel != nullptr);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeCommunication::GoOnline(VARIANT_BOOL* result) noexcept {
    ++goOnlineCalls;
    *result = VARIANT_FALSE;
    if (connectAnswer == ConnectAnswer::NotSent) return S_OK;
    dtm_->SetState(10);
    *result = VARIANT_TRUE;
    if (connectAnswer == ConnectAnswer::Success) dtm_->SetState(12);
    if (connectAnswer == ConnectAnswer::Failure) dtm_->SetState(9);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeCommunication::GoOffline(VARIANT_BOOL* result) noexcept {
    ++goOfflineCalls;
    dtm_->SetState(11);
    dtm_->SetState(9);
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT LimitedStream::Write(const void* data, ULONG size, ULONG* written) noexcept {
    if (written) *written = 0;
    const size_t room = capacity_ > bytes_.size() ? capacity_ - bytes_.size() : 0;
    if (failOutright_ && size > room) return STG_E_MEDIUMFULL;
    const ULONG taken = static_cast<ULONG>(std::min<size_t>(room, size));
    bytes_.append(static_cast<const char*>(data), taken);
    if (written) *written = taken;
    return S_OK;  // a short write that reports success, as some media do
}

}  // namespace dtmtest
