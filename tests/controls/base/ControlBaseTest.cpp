// The control base against the registered DTM: initialisation and the notifications of its registration,
// the notification table, locks, device access by row, status reports, the state colours
// and markers on a real dialog, and the parameter map's rows.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ControlTestSupport.h"
#include "classlib/AxControlSite.h"
#include "classlib/AxHostWindow.h"
#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "tests/support/HostileArrays.h"
#include "tests/support/LateBoundCall.h"
#include "tests/support/ServerModule.h"
#include "tests/support/TestObjects.h"
#include "tests/support/TestVariants.h"

namespace controltest {
namespace {

class ControlBaseTest : public DtmFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        page_ = NewPage();
        dialog_ = CreateTestDialog(*page_.Get());
        ASSERT_TRUE(dialog_);
        ::ShowWindow(dialog_.Get(), SW_SHOWNA);  // records the control windows and creates the markers
    }
    void TearDown() override {
        dialog_.Reset();
        page_.Reset();
        DtmFixture::TearDown();
    }
    void Init() {
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_HR(S_OK, page_->Init(session_.Object(), &ok));
        ASSERT_EQ(VARIANT_TRUE, ok);
    }
    HWND Item(UINT id) const { return ::GetDlgItem(dialog_.Get(), static_cast<int>(id)); }

    ql::ComPtr<CTestPage> page_;
    ql::WindowOwner dialog_;
};

// The DTM registers an opened control and tells it the frame, asks for its function call, tells its state
// and the language, in this order; Init then loads every row into its control.
TEST_F(ControlBaseTest, RegistrationNotifiesInOrderAndInitLoadsTheRows) {
    ql::ComPtr<IQuelkFunctions> functions;
    ASSERT_HR(S_OK, session_.Object()->QueryInterface(IID_IQuelkFunctions, functions.PutVoid()));
    ql::Bstr invokeId(L"{00000000-0000-0000-0000-000000000016}");
    ASSERT_HR(S_OK, functions->ActiveXControlEvent(invokeId.Get(), static_cast<IQuelkControl*>(page_.Get())));
    // A control with IQuelkControlInfo takes the schema folder from the frame, not through 0x2709.
    const std::vector<std::string> expected = {"InitSchemaCache", "GetInfo", "SetDtmState", "OnNotify 2700"};
    EXPECT_EQ(expected, page_->calls);
    EXPECT_EQ(8u, page_->DtmState());

    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_EQ(L"VarnokP3 DTM", WindowText(Item(kTagEdit)));
    EXPECT_EQ(L"1", WindowText(Item(kFactorStatic)));

    // A value set in the dataset comes back as 0x2702 and refreshes the bound control.
    ASSERT_HR(S_OK, Store()->SetValue(kTagId, *MakeBstr(L"Boiler 7")));
    EXPECT_EQ(L"Boiler 7", WindowText(Item(kTagEdit)));
    ASSERT_HR(S_OK, functions->ActiveXControlEvent(invokeId.Get(), nullptr));
}

// What a user types comes back typed as the parameter; an edit reaches the change handler through the
// message map, and a value that does not fit marks the row invalid.
TEST_F(ControlBaseTest, TypedValuesAreReadBackAndEditsAreValidated) {
    ASSERT_NO_FATAL_FAILURE(Init());
    ::SetWindowTextW(Item(kFactorStatic), L"2.5");
    ql::Variant value;
    EXPECT_HR(S_OK, page_->ReadParameterDisplayByID(kCalibrationFactorId, value.Put()));
    EXPECT_EQ("r4:2.5", Describe(*value));
    EXPECT_HR(E_INVALIDARG, page_->ReadParameterDisplayByID(kEndRowId, value.Put()));
    EXPECT_EQ(S_FALSE, page_->ReadParameterDisplay(page_->RowCount(), value.Put()));

    ::SetWindowTextW(Item(kAddressEdit), L"12");  // sends EN_CHANGE
    EXPECT_EQ(0u, page_->Row(1).state & kRowInvalid);
    ::SetWindowTextW(Item(kAddressEdit), L"300");
    EXPECT_HR(DISP_E_OVERFLOW, page_->ReadParameterDisplayByID(kStationAddressId, value.Put()));
    EXPECT_EQ(kRowInvalid, page_->Row(1).state & kRowInvalid);
    BYTE valid = 1;
    EXPECT_HR(S_OK, page_->IsParameterValid(kStationAddressId, &valid));
    EXPECT_EQ(0, valid);
}

