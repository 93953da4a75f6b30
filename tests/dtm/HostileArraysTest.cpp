// Arrays that do not hold what their VARIANT claims, given to every entry point of the DTM that reads a
// caller's array: each is refused before anything of it is read. Nothing of the caller's is freed, the
// dataset stays as it was, and the process heap stays whole. Sound arrays keep their answers.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "classlib/Utf8.h"
#include "comm/QuelkDpv1Communication.h"
#include "frame/simulator/SimulatorResponses.h"
#include "tests/support/AllocatorWatch.h"
#include "tests/support/CallerTexts.h"
#include "tests/support/HostileArrays.h"
#include "tests/support/LateBoundCall.h"
#include "tests/support/ReplacedFields.h"
#include "tests/support/TestObjects.h"
#include "values/DtmVocabulary.h"

namespace dtmtest {
namespace {

// The byte string of 32 bytes; a hostile array of as many elements is compared byte for byte with it.
constexpr ULONG kByteRecord = 17;
constexpr ULONG kByteRecordLength = 32;
constexpr wchar_t kPeerTag[] = L"Plant/Peer";

// A byte string of `count` times `byte`, as text.
std::string RepeatedBytes(BYTE byte, size_t count) {
    return Describe(*MakeBytes(std::vector<BYTE>(count, byte)));
}

// Another DTM of the project whose records are the DTM's own, but for the byte string's value, which it
// hands out made afresh by `value` each time.
class HostilePeer final : public ql::ComObjectBase<HostilePeer>, public IDtm, public ReplacedFields {
    QL_INTERFACE_TABLE(HostilePeer, QL_ENTRY(IDtm), QL_ENTRY(IQuelkVariableFields))

public:
    HostilePeer(ql::ComPtr<IQuelkVariableFields> own, std::function<ql::Variant()> value)
        : ReplacedFields(
              std::move(own), [](ULONG id, ULONG mask) { return id == kByteRecord && mask == kFieldValue; },
              std::move(value)) {}

    VARNOK_UNEXPECTED_CALL(GetTypeInfoCount, UINT*)
    VARNOK_UNEXPECTED_CALL(GetTypeInfo, UINT, LCID, ITypeInfo**)
    VARNOK_UNEXPECTED_CALL(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    VARNOK_UNEXPECTED_CALL(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    VARNOK_UNEXPECTED_IDTM_CALLS
};

// A bag whose DTM_DATA is made afresh by `value` at every read.
class HostileBag final : public ql::ComObjectBase<HostileBag>, public IPropertyBag {
    QL_INTERFACE_TABLE(HostileBag, QL_ENTRY(IPropertyBag))

public:
    explicit HostileBag(std::function<ql::Variant()> value) : value_(std::move(value)) {}
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR, VARIANT* value, IErrorLog*) noexcept override {
        ql::Variant made = value_();
        return made.Detach(value);
    }
    VARNOK_UNEXPECTED_CALL(Write, LPCOLESTR, VARIANT*)

private:
    std::function<ql::Variant()> value_;
};

// What an entry point answered: its HRESULT and what it gave back.
struct Answer {
    HRESULT hr;
    std::string result;
};
bool operator==(const Answer& a, const Answer& b) { return a.hr == b.hr && a.result == b.result; }
void PrintTo(const Answer& answer, std::ostream* out) {
    *out << HResultName(answer.hr) << " " << answer.result;
}

class HostileArraysTest : public DtmTest {
public:
    template <class Interface>
    ql::ComPtr<Interface> Ask() {
        ql::ComPtr<Interface> found;
        EXPECT_HR(S_OK, dtm_->QueryInterface(__uuidof(Interface), found.PutVoid()));
        return found;
    }

    // The byte string's value as text.
    std::string ByteRecord() { return Describe(*RecordOf(dtm_->Store(), kByteRecord).Value); }

