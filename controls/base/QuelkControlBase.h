#pragma once
// CQuelkControlBase: the common base of every parameter-bound user-interface class (the composite controls
// and the property pages). It implements the private control interfaces through which the DTM and the
// parameterization window drive the control (IQuelkControl, IQuelkControlInfo in its page form,
// IQuelkControlSite), owns a copy of its class's parameter map, reaches the DTM's variable store through
// the IQuelkVariables pointer that Init stores, and turns window messages of its dialog into calls of its
// handlers (show, colours, value changed, value committed).
//
// The virtual members after the eight IQuelkControl methods keep the order of the framework's slot table
// (UpdateControl first, GetDlgItemKind last), so that a class layer overrides exactly the slot it means.
//
// What a class layer (composite control, property page) supplies, since the base knows no window class
// and no COM identity of its own:
// - the COM object: the layer derives from ql::ComObjectBase<Layer> and CQuelkControlBase, chains the
//   base's interface table (QL_ENTRY_CHAIN(CQuelkControlBase)) and calls SetControllingUnknown once built;
// - the dialog: AttachDialogWindow with the window that holds the bound dialog controls once it exists,
//   and every message of that window through ProcessWindowMessage (after the layer's own maps);
// - the composite Init with its function call, and the page layer's keyboard handling.
//
// Threading: apartment-threaded, on the frame's user-interface thread; nothing is locked. Ownership: the
// base holds one reference on the variable store and one on the frame container; the controlling unknown
// and the dialog window are borrowed from the layer.
#include <windows.h>
#include <ocidl.h>

#include <cstdarg>
#include <map>
#include <string>
#include <vector>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "classlib/GdiObject.h"
#include "classlib/Variant.h"
#include "controls/base/ControlStateTable.h"
#include "controls/base/ParameterMapEntry.h"
#include "controls/base/QuelkTooltips.h"
#include "idl/OutsideDispatch.h"
#include "values/DtmVocabulary.h"
#include "values/QuelkMessageSink.h"
#include "xml/QuelkXMLHandlerImpl.h"

// Items of IQuelkControlInfo::GetInfo.
enum ControlInfoItem : ULONG {
    kInfoFunctionCall = 1,
    kInfoParameterIds = 16,
};

// Splits the payload of a value notification (VT_ARRAY|VT_VARIANT: id as VT_UI4, value) into id and a
// copy of the value. E_UNEXPECTED for another payload, E_FAIL when the id is not VT_UI4.
HRESULT UnpackIdValue(const VARIANT& data, ULONG* id, VARIANT* value) noexcept;
// The two elements of such a payload, whatever their types, each by the checked copy. E_UNEXPECTED for
// another payload: an array that does not own the VARIANTs it holds, and an element the copy refuses.
HRESULT FetchIdValuePair(const VARIANT& data, ql::Variant& id, ql::Variant& value) noexcept;

// One dialog item that a class localises: its resource id and its symbolic name. A table ends with id 0.
struct ControlTextEntry {
    UINT resourceId;
    const char* symbolicName;
};

class CQuelkCyclicTimer;