// Init binds a hosted child in the order attach, owner, parameter; a child that refuses ends the binding
// but not Init, and values go to the child instead of the dialog item's text.
TEST_F(ControlBaseTest, HostedChildControlsAreBoundAndShowTheirValues) {
    ChildControl child;
    ASSERT_TRUE(
        ::SetWindowSubclass(Item(kTagEdit), ChildControl::HostProc, 1, reinterpret_cast<DWORD_PTR>(&child)));
    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_EQ((std::vector<std::string>{"AttachDtm", "SetParentControl 101", "BindParameter 1 named",
                                        "DisplayValue 1"}),
              child.calls);
    EXPECT_EQ(L"", WindowText(Item(kTagEdit)));

    child.calls.clear();
    child.attachAnswer = VARIANT_FALSE;
    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_EQ((std::vector<std::string>{"AttachDtm", "DisplayValue 1"}), child.calls);
    EXPECT_EQ(L"0", WindowText(Item(kAddressEdit)));
    ::RemoveWindowSubclass(Item(kTagEdit), ChildControl::HostProc, 1);
    EXPECT_EQ(1u, child.refs);
}

// A child control as a dialog hosts an ActiveX item: a host window of the class library holds it, and the
// class library's test control answers for it as an ActiveX control. The probe is the identity the host
// keeps and hands out, so its count shows every reference the page takes and gives back.
class HostedChildProbe final : public ChildControl {
public:
    explicit HostedChildProbe(IUnknown* control) : control_(control) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const HRESULT hr = ChildControl::QueryInterface(iid, out);
        return hr == E_NOINTERFACE ? control_->QueryInterface(iid, out) : hr;
    }
    void LetControlGo() { control_.Reset(); }

private:
    ql::ComPtr<IUnknown> control_;
};

// The host hands each asker a reference of its own: binding, loading, refreshing and the lock's state
// changes give every one back, and the child goes with the dialog.
TEST_F(ControlBaseTest, ARowBoundToAHostedActiveXItemKeepsItsReferencesBalanced) {
    ql::ComPtr<IUnknown> control;
    CLSID testControl{};
    ASSERT_HR(S_OK, ::CLSIDFromProgID(L"QuelkUiTest.Control", &testControl));
    ASSERT_HR(S_OK, ::CoCreateInstance(testControl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       control.PutVoid()));
    HostedChildProbe child(control.Get());
    control.Reset();

    RECT place{};
    ::GetWindowRect(Item(kTagEdit), &place);
    ::MapWindowPoints(nullptr, dialog_.Get(), reinterpret_cast<POINT*>(&place), 2);
    ::DestroyWindow(Item(kTagEdit));
    ASSERT_HR(S_OK, ql::RegisterAxHostWindowClass(::GetModuleHandleW(nullptr)));
    const HWND host = ::CreateWindowExW(
        0, ql::AxHostWindowClass(), L"", WS_CHILD | WS_VISIBLE, place.left, place.top,
        place.right - place.left, place.bottom - place.top, dialog_.Get(),
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTagEdit)), ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(host);
    ASSERT_HR(S_OK, ql::AxHostSite(host)->AttachControl(static_cast<IQuelkChildControl*>(&child), nullptr));
    const ULONG hosted = child.refs;
    EXPECT_EQ(2u, hosted) << "the test's and the host's";

    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_EQ((std::vector<std::string>{"AttachDtm", "SetParentControl 101", "BindParameter 1 named",
                                        "DisplayValue 1"}),
              child.calls);
    EXPECT_EQ(hosted, child.refs) << "after the load";
    EXPECT_HR(S_OK, page_->RefreshControl(kTagId));
    EXPECT_HR(S_OK, page_->UpdateControl(0));
    EXPECT_HR(S_OK, page_->LockAllControls(TRUE));
    EXPECT_HR(S_OK, page_->LockAllControls(FALSE));
    EXPECT_TRUE(page_->IsChildControl(kTagEdit));
    EXPECT_EQ(hosted, child.refs) << "after the refresh and the lock";

    dialog_.Reset();
    EXPECT_EQ(1u, child.refs) << "the host kept the child";
    child.LetControlGo();
    EXPECT_HR(S_OK, ServerCanUnloadNow(L"ui_test_server.dll")) << "the control outlived its dialog";
}

