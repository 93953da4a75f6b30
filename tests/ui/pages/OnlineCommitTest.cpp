// The Enter commit of the block pages against the simulated flowmeter when the device does not simply
// take the value: a record that refuses the write, a device that answers reads with errors, falls silent
// or drops the connection, and a frame that lets the page go while the commit waits. What the person is
// told, what the device and the dataset hold afterwards, and how many requests one commit sends.
#include <windows.h>

#include <string>
#include <tuple>

#include "VarnokP3.h"
#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "frame/MessagePump.h"
#include "tests/ui/pages/BlockPageFixture.h"
#include "ui/pages/PageResources.h"

namespace {

constexpr ULONG kAccessDiffers = 0x02;
constexpr ULONG kDiameter = 44, kFlowUnit = 47, kWidth = 51, kLength = 52, kFlowUnitCopy = 131;
constexpr BYTE kTransducerSlot = 1, kFlowUnitIndex = 84;

struct EditedField {
    const char* name;
    const CLSID* page;
    int control;
    ULONG id;
    BYTE slot, index;
    const wchar_t* text;
};

void PrintTo(const EditedField& field, std::ostream* out) { *out << field.name; }

// What the parameterization window does for its pages: it is the DTM's open control and hands the DTM's
// notifications on to the page; the DTM's messages it shows itself.
class NotificationRelay final : public vtest::CountedDispatch<IQuelkControl> {
public:
    NotificationRelay() : CountedDispatch({IID_IQuelkControl, IID_IQuelkControlCompat}) {}
    ql::ComPtr<IQuelkControl> page;

