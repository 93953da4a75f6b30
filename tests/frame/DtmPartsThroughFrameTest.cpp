// The DTM's services and document parts as a frame application meets them: the registered DTM created
// through COM by its ProgID, configured by our frame host, answering the parameter document, the language,
// the comparison with another DTM of the project, the documentation and its own information.
#include <functional>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "dataset/VariableFields.h"
#include "frame/DeviceKeyValues.h"
#include "frame/DtmSession.h"
#include "frame/FrameDocuments.h"
#include "tests/support/HostileArrays.h"
#include "tests/support/ReplacedFields.h"
#include "tests/support/TestObjects.h"
#include "tests/support/TestVariants.h"
#include "values/QuelkMessageSink.h"
#include "xml/QuelkXMLHandlerImpl.h"
#include "xml/SchemaLists.h"

namespace frametest {
namespace {

constexpr ULONG kNotifyLanguage = 0x2700;
constexpr ULONG kTagParameter = 1;
constexpr ULONG kBlockObjectParameter = 15;

// An open user interface of the DTM: it keeps the codes it is notified of.
class RecordingControl final : public CountedDispatch<IQuelkControlCompat> {
public:
    RecordingControl() : CountedDispatch({IID_IQuelkControl, IID_IQuelkControlCompat}) {}
    std::vector<std::pair<ULONG, std::string>> notifications;  // code and the data described

