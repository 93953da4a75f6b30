#pragma once
// The control-base tests' world: a small test page built on CQuelkControlBase with its own parameter map,
// hosted in a real dialog made from an in-memory template, attached to the registered DTM created through
// COM by its ProgID and configured by our frame host; optionally online with the simulated flowmeter.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/WindowOwner.h"
#include "controls/base/QuelkControlBase.h"
#include "frame/DtmSession.h"
#include "frame/FrameHost.h"
#include "frame/FunctionUi.h"
#include "frame/simulator/SimulatedDpv1Channel.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestObjects.h"

namespace controltest {

using namespace vtest;

// Dialog items of the test dialog.
enum : UINT {
    kTagEdit = 101,
    kAddressEdit = 102,
    kFactorStatic = 103,
    kTestButton = 104,
    kLockCheck = 105,
    kLogoStatic = 106,
    kUnitCombo = 107,
};

// Dataset parameters the map binds.
constexpr ULONG kTagId = 1;                 // VT_BSTR, writable
constexpr ULONG kStationAddressId = 3;      // VT_UI1, writable
constexpr ULONG kCalibrationFactorId = 39;  // VT_R4, device parameter
constexpr ULONG kMassFlowId = 46;           // byte array, read-only device parameter

const ParameterMap& TestPageMap();
// A map whose second row names a parameter the DTM does not have.
const ParameterMap& MapWithUnknownParameter();

class CTestPage final : public ql::ComObjectBase<CTestPage>,
                        public CQuelkControlBase,
                        public ToolkitDispatchImpl<IQuelkParameterTexts> {
    QL_INTERFACE_TABLE(CTestPage, QL_ENTRY_CHAIN(CQuelkControlBase), QL_ENTRY(IQuelkParameterTexts))

public:
    explicit CTestPage(const ParameterMap& map = TestPageMap()) noexcept : CQuelkControlBase(map) {}
    HRESULT FinalConstruct() noexcept {
        SetControllingUnknown(GetControllingUnknown());
        return S_OK;
    }

    // The calls the DTM makes, in order, as "name" or "name code".
    std::vector<std::string> calls;
    std::vector<std::wstring> statusTexts;
    bool failStateUpdates = false;
    const ControlTextEntry* textTable = nullptr;

    HRESULT STDMETHODCALLTYPE SetDtmState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowStatusText(BSTR text) noexcept override;
    HRESULT STDMETHODCALLTYPE OnNotify(ULONG code, VARIANT data) noexcept override;
    HRESULT STDMETHODCALLTYPE GetInfo(VARIANT what, VARIANT* value) noexcept override;
    HRESULT STDMETHODCALLTYPE InitSchemaCacheFromFrame(IUnknown* frame) noexcept override;
    HRESULT SetStateById(ULONG id, ULONG flags) noexcept override;
    HRESULT STDMETHODCALLTYPE TranslateParameters(ULONG lcid) noexcept override;
};

// One item of a dialog template: a predefined window class by its ordinal, style (WS_CHILD and WS_VISIBLE
// are added), id, place in dialog units and text.
struct DialogItem {
    WORD classOrdinal;
    DWORD style;
    WORD id;
    short x, y, cx, cy;
    const wchar_t* text;
};
constexpr WORD kButtonClass = 0x0080, kEditClass = 0x0081, kStaticClass = 0x0082, kListBoxClass = 0x0083,
               kComboBoxClass = 0x0085;

// A modeless dialog of `items` whose procedure hands every message to the page's message map, as the
// class layers do; a child page of `parent` when one is given.
ql::WindowOwner CreateDialogWithItems(CQuelkControlBase& control, const std::vector<DialogItem>& items,
                                      HWND parent = nullptr);

// A hosted child control as a control host presents it: the dialog item answers "WM_ATLGETCONTROL".
class ChildControl : public CountedDispatch<IQuelkChildControl> {
public:
    ChildControl() : CountedDispatch({IID_IQuelkChildControl}) {}
    std::vector<std::string> calls;
    VARIANT_BOOL attachAnswer = VARIANT_TRUE;

    HRESULT STDMETHODCALLTYPE AttachDtm(IUnknown* dtm, VARIANT_BOOL* ok) override {
        calls.push_back(dtm ? "AttachDtm" : "AttachDtm without DTM");
        *ok = attachAnswer;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BindParameter(ULONG id, BSTR name, BSTR, VARIANT_BOOL* ok) override {
        calls.push_back("BindParameter " + std::to_string(id) + " " + (name ? "named" : "unnamed"));
        *ok = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetParentControl(ULONG id, IUnknown* owner, VARIANT_BOOL* ok) override {
        calls.push_back("SetParentControl " + std::to_string(id) + (owner ? "" : " without owner"));
        *ok = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DisplayValue(ULONG id, VARIANT) override {
        calls.push_back("DisplayValue " + std::to_string(id));
        return S_FALSE;
    }
    VARNOK_UNEXPECTED_CALL(ChildControlReserved9)
    VARNOK_UNEXPECTED_CALL(ReadParameterValue, ULONG, VARIANT*)
    HRESULT STDMETHODCALLTYPE SetParameterState(ULONG, ULONG) override { return S_OK; }
    VARNOK_UNEXPECTED_CALL(ChildControlReserved13)
    // Takes the focus request without writing the answer.
    HRESULT STDMETHODCALLTYPE FocusParameter(LONG, VARIANT, VARIANT_BOOL*) override { return S_OK; }

    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR child) {
        if (message == ::RegisterWindowMessageW(L"WM_ATLGETCONTROL")) {
            auto* self = reinterpret_cast<ChildControl*>(child);
            self->AddRef();  // the caller owns the answer
            return reinterpret_cast<LRESULT>(static_cast<IUnknown*>(self));
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
};

// That dialog with the test items above.
ql::WindowOwner CreateTestDialog(CQuelkControlBase& control, HWND parent = nullptr);

// A frame host and one configured DTM (state 8) created through COM.
class DtmFixture : public ComTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Hands the DTM a channel to the simulated flowmeter and waits until it is online.
    void GoOnline();
    IQuelkVariablesEx* Store() const { return store_.Get(); }
    // The record's access word, or with `newAccess` written first.
    ULONG Access(ULONG id, const ULONG* newAccess = nullptr);
    ql::ComPtr<CTestPage> NewPage(const ParameterMap& map = TestPageMap());

    ql::ComPtr<CFrameHost> frame_;
    CDtmSession session_;
    ql::ComPtr<IQuelkVariablesEx> store_;
    ql::ComPtr<CSimulatedDpv1Channel> channel_;
};

// The DTM online with the simulated flowmeter and one user interface the frame opens for it; the DTM's close
// requests reach the frame's container. TearDown (or an earlier ReleaseAll) closes the user interface and
// lets the DTM go.
class HostedUiFixture : public DtmFixture {
protected:
    void GoOnlineForUi();
    void TearDown() override { ReleaseAll(); }
    void ReleaseAll();

    CFunctionUi ui_;
    HWND dialog_ = nullptr;
    bool released_ = false;
};

std::wstring WindowText(HWND window);

}  // namespace controltest