    HRESULT STDMETHODCALLTYPE SetDtmState(ULONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowStatusText(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowMessageVariant(VARIANT, BSTR, VARIANT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE NotifyVariant(VARIANT code, VARIANT data) override {
        ql::Variant number;
        if (FAILED(::VariantChangeType(number.Get(), &code, 0, VT_UI4))) return E_INVALIDARG;
        return OnNotify(V_UI4(number.Get()), data);
    }
    VARNOK_UNEXPECTED_CALL(Init, IUnknown*, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(ReleaseDtm, VARIANT_BOOL*)
    HRESULT STDMETHODCALLTYPE ShowMessage(ULONG, BSTR, VARIANT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnNotify(ULONG code, VARIANT data) override {
        return page ? page->OnNotify(code, data) : S_OK;
    }
};

class OnlineCommit : public pagetest::BlockPageFixture {
protected:
    void TearDown() override {
        if (relay_.page) {
            ql::ComPtr<IQuelkFunctions> functions;
            if (SUCCEEDED(Store()->QueryInterface(IID_IQuelkFunctions, functions.PutVoid())))
                (void)functions->ActiveXControlEvent(ql::Bstr(kRelayInvokeId).Get(), nullptr);
            relay_.page.Reset();
        }
        BlockPageFixture::TearDown();
    }
    // The page gets the DTM's notifications as in the parameterization window.
    void RelayNotifications() {
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(page_.Page(), relay_.page));
        ql::ComPtr<IQuelkFunctions> functions;
        ASSERT_HR(S_OK, Store()->QueryInterface(IID_IQuelkFunctions, functions.PutVoid()));
        ASSERT_HR(S_OK, functions->ActiveXControlEvent(ql::Bstr(kRelayInvokeId).Get(), &relay_));
    }
    void OpenOnline(const CLSID& page) {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
        ASSERT_NO_FATAL_FAILURE(OpenPage(page));
        ASSERT_NO_FATAL_FAILURE(SetOnline());
    }
    SimBytes DeviceBytes(BYTE slot, BYTE index) {
        const SimulatedRecord* record = channel_->Device().FindRecord(slot, index);
        return record ? record->bytes : SimBytes{};
    }
    ql::Variant Stored(ULONG id) {
        ql::Variant value;
        EXPECT_HR(S_OK, Store()->GetValue(id, value.Put()));
        return value;
    }
    size_t Transactions() const { return channel_->CountRequests(kSimTransaction); }
    bool Told(const wchar_t* text) const { return LastUserMessage().find(text) != std::wstring::npos; }

    static constexpr const wchar_t* kRelayInvokeId = L"6D2C1B0E-7A41-4F0B-9A55-3C1D2E4F5A6B";
    NotificationRelay relay_;
};

// --- a write the device refuses ---

enum class Refusal { AccessDenied, DeviceError, CommunicationError };

struct RefusalCase {
    const char* name;
    Refusal refusal;
    const wchar_t* told;  // part of the device's own message
};

void PrintTo(const RefusalCase& refusal, std::ostream* out) { *out << refusal.name; }

const EditedField kRefusedFields[] = {
    {"Strategy", &CLSID_P2_PBDevInfo, IDC_PB_STRATEGY, 18, 0, 19, L"77"},
    {"HighLimit", &CLSID_P4_TBMassFlow, IDC_MF_HIGH_LIMIT, 48, 1, 85, L"1234.5"},
    {"LowerSensorLimit", &CLSID_TBExtra, IDC_TBX_LOWER_LIMIT, 57, 1, 116, L"12.5"},
};
const RefusalCase kRefusals[] = {
    {"AccessDenied", Refusal::AccessDenied, L"80B600"},
    {"DeviceError", Refusal::DeviceError, L"DF80B6"},
    {"CommunicationError", Refusal::CommunicationError, L"ERROR:"},
};

class RefusedWrite : public OnlineCommit,
                     public ::testing::WithParamInterface<std::tuple<EditedField, RefusalCase>> {};

TEST_P(RefusedWrite, IsToldAsAFailureAndTheFieldShowsTheDevice) {
    const EditedField& field = std::get<0>(GetParam());
    const RefusalCase& refusal = std::get<1>(GetParam());
    ASSERT_NO_FATAL_FAILURE(OpenOnline(*field.page));
    ASSERT_NO_FATAL_FAILURE(RelayNotifications());
    switch (refusal.refusal) {
        case Refusal::AccessDenied:
            channel_->Device().FindRecord(field.slot, field.index)->writable = false;
            break;
        case Refusal::DeviceError:
            channel_->AddFault(
                {ChannelFault::DeviceError, kSimWriteTransaction, 0, 1, 0, {0xDF, 0x80, 0xB6}});
            break;
        case Refusal::CommunicationError:
            channel_->AddFault({ChannelFault::CommunicationError, kSimWriteTransaction, 0, 1});
            break;
    }
    const SimBytes deviceBefore = DeviceBytes(field.slot, field.index);
    const std::wstring shownBefore = Text(field.control);

    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(field.control, field.text));
    EXPECT_TRUE(Told(L"Online Parameter Update Failure")) << LastUserMessage();
    EXPECT_TRUE(Told(refusal.told)) << LastUserMessage();
    EXPECT_FALSE(Told(L"Value written to the Device!")) << LastUserMessage();
    EXPECT_EQ(deviceBefore, DeviceBytes(field.slot, field.index));
    EXPECT_EQ(shownBefore, Text(field.control));
    EXPECT_EQ(0u, Access(field.id) & kAccessDiffers);
}

INSTANTIATE_TEST_SUITE_P(EveryBlockPage, RefusedWrite,
                         ::testing::Combine(::testing::ValuesIn(kRefusedFields),
                                            ::testing::ValuesIn(kRefusals)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

// --- the record's own length on the wire ---

const EditedField kPickedUnits[] = {
    {"MassFlowPage", &CLSID_P4_TBMassFlow, IDC_MF_FLOW_UNIT, kFlowUnit, kTransducerSlot, kFlowUnitIndex,
     L"lb/h"},
    {"MakerPage", &CLSID_TBExtra, IDC_TBX_FLOW_UNIT, kFlowUnit, kTransducerSlot, kFlowUnitIndex, L"lb/h"},
    {"DeviceInfoPage", &CLSID_P2_PBDevInfo, IDC_PB_TARGET_MODE, 20, 0, 21, L"Auto"},
};

class PickedCode : public OnlineCommit, public ::testing::WithParamInterface<EditedField> {};

// A list's code is a 32-bit number in the control; the device takes the record's own length.
TEST_P(PickedCode, GoesOutInTheRecordsOwnLength) {
    const EditedField& field = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenOnline(*field.page));
    const size_t length = DeviceBytes(field.slot, field.index).size();
    ASSERT_NO_FATAL_FAILURE(PickAndEnter(field.control, field.text));
    EXPECT_TRUE(Told(L"Online Parameter Update Success")) << LastUserMessage();
    const SimBytes written = DeviceBytes(field.slot, field.index);
    EXPECT_EQ(length, written.size());
    if (field.id == kFlowUnit) {
        EXPECT_EQ((SimBytes{0x05, 0x34}), written);  // lb/h, 1332
    }
}

INSTANTIATE_TEST_SUITE_P(EveryBlockPage, PickedCode, ::testing::ValuesIn(kPickedUnits),
                         [](const auto& info) { return std::string(info.param.name); });

// --- a coupling whose reads give no value ---

enum class Breakdown { Abort, Release, ReadErrors };

struct CouplingCase {
    const char* name;
    Breakdown breakdown;
    int control;
    const wchar_t* pick;
};

const CouplingCase kCouplings[] = {
    {"FlowUnitAfterAbort", Breakdown::Abort, IDC_MF_FLOW_UNIT, L"lb/h"},
    {"FlowUnitAfterRelease", Breakdown::Release, IDC_MF_FLOW_UNIT, L"lb/h"},
    {"FlowUnitWithReadErrors", Breakdown::ReadErrors, IDC_MF_FLOW_UNIT, L"lb/h"},
    {"DuctWithReadErrors", Breakdown::ReadErrors, IDC_MF_TUBE_SHAPE, L"Rectangular Duct"},
};

void PrintTo(const CouplingCase& coupling, std::ostream* out) { *out << coupling.name; }

class UnreadCoupling : public OnlineCommit, public ::testing::WithParamInterface<CouplingCase> {};

// The online parameterization takes the units and the diameter from the device: a read that gave no value
// stores nothing (never a 0) and the person is told.
TEST_P(UnreadCoupling, StoresNothingAndTellsThePerson) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline(CLSID_P4_TBMassFlow));
    ASSERT_NO_FATAL_FAILURE(SetFrameMode(2));
    switch (GetParam().breakdown) {
        case Breakdown::Abort:
            channel_->AbortConnection();
            ASSERT_TRUE(PumpMessagesUntil([this] { return session_.State() != 12u; }, 10000));
            break;
        case Breakdown::Release: {
            VARIANT_BOOL done = VARIANT_FALSE;
            ASSERT_HR(S_OK, session_.Dtm()->PrepareToReleaseCommunication(&done));
            ASSERT_HR(S_OK, session_.Dtm()->ReleaseCommunication(&done));
            ASSERT_EQ(8u, session_.State());
            break;
        }
        case Breakdown::ReadErrors:
            channel_->AddFault(
                {ChannelFault::DeviceError, kSimReadTransaction, 0, -1, 0, {0x80, 0xB0, 0x00}});
            break;
    }
    const float diameter = V_R4(Stored(kDiameter).Get());
    const float width = V_R4(Stored(kWidth).Get()), length = V_R4(Stored(kLength).Get());

    ASSERT_NO_FATAL_FAILURE(PickAndEnter(GetParam().control, GetParam().pick));
    EXPECT_TRUE(Told(L"could not be read")) << LastUserMessage();
    ql::Variant unit = Stored(kFlowUnit), copy = Stored(kFlowUnitCopy);
    ASSERT_HR(S_OK, unit.ChangeType(VT_UI4));
    ASSERT_HR(S_OK, copy.ChangeType(VT_UI4));
    EXPECT_NE(0u, V_UI4(unit.Get()));
    EXPECT_NE(0u, V_UI4(copy.Get()));
    EXPECT_EQ(diameter, V_R4(Stored(kDiameter).Get()));
    EXPECT_EQ(width, V_R4(Stored(kWidth).Get()));
    EXPECT_EQ(length, V_R4(Stored(kLength).Get()));
    if (GetParam().breakdown == Breakdown::Release) {
        channel_->DropCallback();  // released already: nothing left for the fixture to release
        channel_.Reset();
    }
}

INSTANTIATE_TEST_SUITE_P(MassFlowPage, UnreadCoupling, ::testing::ValuesIn(kCouplings),
                         [](const auto& info) { return std::string(info.param.name); });

// --- a silent device ---

struct SilentCase {
    const char* name;
    const CLSID* page;
    int control;
    const wchar_t* text;  // typed, or picked in a list
    bool pick;
    ULONG frameMode;
};

const SilentCase kSilentCommits[] = {
    {"TagOnDeviceInfoPage", &CLSID_P2_PBDevInfo, IDC_PB_TAG, L"SILENT", false, 1},
    {"FlowUnitOnMassFlowPage", &CLSID_P4_TBMassFlow, IDC_MF_FLOW_UNIT, L"lb/h", true, 2},
};

void PrintTo(const SilentCase& silent, std::ostream* out) { *out << silent.name; }

class SilentDevice : public OnlineCommit, public ::testing::WithParamInterface<SilentCase> {};

// Every further request of the commit (its read-back, the reload, the coupling's reads) and every cyclic
// read of the page in the meantime would wait out the same silence.
TEST_P(SilentDevice, OneUnansweredRequestEndsTheCommit) {
    const SilentCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenOnline(*c.page));
    ASSERT_NO_FATAL_FAILURE(SetFrameMode(c.frameMode));
    // Shown again now that the DTM is online: the page's cyclic reading runs.
    ASSERT_HR(S_OK, page_.Page()->Show(SW_HIDE));
    ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
    channel_->AddFault({ChannelFault::Silence, kSimTransaction, 0, -1});
    const size_t before = Transactions();
    if (c.pick) {
        ASSERT_NO_FATAL_FAILURE(PickAndEnter(c.control, c.text));
    } else {
        ASSERT_NO_FATAL_FAILURE(TypeAndEnter(c.control, c.text));
    }
    EXPECT_EQ(before + 1, Transactions());
    EXPECT_NE(0u, frame_->CountCalls(L"UserDialog"));
    EXPECT_FALSE(Told(L"Online Parameter Update Success")) << LastUserMessage();
}

INSTANTIATE_TEST_SUITE_P(EveryBlockPage, SilentDevice, ::testing::ValuesIn(kSilentCommits),
                         [](const auto& info) { return std::string(info.param.name); });

// --- a frame that lets the page go inside the commit ---

class ClosedDuringCommit : public OnlineCommit, public ::testing::WithParamInterface<EditedField> {
protected:
    static ClosedDuringCommit* current_;
    static void CALLBACK CloseThePage(HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        current_->control_.Reset();
        current_->page_.Reset();
        current_->closed_ = true;
    }
    bool closed_ = false;
};
ClosedDuringCommit* ClosedDuringCommit::current_ = nullptr;

// The frame holds no reference of its own across the key it routes; the page is closed and released while
// its write waits for the late answer. The commit ends without touching a freed page.
TEST_P(ClosedDuringCommit, EndsWithoutThePage) {
    const EditedField& field = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenOnline(*field.page));
    channel_->AddFault({ChannelFault::LateAnswer, kSimTransaction, 0, -1, 300});
    current_ = this;
    const HWND edit = Item(field.control);
    ::SetFocus(edit);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(field.text));
    MSG key{edit, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    IPropertyPage* page = page_.Page();
    ASSERT_NE(0u, ::SetTimer(nullptr, 0, 50, &ClosedDuringCommit::CloseThePage));
    (void)page->TranslateAccelerator(&key);
    EXPECT_TRUE(closed_);
    EXPECT_FALSE(page_.Page());
    current_ = nullptr;
}

const EditedField kClosedFields[] = {
    {"DeviceInfoPage", &CLSID_P2_PBDevInfo, IDC_PB_TAG, 17, 0, 18, L"CLOSED"},
    {"MassFlowPage", &CLSID_P4_TBMassFlow, IDC_MF_HIGH_LIMIT, 48, 1, 85, L"12.5"},
};

INSTANTIATE_TEST_SUITE_P(EveryBlockPage, ClosedDuringCommit, ::testing::ValuesIn(kClosedFields),
                         [](const auto& info) { return std::string(info.param.name); });

// --- what is no number ---

class NoNumber : public OnlineCommit, public ::testing::WithParamInterface<const wchar_t*> {};

// The C library's reading of a number also takes infinities, NaN and hexadecimal; a diameter is only ever
// a finite decimal number, and the duct derived from it stays as it was.
TEST_P(NoNumber, IsNoDiameter) {
    ASSERT_NO_FATAL_FAILURE(OpenPage(CLSID_P4_TBMassFlow));
    const ql::Variant diameter = Stored(kDiameter);
    const float width = V_R4(Stored(kWidth).Get()), length = V_R4(Stored(kLength).Get());
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_MF_DIAMETER, GetParam()));
    EXPECT_TRUE(Told(L"Failure")) << LastUserMessage();
    EXPECT_EQ(V_R4(diameter.Get()), V_R4(Stored(kDiameter).Get()));
    EXPECT_EQ(width, V_R4(Stored(kWidth).Get()));
    EXPECT_EQ(length, V_R4(Stored(kLength).Get()));
}

INSTANTIATE_TEST_SUITE_P(MassFlowPage, NoNumber,
                         ::testing::Values(L"inf", L"infinity", L"-inf", L"1e309", L"NaN", L"0x10",
                                           L"1e-320"));

}  // namespace
