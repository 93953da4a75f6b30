// Every method of IDtm, IDtmDataLock, IPersistStreamInit and IPersistPropertyBag called in each lifecycle
// state: the answer, the VARIANT_BOOL result and the state afterwards against the lifecycle's tables.
#include <algorithm>
#include <functional>

#include "ImageTestSupport.h"
#include "frame/FrameDocuments.h"

namespace dtmtest {
namespace {

struct Outcome {
    HRESULT hr;
    VARIANT_BOOL result;  // VARIANT_FALSE for methods without one
    ULONG state;
};

// What a call reaches: the DTM through each of its interfaces, the frame, a channel and a saved image.
struct Target {
    IDtm* dtm;
    CDtmObject* object;
    IPersistStreamInit* stream;
    IPersistPropertyBag* bag;
    IFrameContainer* frame;
    IFdtCommunication* channel;
    const Bytes& image;
};

struct MethodCase {
    const char* name;
    bool hasResult;  // the method ends in a VARIANT_BOOL result
    // Calls the method; writes the method's VARIANT_BOOL result, if it has one.
    std::function<HRESULT(const Target&, VARIANT_BOOL*)> call;
    // The outcome in state `state`; false for states that refuse.
    std::function<bool(ULONG state, Outcome*)> accepted;
};

// Accepted in `states`, answering `hr` and `result` and moving to `to(state)`.
std::function<bool(ULONG, Outcome*)> In(
    std::vector<ULONG> states, HRESULT hr, VARIANT_BOOL result,
    std::function<ULONG(ULONG)> to = [](ULONG s) { return s; }) {
    return [=](ULONG state, Outcome* outcome) {
        if (std::find(states.begin(), states.end(), state) == states.end()) return false;
        *outcome = {hr, result, to(state)};
        return true;
    };
}
std::function<ULONG(ULONG)> To(ULONG target) {
    return [target](ULONG) { return target; };
}
// Accepted in every state, answering `hr` and VARIANT_FALSE and leaving the state alone.
std::function<bool(ULONG, Outcome*)> Always(HRESULT hr) {
    return [=](ULONG state, Outcome* outcome) {
        *outcome = {hr, VARIANT_FALSE, state};
        return true;
    };
}

const std::vector<ULONG> kSevenToTwelve = {7, 8, 9, 10, 11, 12};
const std::vector<ULONG> kEightToTwelve = {8, 9, 10, 11, 12};
constexpr VARIANT_BOOL kTrue = VARIANT_TRUE;
constexpr VARIANT_BOOL kFalse = VARIANT_FALSE;

ql::ComPtr<MemoryPropertyBag> NewBag() {
    ql::ComPtr<MemoryPropertyBag> bag;
    EXPECT_HR(S_OK, ql::MakeObject(bag));
    return bag;
}

const MethodCase kMethods[] = {
    // ---- IDtm ----
    {"Environment", true,
     [](const Target& t, VARIANT_BOOL* r) { return t.dtm->Environment(ql::Bstr(L"Tag").Get(), t.frame, r); },
     In({4, 5}, S_OK, kTrue, [](ULONG s) { return s == 4 ? 6ul : 7ul; })},
    {"InitNew", true,
     [](const Target& t, VARIANT_BOOL* r) {
         return t.dtm->InitNew(ql::Bstr(VarnokDeviceTypeDocument()).Get(), r);
     },
     In({6}, S_OK, kTrue, To(7))},
    {"Config", true,
     [](const Target& t, VARIANT_BOOL* r) {
         return t.dtm->Config(ql::Bstr(UserInformationDocument(L"maintenance")).Get(), r);
     },
     In({7}, S_OK, kTrue, To(8))},
    {"SetCommunication", true,
     [](const Target& t, VARIANT_BOOL* r) { return t.dtm->SetCommunication(t.channel, r); },
     In({8}, S_OK, kTrue, To(12))},
    {"PrepareToDelete", true, [](const Target& t, VARIANT_BOOL* r) { return t.dtm->PrepareToDelete(r); },
     In({6, 8, 2}, S_OK, kTrue, To(3))},
    {"PrepareToReleaseCommunication", true,
     [](const Target& t, VARIANT_BOOL* r) { return t.dtm->PrepareToReleaseCommunication(r); },
     [](ULONG state, Outcome* outcome) {
         // 9 at once, 12 through the disconnect; 10 and 11 wait for an answer that never comes.
         if (state == 9 || state == 12) *outcome = {S_OK, kTrue, 9};
         if (state == 10 || state == 11) *outcome = {S_FALSE, kFalse, state};
         return state >= 9 && state <= 12;
     }},
    {"ReleaseCommunication", true,
     [](const Target& t, VARIANT_BOOL* r) { return t.dtm->ReleaseCommunication(r); },
     In({9}, S_OK, kTrue, To(8))},
    {"PrepareToRelease", true, [](const Target& t, VARIANT_BOOL* r) { return t.dtm->PrepareToRelease(r); },
     In({8}, S_OK, kTrue, To(2))},
    // The four below run in the user-settings and function-call parts. 1033 is a language of the
    // translation file; no function of this DTM runs without a user interface, so every state refuses the
    // call of function 1.
    {"SetLanguage", true, [](const Target& t, VARIANT_BOOL* r) { return t.dtm->SetLanguage(1033, r); },
     In(kSevenToTwelve, S_OK, kTrue)},
    {"GetFunctions", false,
     [](const Target& t, VARIANT_BOOL*) {
         ql::Bstr functions;
         return t.dtm->GetFunctions(ql::Bstr(OperationPhaseDocument(L"engineering")).Get(), functions.Put());
     },
     In(kSevenToTwelve, S_OK, kFalse)},
    {"InvokeFunctionRequest", true,
     [](const Target& t, VARIANT_BOOL* r) {
         return t.dtm->InvokeFunctionRequest(ql::Bstr(L"1").Get(), ql::Bstr(FunctionCallDocument(1)).Get(),
                                             r);
     },
     Always(S_FALSE)},
    {"PrivateDialogEnabled", true,
     [](const Target& t, VARIANT_BOOL* r) { return t.dtm->PrivateDialogEnabled(VARIANT_TRUE, r); },
     In(kEightToTwelve, S_OK, kTrue)},
    // ---- IDtmDataLock: no state gate ----
    {"DataLockQuery1", false,
     [](const Target& t, VARIANT_BOOL*) { return t.object->Lifecycle().DataLockQuery1(nullptr); },
     Always(S_FALSE)},
    {"DataLockQuery2", false,
     [](const Target& t, VARIANT_BOOL*) { return t.object->Lifecycle().DataLockQuery2(nullptr, nullptr); },
     Always(S_FALSE)},
    {"LockData", false,
     [](const Target& t, VARIANT_BOOL*) { return t.object->Lifecycle().LockData(nullptr, nullptr); },
     Always(S_OK)},
    {"UnlockData", true,
     [](const Target& t, VARIANT_BOOL* r) { return t.object->Lifecycle().UnlockData(nullptr, nullptr, r); },
     Always(S_OK)},
    // ---- IPersistStreamInit ----
    {"IPersistStreamInit::GetClassID", false,
     [](const Target& t, VARIANT_BOOL*) {
         CLSID id = {};
         return t.stream->GetClassID(&id);
     },
     Always(S_OK)},
    {"IPersistStreamInit::IsDirty", false, [](const Target& t, VARIANT_BOOL*) { return t.stream->IsDirty(); },
     Always(S_FALSE)},
    {"IPersistStreamInit::Load", false,
     [](const Target& t, VARIANT_BOOL*) { return t.stream->Load(StreamOn(t.image).Get()); },
     In({1, 3}, S_OK, kFalse, To(5))},
    {"IPersistStreamInit::Save", false,
     [](const Target& t, VARIANT_BOOL*) { return t.stream->Save(StreamOn({}).Get(), TRUE); },
     In({8, 9, 12}, S_OK, kFalse)},
    {"IPersistStreamInit::GetSizeMax", false,
     [](const Target& t, VARIANT_BOOL*) {
         ULARGE_INTEGER size;
         return t.stream->GetSizeMax(&size);
     },
     Always(E_NOTIMPL)},
    {"IPersistStreamInit::InitNew", false, [](const Target& t, VARIANT_BOOL*) { return t.stream->InitNew(); },
     In({1, 3}, S_OK, kFalse, To(4))},
    // ---- IPersistPropertyBag ----
    {"IPersistPropertyBag::InitNew", false, [](const Target& t, VARIANT_BOOL*) { return t.bag->InitNew(); },
     In({1, 3}, S_OK, kFalse, To(4))},
    {"IPersistPropertyBag::Load", false,
     [](const Target& t, VARIANT_BOOL*) {
         ql::ComPtr<MemoryPropertyBag> bag = NewBag();
         bag->properties[L"DTM_DATA"] = MakeBytes(Bytes(t.image.begin(), t.image.end() - 4));
         return t.bag->Load(bag.Get(), nullptr);
     },
     In({1, 3}, S_OK, kFalse, To(5))},
    {"IPersistPropertyBag::Save", false,
     [](const Target& t, VARIANT_BOOL*) { return t.bag->Save(NewBag().Get(), TRUE, TRUE); },
     In({8, 9, 12}, S_OK, kFalse)},
};

class ConformanceTest : public DtmTest, public ::testing::WithParamInterface<MethodCase> {
protected:
    void SetUp() override {
        DtmTest::SetUp();
        ASSERT_HR(S_OK, ql::MakeObject(channel_));
        static Bytes image;  // a loadable image, made once
        if (image.empty()) {
            DriveNewToConfigured();
            image = SaveStreamImage();
        }
        image_ = &image;
    }
    void TearDown() override {
        channel_.Reset();
        DtmTest::TearDown();
    }
    // A fresh DTM with the frame's environment, its state word then forced to `state`.
    void PrepareState(ULONG state) {
        const ULONG left = dtm_.Detach()->Release();
        EXPECT_EQ(0u, left) << "the previous case left a reference";
        CreateDtm();
        InitNewDataset();
        Environment();
        ForceState(state);
    }

