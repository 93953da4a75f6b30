// The parameterization window's services for its pages and for outside components, and its start-up when a
// page cannot be created: the window hosted in the frame's container as a plain control, driven through its
// interfaces.
#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "UiComponentInterfaces.h"
#include "VarnokP3.h"
#include "classlib/AxControlSite.h"
#include "classlib/Bstr.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/support/ServerModule.h"
#include "tests/ui/frame/PageDouble.h"
#include "ui/frame/TreeFrameResources.h"

namespace {

using controltest::WindowText;
using frametest::PageClass;
using frametest::PageDouble;

class TreeFrameServicesTest : public controltest::HostedUiFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(HostedUiFixture::SetUp());
        ASSERT_HR(S_OK, ui_.OpenControl(L"VarnokP3.TreeFrame"));
        dialog_ = ui_.Container().Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
    }
    template <class Interface>
    ql::ComPtr<Interface> Query() {
        ql::ComPtr<Interface> answer;
        EXPECT_HR(S_OK, ql::QueryInterfaceTo(ui_.Container().Control(), answer));
        return answer;
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
};

TEST_F(TreeFrameServicesTest, TheFourButtonsAnswerByIndexAndAnIndexPastThemChangesNothing) {
    const ql::ComPtr<IQuelkFrameButtons> buttons = Query<IQuelkFrameButtons>();
    const int ids[] = {IDOK, IDCANCEL, IDC_TF_APPLY, IDC_TF_HELP};
    for (UINT index = 0; index < 4; ++index) {
        HWND button = nullptr;
        EXPECT_HR(S_OK, buttons->GetButton(index, &button));
        EXPECT_EQ(Item(ids[index]), button) << index;
    }
    HWND untouched = dialog_;
    EXPECT_HR(E_INVALIDARG, buttons->GetButton(4, &untouched));
    EXPECT_EQ(dialog_, untouched);
    EXPECT_HR(E_INVALIDARG, buttons->GetButton(0, nullptr));

    // OK, Cancel and Apply are hidden until a component shows them.
    for (int id : {IDOK, IDCANCEL, IDC_TF_APPLY}) EXPECT_FALSE(::IsWindowVisible(Item(id))) << id;
    EXPECT_TRUE(::IsWindowVisible(Item(IDC_TF_HELP)));
    EXPECT_HR(S_OK, buttons->ShowButton(1, TRUE));
    EXPECT_TRUE(::IsWindowVisible(Item(IDCANCEL)));
    ql::Bstr text(L"Discard");
    EXPECT_HR(S_OK, buttons->SetButtonText(1, text.Get()));
    EXPECT_HR(S_OK, buttons->SetButtonText(1, nullptr));
    EXPECT_EQ(L"Discard", WindowText(Item(IDCANCEL))) << "a null text sets none";
    EXPECT_HR(S_OK, buttons->EnableButton(3, FALSE));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_TF_HELP)));

    for (HRESULT hr : {buttons->EnableButton(4, FALSE), buttons->ShowButton(4, FALSE),
                       buttons->SetButtonText(4, text.Get())})
        EXPECT_HR(E_INVALIDARG, hr);
    EXPECT_TRUE(::IsWindowEnabled(Item(IDCANCEL)) && ::IsWindowVisible(Item(IDCANCEL)));
}

// A late-bound caller (a script, a frame's macro) finds the frame methods by name in the toolkit's frame
// library and calls them through each interface's IDispatch; the arguments arrive converted to the
// methods' types.
TEST_F(TreeFrameServicesTest, FrameInterfacesAnswerLateBoundCallsByName) {
    // Arguments in the method's order; texts borrowed from their owners.
    const auto call = [](IDispatch* target, const wchar_t* method, std::vector<VARIANT> arguments) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(method)));
        DISPID id = DISPID_UNKNOWN;
        auto* name = const_cast<LPOLESTR>(method);
        EXPECT_HR(S_OK, target->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
        std::reverse(arguments.begin(), arguments.end());  // IDispatch takes the last argument first
        DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
        ql::Variant result;
        EXPECT_HR(S_OK, target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                       result.Put(), nullptr, nullptr));
    };
    const auto number = [](LONG value) {
        VARIANT v{};
        V_VT(&v) = VT_I4;
        V_I4(&v) = value;
        return v;
    };
    const auto text = [](const ql::Bstr& owner) {
        VARIANT v{};
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = owner.Get();
        return v;
    };
    const ql::Bstr caption(L"Late-bound caption"), discard(L"Discard");
    call(Query<IQuelkFrameCaption>().Get(), L"SetCaption", {text(caption)});
    EXPECT_EQ(L"Late-bound caption", WindowText(dialog_));

    const ql::ComPtr<IQuelkFrameButtons> buttons = Query<IQuelkFrameButtons>();
    call(buttons.Get(), L"ShowButton", {number(1), number(TRUE)});
    EXPECT_TRUE(::IsWindowVisible(Item(IDCANCEL)));
    call(buttons.Get(), L"SetButtonText", {number(1), text(discard)});
    EXPECT_EQ(L"Discard", WindowText(Item(IDCANCEL)));
    call(buttons.Get(), L"EnableButton", {number(3), number(FALSE)});
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_TF_HELP)));

    // The keyboard hook's sink takes a message pointer, which no late-bound caller can pass: it is
    // described all the same.
    const ql::ComPtr<IQuelkMessageSink> sink = Query<IQuelkMessageSink>();
    auto* name = const_cast<LPOLESTR>(L"OnForwardedMessage");
    DISPID id = DISPID_UNKNOWN;
    EXPECT_HR(S_OK, sink->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
}