class CQuelkControlBase : public ToolkitDispatchImpl<IQuelkControl>,
                          public ToolkitDispatchImpl<IQuelkControlSite>,
                          public ToolkitDispatchImpl<IQuelkControlInfo> {
    // IDispatch is not among these: the DTM reaches the control interfaces by their own IIDs, and the
    // object's IDispatch is its class's own interface, which the layers answer (ql::CoClassDispatch).
    QL_INTERFACE_PART_TABLE(CQuelkControlBase, QL_ENTRY(IQuelkControl),
                            QL_ENTRY_IID(IID_IQuelkControlCompat, IQuelkControl), QL_ENTRY(IQuelkControlSite),
                            QL_ENTRY(IQuelkControlInfo),
                            QL_ENTRY_FUNC(IID_IQuelkLocalization, QueryLocalization))

public:
    CQuelkControlBase(const CQuelkControlBase&) = delete;
    CQuelkControlBase& operator=(const CQuelkControlBase&) = delete;

    // --- IQuelkControl (slots 7 to 14) ---
    HRESULT STDMETHODCALLTYPE SetDtmState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowStatusText(BSTR text) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowMessageVariant(VARIANT id, BSTR text, VARIANT extra) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyVariant(VARIANT code, VARIANT data) noexcept override;
    // The page form: attaches to the DTM's variable store, binds the hosted child controls, loads every
    // row and localises the control.
    HRESULT STDMETHODCALLTYPE Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE ReleaseDtm(VARIANT_BOOL* done) noexcept override;
    // The status-line form: the text goes to Report.
    HRESULT STDMETHODCALLTYPE ShowMessage(ULONG id, BSTR text, VARIANT extra) noexcept override;
    HRESULT STDMETHODCALLTYPE OnNotify(ULONG code, VARIANT data) noexcept override;

    // --- slots 15 to 61 ---
    virtual HRESULT UpdateControl(UINT row) noexcept;
    virtual HRESULT FillEnumControl(UINT row) noexcept;
    virtual HRESULT RefillEnumControl(UINT row) noexcept;
    virtual BOOL SetDirty(BOOL dirty) noexcept;
    virtual HRESULT FocusFirstInvalidControl() noexcept;
    virtual HRESULT ShowValue(UINT row, VARIANT value) noexcept;
    virtual HRESULT ShowValueById(ULONG id, VARIANT value) noexcept;
    virtual HRESULT ShowEnumValue(UINT row, VARIANT value) noexcept;
    virtual HRESULT ShowBitEnumValue(UINT row, VARIANT value) noexcept;
    virtual HRESULT ReadParameterDisplay(UINT row, VARIANT* value) noexcept;
    virtual HRESULT GetEnumEntryByString(UINT row, VARIANT* value) noexcept;
    virtual HRESULT CheckEnumText(UINT row, VARIANT* value, bool* valid) noexcept;
    virtual HRESULT ReadEnumSelection(UINT row, VARIANT* value) noexcept;
    virtual HRESULT CheckEnumSelection(UINT row, VARIANT* value, bool* valid) noexcept;
    virtual HRESULT ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept;
    virtual HRESULT ValidateRow(UINT row, VARIANT_BOOL* valid) noexcept;
    virtual HRESULT ValidateEnumRow(UINT row, VARIANT_BOOL* valid) noexcept;
    virtual HRESULT ValidateBitEnumRow(UINT row, VARIANT_BOOL* valid) noexcept;
    virtual HRESULT ValidateParameter(ULONG id, VARIANT_BOOL* valid) noexcept;
    virtual HRESULT SetRowState(UINT row, ULONG flags) noexcept;
    virtual HRESULT SetStateById(ULONG id, ULONG flags) noexcept;
    virtual HRESULT LockAllControls(BOOL lock) noexcept;
    virtual HRESULT RefreshControl(ULONG id) noexcept;
    virtual HRESULT StoreControlValue(ULONG id) noexcept;
    virtual HRESULT FetchParameterAttributes(UINT row) noexcept;
    virtual HRESULT GetParameterState(ULONG id, ULONG* state) noexcept;
    virtual HRESULT GetParameterValue(ULONG id, VARIANT* value) noexcept;
    virtual HRESULT SetParameterValue(ULONG id, VARIANT value) noexcept;
    virtual HRESULT GetParameterRange(ULONG id, VARIANT* minimum, VARIANT* maximum) noexcept;
    virtual HRESULT GetParameterType(ULONG id, VARTYPE* type) noexcept;
    virtual HRESULT LoadParameter(ULONG id) noexcept;
    virtual HRESULT CommitParameter(ULONG id) noexcept;
    virtual HRESULT ReadDeviceParameter(UINT row) noexcept;
    virtual HRESULT WriteDeviceParameter(UINT row) noexcept;
    virtual HRESULT ProbeParameterState(ULONG id) noexcept;
    virtual HRESULT ConvertParameterToText(ULONG id, BSTR* text) noexcept;
    virtual LRESULT OnControlCommit(UINT code, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    virtual LRESULT OnControlChange(UINT code, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    virtual LRESULT OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept;
    virtual LRESULT OnCtlColorEdit(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept;
    virtual LRESULT OnCtlColorListBox(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept;
    virtual LRESULT OnCtlColorStatic(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept;
    virtual LRESULT OnDrawItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    virtual HRESULT InitStateTable() noexcept;
    virtual BOOL IsVariantEqual(VARIANT first, VARIANT second) noexcept;
    virtual int GetControlKind(HWND window) noexcept;
    virtual int GetDlgItemKind(UINT controlId) noexcept;
    // Called by SetDirty when the dirty flag changes, with PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE
    // or 0: the property-page layer passes it to its page site. The base has no site.
    virtual void NotifyPageStatus(DWORD) noexcept {}

    // --- IQuelkControlSite ---
    HRESULT STDMETHODCALLTYPE OnChildNotify(ULONG controlId, ULONG code, VARIANT data) noexcept override;

    // --- IQuelkControlInfo, page form ---
    HRESULT STDMETHODCALLTYPE GetInfo(VARIANT what, VARIANT* value) noexcept override;
    HRESULT STDMETHODCALLTYPE SetInfo(VARIANT what, VARIANT value) noexcept override;
    HRESULT STDMETHODCALLTYPE InitSchemaCacheFromFrame(IUnknown* frame) noexcept override;

    // --- non-virtual services ---
    // The base message map: show, colours, owner drawing, then the change and commit notifications of
    // WM_COMMAND. Map ids other than 0 are not served.
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) noexcept;
    // printf-style status reports (512 and 4096 characters) through ShowStatusText.
    int Report(const char* format, ...) noexcept
#if defined(__MINGW_PRINTF_FORMAT)
        __attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3)))
#endif
        ;
    void ReportLong(const char* format, ...) noexcept
#if defined(__MINGW_PRINTF_FORMAT)
        __attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3)))
