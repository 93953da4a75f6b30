// An online write, whatever type the caller gives the value in: the device receives the value as the
// dataset then holds it, in the record's encoding, and a value the record cannot take goes nowhere.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommTestSupport.h"
#include "comm/Dpv1ValueEncoding.h"
#include "frame/simulator/SimulatorCodec.h"
#include "values/DtmVocabulary.h"

namespace commtest {
namespace {

using vtest::Describe;
using vtest::MakeBstr;
using vtest::MakeI4;
using vtest::MakeUI4;

enum class WriteEntry {
    VariablesAsync,
    VariablesExAsync,
    VariablesExSync,
    ClientWrite,
    OnlineAccessWriteSync,
    WriteRequest,
    WriteRequestSync,
};

ql::Variant Typed(const VARIANT& value, VARTYPE type) {
    ql::Variant typed;
    EXPECT_HR(S_OK, typed.CopyFrom(value));
    EXPECT_HR(S_OK, typed.ChangeType(type));
    return typed;
}

struct WrittenRecord {
    const char* name;
    ULONG id;
    BYTE slot, index;
    ql::Variant own;  // a value in the record's own type
};

std::vector<WrittenRecord> Records() {
    std::vector<WrittenRecord> records;
    records.push_back({"R4", kCalibrationFactorId, 1, 70, Typed(*MakeI4(3), VT_R4)});
    records.push_back({"UI1", 19, 0, 20, Typed(*MakeI4(3), VT_UI1)});
    records.push_back({"UI2", 18, 0, 19, Typed(*MakeI4(3), VT_UI2)});
    records.push_back({"byte string", kPhysicalTagId, 0, 18, vtest::MakeBytes(std::vector<BYTE>(32, 0x33))});
    records.push_back({"text", 23, 0, 24, MakeBstr(L"3.0")});
    return records;
}

struct GivenValue {
    const char* name;
    ql::Variant value;  // empty: the record's own value
};

std::vector<GivenValue> Values() {
    std::vector<GivenValue> values;
    values.push_back({"own type", ql::Variant()});
    values.push_back({"I4 7", MakeI4(7)});
    values.push_back({"I2 7", Typed(*MakeI4(7), VT_I2)});
    values.push_back({"R8 7.25", Typed(*MakeBstr(L"7.25"), VT_R8)});
    values.push_back({"text 12", MakeBstr(L"12")});
    values.push_back({"text abc", MakeBstr(L"abc")});
    return values;
}

class WrittenValueTest : public CommTest, public ::testing::WithParamInterface<WriteEntry> {
protected:
    HRESULT Write(ULONG id, const VARIANT& value) {
        VARIANT_BOOL sent = VARIANT_FALSE;
        switch (GetParam()) {
            case WriteEntry::VariablesAsync:
                return static_cast<IQuelkVariables*>(Variables().Get())
                    ->WriteToDeviceAsync(*MakeUI4(id), value, &sent);
            case WriteEntry::VariablesExAsync:
                return Variables()->WriteToDeviceAsync(id, value, &sent);
            case WriteEntry::VariablesExSync:
                return Variables()->WriteToDevice(id, value, &sent);
            case WriteEntry::ClientWrite:
                return Client()->Write(*MakeUI4(id), value, &sent);
            case WriteEntry::OnlineAccessWriteSync:
                return Query<IQuelkOnlineAccess>()->WriteSync(*MakeUI4(id), value, &sent);
            case WriteEntry::WriteRequest:
                return Dpv1()->WriteRequest(id, value, &sent);
            case WriteEntry::WriteRequestSync:
                return Dpv1()->WriteRequestSync(id, value, &sent);
        }
        return E_UNEXPECTED;
    }

    // The record's encoding of `value`, as the device receives it.
    static SimBytes Encoded(const VARIANT& value) {
        ql::Bstr text;
        EXPECT_HR(S_OK, ValueToText(value, text.Put()));
        SimBytes bytes;
        EXPECT_TRUE(BytesFromHex(std::wstring_view(text.Get(), ::SysStringLen(text.Get())), &bytes));
        return bytes;
    }

