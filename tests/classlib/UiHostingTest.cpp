// The user-interface machinery of the class library: message maps, DLGINIT data, a property page on its
// site hosting a control from its dialog's initialisation data, and connection points. The page and the
// control come through COM from the registered user-interface test server.
#include <ocidl.h>
#include <olectl.h>
#include <shlwapi.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "UiTestServer.h"
#include "classlib/AxHostWindow.h"
#include "classlib/ComObject.h"
#include "classlib/DialogTemplate.h"
#include "classlib/GlobalMemory.h"
#include "classlib/MessageMap.h"
#include "classlib/PropertyPageSite.h"
#include "classlib/WindowOwner.h"
#include "tests/support/ComTest.h"
#include "tests/support/ServerModule.h"
#include "tests/support/TestObjects.h"

namespace {

using namespace vtest;

constexpr int kPageValueEdit = 1101;
constexpr int kPageHostedControl = 1102;
constexpr int kPageAppliedText = 1103;
// The twelve bytes of the test page's DLGINIT item for its hosted control.
const std::vector<BYTE> kHostedControlBytes = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
                                               0x00, 0xFF, 0x00, 0x00, 0x80, 0x7F};

// ---- message maps ----

// Two maps: the derived one declines what its handler clears, so the base gets it.
class BaseMap {
public:
    int baseCalls = 0;
    QL_BEGIN_MSG_MAP(BaseMap)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_END_MSG_MAP()
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) {
        ++baseCalls;
        return 7;
    }
};

class DerivedMap : public BaseMap {
public:
    bool passOn = false;
    int derivedCalls = 0;
    QL_BEGIN_MSG_MAP(DerivedMap)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnOk)
    QL_CHAIN_MSG_MAP(BaseMap)
    QL_ALT_MSG_MAP(1)
    QL_COMMAND_ID_HANDLER(IDCANCEL, OnOk)
    QL_END_MSG_MAP()
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL& handled) {
        ++derivedCalls;
        handled = passOn ? FALSE : TRUE;
        return 3;
    }
    LRESULT OnOk(WORD, WORD, HWND, BOOL&) { return 5; }
};

TEST(MessageMapTest, HandledChainsAndAlternateMaps) {
    struct Case {
        const char* name;
        bool passOn;
        UINT message;
        WPARAM wParam;
        DWORD mapId;
        BOOL handled;
        LRESULT result;
        int derivedCalls, baseCalls;
    };
    const Case cases[] = {
        {"handler keeps it", false, WM_TIMER, 0, 0, TRUE, 3, 1, 0},
        {"handler passes it to the chained map", true, WM_TIMER, 0, 0, TRUE, 7, 1, 1},
        {"command by id and code", false, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0, TRUE, 5, 0, 0},
        {"other notification code", false, WM_COMMAND, MAKEWPARAM(IDOK, EN_CHANGE), 0, FALSE, 0, 0, 0},
        {"alternate map", false, WM_COMMAND, MAKEWPARAM(IDCANCEL, 9), 1, TRUE, 5, 0, 0},
        {"alternate map does not chain", false, WM_TIMER, 0, 1, FALSE, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DerivedMap map;
        map.passOn = c.passOn;
        LRESULT result = 0;
        EXPECT_EQ(c.handled, map.ProcessWindowMessage(nullptr, c.message, c.wParam, 0, result, c.mapId));
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.derivedCalls, map.derivedCalls);
        EXPECT_EQ(c.baseCalls, map.baseCalls);
    }
}

// ---- DLGINIT ----

TEST(DialogInitTest, ParsesItemsAndRefusesTruncatedOnes) {
    const BYTE twoItems[] = {0x4E, 0x04, 0x76, 0x03, 2, 0, 0, 0, 0xAA, 0xBB,  // 1102, 0x376, 2 bytes
                             0x05, 0x00, 0x03, 0x04, 0, 0, 0, 0,              // 5, 0x403, no bytes
                             0,    0};
    std::vector<ql::DialogInitItem> items;
    ASSERT_HR(S_OK, ql::ParseDialogInit(twoItems, sizeof(twoItems), items));
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(1102, items[0].controlId);
    EXPECT_EQ(ql::kDialogInitLoadFromStream, items[0].message);
    EXPECT_EQ((std::vector<BYTE>{0xAA, 0xBB}), items[0].data);
    EXPECT_TRUE(items[1].data.empty());

    const BYTE truncated[] = {0x4E, 0x04, 0x76, 0x03, 9, 0, 0, 0, 0xAA};
    EXPECT_HR(E_INVALIDARG, ql::ParseDialogInit(truncated, sizeof(truncated), items));
    EXPECT_TRUE(items.empty());
}