#endif
        ;
    // Whether the row of `id` holds a valid value (1) or one marked invalid (0); E_INVALIDARG when no row has
    // the id. The online pages answer it on their primary interface.
    HRESULT IsParameterValid(ULONG id, BYTE* valid) const noexcept;
    // Index of the first row with `id`, -1 when none.
    int FindParamRow(ULONG id) const noexcept;
    // Whether the dialog item `controlId` hosts a control that answers IQuelkChildControl.
    bool IsChildControl(UINT controlId) noexcept;
    // The colour of a token for `row`; other colours unchanged.
    COLORREF ResolveStateColor(UINT row, COLORREF color) const noexcept;
    HRESULT SetBackgroundBrush(COLORREF color) noexcept;
    // The light orange dialog background of the views that route WM_CTLCOLORDLG here.
    LRESULT OnCtlColorDlg(UINT message, WPARAM hdc, LPARAM dialog, BOOL& handled) noexcept;
    // Shows `text` to the user through the DTM's frame; the button pressed, 0 without a DTM.
    ULONG SendUserMessage(const char* text, const char* caption, ULONG flags) noexcept;
    // Answers the languages and texts of the DTM the control is attached to (no DTM: E_NOINTERFACE).
    HRESULT QueryLocalization(REFIID iid, void** out) noexcept;
    // Hands the DTM to the hosted child controls of the rows; a child that refuses ends the loop with the
    // HRESULT of the refusing call.
    HRESULT InitChildControls() noexcept;
    // Loads every row from the DTM; rows that fail are marked invalid and not loaded.
    HRESULT LoadAllRows() noexcept;
    // The body of a page's Apply and of a composite control's OK: refuses with the focus on the first
    // invalid row, else commits every modified row; clean only when no commit failed (the first failure
    // is returned; S_FALSE, a row the DTM does not take, counts as done).
    HRESULT ApplyModifiedRows() noexcept;
    // The release of the views that read cyclically: stops `timer`, switches the view's DTM function on
    // when the DTM was last told online and off otherwise, then lets the DTM go as ReleaseDtm does.
    HRESULT ReleaseDtmAndTimer(VARIANT_BOOL* done, ULONG functionId, CQuelkCyclicTimer& timer) noexcept;
    // Switches a function of the DTM's function list; E_NOINTERFACE without a DTM or its functions.
    HRESULT EnableDtmFunction(ULONG functionId, BOOL enabled) noexcept;
    // The notification entry of the plain property-page layer: the default handler of this class.
    HRESULT ForwardNotify(ULONG code, VARIANT data) noexcept {
        return CQuelkControlBase::OnNotify(code, data);
    }

    // --- texts from the DTM's translation document (nothing changes while the control has no DTM) ---
    // The body of a class's TranslateParameters: parameter descriptions as tooltips of the rows' controls,
    // the enumeration lists refilled, then the Text and Tooltip entries of every item of `table` under the
    // class `className` (an entry by resource id wins over one by symbolic name).
    HRESULT TranslateControlTexts(const wchar_t* className, const ControlTextEntry* table) noexcept;
    // The Text (a bitmap file name for a static bitmap item) and Tooltip entries under `controlXPath`.
    // E_FAIL when a bitmap file cannot be loaded.
    HRESULT ApplyControlTexts(UINT resourceId, BSTR controlXPath) noexcept;
    HRESULT SetTooltip(UINT controlId, const char* text) noexcept;
    // A property page's translated title and help file, replacing those of `info` when found.
    HRESULT GetTitle(const wchar_t* className, PROPPAGEINFO* info) noexcept;
    // The help text of a composite control: the string `helpStringId`, or its translation when found.
    HRESULT GetHelpText(const wchar_t* className, UINT helpStringId, std::string& text) noexcept;
    // The WM_HELP handler of a composite control: its help text through SendUserMessage; always 1.
    LRESULT ShowHelp(const wchar_t* className, UINT helpStringId) noexcept;
    // The registered user type name of a class (what the translation document calls its class name).
    static HRESULT ReadUserTypeName(REFCLSID clsid, std::wstring& name) noexcept;
    HWND TooltipOf(UINT controlId) const noexcept;
    bool IsLocked() const noexcept { return locked_; }

    // --- seams for the class layers ---
    void SetControllingUnknown(IUnknown* owner) noexcept { owner_ = owner; }
    IUnknown* ControllingUnknown() const noexcept { return owner_; }
    // Where the XML handler's messages go: the control's status text.
    CQuelkMessageSink& StatusReports() noexcept { return sink_; }
    void AttachDialogWindow(HWND dialog) noexcept { dialog_ = dialog; }
    HWND DialogWindow() const noexcept { return dialog_; }
    IQuelkVariables* Variables() const noexcept { return m_variables.Get(); }
    UINT RowCount() const noexcept { return m_rowCount; }
    ParameterMapEntry& Row(UINT row) noexcept { return m_rows[row]; }
    const ControlStateTable& StateTable() const noexcept { return m_stateTable; }
    ULONG DtmState() const noexcept { return m_dtmState; }
    LCID Language() const noexcept { return m_lcid; }
    bool IsLoading() const noexcept { return m_loading != FALSE; }
    bool IsUpdating() const noexcept { return m_updating != FALSE; }
    CQuelkXMLHandlerImpl& XmlHandler() noexcept { return m_xml; }