TEST_F(ControlBaseTest, GetInfoListsTheMappedIdsInMapOrder) {
    ql::Variant ids;
    EXPECT_HR(S_OK, page_->GetInfo(*MakeI4(kInfoParameterIds), ids.Put()));
    ASSERT_EQ(VT_ARRAY | VT_UI4, ids.Type());
    EXPECT_EQ((std::vector<ULONG>{kTagId, kStationAddressId, kCalibrationFactorId}), Elements<ULONG>(*ids));
}

TEST_F(ControlBaseTest, NotificationsAnswerByCodeAndPayload) {
    ASSERT_NO_FATAL_FAILURE(Init());
    ql::Variant unmapped;
    SAFEARRAYBOUND bound{2, 0};
    unmapped.AttachArray(VT_VARIANT, ::SafeArrayCreate(VT_VARIANT, 1, &bound));
    LONG index = 0;
    ASSERT_HR(S_OK, ::SafeArrayPutElement(V_ARRAY(unmapped.Get()), &index, MakeUI4(999).Get()));
    // A mapped id and a text the caller keeps: an array that does not own its VARIANTs is no payload, or
    // reading the value would take the caller's string and free it.
    ql::Bstr callerText(L"Boiler 7");
    ql::Variant callerOwned;
    callerOwned.AttachArray(VT_VARIANT, MakeArrayOwnedBy(ElementOwner::kCaller, VT_VARIANT, 2).Detach());
    {
        ql::SafeArrayData<VARIANT> elements(V_ARRAY(callerOwned.Get()));
        ASSERT_HR(S_OK, elements.Status());
        V_VT(&elements[0]) = VT_UI4;
        V_UI4(&elements[0]) = kTagId;
        V_VT(&elements[1]) = VT_BSTR;
        V_BSTR(&elements[1]) = callerText.Get();
    }
    const struct {
        const char* name;
        ULONG code;
        ql::Variant data;
        HRESULT hr;
    } cases[] = {
        {"value changed, not an array", kNotifyValueChanged, MakeI4(5), E_UNEXPECTED},
        {"value changed, unmapped id", kNotifyValueChanged, std::move(unmapped), S_OK},
        {"value changed, VARIANTs the caller owns", kNotifyValueChanged, std::move(callerOwned),
         E_UNEXPECTED},
        {"language as text", kNotifyLanguage, MakeBstr(L"1031"), S_OK},
        {"language not a number", kNotifyLanguage, MakeBstr(L"German"), DISP_E_TYPEMISMATCH},
        {"unknown code", 0x1234, ql::Variant(), S_FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_HR(c.hr, page_->OnNotify(c.code, *c.data));
    }
    EXPECT_EQ(1031u, page_->Language());

    // Nor is any array that does not hold VARIANTs of its own in one dimension, whatever its VARIANT claims:
    // a pair read by one index from two dimensions would take its second index from nowhere.
    SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
    std::vector<NamedValue> shapes = HostileArrays(VT_VARIANT, {callerText.Get()}, 2);
    shapes.push_back({"two dimensions", ql::Variant()});
    shapes.back().value.AttachArray(VT_VARIANT, ::SafeArrayCreate(VT_VARIANT, 2, square));
    for (const NamedValue& shape : shapes) {
        SCOPED_TRACE(shape.name);
        EXPECT_HR(E_UNEXPECTED, page_->OnNotify(kNotifyValueChanged, *shape.value));
    }

    // A sound pair whose value is such an array, in any form, is no payload either: the value is refused
    // before the platform copies it, and the row keeps its text. A script's notification through
    // IDispatch::Invoke, whose type information copies the payload before the control runs, is refused at
    // the door, at its argument; a reference inside the payload the platform copies as it stands, and the
    // control judges it when it takes the value, as through the vtable.
    IDispatch* const control = static_cast<IQuelkControl*>(page_.Get());
    const std::wstring tagText = WindowText(Item(kTagEdit));
    const size_t shapeCount = HostileArrays(VT_UI1, {callerText.Get()}, 1).size();
    for (size_t shape = 0; shape < shapeCount; ++shape) {
        for (const ArrayForm form : kArrayForms) {
            NamedValue hostile = std::move(HostileArrays(VT_UI1, {callerText.Get()}, 20)[shape]);
            SCOPED_TRACE(testing::Message() << hostile.name << ", " << FormName(form));
            const FormedArray value(std::move(hostile.value), form);
            const LentVector pair({*MakeUI4(kTagId), *value});
            EXPECT_HR(E_UNEXPECTED, page_->OnNotify(kNotifyValueChanged, *pair));
            const LateBoundAnswer answer =
                CallLateBound(control, L"OnNotify", {*MakeUI4(kNotifyValueChanged), *pair});
            const bool byReference =
                form == ArrayForm::kArrayReference || form == ArrayForm::kVariantReference;
            EXPECT_HR(byReference ? E_UNEXPECTED : DISP_E_TYPEMISMATCH, answer.hr);
            EXPECT_EQ(byReference ? ~0u : 0u, answer.argumentError);
            EXPECT_EQ(tagText, WindowText(Item(kTagEdit)));
            EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
        }
    }
    EXPECT_STREQ(L"Boiler 7", callerText.Get());
}

// A sound notification through IDispatch::Invoke answers as through the vtable; DISPPARAMS that count
// arguments they do not hold are refused.
TEST_F(ControlBaseTest, LateBoundNotificationsAnswerAsTheVtable) {
    ASSERT_NO_FATAL_FAILURE(Init());
    IDispatch* const control = static_cast<IQuelkControl*>(page_.Get());
    // The row shows the DTM's value again whichever door the sound notification took.
    const ql::Variant pair = MakeVariantArray(MakeUI4(kTagId), MakeBstr(L"Pump 3"));
    ASSERT_HR(S_OK, page_->OnNotify(kNotifyValueChanged, *pair));
    const std::wstring shown = WindowText(Item(kTagEdit));
    ::SetWindowTextW(Item(kTagEdit), L"typed");
    EXPECT_HR(S_OK, CallLateBound(control, L"OnNotify", {*MakeUI4(kNotifyValueChanged), *pair}).hr);
    EXPECT_EQ(shown, WindowText(Item(kTagEdit)));

    LPOLESTR name = const_cast<LPOLESTR>(L"OnNotify");
    DISPID id = DISPID_UNKNOWN;
    ASSERT_HR(S_OK, control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
    VARIANT arguments[2] = {*MakeI4(5), *MakeUI4(kNotifyValueChanged)};
    DISPPARAMS noArguments{nullptr, nullptr, 2, 0};
    DISPPARAMS noNames{arguments, nullptr, 2, 1};
    for (DISPPARAMS* params : {&noArguments, &noNames}) {
        EXPECT_HR(E_INVALIDARG, control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params,
                                                nullptr, nullptr, nullptr));
    }
}

// Only the 16-bit value 1 unlocks; VARIANT_TRUE locks like VARIANT_FALSE. A locked edit is read-only.
TEST_F(ControlBaseTest, DataLockLocksOnEveryValueButOne) {
    ASSERT_NO_FATAL_FAILURE(Init());
    ql::Variant yes, no;
    yes.SetBool(true);
    no.SetBool(false);
    const auto readOnly = [this] { return (::GetWindowLongW(Item(kTagEdit), GWL_STYLE) & ES_READONLY) != 0; };
    EXPECT_HR(S_FALSE, page_->OnNotify(kNotifyDataLock, *yes));
    EXPECT_TRUE(readOnly());
    EXPECT_HR(S_FALSE, page_->OnNotify(kNotifyDataLock, *MakeI4(1)));
    EXPECT_FALSE(readOnly());
    EXPECT_HR(S_FALSE, page_->OnNotify(kNotifyDataLock, *no));
    EXPECT_TRUE(readOnly());
}

// A failing step inside Init must not leave the control loading: it would ignore every later edit.
TEST_F(ControlBaseTest, FailedInitDoesNotLeaveTheControlLoading) {
    ql::ComPtr<CTestPage> page = NewPage(MapWithUnknownParameter());
    page->failStateUpdates = true;
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(E_FAIL, page->Init(session_.Object(), &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_FALSE(page->IsLoading());
}

TEST_F(ControlBaseTest, DeviceAccessByRowRefusesRowsBeyondTheMap) {
    EXPECT_HR(E_INVALIDARG, page_->SetParameterValue(kTagId, *ql::Variant()));  // checked before the DTM
    ASSERT_NO_FATAL_FAILURE(Init());
    const UINT beyond = page_->RowCount();
    EXPECT_HR(E_INVALIDARG, page_->ReadDeviceParameter(beyond));
    EXPECT_HR(E_INVALIDARG, page_->WriteDeviceParameter(beyond));
    EXPECT_HR(E_INVALIDARG, page_->FetchParameterAttributes(beyond));

    VARIANT_BOOL done = VARIANT_FALSE;
    EXPECT_HR(S_OK, page_->ReleaseDtm(&done));
    EXPECT_HR(S_OK, page_->ReleaseDtm(&done));
    EXPECT_EQ(VARIANT_TRUE, done);  // released once, and not again
}

TEST_F(ControlBaseTest, ReportsAreCutToTheirBuffers) {
    page_->Report(nullptr);
    EXPECT_EQ(L"", page_->statusTexts.back());
    const std::string long600(600, 'x');
    page_->Report("%s", long600.c_str());
    EXPECT_EQ(511u, page_->statusTexts.back().size());
    page_->ReportLong("%s", long600.c_str());
    EXPECT_EQ(600u, page_->statusTexts.back().size());
    ql::Bstr percent(L"100% done");  // a text, not a format
    EXPECT_HR(S_OK, page_->ShowMessage(0, percent.Get(), *ql::Variant()));
    EXPECT_EQ(L"100% done", page_->statusTexts.back());
}

// The row state picks the colours of the control and the marker text beside it.
TEST_F(ControlBaseTest, StateColoursAndMarkers) {
    ASSERT_NO_FATAL_FAILURE(Init());
    const HWND edit = Item(kTagEdit);
    const HWND marker = page_->Row(0).markerWindow;
    ASSERT_NE(nullptr, marker);
    const struct {
        ULONG state;
        COLORREF text;
        const wchar_t* marker;
    } cases[] = {
        {7, 0x0000FF, L"!"},
        {5, 0x0000FF, L"!"},
        {3, 0xFF0000, L"*"},
        {1, ::GetSysColor(COLOR_WINDOWTEXT), L""},
    };
    HDC dc = ::GetDC(edit);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        ASSERT_HR(S_OK, page_->SetRowState(0, c.state));
        const LRESULT brush = ::SendMessageW(dialog_.Get(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(edit));
        EXPECT_NE(0, brush);
        EXPECT_EQ(c.text, ::GetTextColor(dc));
        EXPECT_EQ(::GetSysColor(COLOR_WINDOW), ::GetBkColor(dc));
        ::SendMessageW(dialog_.Get(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(marker));
        EXPECT_EQ(c.marker, WindowText(marker));
    }
    ::ReleaseDC(edit, dc);

    // The online pages draw with their own backgrounds.
    ControlStateTable online;
    ASSERT_HR(S_OK, online.FillOnlinePage());
    EXPECT_EQ(0xDDDDFFu, online.backgroundColors[online.Find(5)]);
    EXPECT_EQ(0x00FFFFu, online.backgroundColors[online.Find(3)]);
}

TEST_F(ControlBaseTest, ControlKindFromTheClassName) {
    const HWND progress = ::CreateWindowExW(0, L"msctls_progress32", L"", WS_CHILD, 0, 0, 10, 10,
                                            dialog_.Get(), nullptr, nullptr, nullptr);
    const struct {
        HWND window;
        int kind;
    } cases[] = {
        {Item(kTagEdit), 2}, {Item(kFactorStatic), 1}, {Item(kTestButton), 6},
        {progress, 18},      {dialog_.Get(), 0},       {nullptr, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.kind, page_->GetControlKind(c.window));
}

// A name loaded from the string table belongs to the row and its copies; a given name never does, even
// with a string id that loads nothing.
TEST(ParameterMapEntryTest, RowsOwnOnlyTheNamesTheyLoaded) {
    static const char kGiven[] = "given";
    constexpr ULONG kMissingString = 4711;
    ParameterMapEntry unloaded(7, kGiven, kMissingString, 0, "%u", 0x71, 0);
    EXPECT_FALSE(unloaded.OwnsName());
    EXPECT_EQ(kGiven, unloaded.name);
    ParameterMapEntry copy(unloaded);
    EXPECT_EQ(kGiven, copy.name);

    ParameterMapEntry loaded(7, kGiven, 1 /* the test program's string */, 0, "%u", 0x71, 0);
    ASSERT_TRUE(loaded.OwnsName());
    EXPECT_STREQ("Loaded name", loaded.name);
    ParameterMapEntry loadedCopy(loaded);
    EXPECT_TRUE(loadedCopy.OwnsName());
    EXPECT_NE(loaded.name, loadedCopy.name);
    EXPECT_STREQ("Loaded name", loadedCopy.name);
}

}  // namespace
}  // namespace controltest