TEST_F(TreeFrameServicesTest, ADirtyPageEnablesApplyOnlyWhileTheFrameApplies) {
    const ql::ComPtr<IQuelkFrameCaption> caption = Query<IQuelkFrameCaption>();
    const ql::ComPtr<IPropertyPageSite> site = Query<IPropertyPageSite>();
    const HWND apply = Item(IDC_TF_APPLY);
    struct Case {
        const char* name;
        ULONG applyByFrame;
        BOOL enabledBefore;
        DWORD status;
        bool enabledAfter;
    };
    const Case cases[] = {
        {"a dirty page enables Apply", 1, FALSE, PROPPAGESTATUS_DIRTY, true},
        {"dirty and to validate enables it too", 1, FALSE, PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE,
         true},
        {"to validate alone leaves Apply", 1, FALSE, PROPPAGESTATUS_VALIDATE, false},
        {"a clean page never disables Apply", 1, TRUE, PROPPAGESTATUS_CLEAN, true},
        {"without apply by the frame a dirty page leaves Apply", 0, FALSE, PROPPAGESTATUS_DIRTY, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::EnableWindow(apply, c.enabledBefore);
        EXPECT_HR(S_OK, caption->SetValue(c.applyByFrame));
        EXPECT_HR(S_OK, site->OnStatusChange(c.status));
        EXPECT_EQ(c.enabledAfter, ::IsWindowEnabled(apply) != FALSE);
    }
    LCID locale = 0;
    EXPECT_HR(S_OK, site->GetLocaleID(&locale));
    EXPECT_EQ(::GetUserDefaultLCID(), locale);
    EXPECT_HR(E_POINTER, site->GetLocaleID(nullptr));
}

TEST_F(TreeFrameServicesTest, CaptionAndPageObjectAreKeptAndGivenBack) {
    const ql::ComPtr<IQuelkFrameCaption> caption = Query<IQuelkFrameCaption>();
    ql::Bstr text(L"Parameters of FT-101");
    EXPECT_HR(S_OK, caption->SetCaption(text.Get()));
    EXPECT_EQ(L"Parameters of FT-101", WindowText(dialog_));
    EXPECT_HR(S_OK, caption->SetCaption(nullptr));
    EXPECT_EQ(L"Parameters of FT-101", WindowText(dialog_)) << "a null caption sets no text";
    EXPECT_HR(S_OK, caption->SetTextAndValue(7, text.Get()));

    EXPECT_HR(S_OK, caption->SetCallback(nullptr)) << "nothing held yet";
    vtest::CountedObject<IUnknown> object;
    EXPECT_HR(S_OK, caption->SetCallback(&object));
    EXPECT_EQ(2u, object.refs);
    EXPECT_HR(S_OK, caption->SetCallback(nullptr));
    EXPECT_EQ(1u, object.refs);
}

TEST_F(TreeFrameServicesTest, TheExtentIsTheDialogsOnlyForItsContent) {
    const ql::ComPtr<IOleObject> object = Query<IOleObject>();
    SIZEL extent{};
    EXPECT_HR(S_OK, object->GetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_GT(extent.cx, extent.cy) << "520 x 328 dialog units";
    EXPECT_HR(E_FAIL, object->GetExtent(DVASPECT_ICON, &extent));
    EXPECT_HR(E_POINTER, object->GetExtent(DVASPECT_CONTENT, nullptr));
}

// A page class that cannot be created leaves the window without tree and pages; Init still succeeds, and
// the pages created before are given back when the window goes.
TEST_F(TreeFrameServicesTest, APageThatCannotBeCreatedLeavesNoTreeAndEveryPageIsGivenBack) {
    PageDouble root;
    root.title = L"Varnok Thermal Mass Flowmeter";
    {
        PageClass rootClass(CLSID_P1_Root, &root);
        PageClass refused(CLSID_P3_PBDiagnosis, nullptr);
        VARIANT_BOOL ok = VARIANT_TRUE;
        EXPECT_HR(S_OK, Query<IQuelkControl>()->Init(session_.Object(), &ok));
        EXPECT_EQ(VARIANT_FALSE, ok);
    }
    EXPECT_EQ(0u, TreeView_GetCount(Item(IDC_TF_TREE)));
    EXPECT_EQ(nullptr, ::GetWindow(Item(IDC_TF_PAGE_AREA), GW_CHILD)) << "no page shown";
    EXPECT_EQ((std::vector<std::string>{"SetPageSite", "SetObjects"}), root.calls);
    EXPECT_TRUE(::IsWindowVisible(Item(IDC_TF_OFFLINE_MODE)) && !::IsWindowVisible(Item(IDC_TF_ONLINE_MODE)));

    ReleaseAll();
    EXPECT_EQ((std::vector<std::string>{"SetPageSite", "SetObjects", "SetObjects(0)", "SetPageSite(null)"}),
              root.calls);
    EXPECT_EQ(1u, root.refs);
    EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"VarnokP3.dll"));
}

}  // namespace