// ---- a dialog with an ActiveX item ----

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST_F(ComTest, ClassicTemplateHostsItsActiveXItemAndKeepsTheItemsAround) {
    constexpr UINT kDialog = 301;  // ClasslibTest.rc: edit 10, control 11, button 1
    ql::WindowOwner dialog(ql::CreateDialogWithControls(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDialog), nullptr, PlainDialogProc, 0));
    ASSERT_TRUE(dialog) << ::GetLastError();
    wchar_t className[64] = {};
    ::GetClassNameW(::GetDlgItem(dialog.Get(), 11), className, 64);
    EXPECT_STREQ(ql::AxHostWindowClass(), className);
    ql::ComPtr<IUnknown> control = ql::HostedControl(::GetDlgItem(dialog.Get(), 11));
    ql::ComPtr<IUiTestControl> typed;
    EXPECT_HR(S_OK, ql::QueryInterfaceTo(control.Get(), typed));
    typed.Reset();
    control.Reset();
    ::GetClassNameW(::GetDlgItem(dialog.Get(), 1), className, 64);
    EXPECT_STREQ(L"Button", className) << "the item after the control was misread";
    EXPECT_NE(nullptr, ::GetDlgItem(dialog.Get(), 10));

    SIZE pixels{};
    ASSERT_HR(S_OK, ql::DialogSizeInPixels(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDialog), pixels));
    RECT units{0, 0, 120, 60};
    ::MapDialogRect(dialog.Get(), &units);
    EXPECT_EQ(units.right, pixels.cx);
    EXPECT_EQ(units.bottom, pixels.cy);
    dialog.Reset();
    EXPECT_HR(S_OK, ServerCanUnloadNow(L"ui_test_server.dll")) << "the host window kept its control";
}

// ---- a property page on a site ----

class RecordingPageSite final : public ql::ComObjectBase<RecordingPageSite>, public ql::PropertyPageSite {
    QL_INTERFACE_TABLE(RecordingPageSite, QL_ENTRY_CHAIN(ql::PropertyPageSite))

public:
    std::vector<DWORD> statusChanges;

protected:
    void OnPageStatusChange(DWORD flags) noexcept override { statusChanges.push_back(flags); }
};

class PropertyPageTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        parent_.Attach(::CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr,
                                         nullptr, nullptr, nullptr));
        ASSERT_TRUE(parent_);
        ASSERT_HR(S_OK, ql::MakeObject(site_));
        ASSERT_HR(S_OK, page_.Create(CLSID_UiTestPage, site_.Get(), 0, nullptr));
        ASSERT_HR(S_OK, page_.Activate(parent_.Get(), RECT{0, 0, 400, 300}));
        ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
        pageWindow_ = ::GetWindow(parent_.Get(), GW_CHILD);
        ASSERT_NE(nullptr, pageWindow_);
    }
    void TearDown() override {
        page_.Reset();
        parent_.Reset();
        site_->AddRef();
        EXPECT_EQ(1u, site_->Release()) << "the page kept its site";
        site_.Reset();
        EXPECT_HR(S_OK, ServerCanUnloadNow(L"ui_test_server.dll"));
    }

    ql::WindowOwner parent_;
    ql::ComPtr<RecordingPageSite> site_;
    ql::HostedPropertyPage page_;
    HWND pageWindow_ = nullptr;
};

TEST_F(PropertyPageTest, EditingMakesThePageDirtyThroughItsSiteAndApplyCleansIt) {
    EXPECT_HR(S_FALSE, page_.Page()->IsPageDirty());
    ::SendDlgItemMessageW(pageWindow_, kPageValueEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"42.5"));
    ::SendDlgItemMessageW(pageWindow_, kPageValueEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"42.75"));
    EXPECT_EQ(std::vector<DWORD>{PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE}, site_->statusChanges)
        << "a page already dirty tells its site once";
    EXPECT_HR(S_OK, page_.Page()->IsPageDirty());

    EXPECT_HR(S_OK, page_.Page()->Apply());
    EXPECT_HR(S_FALSE, page_.Page()->IsPageDirty());
    EXPECT_EQ((std::vector<DWORD>{PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE, 0}), site_->statusChanges);
    wchar_t applied[32] = {};
    ::GetDlgItemTextW(pageWindow_, kPageAppliedText, applied, 32);
    EXPECT_STREQ(L"42.75", applied);
}

