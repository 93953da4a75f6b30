// By-reference arguments as scripts pass their variables: the DTM keeps, sends and compares the value a
// reference refers to, never the reference. The caller may assign or free its variable as soon as the call
// has returned, also while a device answer the call started is still to come.
#include <string>
#include <tuple>

#include "OnlineDtmTest.h"
#include "classlib/Variant.h"
#include "tests/support/CallerReference.h"

namespace dtmtest {
namespace {

constexpr ULONG kAlertKeyId = 19;  // VT_UI1 at 0.20, written and read on the device
constexpr BYTE kAlertKeySlot = 0, kAlertKeyIndex = 20;

// How a script's variable may refer to a number: the variable's type, and the type the number has in it.
struct Form {
    const char* name;
    VARTYPE referenced;
    VARTYPE held;
};

// The records used here are VT_UI1: the first two forms hold the number in the record's own type.
const Form kForms[] = {
    {"to a UI1", VT_UI1, VT_UI1},
    {"to a VARIANT holding a UI1", VT_VARIANT, VT_UI1},
    {"to an I4", VT_I4, VT_I4},
    {"to a BSTR", VT_BSTR, VT_BSTR},
    {"to a VARIANT holding an I4", VT_VARIANT, VT_I4},
    {"to a VARIANT holding a text", VT_VARIANT, VT_BSTR},
};

ql::Variant ValueOf(const Form& form, LONG number) {
    ql::Variant value = MakeI4(number);
    EXPECT_HR(S_OK, value.ChangeType(form.held));
    return value;
}

template <class Interface>
ql::ComPtr<Interface> Ask(CDtmObject* dtm) {
    ql::ComPtr<Interface> found;
    EXPECT_HR(S_OK, dtm->QueryInterface(__uuidof(Interface), found.PutVoid()));
    return found;
}

// ---- a record field given by reference ----

class FieldReferenceTest : public DtmTest {
protected:
    static constexpr ULONG kRecord = kStationAddressId;  // VT_UI1 from 0 to 126
    // Judged one way against a minimum or maximum of 7, the other way against one of 99.
    static constexpr LONG kProbe = 50;

