#pragma once
// CAboutView: the about view that a frame opens for the DTM's "About" function. Init asks the DTM where its
// about file lies (IQuelkAboutFile), reads the page and shows its text, the markup reduced to plain lines, in
// a read-only multi-line edit; without a path, or when the file cannot be read, a short line says so.
// Init may come before or after the window exists: the text is kept and shown once both are there.
// The module's own type library declares the class with IDtmActiveXControl as its default interface, the
// one its IDispatch answers (described by the registered FDT library).
//
// Ownership: one reference on the DTM's IDtm from Init until PrepareToRelease, released with the view at the
// latest; nothing else of the DTM is kept. Threading: apartment-threaded, on the frame's user-interface
// thread.
#include <windows.h>

#include <string>

#include "AboutViewLibrary.h"
#include "AboutViewResources.h"
#include "FdtInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/DialogControl.h"
#include "classlib/MessageMap.h"
#include "idl/OutsideDispatch.h"

namespace standins {

class CAboutView final : public ql::ComObjectBase<CAboutView>,
                         public FdtDispatchImpl<IDtmActiveXControl>,
                         public ql::DialogControl {
    QL_INTERFACE_TABLE(CAboutView, QL_ENTRY(IDtmActiveXControl),
                       QL_ENTRY_IID(IID_IDispatch, IDtmActiveXControl), QL_ENTRY_CHAIN(ql::DialogControl))

    QL_BEGIN_MSG_MAP(CAboutView)
    QL_MESSAGE_HANDLER(WM_SIZE, OnSize)
    QL_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    QL_CHAIN_MSG_MAP(ql::DialogControl)
    QL_END_MSG_MAP()

public:
    CAboutView();

    // ---- IDtmActiveXControl ----
    // S_OK with ok TRUE once the text is there, also when it is the line saying that the file is missing;
    // S_FALSE with ok FALSE without a DTM or when the view was initialised before (it serves one call).
    HRESULT STDMETHODCALLTYPE Init(BSTR invokeId, BSTR functionCall, IDtm* dtm,
                                   VARIANT_BOOL* ok) noexcept override;
    // Lets go of the DTM; the text stays until the view goes.
    HRESULT STDMETHODCALLTYPE PrepareToRelease(VARIANT_BOOL* ok) noexcept override;

protected:
    void OnWindowCreated() noexcept override;

private:
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    // Puts the text into the edit with the caret at its start.
    void ShowText() noexcept;

    ql::ComPtr<IDtm> dtm_;
    std::wstring text_;
    bool initialised_ = false;
};

}  // namespace standins
