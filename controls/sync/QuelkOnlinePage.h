#pragma once
// CQuelkOnlinePage: the layer of the parameter pages over the control base. A page works on the device
// while its online flag is exactly 1 and on the DTM's dataset otherwise; the tree frame sets the flag and
// the frame mode through IQuelkPageMode. Around each of its own transfers the page puts a transfer mark into
// the parameter record's access word (0x1000 online, 0x2000 offline store), so that the DTM announces the
// values of an online transfer as notifications (0x2800 new value, 0x2801 written) instead of storing them,
// and the page tells its own offline stores apart from other changes (0x2702).
//
// What the property-page layer supplies (the COM page class derives from this layer and ql::PropertyPage):
// - IPropertyPage2 and the page site: NotifyPageStatus (declared on the base, called by SetDirty when the
//   flag changes) passes the state on through SetPageDirty, and ql::PropertyPage::ApplyChanges answers with
//   ApplyModifiedRows;
// - the dialog window (AttachDialogWindow) and its messages through ProcessWindowMessage; a page whose
//   kill-focus notifications should bring the control back in line with the DTM routes them to
//   OnParameterEdited (from its own OnControlCommit or its message map);
// - the COM identity: the complete class chains this layer's table (QL_ENTRY_CHAIN(CQuelkOnlinePage)).
//
// Threading: the frame's user-interface thread, which is also the DTM's; the DTM's device transfers pump
// messages, so the page's handlers run re-entrantly inside its own transfers. Nothing is locked.
#include <string>

#include "controls/base/QuelkControlBase.h"

// The page's online flag: only this value means the page works on the device.
constexpr ULONG kPageOnline = 1;
// The frame mode a page hands the DTM before it has been given one: offline parameterization.
constexpr ULONG kFrameModeOfflineTree = 1;

class CQuelkOnlinePage : public CQuelkControlBase, public IQuelkPageMode {
    QL_INTERFACE_PART_TABLE(CQuelkOnlinePage, QL_ENTRY_CHAIN(CQuelkControlBase), QL_ENTRY(IQuelkPageMode))

public:
    // --- IQuelkPageMode ---
    HRESULT STDMETHODCALLTYPE SetOnline(ULONG online) noexcept override;
    HRESULT STDMETHODCALLTYPE PageModeReserved4() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFrameMode(ULONG mode) noexcept override;
    // Passes the request to the DTM object; always S_OK.
    HRESULT STDMETHODCALLTYPE CompareSingleParameter(VARIANT id, VARIANT* deviceValue,
                                                     VARIANT* dtmValue) noexcept override;

    // --- the page's replacements in the control base ---
    // 0x2702 dropped on an online page for its own offline store, 0x2800 shown and 0x2801 taken as
    // written by an online page; everything else goes to the base's handler.
    HRESULT STDMETHODCALLTYPE OnNotify(ULONG code, VARIANT data) noexcept override;
    // Keeps the text as the page's last device error (the DTM broadcasts a failed transfer this way).
    HRESULT STDMETHODCALLTYPE ShowMessage(ULONG id, BSTR text, VARIANT extra) noexcept override;
    // Tells the DTM the frame mode as its active function first, and reads the control by id.
    HRESULT ValidateParameter(ULONG id, VARIANT_BOOL* valid) noexcept override;
    HRESULT StoreControlValue(ULONG id) noexcept override;
    HRESULT CommitParameter(ULONG id) noexcept override;
    HRESULT LoadParameter(ULONG id) noexcept override;

    // --- a person's action that talks to the device ---
    // An Enter commit with what follows it, or Apply. Its synchronous requests dispatch messages while they
    // wait; as long as it runs, the page starts no device request of its own for those messages (a cyclic
    // read, the reload of a field that lost the focus), and once one of its requests got no answer in time
    // it asks the device nothing more: every further request would only wait out the same silence. The scope
    // holds the page, so that a frame that lets the page go inside a wait does not free it under the action.
    // Actions started inside a wait join the running one.
    class DeviceAction {
    public:
        explicit DeviceAction(CQuelkOnlinePage& page) noexcept;
        DeviceAction(const DeviceAction&) = delete;
        DeviceAction& operator=(const DeviceAction&) = delete;
        ~DeviceAction();