    HRESULT STDMETHODCALLTYPE SetDtmState(ULONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowStatusText(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowMessageVariant(VARIANT, BSTR, VARIANT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE NotifyVariant(VARIANT code, VARIANT data) override {
        ql::Variant number;
        EXPECT_HR(S_OK, number.CopyFrom(code));
        EXPECT_HR(S_OK, number.ChangeType(VT_UI4));
        notifications.emplace_back(V_UI4(number.Get()), Describe(data));
        return S_OK;
    }
    VARNOK_UNEXPECTED_CALL(Init, IUnknown*, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(ReleaseDtm, VARIANT_BOOL*)
    VARNOK_UNEXPECTED_CALL(ShowMessage, ULONG, BSTR, VARIANT)
    VARNOK_UNEXPECTED_CALL(OnNotify, ULONG, VARIANT)
};

class LastReport final : public CQuelkMessageSink {
public:
    void DeliverMessage(BSTR text) noexcept override { last = StringOf(text); }
    std::wstring last;
};

class DtmPartsThroughFrameTest : public FrameTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(FrameTest::SetUp());
        frame_->Script().SchemaFolder = SourceTreeSchemaFolder();
        ASSERT_NO_FATAL_FAILURE(CreateConfigured(dtm_, L"Plant/FT-101"));
    }
    void TearDown() override {
        peer_.Release();
        dtm_.Release();
        FrameTest::TearDown();
    }

    // A new DTM of the project, configured for a planning engineer and known to the frame by its tag.
    void CreateConfigured(CDtmSession& session, const wchar_t* systemTag) {
        ASSERT_HR(S_OK, session.CreateByProgId(L"VarnokP3.DtmObject"));
        ql::ComPtr<IPersistStreamInit> persist;
        ASSERT_HR(S_OK, session.Object()->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()));
        ASSERT_HR(S_OK, persist->InitNew());
        ql::Bstr tag(systemTag), deviceType(VarnokDeviceTypeDocument());
        ql::Bstr user(UserInformationDocument(L"planningEngineer"));
        VARIANT_BOOL result = VARIANT_FALSE;
        ASSERT_HR(S_OK, session.Dtm()->Environment(tag.Get(), frame_.Get(), &result));
        ASSERT_HR(S_OK, session.Dtm()->InitNew(deviceType.Get(), &result));
        ASSERT_HR(S_OK, session.Dtm()->Config(user.Get(), &result));
        ASSERT_EQ(8u, session.State());
        frame_->AddProjectDtm(systemTag, session.Object());
    }

    template <class Interface>
    ql::ComPtr<Interface> Query(const CDtmSession& session) {
        ql::ComPtr<Interface> itf;
        EXPECT_HR(S_OK, session.Object()->QueryInterface(__uuidof(Interface), itf.PutVoid()));
        return itf;
    }
    void SetValue(const CDtmSession& session, ULONG id, const VARIANT& value) {
        ASSERT_HR(S_OK, Query<IQuelkVariablesEx>(session)->SetValue(id, value));
    }
    std::wstring ParameterName(ULONG id) {
        ql::Variant name;
        EXPECT_HR(S_OK, Query<IQuelkVariableFields>(dtm_)->GetVariableField(
                            *MakeUI4(id), *MakeUI4(kFieldName), name.Put()));
        return name.Type() == VT_BSTR ? StringOf(V_BSTR(name.Get())) : L"<no text>";
    }
    // Loads `text` with validation against the project's schema files; the parse error when it fails.
    std::wstring ValidationError(BSTR text) {
        if (!xml_.SchemaCollection()) {
            EXPECT_HR(S_OK,
                      xml_.InitializeSchemaCache(SourceTreeSchemaFolder().c_str(), DtmSchemaList, nullptr));
        }
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        LastReport reports;
        EXPECT_HR(S_OK, xml_.LoadXMLDocument(text, document.Put(), &loaded, &reports));
        return loaded == VARIANT_TRUE ? std::wstring() : L"does not validate: " + reports.last;
    }

    CDtmSession dtm_;
    CDtmSession peer_;
    CQuelkXMLHandlerImpl xml_;
};

// The information template is a resource of the module itself.
TEST_F(DtmPartsThroughFrameTest, GetInformationOfTheModuleValidatesAndListsTheTranslations) {
    ql::Bstr information;
    ASSERT_HR(S_OK, Query<IDtmInformation>(dtm_)->GetInformation(information.Put()));
    EXPECT_EQ(L"", ValidationError(information.Get()));
    const std::wstring text = StringOf(information.Get());
    EXPECT_NE(std::wstring::npos, text.find(L"languageId=\"1031\"")) << text;
}

// The document parts read the store, the communication part's bus information and the toolkit's states.
TEST_F(DtmPartsThroughFrameTest, GetParametersOfAConfiguredDtmValidatesWithTheTagAndBusAddress) {
    ASSERT_NO_FATAL_FAILURE(SetValue(dtm_, kTagParameter, *MakeBstr(L"FT-101 <Flow & \"Gas\">")));
    ql::Variant address;
    address.SetUI1(42);
    ASSERT_NO_FATAL_FAILURE(SetValue(dtm_, kParameterStationAddress, *address));

    ql::Bstr document;
    ASSERT_HR(S_OK, Query<IDtmParameter>(dtm_)->GetParameters(nullptr, document.Put()));
    EXPECT_EQ(L"", ValidationError(document.Get()));
    const std::wstring text = StringOf(document.Get());
    EXPECT_NE(std::wstring::npos, text.find(L"fdt:tag=\"FT-101 &lt;Flow &amp; &quot;Gas&quot;>\"")) << text;
    EXPECT_NE(std::wstring::npos, text.find(L"busAddress=\"42\"")) << text;
}

// IDtm::SetLanguage reaches the user settings (not the translation part's method of the same signature):
// the names change, the open user interfaces and the frame hear of it.
TEST_F(DtmPartsThroughFrameTest, SetLanguageThroughIDtmTranslatesAndBroadcasts) {
    RecordingControl control;
    ql::Bstr invokeId(L"open-view");
    ASSERT_HR(S_OK, Query<IQuelkFunctions>(dtm_)->ActiveXControlEvent(invokeId.Get(), &control));
    control.notifications.clear();
    frame_->ClearCalls();

    VARIANT_BOOL accepted = VARIANT_FALSE;
    ASSERT_HR(S_OK, dtm_.Dtm()->SetLanguage(1031, &accepted));
    EXPECT_EQ(VARIANT_TRUE, accepted);
    EXPECT_EQ(L"Physikalischer Block - Blockobjekt", ParameterName(kBlockObjectParameter));
    const std::vector<std::pair<ULONG, std::string>> expected = {{kNotifyLanguage, "i4:1031"}};
    EXPECT_EQ(expected, control.notifications);
    EXPECT_EQ(1u, frame_->CountCalls(L"NotifyFunctionsChanged"));
    ULONG language = 0;
    EXPECT_HR(S_OK, Query<IQuelkDtm>(dtm_)->GetLanguage(&language));
    EXPECT_EQ(1031u, language);

    ASSERT_HR(S_OK, Query<IQuelkFunctions>(dtm_)->ActiveXControlEvent(invokeId.Get(), nullptr));
    EXPECT_EQ(1u, control.refs) << "the DTM gave the control back";
}

// The other DTM comes from the frame's project by its tag and goes back to the frame when released.
TEST_F(DtmPartsThroughFrameTest, CompareAgainstASecondDtmOfTheProject) {
    ASSERT_NO_FATAL_FAILURE(CreateConfigured(peer_, L"Plant/FT-102"));
    const ql::ComPtr<IDtmDataSetCheck> check = Query<IDtmDataSetCheck>(dtm_);
    ql::Bstr peerTag(L"Plant/FT-102");
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, check->InitCompare(peerTag.Get(), &ok));
    ASSERT_EQ(VARIANT_TRUE, ok);
    EXPECT_EQ(1u, frame_->CountCalls(L"GetDtm"));