    // The data-set comparison with a peer whose byte string is `value`.
    Answer Compare(std::function<ql::Variant()> value) {
        ql::ComPtr<HostilePeer> peer;
        EXPECT_HR(S_OK, ql::MakeObject(peer, Ask<IQuelkVariableFields>(), std::move(value)));
        frame_->AddProjectDtm(kPeerTag, static_cast<IDtm*>(peer.Get()));
        const ql::ComPtr<IDtmDataSetCheck> check = Ask<IDtmDataSetCheck>();
        ql::Bstr tag(kPeerTag);
        VARIANT_BOOL linked = VARIANT_FALSE, equal = VARIANT_TRUE, released = VARIANT_FALSE;
        EXPECT_HR(S_OK, check->InitCompare(tag.Get(), &linked));
        EXPECT_EQ(VARIANT_TRUE, linked);
        const HRESULT hr = check->Compare(&equal);
        EXPECT_HR(S_OK, check->ReleaseCompare(&released));
        frame_->ClearProjectDtms();
        return {hr, equal == VARIANT_TRUE ? "equal" : "not equal"};
    }
};

// An entry point that reads a caller's array claimed to hold `claimed`, called with `value`.
struct EntryPoint {
    const char* name;
    VARTYPE claimed;
    Answer refusal;                      // to every hostile shape
    std::function<ql::Variant()> sound;  // a sound array for it
    Answer soundAnswer;                  // as it answered before
    std::function<Answer(HostileArraysTest&, const VARIANT& value)> call;
};

// A context of a read of the byte string, as the DTM's own transactions make it.
ql::Variant ReadContext() {
    ql::Variant kind;
    kind.SetUI1(static_cast<BYTE>(kDpv1Read));
    return MakeVariantArray(MakeUI4(kByteRecord), ql::Variant(), std::move(kind));
}

ql::Variant RecordsOwnBytes() { return MakeBytes(std::vector<BYTE>(kByteRecordLength, 0x20)); }

size_t ShapeCount() {
    const CallerTexts caller;
    return HostileArrays(VT_UI1, caller.Texts(), 1).size();
}

// The hostile byte string of the given shape, as long as the byte string.
ql::Variant HostileArray(const CallerTexts& caller, size_t shape) {
    return std::move(HostileArrays(VT_UI1, caller.Texts(), kByteRecordLength)[shape].value);
}

std::vector<EntryPoint> EntryPoints() {
    return {
        {"IQuelkDpv1Client::DispatchTransactionResponse",
         VT_VARIANT,
         {E_UNEXPECTED, RepeatedBytes(' ', kByteRecordLength)},
         ReadContext,
         {S_OK, RepeatedBytes(' ', kByteRecordLength)},
         [](HostileArraysTest& test, const VARIANT& context) {
             // The device refuses the read (error class 0xB0, invalid index): an answer evaluated without a
             // connection, which leaves the value as it was.
             ql::Bstr response(ReadResponseXml({0xDE, 0x80, 0xB0, 0x00}, L"", nullptr).c_str());
             const HRESULT hr =
                 test.Ask<IQuelkDpv1Client>()->DispatchTransactionResponse(context, response.Get());
             return Answer{hr, test.ByteRecord()};
         }},
        {"IQuelkDpv1Client::ValueToText",
         VT_UI1,
         {DISP_E_TYPEMISMATCH, "null"},
         [] { return LetterBytes(20); },
         {S_OK, "4142434445464748494A4B4C4D4E4F5051525354"},
         [](HostileArraysTest& test, const VARIANT& value) {
             ql::Bstr text;
             const HRESULT hr = test.Ask<IQuelkDpv1Client>()->ValueToText(value, text.Put());
             return Answer{hr, text.IsNull() ? "null" : ql::Utf8FromWide(StringOf(text.Get()))};
         }},
        {"IQuelkValueCheck::CheckValue",
         VT_UI1,
         {S_OK, "differs"},
         RecordsOwnBytes,
         {S_OK, "same"},
         [](HostileArraysTest& test, const VARIANT& value) {
             ULONG flags = 0;
             const HRESULT hr =
                 test.Ask<IQuelkValueCheck>()->CheckValue(*MakeUI4(kByteRecord), value, &flags);
             return Answer{hr, (flags & kAccessDiffers) ? "differs" : "same"};
         }},
        {"IQuelkValueCheck::CheckAndMark",
         VT_UI1,
         {E_INVALIDARG, "not done"},
         [] { return LetterBytes(kByteRecordLength); },
         {S_OK, "done"},
         [](HostileArraysTest& test, const VARIANT& value) {
             VARIANT_BOOL done = VARIANT_FALSE;
             const HRESULT hr =
                 test.Ask<IQuelkValueCheck>()->CheckAndMark(*MakeUI4(kByteRecord), value, &done);
             return Answer{hr, done == VARIANT_TRUE ? "done" : "not done"};
         }},
    };
}

TEST_F(HostileArraysTest, EveryEntryPointRefusesThemWithoutFreeingTheCallersTexts) {
    AllocatorWatch watch;
    ASSERT_EQ(S_OK, watch.Status()) << "the test needs OANOCACHE=1 in its environment";
    ASSERT_TRUE(watch.FreesReachAllocator());
    ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
    for (const EntryPoint& entry : EntryPoints()) {
        for (size_t shape = 0; shape < ShapeCount(); ++shape) {
            CallerTexts caller;
            const std::vector<const void*> blocks = caller.Blocks(watch);
            std::vector<NamedValue> lent = HostileArrays(entry.claimed, caller.Texts(), kByteRecordLength);
            SCOPED_TRACE(testing::Message() << entry.name << ", " << lent[shape].name);
            const std::vector<std::string> before = Snapshot(dtm_->Store());
            (void)watch.TakeFrees();
            EXPECT_EQ(entry.refusal, entry.call(*this, *lent[shape].value));
            lent.clear();  // the caller clears its arrays, which leave the texts to it
            EXPECT_EQ(std::vector<size_t>{}, CallerTexts::FreedAmong(blocks, watch.TakeFrees()))
                << "freed the caller's texts";
            EXPECT_EQ(before, Snapshot(dtm_->Store()));
            EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
        }
    }
}

// An entry point that copies a caller's value before it reads it, given a hostile byte string in `form`.
struct CopyingEntryPoint {
    const char* name;
    Answer refusal;        // to every hostile shape in every form
    Answer sound;          // to the byte string's own value, as it is or by reference, as it answered before
    Answer soundInVector;  // to that value inside a vector (a value of another type)
    std::function<Answer(HostileArraysTest&, const VARIANT& value)> call;
};

std::string FlagsText(ULONG flags) {
    char text[32];
    std::snprintf(text, sizeof text, "flags 0x%lX", flags);
    return text;
}

// IQuelkValueCheck::CheckValue of `record` with the value, answering the flags.
std::function<Answer(HostileArraysTest&, const VARIANT&)> CheckValueOf(ULONG record) {
    return [record](HostileArraysTest& test, const VARIANT& value) {
        ULONG flags = 0;
        const HRESULT hr = test.Ask<IQuelkValueCheck>()->CheckValue(*MakeUI4(record), value, &flags);
        return Answer{hr, FlagsText(flags)};
    };
}

// The IDispatch that `Interface` of the DTM derives from: its members by name.
template <class Interface>
ql::ComPtr<IDispatch> DispatchOf(HostileArraysTest& test) {
    return ql::ComPtr<IDispatch>(test.Ask<Interface>().Get());
}

// IDispatch::Invoke of `member` of `Interface`, as a script calls it, with the arguments `arguments` makes of
// the value (in the member's order; all named by `names` where given): the platform's type information
// copies every argument before the DTM runs. Answers the argument Invoke blamed, and the result.
template <class Interface>
std::function<Answer(HostileArraysTest&, const VARIANT&)> LateBound(
    const wchar_t* member, std::vector<VARIANT> (*arguments)(const VARIANT&),
    std::vector<const wchar_t*> names = {}) {
    return [=](HostileArraysTest& test, const VARIANT& value) {
        const LateBoundAnswer answer =
            CallLateBound(DispatchOf<Interface>(test).Get(), member, arguments(value), names);
        const std::string blamed =
            answer.argumentError == ~0u ? "" : "argument " + std::to_string(answer.argumentError) + ", ";
        return Answer{answer.hr, blamed + Describe(*answer.result)};
    };
}

std::vector<VARIANT> Alone(const VARIANT& value) { return {value}; }
std::vector<VARIANT> AsByteStringValue(const VARIANT& value) { return {*MakeUI4(kByteRecord), value}; }
std::vector<VARIANT> AsId(const VARIANT& value) { return {value, *MakeUI4(kByteRecord)}; }

std::vector<CopyingEntryPoint> CopyingEntryPoints() {
    return {
        {"IQuelkVariables::GetValue, as the id",
         {E_INVALIDARG, "empty"},
         {DISP_E_TYPEMISMATCH, "empty"},
         {DISP_E_TYPEMISMATCH, "empty"},
         [](HostileArraysTest& test, const VARIANT& id) {
             ql::Variant value;
             const HRESULT hr = test.Ask<IQuelkVariables>()->GetValue(id, value.Put());
             return Answer{hr, Describe(*value)};
         }},
        {"IQuelkValueCheck::CheckValue, as the value of a number",
         {S_OK, "flags 0x77"},
         {S_OK, "flags 0x77"},
         {S_OK, "flags 0x77"},
         CheckValueOf(3)},
        {"IQuelkValueCheck::CheckValue, as the byte string's value",
         {S_OK, "flags 0x73"},
         {S_OK, "flags 0x71"},
         {S_OK, "flags 0x73"},
         CheckValueOf(kByteRecord)},
        {"IQuelkVariables::SetValue",
         {E_INVALIDARG, ""},
         {S_OK, ""},
         {DISP_E_TYPEMISMATCH, ""},
         [](HostileArraysTest& test, const VARIANT& value) {
             const HRESULT hr = test.Ask<IQuelkVariables>()->SetValue(*MakeUI4(kByteRecord), value);
             return Answer{hr, ""};
         }},
        {"IQuelkDpv1Client::DispatchTransactionResponse, as the context's value",
         {E_UNEXPECTED, RepeatedBytes(' ', kByteRecordLength)},
         {S_OK, RepeatedBytes(' ', kByteRecordLength)},
         {S_OK, RepeatedBytes(' ', kByteRecordLength)},
         [](HostileArraysTest& test, const VARIANT& value) {
             ql::Variant kind;
             kind.SetUI1(static_cast<BYTE>(kDpv1Read));
             const LentVector context({*MakeUI4(kByteRecord), value, *kind});
             ql::Bstr response(ReadResponseXml({0xDE, 0x80, 0xB0, 0x00}, L"", nullptr).c_str());
             const HRESULT hr =
                 test.Ask<IQuelkDpv1Client>()->DispatchTransactionResponse(*context, response.Get());
             return Answer{hr, test.ByteRecord()};
         }},
        {"Invoke of GetValue, the id",
         {DISP_E_TYPEMISMATCH, "argument 0, empty"},
         {DISP_E_TYPEMISMATCH, "empty"},
         {DISP_E_TYPEMISMATCH, "empty"},
         LateBound<IQuelkVariables>(L"GetValue", Alone)},
        {"Invoke of GetValue, the id named",
         {DISP_E_TYPEMISMATCH, "argument 0, empty"},
         {DISP_E_TYPEMISMATCH, "empty"},
         {DISP_E_TYPEMISMATCH, "empty"},
         LateBound<IQuelkVariables>(L"GetValue", Alone, {L"id"})},
        {"Invoke of CheckValue, the byte string's value",
         {DISP_E_TYPEMISMATCH, "argument 0, empty"},
         {S_OK, "ui4:113"},
         {S_OK, "ui4:115"},
         LateBound<IQuelkValueCheck>(L"CheckValue", AsByteStringValue)},
        {"Invoke of CheckValue, the id",
         {DISP_E_TYPEMISMATCH, "argument 1, empty"},
         {DISP_E_TYPEMISMATCH, "ui4:8"},
         {DISP_E_TYPEMISMATCH, "ui4:8"},
         LateBound<IQuelkValueCheck>(L"CheckValue", AsId)},
        {"Invoke of CheckValue, the byte string's value named",
         {DISP_E_TYPEMISMATCH, "argument 0, empty"},
         {S_OK, "ui4:113"},
         {S_OK, "ui4:115"},
         LateBound<IQuelkValueCheck>(L"CheckValue", AsByteStringValue, {L"id", L"value"})},
    };
}

// Every copy asks the check before the platform copies anything: a hostile array, as it is, by reference
// or inside a sound vector, is refused with the answer its interface gives a value it cannot take; a
// late-bound call refuses it at the door, naming its argument.
TEST_F(HostileArraysTest, EveryCopyRefusesThemInEveryForm) {
    ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
    // A first call loads what the process keeps (the type information a late-bound call reads) before the
    // watch begins, which can only end once everything allocated under it is freed.
    for (const CopyingEntryPoint& entry : CopyingEntryPoints()) (void)entry.call(*this, *RecordsOwnBytes());
    AllocatorWatch watch;
    ASSERT_EQ(S_OK, watch.Status()) << "the test needs OANOCACHE=1 in its environment";
    ASSERT_TRUE(watch.FreesReachAllocator());
    for (const CopyingEntryPoint& entry : CopyingEntryPoints()) {
        for (size_t shape = 0; shape < ShapeCount(); ++shape) {
            for (const ArrayForm form : kArrayForms) {
                CallerTexts caller;
                const std::vector<const void*> blocks = caller.Blocks(watch);
                std::vector<NamedValue> lent = HostileArrays(VT_UI1, caller.Texts(), kByteRecordLength);
                SCOPED_TRACE(testing::Message()
                             << entry.name << ", " << lent[shape].name << ", " << FormName(form));
                auto formed = std::make_unique<FormedArray>(std::move(lent[shape].value), form);
                const std::vector<std::string> before = Snapshot(dtm_->Store());
                (void)watch.TakeFrees();
                EXPECT_EQ(entry.refusal, entry.call(*this, **formed));
                formed.reset();
                lent.clear();  // the caller clears its arrays, which leave the texts to it
                EXPECT_EQ(std::vector<size_t>{}, CallerTexts::FreedAmong(blocks, watch.TakeFrees()))
                    << "freed the caller's texts";
                EXPECT_EQ(before, Snapshot(dtm_->Store()));
                EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
            }
        }
    }
}

TEST_F(HostileArraysTest, SoundArraysKeepTheirAnswers) {
    ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
    for (const EntryPoint& entry : EntryPoints()) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(entry.soundAnswer, entry.call(*this, *entry.sound()));
    }
}

TEST_F(HostileArraysTest, SoundValuesInEveryFormKeepTheirAnswers) {
    ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
    for (const CopyingEntryPoint& entry : CopyingEntryPoints()) {
        for (const ArrayForm form : kArrayForms) {
            SCOPED_TRACE(testing::Message() << entry.name << ", " << FormName(form));
            const bool inVector =
                form == ArrayForm::kVectorElement || form == ArrayForm::kNestedVectorElement;
            const FormedArray formed(RecordsOwnBytes(), form);
            EXPECT_EQ(inVector ? entry.soundInVector : entry.sound, entry.call(*this, *formed));
        }
    }
}

// A sound byte string answers through Invoke as through the vtable, in every form; DISPPARAMS that count
// arguments they do not hold are refused before anything is read.
TEST_F(HostileArraysTest, LateBoundCallsOfSoundValuesAnswerAsTheVtable) {
    ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
    const ql::ComPtr<IDispatch> check = DispatchOf<IQuelkValueCheck>(*this);
    for (const ArrayForm form : kArrayForms) {
        SCOPED_TRACE(FormName(form));
        const FormedArray formed(RecordsOwnBytes(), form);
        const LateBoundAnswer answer =
            CallLateBound(check.Get(), L"CheckValue", {*MakeUI4(kByteRecord), *formed});
        const ULONG flags = V_VT(answer.result.Get()) == VT_UI4 ? V_UI4(answer.result.Get()) : ~0ul;
        EXPECT_EQ(CheckValueOf(kByteRecord)(*this, *formed), (Answer{answer.hr, FlagsText(flags)}));
    }

    LPOLESTR name = const_cast<LPOLESTR>(L"CheckValue");
    DISPID id = DISPID_UNKNOWN;
    ASSERT_HR(S_OK, check->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
    const ql::Variant bytes = RecordsOwnBytes();
    VARIANT arguments[2] = {*bytes, *MakeUI4(kByteRecord)};
    DISPPARAMS noArguments{nullptr, nullptr, 2, 0};
    DISPPARAMS noNames{arguments, nullptr, 2, 1};
    for (DISPPARAMS* params : {&noArguments, &noNames}) {
        ql::Variant result;
        EXPECT_HR(E_INVALIDARG, check->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params,
                                              result.Put(), nullptr, nullptr));
    }
}

// The comparison takes the peer's value as the peer hands it out: a hostile one is refused as unequal.
TEST_F(HostileArraysTest, TheDataSetComparisonTakesAHostileArrayForUnequal) {
    ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
    CallerTexts caller;
    for (size_t shape = 0; shape < ShapeCount(); ++shape) {
        // Made afresh for every read: the reader destroys what it is given.
        const auto hostile = [&] { return HostileArray(caller, shape); };
        SCOPED_TRACE(HostileArrays(VT_UI1, caller.Texts(), 1)[shape].name);
        EXPECT_EQ((Answer{S_OK, "not equal"}), Compare(hostile));
        EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
    }
    EXPECT_EQ((Answer{S_OK, "equal"}), Compare(RecordsOwnBytes));
}

// A project's DTM_DATA whose array holds no bytes is no image: the load fails and the DTM stays new.
TEST_F(HostileArraysTest, ALoadFromABagRefusesThem) {
    CallerTexts caller;
    for (size_t shape = 0; shape < ShapeCount(); ++shape) {
        // Made afresh for every read: the reader destroys what it is given.
        const auto hostile = [&] { return HostileArray(caller, shape); };
        SCOPED_TRACE(HostileArrays(VT_UI1, caller.Texts(), 1)[shape].name);
        CreateDtm();
        ql::ComPtr<HostileBag> bag;
        ASSERT_HR(S_OK, ql::MakeObject(bag, hostile));
        EXPECT_HR(E_FAIL, PersistBag()->Load(bag.Get(), nullptr));
        EXPECT_EQ(1u, State());
        EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
    }
}

}  // namespace
}  // namespace dtmtest