    HRESULT SetField(ULONG field, const VARIANT& value) {
        return Ask<IQuelkVariableFields>(dtm_.Get())
            ->SetVariableField(*MakeUI4(kRecord), *MakeUI4(field), value);
    }
    // What the field holds, how CheckValue judges the probe, and the saved project.
    struct Kept {
        std::string field;
        ULONG probeFlags;
        Bytes image;
    };
    Kept Observe(ULONG field) {
        ql::Variant held;
        EXPECT_HR(S_OK, Ask<IQuelkVariableFields>(dtm_.Get())
                            ->GetVariableField(*MakeUI4(kRecord), *MakeUI4(field), held.Get()));
        EXPECT_EQ(0, held.Type() & VT_BYREF) << "the field hands out a reference";
        ULONG flags = 0;
        EXPECT_HR(S_OK,
                  Ask<IQuelkValueCheck>(dtm_.Get())->CheckValue(*MakeUI4(kRecord), *MakeI4(kProbe), &flags));
        return {Describe(*held), flags, SaveStreamImage()};
    }
    void ExpectKept(const Kept& byValue, ULONG field, const char* when) {
        SCOPED_TRACE(when);
        const Kept now = Observe(field);
        EXPECT_EQ(byValue.field, now.field);
        EXPECT_EQ(byValue.probeFlags, now.probeFlags) << "CheckValue of " << kProbe;
        EXPECT_TRUE(byValue.image == now.image) << "the saved project differs";
    }
};

TEST_F(FieldReferenceTest, AFieldKeepsTheValueAfterTheCallerAssignsOrFreesItsVariable) {
    const struct {
        const char* name;
        ULONG field;
    } fields[] = {{"value", kFieldValue}, {"minimum", kFieldMinValue}, {"maximum", kFieldMaxValue}};
    for (const auto& field : fields) {
        for (const Form& form : kForms) {
            SCOPED_TRACE(testing::Message() << field.name << " " << form.name);
            // The same call with the value itself: what the reference must leave.
            CreateDtm();
            ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
            ASSERT_HR(S_OK, SetField(field.field, *ValueOf(form, 7)));
            const Kept byValue = Observe(field.field);

            CreateDtm();
            ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
            CallerReference variable(form.referenced, *ValueOf(form, 7));
            ASSERT_HR(S_OK, SetField(field.field, variable.Argument()));
            ExpectKept(byValue, field.field, "as given");
            variable.Assign(*ValueOf(form, 99));
            ExpectKept(byValue, field.field, "after the caller's assignment");
            variable.Free();
            ExpectKept(byValue, field.field, "after the caller freed its variable");
        }
    }
}

// ---- online requests with a by-reference argument ----

class ReferenceOnlineTest : public OnlineDtmTest {
protected:
    SimBytes& DeviceAlertKey() { return channel_->Device().FindRecord(kAlertKeySlot, kAlertKeyIndex)->bytes; }
    std::string DatasetValue(ULONG id) {
        ql::Variant value;
        EXPECT_HR(S_OK, Variables()->GetValue(id, value.Put()));
        return Describe(*value);
    }
    bool PumpUntilAnswered() {
        return PumpUntil([this] { return dtmint::PendingTransactionCount(dtm_.Get()) == 0; });
    }
};

enum class WriteEntry { VariablesByVariantId, VariablesEx, ClientWrite, WriteRequest };

class WriteReferenceTest : public ReferenceOnlineTest, public ::testing::WithParamInterface<WriteEntry> {
protected:
    HRESULT Write(const VARIANT& value, VARIANT_BOOL* sent) {
        switch (GetParam()) {
            case WriteEntry::VariablesByVariantId:
                return static_cast<IQuelkVariables*>(Variables().Get())
                    ->WriteToDeviceAsync(*MakeUI4(kAlertKeyId), value, sent);
            case WriteEntry::VariablesEx:
                return Variables()->WriteToDeviceAsync(kAlertKeyId, value, sent);
            case WriteEntry::ClientWrite:
                return Ask<IQuelkDpv1Client>(dtm_.Get())->Write(*MakeUI4(kAlertKeyId), value, sent);
            case WriteEntry::WriteRequest:
                return Ask<IQuelkDpv1Communication>(dtm_.Get())->WriteRequest(kAlertKeyId, value, sent);
        }
        return E_UNEXPECTED;
    }
    // The dataset's value, the device's bytes and whether the device took it, after a write of `value` that
    // the caller's `freeAfterCall` (if any) frees once the write is out.
    std::tuple<std::string, SimBytes, bool> Written(const VARIANT& value, CallerReference* freeAfterCall) {
        // Another value first, so that the write is seen to arrive.
        DeviceAlertKey() = {0};
        EXPECT_HR(S_OK, Variables()->SetValue(kAlertKeyId, *MakeI4(0)));
        VARIANT_BOOL sent = VARIANT_FALSE;
        EXPECT_HR(S_OK, Write(value, &sent));
        EXPECT_EQ(VARIANT_TRUE, sent);
        EXPECT_EQ(1u, dtmint::PendingTransactionCount(dtm_.Get())) << "the answer comes later";
        if (freeAfterCall) freeAfterCall->Free();
        EXPECT_TRUE(PumpUntilAnswered());
        return {DatasetValue(kAlertKeyId), DeviceAlertKey(), dtmint::Store(dtm_.Get()).LastResultOk()};
    }
};

// Whatever the write makes of the value itself, it makes of the value a freed variable referred to.
TEST_P(WriteReferenceTest, AVariableFreedBeforeTheDeviceAnswersIsWrittenAsItsValue) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    for (const Form& form : kForms) {
        SCOPED_TRACE(form.name);
        const auto byValue = Written(*ValueOf(form, 7), nullptr);
        CallerReference variable(form.referenced, *ValueOf(form, 7));
        const auto byReference = Written(variable.Argument(), &variable);
        EXPECT_EQ(byValue, byReference);
        if (form.held == VT_UI1) {
            EXPECT_EQ(std::make_tuple(std::string("ui1:7"), SimBytes{7}, true), byReference);
        }
    }
}

std::string EntryName(const ::testing::TestParamInfo<WriteEntry>& info) {
    static const char* const names[] = {"VariablesWriteToDeviceAsync", "VariablesExWriteToDeviceAsync",
                                        "Dpv1ClientWrite", "Dpv1CommunicationWriteRequest"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EntryPoints, WriteReferenceTest,
                         ::testing::Values(WriteEntry::VariablesByVariantId, WriteEntry::VariablesEx,
                                           WriteEntry::ClientWrite, WriteEntry::WriteRequest),
                         EntryName);

// The record's address given by reference: kept as the address it refers to, so that the device reads of
// the record still find it after the caller has freed its variable.
TEST_F(ReferenceOnlineTest, AnAddressGivenByReferenceIsKeptAsTheAddress) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    const ql::Variant address = MakeUI4(kAlertKeySlot * 65536 + kAlertKeyIndex);
    const ql::Variant otherAddress = MakeUI4(kAlertKeySlot * 65536 + kAlertKeyIndex + 1);
    const struct {
        const char* name;
        VARTYPE referenced;
        bool byVariantId;
    } cases[] = {
        {"IQuelkVariables::SetAddress, to a UI4", VT_UI4, true},
        {"IQuelkVariables::SetAddress, to a VARIANT", VT_VARIANT, true},
        {"IQuelkVariablesEx::SetAddress, to a UI4", VT_UI4, false},
        {"IQuelkVariablesEx::SetAddress, to a VARIANT", VT_VARIANT, false},
    };
    BYTE deviceValue = 40;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CallerReference variable(c.referenced, *address);
        const ql::ComPtr<IQuelkVariablesEx> variables = Variables();
        ASSERT_HR(S_OK, c.byVariantId ? static_cast<IQuelkVariables*>(variables.Get())
                                            ->SetAddress(*MakeUI4(kAlertKeyId), variable.Argument())
                                      : variables->SetAddress(kAlertKeyId, variable.Argument()));
        variable.Assign(*otherAddress);
        ql::Variant kept;
        ASSERT_HR(S_OK, Ask<IQuelkVariableFields>(dtm_.Get())
                            ->GetVariableField(*MakeUI4(kAlertKeyId), *MakeUI4(kFieldAddress), kept.Get()));
        EXPECT_EQ(Describe(*address), Describe(*kept));
        variable.Free();

        // Each read brings the device's value of 0.20 into the dataset.
        for (const bool dpv1 : {false, true}) {
            DeviceAlertKey() = {++deviceValue};
            VARIANT_BOOL sent = VARIANT_FALSE;
            ASSERT_HR(S_OK, dpv1 ? Ask<IQuelkDpv1Communication>(dtm_.Get())->ReadRequest(kAlertKeyId, &sent)
                                 : Variables()->ReadFromDeviceAsync(kAlertKeyId, &sent));
            ASSERT_EQ(VARIANT_TRUE, sent);
            ASSERT_TRUE(PumpUntilAnswered());
            EXPECT_EQ("ui1:" + std::to_string(deviceValue), DatasetValue(kAlertKeyId));
        }
    }
}

}  // namespace
}  // namespace dtmtest