protected:
    // Copies `map`; the layer calls SetControllingUnknown and AttachDialogWindow later.
    explicit CQuelkControlBase(const ParameterMap& map) noexcept;
    virtual ~CQuelkControlBase();

    // The interface `iid` of the DTM that the control is attached to (null when it is not).
    template <class Interface>
    HRESULT QueryDtm(ql::ComPtr<Interface>& out) const noexcept {
        out.Reset();
        QL_RETURN_HR_IF(E_POINTER, !m_variables);
        return m_variables->QueryInterface(__uuidof(Interface), out.PutVoid());
    }
    // The check of one parameter's value against the DTM, the row state following the answer: the value from
    // the row's control (read by id through the class's reader when `readById`, else by row) or, for a row
    // without a control, from the dataset. The body of ValidateParameter and of the page layer's form.
    HRESULT CheckParameterValue(ULONG id, VARIANT_BOOL* valid, bool readById) noexcept;
    // The dialog item of a row's control id (null before the dialog exists).
    HWND RowItem(UINT row) const noexcept;
    // The row's recorded control window, else its dialog item.
    HWND RowWindow(UINT row) const noexcept;

    // The control's status sink: ReportLong of the XML handler's messages.
    class StatusSink final : public CQuelkMessageSink {
    public:
        explicit StatusSink(CQuelkControlBase& owner) noexcept : owner_(owner) {}
        // A message the status line cannot show leaves the last one there: the sink has no one to tell.
        void DeliverMessage(BSTR text) noexcept override { (void)owner_.ShowStatusText(text); }

    private:
        CQuelkControlBase& owner_;
    };

    CQuelkXMLHandlerImpl m_xml;
    std::vector<ParameterMapEntry> m_rows;  // the end row included
    ql::Brush m_brush;
    ql::ComPtr<IQuelkVariables> m_variables;
    ULONG m_dtmState = 0;
    ql::ComPtr<IFrameContainer> m_container;
    BOOL m_dirty = FALSE;
    BOOL m_ignoreChanges = FALSE;
    BOOL m_loading = FALSE;
    BOOL m_updating = FALSE;
    UINT m_rowCount = 0;
    LCID m_lcid = kLanguageEnglish;
    ControlStateTable m_stateTable;