    private:
        CQuelkOnlinePage& page_;
        ql::ComPtr<IUnknown> hold_;
    };
    bool InDeviceAction() const noexcept { return actionDepth_ > 0; }
    // A request of the running action went unanswered: it sends nothing more.
    bool DeviceSilent() const noexcept { return deviceSilent_; }
    // The device's value of `id` through the DTM's comparison (the dataset keeps its own): E_ABORT when no
    // answer came (the running action then asks nothing more) or the action had found the device silent
    // already, E_FAIL for any other failed read and for a NaN or an infinity the device answers. A failed
    // read gives no value (VT_EMPTY).
    HRESULT ReadDeviceValue(ULONG id, VARIANT* value) noexcept;
    // `value` through the DTM's write of one parameter (to the device online, into the dataset marked for
    // download otherwise): S_FALSE when it was not written, E_ABORT without a request once the running
    // action found the device silent, else the write's failure.
    HRESULT WriteParameterToDevice(ULONG id, const VARIANT& value) noexcept;
    // Apply: the modified rows, committed as one action.
    HRESULT ApplyModifiedRows() noexcept;

    // Whether the DTM is in any state but online (also without a DTM). E_POINTER for a null out-pointer.
    virtual HRESULT IsDtmOffline(bool* offline) noexcept;
    // A bound control lost the focus: online the parameter (or the device record holding it) is read again
    // from the device, offline the dataset's value is shown again; then the control's selection is removed.
    // E_POINTER without a DTM; handled cleared when no row has the control.
    HRESULT OnParameterEdited(UINT code, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;

    // Whether the value the page is showing is the device's (the new value of an online transfer), which the
    // dataset does not keep: what the page derives from it is shown, never stored, so that the offline
    // dataset stays as it was.
    bool ShowsDeviceValue() const noexcept { return showingDeviceValue_; }
    ULONG OnlineFlag() const noexcept { return online_; }
    bool IsOnline() const noexcept { return online_ == kPageOnline; }
    ULONG FrameMode() const noexcept { return frameMode_; }
    bool HasDeviceError() const noexcept { return hasDeviceError_; }
    const std::wstring& LastDeviceError() const noexcept { return lastDeviceError_; }
    void ClearDeviceError() noexcept {
        hasDeviceError_ = false;
        lastDeviceError_.clear();
    }

protected:
    explicit CQuelkOnlinePage(const ParameterMap& map) noexcept : CQuelkControlBase(map) {}

    // Keeps a request's result for the running action (a time-out or a quit means no answer came) and
    // passes it on; a write the device refused leaves its message as the page's last device error.
    HRESULT NoteDeviceResult(HRESULT result) noexcept;

private:
    HRESULT CommitOnline(ULONG id, ULONG access, const VARIANT& value, IQuelkVariablesEx* store) noexcept;
    HRESULT CommitOffline(ULONG id, ULONG access, const VARIANT& value) noexcept;
    HRESULT OnValueChangedNotify(const VARIANT& data) noexcept;
    HRESULT OnDeviceValueNotify(const VARIANT& data) noexcept;
    HRESULT OnWrittenNotify(const VARIANT& data) noexcept;
    // The message of a refused write, from the thread's error object the write left.
    void TakeRefusalMessage() noexcept;

    ULONG online_ = 0;
    ULONG frameMode_ = kFrameModeOfflineTree;
    bool hasDeviceError_ = false;
    std::wstring lastDeviceError_;
    ULONG actionDepth_ = 0;
    bool deviceSilent_ = false;
    bool showingDeviceValue_ = false;
};