    ql::ComPtr<FakeChannel> channel_;
    const Bytes* image_ = nullptr;
};

TEST_P(ConformanceTest, AnswersInEveryLifecycleState) {
    const MethodCase& method = GetParam();
    for (ULONG state = 0; state <= 12; ++state) {
        SCOPED_TRACE(testing::Message() << method.name << " in state " << state);
        PrepareState(state);
        Outcome expected{S_FALSE, kFalse, state};
        method.accepted(state, &expected);
        VARIANT_BOOL result = VARIANT_TRUE;  // every method writes FALSE before it looks at anything
        const ql::ComPtr<IPersistStreamInit> stream = PersistStream();
        const ql::ComPtr<IPersistPropertyBag> bag = PersistBag();
        const Target target{Dtm(),        dtm_.Get(),     stream.Get(), bag.Get(),
                            frame_.Get(), channel_.Get(), *image_};
        EXPECT_HR(expected.hr, method.call(target, &result));
        if (method.hasResult) {
            EXPECT_EQ(expected.result, result);
        }
        EXPECT_EQ(expected.state, State());
    }
}

std::string CaseName(const testing::TestParamInfo<MethodCase>& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), ':', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Methods, ConformanceTest, testing::ValuesIn(kMethods), CaseName);

}  // namespace
}  // namespace dtmtest
