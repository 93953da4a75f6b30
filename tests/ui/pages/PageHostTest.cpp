// Every page of the parameterization window's tree hosted alone by the frame host, online to the simulated
// flowmeter: the window takes the page's title and size, a script drives the page's dialog, and closing
// the page gives every reference back (the module can unload once the DTM is gone too).
#include <windows.h>

#include <cstdio>
#include <string>

#include "VarnokP3.h"
#include "frame/PageHost.h"
#include "frame/UiScript.h"
#include "tests/controls/base/ControlTestSupport.h"

namespace {

struct PageCase {
    const char* name;
    const wchar_t* progId;
    const wchar_t* title;
};

// Cases print by name.
void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }

const PageCase kTreePages[] = {
    {"Root", L"VarnokP3.P1_Root", L"Varnok Thermal Mass Flowmeter"},
    {"DeviceInfo", L"VarnokP3.P2_PBDevInfo", L"Varnok Thermal Mass Flowmeter\\Physical Block\\Deivce Info"},
    {"Diagnosis", L"VarnokP3.P3_PBDiagnosis", L"Varnok Thermal Mass Flowmeter\\Physical Block\\Diagnosis"},
    {"MassFlow", L"VarnokP3.P4_TBMassFlow", L"Varnok Thermal Mass Flowmeter\\Transducer Block\\Mass Flow"},
    {"Extension", L"VarnokP3.TBExtra", L"Varnok Thermal Mass Flowmeter\\Transducer Block\\Orvo Extension"},
    {"AiFlow", L"VarnokP3.Q1_AIFBFlow", L"Varnok Thermal Mass Flowmeter\\AI Function Block\\Flow"},
    {"AiTotalizer", L"VarnokP3.Q3_AIFBTotal", L"Varnok Thermal Mass Flowmeter\\AI Function Block\\Totalizer"},
};

class PageHostTest : public controltest::DtmFixture, public ::testing::WithParamInterface<PageCase> {
protected:
    void TearDown() override {
        host_.Close();
        if (!released_) DtmFixture::TearDown();
    }

    CPageHost host_;
    bool released_ = false;
};

TEST_P(PageHostTest, HostsThePageOnlineAndGivesEverythingBack) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    ASSERT_HR(S_OK, host_.Open(GetParam().progId, session_.Object(), true));
    EXPECT_EQ(GetParam().title, controltest::WindowText(host_.Window()));
    const HWND dialog = host_.PageDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    RECT page{}, client{};
    ::GetWindowRect(dialog, &page);
    ::GetClientRect(host_.Window(), &client);
    EXPECT_EQ(client.right, page.right - page.left);
    EXPECT_EQ(client.bottom, page.bottom - page.top);

    // A script drives the hosted page as it drives a control, and closes it.
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    const UiScriptTarget target{[this] { return host_.PageDialog(); }, [this] { PumpPageMessages(host_); },
                                [this] { host_.Close(); }};
    EXPECT_EQ(0, RunUiScript(target, L"wait 100\nprint-focus\nclose\n", out));
    std::fclose(out);
    EXPECT_FALSE(host_.IsOpen());

    DtmFixture::TearDown();
    released_ = true;
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const HMODULE module = ::GetModuleHandleW(L"VarnokP3.dll");
    ASSERT_TRUE(module);
    const auto canUnload =
        reinterpret_cast<CanUnload>(reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_TRUE(canUnload);
    EXPECT_HR(S_OK, canUnload());
}

INSTANTIATE_TEST_SUITE_P(TreePages, PageHostTest, ::testing::ValuesIn(kTreePages),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return info.param.name; });

}  // namespace
