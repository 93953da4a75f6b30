// Every user interface of the DTM open at once, online with the simulated flowmeter, driven by a random
// person for a bounded time while the device falls into its fault modes and the frame goes offline and
// online again. Nothing may crash or hang; afterwards every value of the dataset passes the DTM's value
// check, and the saved project loads into a new DTM with every value equal.
//
// The run prints its seed: VARNOK_UI_RANDOM_SEED=<seed> replays it, VARNOK_UI_RANDOM_SECONDS=<s> lengthens
// it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>
#include <string>

#include "FdtInterfaces.h"
#include "classlib/AxControlSite.h"
#include "classlib/Bstr.h"
#include "classlib/ComApartment.h"
#include "classlib/Variant.h"
#include "comm/BaseOrvoResources.h"
#include "frame/FrameDocuments.h"
#include "frame/MessagePump.h"
#include "frame/ProjectFile.h"
#include "tests/frame/FrameTestSupport.h"
#include "tests/support/HResultText.h"
#include "tests/support/ServerModule.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestVariants.h"
#include "tests/ui/endtoend/OnlineDevice.h"
#include "tests/ui/endtoend/RandomPerson.h"
#include "dataset/VariableFields.h"
#include "values/DtmVocabulary.h"
#include "values/ValueComparison.h"

namespace endtoend {
namespace {

constexpr unsigned kDefaultSeconds = 3;
// One action of the person (a device action waits for its answer or its timeout inside) may take long, but
// not this long: beyond it the user interface hangs.
constexpr ULONGLONG kHangMs = 60000;
constexpr size_t kLogLines = 40;
constexpr wchar_t kTestControl[] = L"VarnokP3.BaseOrvo";

unsigned EnvironmentNumber(const char* name, unsigned otherwise) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : otherwise;
}

// A fault of the channel for the next requests, or none.
std::string SwitchFaultMode(RandomPerson& person, CSimulatedDpv1Channel& channel) {
    channel.ClearFaults();
    static const struct {
        ChannelFault fault;
        const char* name;
    } faults[] = {{ChannelFault::LateAnswer, "late answer"},
                  {ChannelFault::DuplicateAnswer, "duplicate answer"},
                  {ChannelFault::WrongInvokeId, "wrong invoke id"},
                  {ChannelFault::BracedInvokeId, "braced invoke id"},
                  {ChannelFault::MalformedResponse, "malformed response"},
                  {ChannelFault::SchemaInvalidResponse, "schema-invalid response"},
                  {ChannelFault::CommunicationError, "communication error"},
                  {ChannelFault::DeviceError, "device error"},
                  {ChannelFault::Abort, "abort"},
                  {ChannelFault::Refuse, "refuse"},
                  {ChannelFault::Fail, "fail"},
                  {ChannelFault::Silence, "silence"}};
    // Now and then the device answers properly for a while.
    if (person.Chance(30)) return "device: no fault";
    const auto& chosen = faults[person.Below(static_cast<unsigned>(std::size(faults)))];
    ChannelFaultRule rule;
    rule.fault = chosen.fault;
    static const unsigned kinds[] = {kSimTransaction, kSimReadTransaction, kSimWriteTransaction};
    rule.requests = kinds[person.Below(3)];
    rule.skip = static_cast<int>(person.Below(3));
    // A silent device costs each request its whole timeout: once is enough.
    rule.count = chosen.fault == ChannelFault::Silence ? 1 : static_cast<int>(1 + person.Below(4));
    rule.delayMs = 50 + person.Below(400);
    rule.errorCode = {0xDE, 0xB0, 0x00, 0x00};
    channel.AddFault(rule);
    return std::string("device: ") + chosen.name + " for " + std::to_string(rule.count) + " requests";
}

// Whether the project keeps the parameter (a display copy of a device value is read afresh instead).
bool IsPersistent(IQuelkVariablesEx* store, ULONG id) {
    ql::ComPtr<IQuelkVariableFields> fields;
    if (FAILED(ql::QueryInterfaceTo(store, fields))) return false;
    ql::Variant key, mask, persistent;
    key.SetUI4(id);
    mask.SetUI4(kFieldPersistent);
    EXPECT_HR(S_OK, fields->GetVariableField(*key, *mask, persistent.Put())) << id;
    return SUCCEEDED(persistent.ChangeType(VT_BOOL)) && V_BOOL(persistent.Get()) != VARIANT_FALSE;
}

// The values of every parameter the dataset holds, by id.
std::map<ULONG, ql::Variant> DatasetValues(IQuelkVariablesEx* store) {
    std::map<ULONG, ql::Variant> values;
    ULONG count = 0;
    EXPECT_HR(S_OK, store->GetCount(&count));
    for (ULONG index = 0; index < count; ++index) {
        ULONG id = 0;
        if (FAILED(store->GetVariableAt(static_cast<INT>(index), &id))) continue;
        EXPECT_HR(S_OK, store->GetValue(id, values[id].Put())) << id;
    }
    return values;
}

class RandomDriveTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (HasFailure()) {
            std::printf("the last actions before the failure:\n");
            for (const std::string& line : log_) std::printf("  %s\n", line.c_str());
            std::fflush(stdout);
        }
    }
    void Log(std::string line) {
        log_.push_back(std::move(line));
        if (log_.size() > kLogLines) log_.pop_front();
    }
    // Opens every user interface the frame can open that is not open (the person or the DTM closed it).
    void OpenAll(OnlineDevice& device) {
        device.DropClosed();
        for (const OfferedFunction& function : device.Functions()) {
            if (!function.hasUi || failedToOpen_.count(function.id)) continue;
            bool open = false;
            for (const auto& ui : device.OpenUis()) open = open || opened_[ui.get()] == function.id;
            if (open) continue;
            CFunctionUi* ui = nullptr;
            const HRESULT hr = device.OpenFunction(function.id, &ui);
            Log("open function " + std::to_string(function.id) + ": " + vtest::HResultName(hr));
            // A function the DTM keeps closed now (its state) or whose control is not installed stays shut.
            if (ui)
                opened_[ui] = function.id;
            else if (FAILED(hr))
                failedToOpen_.insert(function.id);
        }
        bool controlOpen = false;
        for (const auto& ui : device.OpenUis()) controlOpen = controlOpen || opened_[ui.get()] == 0;
        if (!controlOpen) {
            CFunctionUi* ui = nullptr;
            const HRESULT hr = device.OpenControl(kTestControl, &ui);
            Log(std::string("open the test control: ") + vtest::HResultName(hr));
            if (ui) opened_[ui] = 0;
        }
    }

    ql::ComApartment apartment_;
    std::deque<std::string> log_;
    std::map<CFunctionUi*, long> opened_;
    std::set<long> failedToOpen_;
    vtest::TempFolder temp_;
};

