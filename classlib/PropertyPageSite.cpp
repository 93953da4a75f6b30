#include "classlib/PropertyPageSite.h"

#include <utility>

namespace ql {

HRESULT PropertyPageSite::OnStatusChange(DWORD flags) noexcept {
    OnPageStatusChange(flags);
    return S_OK;
}

HRESULT PropertyPageSite::GetLocaleID(LCID* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = ::GetUserDefaultLCID();
    return *out ? S_OK : E_FAIL;
}

HRESULT PropertyPageSite::GetPageContainer(IUnknown** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT PropertyPageSite::TranslateAccelerator(MSG* message) noexcept {
    QL_RETURN_IF_NULL_OUT(message);
    return TranslatePageKey(message);
}

HostedPropertyPage::HostedPropertyPage(HostedPropertyPage&& other) noexcept { *this = std::move(other); }

HostedPropertyPage& HostedPropertyPage::operator=(HostedPropertyPage&& other) noexcept {
    if (this == &other) return *this;
    Reset();
    page_ = std::move(other.page_);
    info_ = std::exchange(other.info_, PROPPAGEINFO{sizeof(PROPPAGEINFO)});
    siteSet_ = std::exchange(other.siteSet_, false);
    objectsSet_ = std::exchange(other.objectsSet_, false);
    activated_ = std::exchange(other.activated_, false);
    return *this;
}

HRESULT HostedPropertyPage::Create(REFCLSID classId, IPropertyPageSite* site, ULONG objectCount,
                                   IUnknown** objects) noexcept {
    Reset();
    QL_RETURN_IF_FAILED(
        ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page_.PutVoid()));
    HRESULT hr = page_->SetPageSite(site);
    siteSet_ = SUCCEEDED(hr);
    if (SUCCEEDED(hr)) {
        hr = page_->SetObjects(objectCount, objects);
        objectsSet_ = SUCCEEDED(hr);
    }
    if (SUCCEEDED(hr)) hr = page_->GetPageInfo(&info_);
    if (FAILED(hr)) Reset();
    return hr;
}

HRESULT HostedPropertyPage::Activate(HWND parent, const RECT& rect) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, !page_);
    QL_RETURN_IF_FAILED(page_->Activate(parent, &rect, TRUE));
    activated_ = true;
    return S_OK;
}

void HostedPropertyPage::Reset() noexcept {
    if (page_) {
        // Letting go of a page undoes each step that was done, whatever the page answers: the host drops it
        // in any case.
        if (activated_) (void)page_->Deactivate();
        if (objectsSet_) (void)page_->SetObjects(0, nullptr);
        if (siteSet_) (void)page_->SetPageSite(nullptr);
    }
    activated_ = objectsSet_ = siteSet_ = false;
    page_.Reset();
    FreeInfo();
}

void HostedPropertyPage::FreeInfo() noexcept {
    ::CoTaskMemFree(info_.pszTitle);
    ::CoTaskMemFree(info_.pszDocString);
    ::CoTaskMemFree(info_.pszHelpFile);
    info_ = PROPPAGEINFO{sizeof(PROPPAGEINFO)};
}

}  // namespace ql