    // What SetValue makes of `value` in record `id` (the dataset's own conversion), or its refusal; the
    // record is set back to `own` afterwards.
    HRESULT HeldAs(ULONG id, const VARIANT& value, const VARIANT& own, ql::Variant& held) {
        const HRESULT hr = Variables()->SetValue(id, value);
        if (SUCCEEDED(hr)) held = Value(id);
        EXPECT_HR(S_OK, Variables()->SetValue(id, own));
        return hr;
    }
};

TEST_P(WrittenValueTest, TheDeviceReceivesTheValueTheDatasetThenHolds) {
    GoOnline();
    // The device's texts are read-only; this one is made writable on both sides.
    ULONG textAccess = kAccessSingleReadWrite;
    ASSERT_HR(S_OK, Variables()->ChangeValue(23, nullptr, &textAccess));
    channel_->Device().FindRecord(0, 24)->writable = true;

    for (const WrittenRecord& record : Records()) {
        for (const GivenValue& given : Values()) {
            SCOPED_TRACE(testing::Message() << given.name << " into the " << record.name);
            const VARIANT& value = given.value.Type() == VT_EMPTY ? *record.own : *given.value;
            ql::Variant held;
            const HRESULT conversion = HeldAs(record.id, value, *record.own, held);
            SimulatedRecord& device = *channel_->Device().FindRecord(record.slot, record.index);
            // A device that checks only the length, taking whatever the dataset would hold.
            device.bytes = SUCCEEDED(conversion) ? SimBytes(Encoded(*held).size(), 0) : Encoded(*record.own);
            const size_t requestsBefore = channel_->Requests().size();

            const HRESULT hr = Write(record.id, value);
            ASSERT_TRUE(PumpUntil([this] { return dtmint::PendingTransactionCount(dtm_.Get()) == 0; }));
            if (FAILED(conversion)) {
                EXPECT_HR(conversion, hr);
                EXPECT_EQ(requestsBefore, channel_->Requests().size()) << "nothing is sent";
                EXPECT_EQ(Describe(*record.own), Describe(*Value(record.id)));
                continue;
            }
            EXPECT_HR(S_OK, hr);
            EXPECT_EQ(requestsBefore + 1, channel_->Requests().size()) << "one write is sent";
            EXPECT_EQ(Describe(*held), Describe(*Value(record.id)));
            const SimBytes written = WrittenBytes(*channel_.Get(), record.slot, record.index);
            EXPECT_EQ(HexFromBytes(Encoded(*Value(record.id))), HexFromBytes(written));
            EXPECT_EQ(written, device.bytes);
        }
    }
}

// Numbers as scripts and text boxes give them, spelled out: a text and a fraction into the float, the
// byte and the word, each as the dataset holds it.
TEST_P(WrittenValueTest, ANumberGivenAsATextOrAnR8IsSentInTheRecordsType) {
    GoOnline();
    const struct {
        ULONG id;
        BYTE slot, index;
        const wchar_t* text;
        const wchar_t* sent;
    } cases[] = {
        {kCalibrationFactorId, 1, 70, L"7", L"40E00000"},
        {kCalibrationFactorId, 1, 70, L"7.25", L"40E80000"},
        {19, 0, 20, L"7", L"07"},
        {18, 0, 19, L"12", L"000C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " into " << c.id);
        for (const ql::Variant& value : {MakeBstr(c.text), Typed(*MakeBstr(c.text), VT_R8)}) {
            ASSERT_HR(S_OK, Write(c.id, *value));
            ASSERT_TRUE(PumpUntil([this] { return dtmint::PendingTransactionCount(dtm_.Get()) == 0; }));
            EXPECT_EQ(c.sent, HexFromBytes(WrittenBytes(*channel_.Get(), c.slot, c.index)));
            EXPECT_EQ(c.sent, HexFromBytes(channel_->Device().FindRecord(c.slot, c.index)->bytes));
        }
    }
}

std::string EntryName(const ::testing::TestParamInfo<WriteEntry>& info) {
    static const char* const names[] = {"VariablesWriteToDeviceAsync",      "VariablesExWriteToDeviceAsync",
                                        "VariablesExWriteToDevice",         "Dpv1ClientWrite",
                                        "Dpv1OnlineAccessWriteSync",        "Dpv1CommunicationWriteRequest",
                                        "Dpv1CommunicationWriteRequestSync"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EntryPoints, WrittenValueTest,
                         ::testing::Values(WriteEntry::VariablesAsync, WriteEntry::VariablesExAsync,
                                           WriteEntry::VariablesExSync, WriteEntry::ClientWrite,
                                           WriteEntry::OnlineAccessWriteSync, WriteEntry::WriteRequest,
                                           WriteEntry::WriteRequestSync),
                         EntryName);

}  // namespace
}  // namespace commtest