TEST_F(RandomDriveTest, EveryUserInterfaceSurvivesARandomPersonAndAFailingDevice) {
    ASSERT_HR(S_OK, apartment_.Status());
    const unsigned seed = EnvironmentNumber("VARNOK_UI_RANDOM_SEED", ::GetTickCount());
    const unsigned seconds = EnvironmentNumber("VARNOK_UI_RANDOM_SECONDS", kDefaultSeconds);
    std::printf("random person: seed %u for %u s (VARNOK_UI_RANDOM_SEED=%u replays it)\n", seed, seconds,
                seed);
    std::fflush(stdout);
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomPerson person(seed);
    const ModalBoxAnswerer answerer;

    OnlineDevice device;
    ASSERT_NO_FATAL_FAILURE(device.Start());
    OpenAll(device);
    ASSERT_FALSE(device.OpenUis().empty());

    // The test control's raw record write puts any bytes on the device past the DTM's checks: a person who
    // does that has no dataset the value check can vouch for afterwards.
    const std::set<int> untouchable{IDC_ORVO_WRITE};
    const ULONGLONG end = ::GetTickCount64() + seconds * 1000ULL;
    int actions = 0, offlineTurns = 0, faultSwitches = 0;
    while (::GetTickCount64() < end) {
        const ULONGLONG started = ::GetTickCount64();
        const unsigned choice = person.Below(100);
        if (choice < 70) {
            device.DropClosed();
            if (device.OpenUis().empty()) continue;
            const auto& ui = device.OpenUis()[person.Below(static_cast<unsigned>(device.OpenUis().size()))];
            const HWND control = ui->Container().Site() ? ui->Container().Site()->ControlWindow() : nullptr;
            if (control)
                Log("ui " + std::to_string(opened_[ui.get()]) + ": " + person.ActOn(control, untouchable));
        } else if (choice < 80) {
            Log(person.PressRandomKey());
        } else if (choice < 88) {
            if (device.Channel()) Log(SwitchFaultMode(person, *device.Channel()));
            ++faultSwitches;
        } else if (choice < 92) {
            // The frame takes the channel back and hands a new one over, its windows left open.
            Log("frame: offline, then online");
            if (device.Channel()) device.Channel()->ClearFaults();
            device.GoOffline();
            ASSERT_NO_FATAL_FAILURE(device.GoOnline());
            ++offlineTurns;
        } else if (choice < 95) {
            OpenAll(device);
        } else {
            device.PumpFor(50);
        }
        device.Pump();
        ++actions;
        ASSERT_LT(::GetTickCount64() - started, kHangMs) << "the last action hung";
        // The device broke the connection: the frame connects it again, as a person would ask it to.
        if (device.State() != kStateConnected && device.State() != kStateConnecting) {
            Log("frame: the connection broke (state " + std::to_string(device.State()) + "), reconnecting");
            if (device.Channel()) device.Channel()->ClearFaults();
            device.GoOffline();
            ASSERT_NO_FATAL_FAILURE(device.GoOnline());
        }
    }
    std::printf("%d actions, %d fault switches, %d offline turns, %d modal boxes answered\n", actions,
                faultSwitches, offlineTurns, ModalBoxAnswerer::Answered());
    std::fflush(stdout);

    // The person stops; the device answers properly again and the frame closes everything.
    if (device.Channel()) device.Channel()->ClearFaults();
    device.PumpFor(500);
    opened_.clear();
    device.CloseAll();
    device.GoOffline();

    ql::ComPtr<IDtmDataSetCheck> check;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(device.Session().Object(), check));
    VARIANT_BOOL valid = VARIANT_FALSE;
    EXPECT_HR(S_OK, check->VerifyDataSet(&valid));
    EXPECT_EQ(VARIANT_TRUE, valid);
    ql::ComPtr<IQuelkValueCheck> values;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(device.Session().Object(), values));
    const std::map<ULONG, ql::Variant> held = DatasetValues(device.Store());
    ASSERT_FALSE(held.empty());
    for (const auto& [id, value] : held) {
        ql::Variant key;
        key.SetUI4(id);
        ULONG flags = 0;
        EXPECT_HR(S_OK, values->CheckValue(*key, *value, &flags)) << id;
        EXPECT_EQ(0u, flags & kAccessRejected) << "parameter " << id << " holds " << vtest::Describe(*value);
    }

    check.Reset();
    values.Reset();
    const CProjectFile project(temp_.File(L"project.dat"));
    ASSERT_HR(S_OK, project.Save(device.Session().Object()));
    device.Release();

    CDtmSession reloaded;
    ASSERT_HR(S_OK, reloaded.CreateByProgId(L"VarnokP3.DtmObject"));
    ASSERT_HR(S_OK, project.Load(reloaded.Object()));
    ql::ComPtr<CFrameHost> frame;
    ASSERT_HR(S_OK, ql::MakeObject(frame));
    frame->Script().SchemaFolder = SourceTreeSchemaFolder();
    ql::Bstr tag(L"Test/Varnok"), user(UserInformationDocument(L"planningEngineer"));
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, reloaded.Dtm()->Environment(tag.Get(), frame.Get(), &result));
    ASSERT_HR(S_OK, reloaded.Dtm()->Config(user.Get(), &result));
    ql::ComPtr<IQuelkVariablesEx> reloadedStore;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(reloaded.Object(), reloadedStore));
    const std::map<ULONG, ql::Variant> loaded = DatasetValues(reloadedStore.Get());
    EXPECT_EQ(held.size(), loaded.size());
    for (const auto& [id, value] : held) {
        if (!IsPersistent(reloadedStore.Get(), id)) continue;
        const auto other = loaded.find(id);
        ASSERT_NE(loaded.end(), other) << id;
        EXPECT_TRUE(IsVariantEqual(*value, *other->second))
            << "parameter " << id << ": saved " << vtest::Describe(*value) << ", loaded "
            << vtest::Describe(*other->second);
    }
    reloadedStore.Reset();
    reloaded.Release();
    frame->ClearProjectDtms();
    frame.Reset();
    PumpPendingMessages();
    EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"VarnokP3.dll"));
}

}  // namespace
}  // namespace endtoend