    VARIANT_BOOL equal = VARIANT_FALSE;
    ASSERT_HR(S_OK, check->Compare(&equal));
    EXPECT_EQ(VARIANT_TRUE, equal) << "two new datasets hold the same values";
    ASSERT_NO_FATAL_FAILURE(SetValue(peer_, kTagParameter, *MakeBstr(L"FT-102")));
    ASSERT_HR(S_OK, check->Compare(&equal));
    EXPECT_EQ(VARIANT_FALSE, equal);

    VARIANT_BOOL released = VARIANT_FALSE;
    ASSERT_HR(S_OK, check->ReleaseCompare(&released));
    EXPECT_EQ(VARIANT_TRUE, released);
    ASSERT_NE(nullptr, frame_->LastCall(L"ReleaseDtm"));
    EXPECT_EQ(std::vector<std::wstring>{L"Plant/FT-102"}, frame_->LastCall(L"ReleaseDtm")->Arguments);
}

TEST_F(DtmPartsThroughFrameTest, GetDocumentationOfTheOfflineParameterizationIsADocument) {
    ql::Bstr call(FunctionCallDocument(1)), documentation;
    ASSERT_HR(S_OK, Query<IDtmDocumentation>(dtm_)->GetDocumentation(call.Get(), documentation.Put()));
    EXPECT_EQ(L"", ValidationError(documentation.Get()));
    EXPECT_NE(std::wstring::npos, StringOf(documentation.Get()).find(L"Physical Block"));
}

// A script or late-bound frame finds the DTM's methods by the standard's names and calls them by the DISPIDs
// it is given.
TEST_F(DtmPartsThroughFrameTest, AFrameCallingByNameFindsTheStandardsNames) {
    const struct {
        const IID& iid;
        const wchar_t* name;
        DISPID dispid;
    } cases[] = {
        {IID_IDtmDataSetCheck, L"Verify", 1},
        {IID_IDtmOnlineParameter, L"CancelAction", 1},
        {IID_IDtmDataLock, L"OnChildParameterChanged", 1},
        {IID_IDtmDataLock, L"OnParameterChanged", 2},
        {IID_IDtmDataLock, L"OnLockDataSet", 3},
        {IID_IDtmDataLock, L"OnUnlockDataSet", 4},
        {IID_IDtm, L"PrepareToRelease", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        ql::ComPtr<IDispatch> dispatch;
        ASSERT_HR(S_OK, dtm_.Object()->QueryInterface(c.iid, dispatch.PutVoid()));
        LPOLESTR name = const_cast<LPOLESTR>(c.name);
        DISPID dispid = DISPID_UNKNOWN;
        EXPECT_HR(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid));
        EXPECT_EQ(c.dispid, dispid);
    }

    ql::ComPtr<IDispatch> check;
    ASSERT_HR(S_OK, dtm_.Object()->QueryInterface(IID_IDtmDataSetCheck, check.PutVoid()));
    LPOLESTR verify = const_cast<LPOLESTR>(L"Verify");
    DISPID dispid = DISPID_UNKNOWN;
    ASSERT_HR(S_OK, check->GetIDsOfNames(IID_NULL, &verify, 1, LOCALE_USER_DEFAULT, &dispid));
    DISPPARAMS none = {};
    ql::Variant valid;
    ASSERT_HR(S_OK, check->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, valid.Put(),
                                  nullptr, nullptr));
    EXPECT_EQ("bool:-1", Describe(*valid));
}

// The DTM's store as the frame reads it, but for the entry lists of its enumerations, which it hands out made
// afresh by `entries` each time.
class HostileEntryLists final : public ql::ComObjectBase<HostileEntryLists>, public ReplacedFields {
    QL_INTERFACE_TABLE(HostileEntryLists, QL_ENTRY(IQuelkVariableFields),
                       QL_ENTRY_FUNC(IID_IQuelkVariablesEx, QueryValues))

public:
    HostileEntryLists(IUnknown* dtm, std::function<ql::Variant()> entries)
        : ReplacedFields(
              Ask<IQuelkVariableFields>(dtm),
              [](ULONG, ULONG mask) { return mask == kFieldEnumerationEntries; }, std::move(entries)),
          values_(Ask<IQuelkVariablesEx>(dtm)) {}
    HRESULT QueryValues(REFIID, void** out) noexcept {
        values_->AddRef();
        *out = values_.Get();
        return S_OK;
    }

