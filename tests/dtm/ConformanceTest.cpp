// Every method of IDtm, IDtmDataLock, IPersistStreamInit and IPersistPropertyBag called in each lifecycle
// state: the answer, the VARIANT_BOOL result and the state afterwards against the lifecycle's tables.
#include <algorithm>
#include <functional>

#include "ImageTestSupport.h"
#include "classlib/SafeArray.h"
#include "frame/FrameDocuments.h"

namespace dtmtest {
namespace {

struct Outcome {
    HRESULT hr;
    VARIANT_BOOL result;  // VARIANT_FALSE for methods without one
    ULONG state;
};

class ConformanceTest;

struct MethodCase {
    const char* name;
    bool hasResult;  // the method ends in a VARIANT_BOOL result
    // Calls the method on the fixture's DTM; writes the method's VARIANT_BOOL result, if it has one.
    std::function<HRESULT(ConformanceTest&, VARIANT_BOOL*)> call;
    // The outcome in state `state`; absent for states that refuse.
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

const std::vector<ULONG> kSevenToTwelve = {7, 8, 9, 10, 11, 12};
const std::vector<ULONG> kEightToTwelve = {8, 9, 10, 11, 12};
constexpr VARIANT_BOOL kTrue = VARIANT_TRUE;
constexpr VARIANT_BOOL kFalse = VARIANT_FALSE;

class ConformanceTest : public DtmTest, public ::testing::WithParamInterface<MethodCase> {
public:
    // A loadable image and a property bag holding it, made once.
    static Bytes& Image() {
        static Bytes image;
        return image;
    }
    IDtm* DtmItf() { return Dtm(); }
    CDtmObject* Object() { return dtm_.Get(); }
    IFrameContainer* Frame() { return frame_.Get(); }
    IFdtCommunication* Channel() { return channel_.Get(); }
    ql::ComPtr<IPersistStreamInit> PersistStreamItf() { return PersistStream(); }
    ql::ComPtr<IPersistPropertyBag> PersistBagItf() { return PersistBag(); }

protected:
    void SetUp() override {
        DtmTest::SetUp();
        ASSERT_HR(S_OK, ql::MakeObject(channel_));
        if (Image().empty()) {
            DriveNewToConfigured();
            Image() = SaveStreamImage();
        }
    }
    void TearDown() override {
        channel_.Reset();
        DtmTest::TearDown();
    }
    ql::ComPtr<FakeChannel> channel_;
    // A fresh DTM with the frame's environment, its state word then forced to `state`.
    void PrepareState(ULONG state) {
        const ULONG left = dtm_.Detach()->Release();
        EXPECT_EQ(0u, left) << "the previous case left a reference";
        CreateDtm();
        InitNewDataset();
        Environment();
        ForceState(state);
    }
};

const MethodCase kMethods[] = {
    // ---- IDtm ----
    {"Environment", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) {
         ql::Bstr tag(L"Plant/Line 1/Varnok");
         return t.DtmItf()->Environment(tag.Get(), t.Frame(), r);
     },
     In({4, 5}, S_OK, kTrue, [](ULONG s) { return s == 4 ? 6ul : 7ul; })},
    {"InitNew", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) {
         ql::Bstr type(VarnokDeviceTypeDocument());
         return t.DtmItf()->InitNew(type.Get(), r);
     },
     In({6}, S_OK, kTrue, To(7))},
    {"Config", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) {
         ql::Bstr user(UserInformationDocument(L"maintenance"));
         return t.DtmItf()->Config(user.Get(), r);
     },
     In({7}, S_OK, kTrue, To(8))},
    {"SetCommunication", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.DtmItf()->SetCommunication(t.Channel(), r); },
     In({8}, S_OK, kTrue, To(12))},
    {"PrepareToDelete", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.DtmItf()->PrepareToDelete(r); },
     In({6, 8, 2}, S_OK, kTrue, To(3))},
    {"PrepareToReleaseCommunication", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.DtmItf()->PrepareToReleaseCommunication(r); },
     [](ULONG state, Outcome* outcome) {
         // 9 at once, 12 through the disconnect; 10 and 11 wait for an answer that never comes.
         if (state == 9 || state == 12) *outcome = {S_OK, kTrue, 9};
         if (state == 10 || state == 11) *outcome = {S_FALSE, kFalse, state};
         return state >= 9 && state <= 12;
     }},
    {"ReleaseCommunication", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.DtmItf()->ReleaseCommunication(r); },
     In({9}, S_OK, kTrue, To(8))},
    {"PrepareToRelease", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.DtmItf()->PrepareToRelease(r); },
     In({8}, S_OK, kTrue, To(2))},
    // The four below are built by the user-settings and functions parts; here only their gate is checked.
    {"SetLanguage", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.DtmItf()->SetLanguage(1033, r); },
     In(kSevenToTwelve, E_NOTIMPL, kFalse)},
    {"GetFunctions", false,
     [](ConformanceTest& t, VARIANT_BOOL*) {
         ql::Bstr phase, functions;
         return t.DtmItf()->GetFunctions(phase.Get(), functions.Put());
     },
     In(kSevenToTwelve, E_NOTIMPL, kFalse)},
    {"InvokeFunctionRequest", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) {
         ql::Bstr id(L"1"), call(L"<FDT/>");
         return t.DtmItf()->InvokeFunctionRequest(id.Get(), call.Get(), r);
     },
     In(kEightToTwelve, E_NOTIMPL, kFalse)},
    {"PrivateDialogEnabled", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.DtmItf()->PrivateDialogEnabled(VARIANT_TRUE, r); },
     In(kEightToTwelve, E_NOTIMPL, kFalse)},
    // ---- IDtmDataLock: no state gate ----
    {"DataLockQuery1", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.Object()->DataLockQuery1(r); },
     [](ULONG s, Outcome* o) {
         *o = {S_FALSE, kFalse, s};
         return true;
     }},
    {"DataLockQuery2", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.Object()->DataLockQuery2(nullptr, r); },
     [](ULONG s, Outcome* o) {
         *o = {S_FALSE, kFalse, s};
         return true;
     }},
    {"LockData", true, [](ConformanceTest& t, VARIANT_BOOL* r) { return t.Object()->LockData(nullptr, r); },
     [](ULONG s, Outcome* o) {
         *o = {S_OK, kFalse, s};
         return true;
     }},
    {"UnlockData", true,
     [](ConformanceTest& t, VARIANT_BOOL* r) { return t.Object()->UnlockData(nullptr, r); },
     [](ULONG s, Outcome* o) {
         *o = {S_OK, kFalse, s};
         return true;
     }},
    // ---- IPersistStreamInit ----
    {"IPersistStreamInit::GetClassID", false,
     [](ConformanceTest& t, VARIANT_BOOL*) {
         CLSID id = {};
         return t.PersistStreamItf()->GetClassID(&id);
     },
     [](ULONG s, Outcome* o) {
         *o = {S_OK, kFalse, s};
         return true;
     }},
    {"IPersistStreamInit::IsDirty", false,
     [](ConformanceTest& t, VARIANT_BOOL*) { return t.PersistStreamItf()->IsDirty(); },
     [](ULONG s, Outcome* o) {
         *o = {S_FALSE, kFalse, s};
         return true;
     }},
    {"IPersistStreamInit::Load", false,
     [](ConformanceTest& t, VARIANT_BOOL*) {
         ql::ComPtr<IStream> stream = StreamOn(ConformanceTest::Image());
         return t.PersistStreamItf()->Load(stream.Get());
     },
     In({1, 3}, S_OK, kFalse, To(5))},
    {"IPersistStreamInit::Save", false,
     [](ConformanceTest& t, VARIANT_BOOL*) {
         ql::ComPtr<IStream> stream = StreamOn({});
         return t.PersistStreamItf()->Save(stream.Get(), TRUE);
     },
     In({8, 9, 12}, S_OK, kFalse)},
    {"IPersistStreamInit::GetSizeMax", false,
     [](ConformanceTest& t, VARIANT_BOOL*) {
         ULARGE_INTEGER size;
         return t.PersistStreamItf()->GetSizeMax(&size);
     },
     [](ULONG s, Outcome* o) {
         *o = {E_NOTIMPL, kFalse, s};
         return true;
     }},
    {"IPersistStreamInit::InitNew", false,
     [](ConformanceTest& t, VARIANT_BOOL*) { return t.PersistStreamItf()->InitNew(); },
     In({1, 3}, S_OK, kFalse, To(4))},
    // ---- IPersistPropertyBag ----
    {"IPersistPropertyBag::InitNew", false,
     [](ConformanceTest& t, VARIANT_BOOL*) { return t.PersistBagItf()->InitNew(); },
     In({1, 3}, S_OK, kFalse, To(4))},
    {"IPersistPropertyBag::Load", false,
     [](ConformanceTest& t, VARIANT_BOOL*) {
         ql::ComPtr<MemoryPropertyBag> bag;
         EXPECT_HR(S_OK, ql::MakeObject(bag));
         const Bytes& image = ConformanceTest::Image();
         ql::SafeArray bytes;
         EXPECT_HR(S_OK, bytes.Create(VT_UI1, static_cast<ULONG>(image.size() - 4)));
         {
             ql::SafeArrayData<BYTE> data(bytes.Get());
             std::copy(image.begin(), image.end() - 4, data.Data());
         }
         bag->properties[L"DTM_DATA"].AttachArray(VT_UI1, bytes.Detach());
         return t.PersistBagItf()->Load(bag.Get(), nullptr);
     },
     In({1, 3}, S_OK, kFalse, To(5))},
    {"IPersistPropertyBag::Save", false,
     [](ConformanceTest& t, VARIANT_BOOL*) {
         ql::ComPtr<MemoryPropertyBag> bag;
         EXPECT_HR(S_OK, ql::MakeObject(bag));
         return t.PersistBagItf()->Save(bag.Get(), TRUE, TRUE);
     },
     In({8, 9, 12}, S_OK, kFalse)},
};

TEST_P(ConformanceTest, AnswersInEveryLifecycleState) {
    const MethodCase& method = GetParam();
    for (ULONG state = 0; state <= 12; ++state) {
        SCOPED_TRACE(testing::Message() << method.name << " in state " << state);
        PrepareState(state);
        Outcome expected{S_FALSE, kFalse, state};
        method.accepted(state, &expected);
        VARIANT_BOOL result = VARIANT_TRUE;  // every method writes FALSE before it looks at anything
        const HRESULT hr = method.call(*this, &result);
        EXPECT_HR(expected.hr, hr);
        if (method.hasResult) {
            EXPECT_EQ(expected.result, result);
        }
        EXPECT_EQ(expected.state, State());
    }
}

std::string CaseName(const testing::TestParamInfo<MethodCase>& info) {
    std::string name = info.param.name;
    for (char& c : name) {
        if (c == ':') c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Methods, ConformanceTest, testing::ValuesIn(kMethods), CaseName);

}  // namespace
}  // namespace dtmtest