TEST_F(PropertyPageTest, TabFromThePageWalksIntoTheHostedControl) {
    ::SetFocus(::GetDlgItem(pageWindow_, kPageValueEdit));
    MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 1};
    EXPECT_HR(S_OK, page_.Page()->TranslateAccelerator(&tab));
    HWND focus = ::GetFocus();
    EXPECT_EQ(1001, ::GetDlgCtrlID(focus)) << "the hosted control's first tab stop";
    EXPECT_TRUE(::IsChild(::GetDlgItem(pageWindow_, kPageHostedControl), focus));
    MSG next{focus, WM_KEYDOWN, VK_TAB, 1};
    EXPECT_HR(S_OK, page_.Page()->TranslateAccelerator(&next));
    EXPECT_EQ(1002, ::GetDlgCtrlID(::GetFocus())) << "Tab goes on inside the hosted control";
    MSG outside{parent_.Get(), WM_KEYDOWN, VK_TAB, 1};
    EXPECT_HR(S_FALSE, page_.Page()->TranslateAccelerator(&outside)) << "a key outside the page";
}

TEST_F(PropertyPageTest, PageInformationCarriesTitleAndDialogSize) {
    const PROPPAGEINFO& info = page_.Info();
    ASSERT_NE(nullptr, info.pszTitle);
    EXPECT_STREQ(L"Test Block\\Test Page", info.pszTitle);
    RECT dialogUnits{0, 0, 210, 130};  // the page's template
    ASSERT_TRUE(::MapDialogRect(pageWindow_, &dialogUnits));
    EXPECT_EQ(dialogUnits.right, info.size.cx);
    EXPECT_EQ(dialogUnits.bottom, info.size.cy);
}

TEST_F(PropertyPageTest, HostedControlGetsItsInitialisationDataByteForByte) {
    HWND host = ::GetDlgItem(pageWindow_, kPageHostedControl);
    ASSERT_NE(nullptr, host);
    const ql::ComPtr<IUnknown> control = ql::HostedControl(host);
    ASSERT_TRUE(control) << "WM_ATLGETCONTROL not answered";
    ql::ComPtr<IUiTestControl> typed;
    EXPECT_HR(S_OK, ql::QueryInterfaceTo(control.Get(), typed)) << "not the control the item names";

    ql::ComPtr<IPersistStreamInit> persist;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(control.Get(), persist));
    ql::ComPtr<IStream> saved;
    saved.Attach(::SHCreateMemStream(nullptr, 0));
    ASSERT_TRUE(saved);
    ASSERT_HR(S_OK, persist->Save(saved.Get(), FALSE));
    STATSTG stat{};
    ASSERT_HR(S_OK, saved->Stat(&stat, STATFLAG_NONAME));
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER start{};
    ASSERT_HR(S_OK, saved->Seek(start, STREAM_SEEK_SET, nullptr));
    ULONG read = 0;
    if (!bytes.empty()) {
        ASSERT_HR(S_OK, saved->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read));
    }
    EXPECT_EQ(kHostedControlBytes, bytes);
    EXPECT_NE(nullptr, ::GetWindow(host, GW_CHILD)) << "the hosted control is not active in place";
}

// ---- connection points ----

class EventSink final : public CountedDispatch<IDispatch> {
public:
    EventSink() : CountedDispatch<IDispatch>({DIID__IUiTestControlEvents}) {}
};

TEST_F(ComTest, ConnectionPointAdvisesAndUnadvisesWithBalancedReferences) {
    ql::ComPtr<IConnectionPointContainer> container;
    ASSERT_HR(S_OK, ::CoCreateInstance(CLSID_UiTestControl, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IConnectionPointContainer, container.PutVoid()));
    ql::ComPtr<IConnectionPoint> point;
    EXPECT_HR(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IDispatch, point.Put()));
    ASSERT_HR(S_OK, container->FindConnectionPoint(DIID__IUiTestControlEvents, point.Put()));

    EventSink sink;
    DWORD cookie = 0;
    ASSERT_HR(S_OK, point->Advise(&sink, &cookie));
    EXPECT_NE(0u, cookie);
    EXPECT_EQ(2u, sink.refs);
    CountedObject<IUnknown> stranger;
    DWORD unused = 0;
    EXPECT_HR(CONNECT_E_CANNOTCONNECT, point->Advise(&stranger, &unused));
    EXPECT_EQ(1u, stranger.refs);
    EXPECT_HR(CONNECT_E_NOCONNECTION, point->Unadvise(cookie + 1));
    EXPECT_HR(S_OK, point->Unadvise(cookie));
    EXPECT_EQ(1u, sink.refs);

    ql::ComPtr<IConnectionPointContainer> back;
    ASSERT_HR(S_OK, point->GetConnectionPointContainer(back.Put()));
    EXPECT_TRUE(ql::IsSameObject(back.Get(), container.Get()));
    back.Reset();
    container.Reset();
    // The point outlives its container without a dangling pointer.
    EXPECT_HR(E_UNEXPECTED, point->GetConnectionPointContainer(back.Put()));
}

}  // namespace