    VARNOK_UNEXPECTED_CALL(GetTypeInfoCount, UINT*)
    VARNOK_UNEXPECTED_CALL(GetTypeInfo, UINT, LCID, ITypeInfo**)
    VARNOK_UNEXPECTED_CALL(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    VARNOK_UNEXPECTED_CALL(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

private:
    template <class Interface>
    static ql::ComPtr<Interface> Ask(IUnknown* dtm) {
        ql::ComPtr<Interface> found;
        EXPECT_HR(S_OK, dtm->QueryInterface(__uuidof(Interface), found.PutVoid()));
        return found;
    }

    ql::ComPtr<IQuelkVariablesEx> values_;
};

// The frame reads the texts of units and status from the DTM's entry lists: a list whose array does not
// hold texts of its own gives no text, and nothing of it is read.
TEST_F(DtmPartsThroughFrameTest, KeyValuesTakeNoTextFromAnEntryListThatHoldsNoTexts) {
    DeviceKeyValues sound;
    ASSERT_HR(S_OK, ReadDeviceKeyValues(dtm_.Object(), &sound));
    EXPECT_NE(L"", sound.massFlow.unit);
    const ql::Bstr text(L"12;kg/s");
    const size_t shapes = HostileArrays(VT_BSTR, {text.Get()}, 1).size();
    for (size_t shape = 0; shape < shapes; ++shape) {
        const char* name = HostileArrays(VT_BSTR, {text.Get()}, 1)[shape].name;
        if (std::string(name) == "texts") continue;  // texts the platform owns are what an entry list holds
        SCOPED_TRACE(name);
        ql::ComPtr<HostileEntryLists> store;
        ASSERT_HR(S_OK, ql::MakeObject(store, dtm_.Object(), [&] {
                      return std::move(HostileArrays(VT_BSTR, {text.Get()}, 32)[shape].value);
                  }));
        DeviceKeyValues read;
        ASSERT_HR(S_OK, ReadDeviceKeyValues(static_cast<IQuelkVariableFields*>(store.Get()), &read));
        EXPECT_EQ(sound.tag, read.tag);
        EXPECT_EQ(L"", read.massFlow.unit);
        EXPECT_EQ(L"", read.totalizer.unit);
        EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
    }
    EXPECT_STREQ(L"12;kg/s", text.Get());
}

}  // namespace
}  // namespace frametest