private:
    void ReportV(size_t limit, const char* format, va_list args) noexcept;
    HRESULT HandleLanguage(const VARIANT& data) noexcept;
    HRESULT HandleValueChanged(const VARIANT& data) noexcept;
    HRESULT HandleSchemaFolder(const VARIANT& data) noexcept;
    HRESULT HandleDataLock(const VARIANT& data) noexcept;
    HRESULT QueryChildControl(UINT controlId, ql::ComPtr<IQuelkChildControl>& child) const noexcept;
    // The target of an enumerated display: E_INVALIDARG for a row past the end or one without an entry
    // array; `child` the row's hosted child control, null when its dialog item hosts none.
    HRESULT EnumDisplayChild(UINT row, ql::ComPtr<IQuelkChildControl>& child) noexcept;
    int FindRowByWindow(HWND window, bool withComboEdit) const noexcept;
    int FindRowByControlId(UINT controlId) const noexcept;
    LRESULT ColorControl(UINT row, int entry, HDC hdc, BOOL& handled) noexcept;
    LRESULT ColorMarker(UINT row, HDC hdc, BOOL& handled) noexcept;
    HRESULT ReadRowText(UINT row, std::string& text) const noexcept;

    IUnknown* owner_ = nullptr;  // borrowed: the layer's controlling unknown
    HWND dialog_ = nullptr;      // borrowed: the layer's dialog window
    HRESULT ClassXPath(const wchar_t* className, const wchar_t* suffix, ql::Bstr& xpath) const noexcept;
    HRESULT LookupText(IQuelkLocalization* texts, BSTR xpath, ql::Bstr& text, bool& found) const noexcept;
    HRESULT TranslateRowDescriptions() noexcept;

    CQuelkTooltips tooltips_;
    std::map<UINT, ql::Bitmap> bitmaps_;  // bitmaps set into static items, owned until replaced
    bool shownOnce_ = false;
    bool committing_ = false;  // the validating flag: a commit notification's check runs
    // Set between a lock and the unlock of the DTM: a state that reaches a row meanwhile keeps the row
    // disabled and leaves its writable bit in the lock's memory.
    bool locked_ = false;
    StatusSink sink_{*this};
};
