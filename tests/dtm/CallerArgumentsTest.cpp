// What callers may pass the DTM's interfaces: [out] VARIANTs that arrive uninitialised (COM allows it), and
// byte strings of a shape the dataset cannot hold.
#include <functional>

#include "DtmTestSupport.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "tests/support/TestObjects.h"

namespace dtmtest {
namespace {

class CallerArgumentsTest : public DtmTest {
protected:
    template <class Interface>
    ql::ComPtr<Interface> Query() {
        ql::ComPtr<Interface> out;
        EXPECT_HR(S_OK, dtm_->QueryInterface(__uuidof(Interface), out.PutVoid()));
        return out;
    }
};

// An output is written, never cleared: what an uninitialised VARIANT happens to hold (here an object that
// counts its releases) must not be freed.
TEST_F(CallerArgumentsTest, OutputVariantsAreWrittenNeverCleared) {
    DriveNewToConfigured();
    ql::ComPtr<IQuelkVariables> variables = Query<IQuelkVariables>();
    ql::ComPtr<IQuelkVariableFields> fields = Query<IQuelkVariableFields>();
    ql::ComPtr<IDtmObject> automation = Query<IDtmObject>();
    ql::ComPtr<IQuelkDpv1Client> client;
    ASSERT_HR(S_OK, dtm_->QueryInterface(IID_IQuelkDpv1Client, client.PutVoid()));
    ql::Variant id, mask;
    id.SetUI4(3);
    mask.SetUI4(0x80);
    ql::Bstr hex(L"2A");
    VARIANT spare;
    const struct {
        const char* name;
        std::function<HRESULT(VARIANT*)> call;
    } cases[] = {
        {"GetValue", [&](VARIANT* out) { return variables->GetValue(*id.Get(), out); }},
        {"GetAddress", [&](VARIANT* out) { return variables->GetAddress(*id.Get(), out); }},
        {"GetVariableInfo",
         [&](VARIANT* out) {
             return variables->GetVariableInfo(*id.Get(), out, nullptr, nullptr, nullptr, nullptr, nullptr,
                                               nullptr);
         }},
        {"GetVariableField",
         [&](VARIANT* out) { return fields->GetVariableField(*id.Get(), *mask.Get(), out); }},
        {"GetCountVariant", [&](VARIANT* out) { return fields->GetCountVariant(out); }},
        {"CompareSingleParameter, device value",
         [&](VARIANT* out) { return automation->CompareSingleParameter(*id.Get(), out, &spare); }},
        {"CompareSingleParameter, dataset value",
         [&](VARIANT* out) { return automation->CompareSingleParameter(*id.Get(), &spare, out); }},
        {"TextToValue", [&](VARIANT* out) { return client->TextToValue(hex.Get(), VT_UI1, out); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vtest::CountedObject<IUnknown> leftover;
        VARIANT out;
        V_VT(&out) = VT_UNKNOWN;
        V_UNKNOWN(&out) = &leftover;
        V_VT(&spare) = VT_EMPTY;
        EXPECT_TRUE(SUCCEEDED(c.call(&out)));
        EXPECT_EQ(1u, leftover.refs) << "the output's old content was released";
        ql::Variant written, other;
        written.Attach(out);
        other.Attach(spare);
    }
}

// A byte-string record takes one dimension of bytes and nothing else; anything else would make every
// later save, export and document of the dataset fail.
TEST_F(CallerArgumentsTest, AByteStringTakesOnlyOneDimensionOfBytes) {
    DriveNewToConfigured();
    const std::string before = Describe(*dtm_->Store().Variables().Find(17)->Value);
    SAFEARRAYBOUND square[2] = {{4, 0}, {8, 0}};
    ql::SafeArray twoDimensions;
    twoDimensions.Attach(::SafeArrayCreate(VT_UI1, 2, square));
    ASSERT_NE(nullptr, twoDimensions.Get());
    ql::Variant grid, empty;
    grid.AttachArray(VT_UI1, twoDimensions.Detach());
    V_VT(empty.Get()) = VT_ARRAY | VT_UI1;  // no array behind it
    V_ARRAY(empty.Get()) = nullptr;

    ql::ComPtr<IQuelkVariables> variables = Query<IQuelkVariables>();
    ql::Variant id;
    id.SetUI4(17);
    for (const ql::Variant* value : {&grid, &empty}) {
        EXPECT_HR(E_INVALIDARG, variables->SetValue(*id.Get(), *value->Get()));
        EXPECT_EQ(before, Describe(*dtm_->Store().Variables().Find(17)->Value));
    }
    EXPECT_FALSE(SaveStreamImage().empty());
}

// Two DTMs that compared each other hold each other's stores; a DTM on its way out lets the other go.
TEST_F(CallerArgumentsTest, ADtmOnItsWayOutLetsItsComparePartnerGo) {
    systemTag_ = ql::Bstr(L"Plant/Partner");
    DriveNewToConfigured();
    ql::ComPtr<CDtmObject> partner = std::move(dtm_);
    systemTag_ = ql::Bstr(L"Plant/Varnok");
    CreateDtm();
    DriveNewToConfigured();
    frame_->AddProjectDtm(L"Plant/Partner", static_cast<IDtm*>(&partner->Lifecycle()));
    frame_->AddProjectDtm(L"Plant/Varnok", static_cast<IDtm*>(&dtm_->Lifecycle()));

    ql::ComPtr<IDtmDataSetCheck> mine = Query<IDtmDataSetCheck>();
    ql::ComPtr<IDtmDataSetCheck> theirs;
    ASSERT_HR(S_OK, partner->QueryInterface(IID_IDtmDataSetCheck, theirs.PutVoid()));
    ql::Bstr partnerTag(L"Plant/Partner"), myTag(L"Plant/Varnok");
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, mine->InitCompare(partnerTag.Get(), &ok));
    ASSERT_EQ(VARIANT_TRUE, ok);
    ASSERT_HR(S_OK, theirs->InitCompare(myTag.Get(), &ok));
    ASSERT_EQ(VARIANT_TRUE, ok);
    mine.Reset();
    theirs.Reset();
    frame_->ClearProjectDtms();

    for (CDtmObject* dtm : {dtm_.Get(), partner.Get()}) {
        VARIANT_BOOL released = VARIANT_FALSE;
        ASSERT_HR(S_OK, static_cast<IDtm*>(&dtm->Lifecycle())->PrepareToRelease(&released));
        ASSERT_EQ(VARIANT_TRUE, released);
    }
    EXPECT_EQ(2u, frame_->CountCalls(L"ReleaseDtm")) << "each gave the other back to the frame";
    EXPECT_EQ(0u, partner.Detach()->Release()) << "the partner outlived the release";
}

}  // namespace
}  // namespace dtmtest
