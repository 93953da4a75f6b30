// Reading and writing one parameter: what reaches the dataset and the open user interfaces, the DP-V1
// errors as the device gives them, the evaluation's fixed order, and synchronous requests that wait inside
// each other or lose their channel.
#include <gtest/gtest.h>

#include <cmath>

#include "CommTestSupport.h"
#include "comm/CommunicationStates.h"
#include "comm/Dpv1ValueEncoding.h"
#include "frame/simulator/SimulatorCodec.h"
#include "tests/support/TestVariants.h"
#include "values/HexText.h"

namespace commtest {
namespace {

using Dpv1TransferTest = CommTest;

const wchar_t kSampleReference[] = L"6F9619FF-8B86-D011-B42D-00C04FC964FF";

std::wstring WireText(const VARIANT& value) {
    ql::Bstr text;
    EXPECT_HR(S_OK, ValueToText(value, text.Put()));
    return StringOf(text.Get());
}

ql::Variant R4(float value) {
    ql::Variant v;
    v.SetR4(value);
    return v;
}

TEST_F(Dpv1TransferTest, AnR4ReadStoresTheValueAndTellsTheUserInterfaces) {
    GoOnline();
    control_->notifications.clear();
    VARIANT_BOOL sent = VARIANT_FALSE;
    ASSERT_HR(S_OK, ReadSync(kCalibrationFactorId, &sent));
    EXPECT_EQ(VARIANT_TRUE, sent);
    EXPECT_TRUE(dtmint::Store(dtm_.Get()).LastResultOk());

    const ql::Variant value = Value(kCalibrationFactorId);
    ASSERT_EQ(VT_R4, value.Type());
    EXPECT_EQ(1.02f, V_R4(value.Get()));
    bool announced = false;
    for (const Notification& changed : control_->notifications) {
        const ql::Variant value = NotifiedValue(*changed.data);
        announced =
            announced || (changed.code == 0x2702 && NotifiedId(*changed.data) == kCalibrationFactorId &&
                          value.Type() == VT_R4 && V_R4(value.Get()) == 1.02f);
    }
    EXPECT_TRUE(announced) << "no 0x2702 with the value read";
    EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
}

TEST_F(Dpv1TransferTest, AWriteReachesTheDeviceInItsWireFormat) {
    GoOnline();
    ASSERT_HR(S_OK, WriteSync(kLowFlowCutOffId, *R4(2.5f)));
    EXPECT_TRUE(dtmint::Store(dtm_.Get()).LastResultOk());
    EXPECT_EQ(EncodePaNumber(2.5, VT_R4), channel_->Device().FindRecord(1, 71)->bytes);
    EXPECT_EQ(2.5f, V_R4(Value(kLowFlowCutOffId).Get()));
}

TEST_F(Dpv1TransferTest, DeviceErrorsReachTheUserWithTheParameterAndAnswerSOk) {
    struct Case {
        const char* name;
        ULONG id;
        LONG address;  // -1: the parameter's own
        bool write;
        const wchar_t* valueHex;  // the value written, as the record's own type from hex
        int busy;
        const wchar_t* message;
    };
    const Case cases[] = {
        {"invalid index", kCalibrationFactorId, 1 * 65536 + 200, false, nullptr, 0,
         L"ErrorCode 80B000 recieved! Invalid index, ReadRequest Parameter 1.200"},
        {"invalid slot", kCalibrationFactorId, 9 * 65536 + 70, false, nullptr, 0,
         L"ErrorCode 80B200 recieved! Invalid slot, ReadRequest Parameter 9.70"},
        {"busy", kCalibrationFactorId, -1, false, nullptr, 1,
         L"ErrorCode 80C200 recieved! Resource busy, ReadRequest Parameter 1.70"},
        {"access denied", kStaticRevisionId, -1, true, L"0007", 0,
         L"ErrorCode 80B600 recieved! Access denied, WriteRequest Parameter 0.17"},
        {"write length", kPhysicalTagId, -1, true, L"414243", 0,
         L"ErrorCode 80B100 recieved! Write length error, WriteRequest Parameter 0.18"},
        {"invalid range", kTargetModeId, -1, true, L"63", 0,
         L"ErrorCode 80B700 recieved! Invalid range, WriteRequest Parameter 0.21"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        GoOnline();
        if (c.address >= 0) {
            ql::Variant address;
            address.SetUI4(static_cast<ULONG>(c.address));
            ASSERT_HR(S_OK, Variables()->SetAddress(c.id, *address));
        }
        channel_->Device().SetBusyFor(c.busy);
        const ql::Variant before = Value(c.id);
        VARIANT_BOOL sent = VARIANT_FALSE;
        if (c.write) {
            ql::Variant value;
            ASSERT_HR(S_OK, HexBstrToByteArray(value.Get(), ql::Bstr(c.valueHex).Get(), TRUE));
            VARTYPE type = VT_EMPTY;
            ASSERT_HR(S_OK, Variables()->GetVariableInfo(c.id, nullptr, nullptr, &type, nullptr, nullptr,
                                                         nullptr, nullptr));
            if (type != (VT_ARRAY | VT_UI1)) {
                ql::Variant typed;
                ASSERT_HR(S_OK, Client()->TextToValue(ql::Bstr(c.valueHex).Get(), type, typed.Get()));
                value = std::move(typed);
            }
            ASSERT_HR(S_OK, WriteSync(c.id, *value, &sent));
        } else {
            ASSERT_HR(S_OK, ReadSync(c.id, &sent));
        }
        EXPECT_EQ(VARIANT_TRUE, sent);
        EXPECT_FALSE(dtmint::Store(dtm_.Get()).LastResultOk());
        ASSERT_EQ(1u, control_->messages.size());
        EXPECT_EQ(c.id, control_->messages[0].id);
        EXPECT_EQ(c.message, control_->messages[0].text);
        EXPECT_EQ(WireText(*before), WireText(*Value(c.id))) << "the dataset's value changed";
        EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
    }
}

TEST_F(Dpv1TransferTest, AReferenceThePeerSentIsEscapedInTheRequests) {
    // 36 characters, among them every character that XML gives a meaning.
    const std::wstring reference = L"A&B<C\"D'E>0123456789ABCDEF0123456789";
    ASSERT_EQ(36u, reference.size());
    channel_->SetNextReference(reference);
    GoOnline();
    EXPECT_EQ(reference, StringOf(dtmint::CommunicationReference(dtm_.Get())));
    VARIANT_BOOL sent = VARIANT_FALSE;
    ASSERT_HR(S_OK, ReadSync(kCalibrationFactorId, &sent));
    ASSERT_EQ(VARIANT_TRUE, sent);
    EXPECT_TRUE(channel_->Requests().back().valid);
    EXPECT_TRUE(dtmint::Store(dtm_.Get()).LastResultOk());
    EXPECT_EQ(1.02f, V_R4(Value(kCalibrationFactorId).Get()));
    VARIANT_BOOL offline = VARIANT_FALSE;
    ASSERT_HR(S_OK, OnlineState()->GoOffline(&offline));
    EXPECT_EQ(VARIANT_TRUE, offline);
}

// ---- synchronous requests inside each other ----

struct NestedRead {
    IQuelkDpv1Communication* dtm = nullptr;
    HRESULT result = E_PENDING;
    VARIANT_BOOL sent = VARIANT_FALSE;
};
NestedRead* g_nested = nullptr;

void CALLBACK ReadInsideTheWait(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (g_nested) g_nested->result = g_nested->dtm->ReadRequestSync(kLowFlowCutOffId, &g_nested->sent);
}

TEST_F(Dpv1TransferTest, NestedSynchronousRequestsKeepTheirOwnResults) {
    GoOnline();
    channel_->SetAnswerTiming(AnswerTiming::Later, 40);
    // The outer read's answer is broken and comes first, while the inner read still waits for its good one.
    ChannelFaultRule broken;
    broken.fault = ChannelFault::SchemaInvalidResponse;
    broken.requests = kSimTransaction;
    channel_->AddFault(broken);
    ChannelFaultRule late;
    late.fault = ChannelFault::LateAnswer;
    late.requests = kSimTransaction;
    late.delayMs = 250;
    channel_->AddFault(late);
    dtmint::SetTransactionTimeouts(dtm_.Get(), 2000, 2000);

    NestedRead nested;
    const ql::ComPtr<IQuelkDpv1Communication> client = Dpv1();
    nested.dtm = client.Get();
    g_nested = &nested;
    ::SetTimer(nullptr, 0, 1, &ReadInsideTheWait);
    VARIANT_BOOL sent = VARIANT_FALSE;
    const HRESULT outer = ReadSync(kCalibrationFactorId, &sent);
    g_nested = nullptr;

    EXPECT_HR(E_FAIL, outer);
    EXPECT_HR(S_OK, nested.result);
    EXPECT_EQ(VARIANT_TRUE, nested.sent);
    EXPECT_EQ(0.0f, V_R4(Value(kLowFlowCutOffId).Get()));
    EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
}

struct ChannelDrop {
    IQuelkDpv1Client* dtm = nullptr;
};
ChannelDrop* g_drop = nullptr;

void CALLBACK DropTheChannel(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (g_drop) (void)g_drop->dtm->SetChannel(nullptr);
}

TEST_F(Dpv1TransferTest, LosingTheChannelWakesTheWaitAndLateAnswersAreIgnored) {
    GoOnline();
    channel_->SetAnswerTiming(AnswerTiming::Later, 300);
    dtmint::SetTransactionTimeouts(dtm_.Get(), 5000, 5000);
    const ql::Variant before = Value(kCalibrationFactorId);

    const ql::ComPtr<IQuelkDpv1Client> client = Client();
    ChannelDrop drop{client.Get()};
    g_drop = &drop;
    ::SetTimer(nullptr, 0, 20, &DropTheChannel);
    const ULONGLONG start = ::GetTickCount64();
    VARIANT_BOOL sent = VARIANT_FALSE;
    EXPECT_HR(E_ABORT, ReadSync(kCalibrationFactorId, &sent));
    g_drop = nullptr;
    EXPECT_LT(::GetTickCount64() - start, 1000u) << "the wait ran on to its time-out";
    EXPECT_EQ(VARIANT_TRUE, sent);
    EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
    EXPECT_FALSE(dtmint::HasChannel(dtm_.Get()));

    // The channel's answer still arrives: it finds nothing.
    ASSERT_TRUE(PumpUntil([this] { return channel_->QueuedAnswerCount() == 0; }));
    ASSERT_FALSE(channel_->Answers().empty());
    EXPECT_HR(E_FAIL, channel_->Answers().back().result);
    EXPECT_TRUE(control_->messages.empty());
    EXPECT_EQ(V_R4(before.Get()), V_R4(Value(kCalibrationFactorId).Get()));
}

}  // namespace
}  // namespace commtest
