#pragma once
// The frame side of property pages.
//
// PropertyPageSite: the IPropertyPageSite part of a frame that hosts pages; the frame chains its table
// (QL_ENTRY_CHAIN(ql::PropertyPageSite)) and overrides the hooks.
//
// HostedPropertyPage: one page as a frame holds it: created by class id, given the site and the objects, its
// page information kept (the task-memory strings freed with it), activated inside the frame's window, and let
// go in the reverse order (Deactivate, SetObjects(0), SetPageSite(null), Release) so no page keeps the frame.
#include <ocidl.h>
#include <windows.h>

#include <vector>

#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"

namespace ql {

class PropertyPageSite : public IPropertyPageSite {
    QL_INTERFACE_PART_TABLE(PropertyPageSite, QL_ENTRY(IPropertyPageSite))

public:
    HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD flags) noexcept override;
    // The user's default locale; E_FAIL when the system answers none.
    HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* out) noexcept override;
    HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** out) noexcept override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) noexcept override;

protected:
    PropertyPageSite() noexcept = default;
    virtual ~PropertyPageSite() = default;

    // A page reported its status (PROPPAGESTATUS_DIRTY, _VALIDATE, _CLEAN).
    virtual void OnPageStatusChange(DWORD) noexcept {}
    // A key the page did not use; S_OK when the frame consumed it.
    virtual HRESULT TranslatePageKey(MSG*) noexcept { return S_FALSE; }
};

class HostedPropertyPage {
public:
    HostedPropertyPage() noexcept = default;
    HostedPropertyPage(const HostedPropertyPage&) = delete;
    HostedPropertyPage& operator=(const HostedPropertyPage&) = delete;
    HostedPropertyPage(HostedPropertyPage&& other) noexcept;
    HostedPropertyPage& operator=(HostedPropertyPage&& other) noexcept;
    ~HostedPropertyPage() { Reset(); }

    // Creates the page in-process and gives it `site`, the objects and asks for its page information; the
    // first failing step is the answer (the steps that succeeded are undone by Reset).
    HRESULT Create(REFCLSID classId, IPropertyPageSite* site, ULONG objectCount, IUnknown** objects) noexcept;
    HRESULT Activate(HWND parent, const RECT& rect) noexcept;
    // Deactivates and lets the page go (see the top of this file).
    void Reset() noexcept;

    IPropertyPage* Page() const noexcept { return page_.Get(); }
    const PROPPAGEINFO& Info() const noexcept { return info_; }
    bool IsActivated() const noexcept { return activated_; }

private:
    void FreeInfo() noexcept;

    ComPtr<IPropertyPage> page_;
    PROPPAGEINFO info_{sizeof(PROPPAGEINFO)};
    bool siteSet_ = false;
    bool objectsSet_ = false;
    bool activated_ = false;
};

}  // namespace ql
