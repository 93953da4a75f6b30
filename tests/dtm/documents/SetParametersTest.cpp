// IDtmParameter::SetParameters: the tag, the bus address and the exported parameters under the frame's
// data-set lock, the refusals, message 2001, and ReadVariantElement.
#include <string>

#include "DocumentsTestSupport.h"
#include "dataset/ParameterValueXml.h"
#include "dtm/documents/ParameterDocumentReader.h"

namespace doctest {
namespace {

// A parameter document as a frame hands it back; `tag` and `bus` null leave them out.
std::wstring Document(const wchar_t* tag, const wchar_t* busAddress, const std::wstring& exported = L"") {
    std::wstring text =
        L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:DTMParameterSchema.xml\" "
        L"xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" fdt:storageState=\"persistent\" "
        L"fdt:dataSetState=\"default\"><DtmDevice";
    if (tag) text += std::wstring(L" fdt:tag=\"") + tag + L"\"";
    text += L">";
    if (busAddress)
        text += std::wstring(L"<BusInformation><MasterSlaveBus busAddress=\"") + busAddress +
                L"\"/></BusInformation>";
    if (!exported.empty())
        text += L"<ExportedVariables><fdt:DtmVariables name=\"ExportedVariables\">" + exported +
                L"</fdt:DtmVariables></ExportedVariables>";
    return text + L"</DtmDevice></FDT>";
}

std::wstring Variable(const wchar_t* name, const wchar_t* dataType, const wchar_t* data) {
    return std::wstring(L"<fdt:DtmVariable name=\"") + name +
           L"\"><fdt:Value readAccess=\"1\" writeAccess=\"1\"><fdt:Variant dataType=\"" + dataType + L"\">" +
           data + L"</fdt:Variant></fdt:Value></fdt:DtmVariable>";
}

class SetParametersTest : public DocumentsTest {
protected:
    HRESULT Set(const std::wstring& text, VARIANT_BOOL* result) {
        ql::Bstr document(text);
        frame_->calls.clear();
        host().suspensions.clear();
        return dtm_->SetParameters(nullptr, document.Get(), result);
    }
};

constexpr char kError2001[] = "An error occurred during IDtmParameter::SetParameters";

TEST_F(SetParametersTest, TagAndBusAddressAreAppliedUnderTheFramesLock) {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_HR(S_OK, Set(Document(L"FT-7 &amp; co", L"42"), &result));
    EXPECT_EQ(VARIANT_TRUE, result);
    EXPECT_EQ("bstr:'FT-7 & co'", ValueOf(1));
    EXPECT_EQ("ui1:42", ValueOf(3));
    EXPECT_EQ((std::vector<std::string>{"LockDataSet Plant/Varnok 1", "UnlockDataSet Plant/Varnok 1"}),
              frame_->calls);
    EXPECT_EQ((std::vector<bool>{true, false}), host().suspensions);
}

TEST_F(SetParametersTest, RefusalsAnswerSFalseBeforeTouchingAnything) {
    const struct {
        const char* name;
        ULONG state;
        ULONG level;
        std::wstring document;
    } cases[] = {
        {"observer", 8, 1, Document(L"x", L"1")},
        {"no user level", 8, 0, Document(L"x", L"1")},
        {"state 7", 7, 8, Document(L"x", L"1")},
        {"not a document", 8, 8, L"<FDT"},
        {"fails validation", 8, 8, Document(L"x", L"300")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host().state = c.state;
        host().userLevel = c.level;
        VARIANT_BOOL result = VARIANT_TRUE;
        EXPECT_HR(S_FALSE, Set(c.document, &result));
        EXPECT_EQ(VARIANT_FALSE, result);
        EXPECT_TRUE(frame_->calls.empty());
        EXPECT_EQ("bstr:'VarnokP3 DTM'", ValueOf(1));
    }
    EXPECT_HR(E_INVALIDARG, Set(Document(L"x", L"1"), nullptr));
}

TEST_F(SetParametersTest, ARefusedLockChangesNothingAndSendsMessage2001) {
    const struct {
        const char* name;
        bool dataLocked;
        bool frameGrants;
        size_t lockRequests;
    } cases[] = {
        {"the frame locked the data", true, true, 0},
        {"the frame refuses the lock", false, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host().dataLocked = c.dataLocked;
        frame_->grantsLock = c.frameGrants;
        VARIANT_BOOL result = VARIANT_TRUE;
        EXPECT_HR(S_OK, Set(Document(L"changed", L"9"), &result));
        EXPECT_EQ(VARIANT_FALSE, result);
        EXPECT_EQ("bstr:'VarnokP3 DTM'", ValueOf(1));
        EXPECT_EQ("ui1:0", ValueOf(3));
        EXPECT_EQ(c.lockRequests, frame_->Count("LockDataSet"));
        EXPECT_EQ(0u, frame_->Count("UnlockDataSet"));
        EXPECT_EQ(std::vector<std::string>{kError2001}, frame_->Messages());
    }
}

TEST_F(SetParametersTest, ALockTheUserInterfacesHoldIsNeitherTakenNorReleased) {
    host().frameLocked = true;
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_HR(S_OK, Set(Document(L"held", L"3"), &result));
    EXPECT_EQ(VARIANT_TRUE, result);
    EXPECT_EQ("bstr:'held'", ValueOf(1));
    EXPECT_TRUE(frame_->calls.empty()) << "the open user interfaces keep their lock";
}

TEST_F(SetParametersTest, EarlyEndsReleaseTheLockAndSendNoMessage) {
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Set(Document(nullptr, L"5"), &result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_EQ(1u, frame_->Count("UnlockDataSet"));
    EXPECT_TRUE(frame_->Messages().empty());
    EXPECT_EQ("ui1:0", ValueOf(3));

    EXPECT_HR(E_FAIL, Set(Document(L"without bus", nullptr), &result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_EQ("bstr:'without bus'", ValueOf(1)) << "the tag stays stored";
    EXPECT_EQ(1u, frame_->Count("UnlockDataSet"));
    EXPECT_EQ((std::vector<bool>{true, false}), host().suspensions);

    frame_->lockResult = E_ACCESSDENIED;
    EXPECT_HR(E_ACCESSDENIED, Set(Document(L"x", L"1"), &result));
    EXPECT_EQ(0u, frame_->Count("UnlockDataSet"));
    frame_->lockResult = S_OK;

    frame_->unlockResult = E_ACCESSDENIED;
    EXPECT_HR(E_ACCESSDENIED, Set(Document(L"unlock fails", L"1"), &result));
    EXPECT_EQ("bstr:'unlock fails'", ValueOf(1));
}

TEST_F(SetParametersTest, ADocumentWithParametersNoRecordExportsIsNotWhollyApplied) {
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_OK, Set(Document(L"t", L"1", Variable(L"Nobody", L"int", L"<fdt:NumberData number=\"1\"/>")),
                        &result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_EQ(std::vector<std::string>{kError2001}, frame_->Messages());

    // The translated text replaces the built-in one.
    dtm_->answersLocalization = true;
    dtm_->translations[L"localization/ToolkitMessages/Message[@id=\"2001\"]"] = L"Fehler beim Schreiben";
    EXPECT_HR(S_OK, Set(Document(L"t", L"1", Variable(L"Nobody", L"int", L"<fdt:NumberData number=\"1\"/>")),
                        &result));
    EXPECT_EQ(std::vector<std::string>{"Fehler beim Schreiben"}, frame_->Messages());
}

TEST_F(SetParametersTest, ExportedParametersComeBackFromTheirOwnDocument) {
    const struct {
        ULONG id;
        ULONG kind;
    } exported[] = {{39, kExportVariant},
                    {19, kExportVariant},
                    {26, kExportDisplay},
                    {33, kExportVariant},
                    {123, kExportVariant}};
    for (const auto& e : exported) SetField(e.id, kFieldExportKind, *MakeUI4(e.kind));
    SetField(26, kFieldAccess, *MakeUI4(0x71));  // writable to the device, so the document may set it
    ql::Variant flow;
    flow.SetR4(2.25f);
    SetValue(39, *flow);
    SetValue(19, *MakeUI4(17));
    SetValue(26, *MakeBstr(L"a \"b\" <c> & d"));
    SetValue(33, *MakeBytes({0x41, 0x42, 0x00}));
    SetValue(123, *MakeUI4(4000000000u));
    ql::Bstr document;
    ASSERT_HR(S_OK, dtm_->GetParameters(nullptr, document.Put()));

    const std::string before[] = {ValueOf(39), ValueOf(19), ValueOf(26), ValueOf(33), ValueOf(123)};
    ql::Variant zero;
    zero.SetR4(0);
    SetValue(39, *zero);
    SetValue(19, *MakeUI4(0));
    SetValue(26, *MakeBstr(L""));
    SetValue(33, *MakeBytes({}));
    SetValue(123, *MakeUI4(0));

    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_HR(S_OK, Set(std::wstring(document.View()), &result));
    EXPECT_EQ(VARIANT_TRUE, result);
    const std::string after[] = {ValueOf(39), ValueOf(19), ValueOf(26), ValueOf(33), ValueOf(123)};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(before[i], after[i]);
    EXPECT_TRUE(frame_->Messages().empty());
}

TEST_F(SetParametersTest, UnwritableAndUnknownValuesAreSkipped) {
    SetField(46, kFieldExportKind, *MakeUI4(kExportVariant));  // device parameter, access 0x50: not writable
    SetField(19, kFieldExportKind, *MakeUI4(kExportVariant));
    const std::wstring variables =
        Variable(L"Transducer Block - MassFlow", L"hexString", L"<fdt:StringData string=\"42C8000080\"/>") +
        Variable(L"Physical Block - AlertKey", L"complex", L"<fdt:StringData string=\"1\"/>");
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_OK, Set(Document(L"t", L"1", variables), &result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_EQ("bytes:", ValueOf(46));
    EXPECT_EQ("ui1:0", ValueOf(19));
}

TEST_F(SetParametersTest, ReadVariantElementReadsEveryKeyword) {
    const struct {
        const wchar_t* variant;
        HRESULT expected;
        const char* value;
    } cases[] = {
        {L"dataType=\"int\"><fdt:NumberData number=\"-5\"/>", S_OK, "i4:-5"},
        {L"dataType=\"byte\"><fdt:NumberData number=\"200\"/>", S_OK, "ui1:200"},
        {L"dataType=\"unsigned\"><fdt:NumberData number=\"4000000000\"/>", S_OK, "ui4:4000000000"},
        {L"dataType=\"float\"><fdt:NumberData number=\"1.5\"/>", S_OK, "r4:1.5"},
        {L"dataType=\"double\"><fdt:NumberData number=\"-0.25\"/>", S_OK, "r8:-0.25"},
        {L"dataType=\"ascii\"><fdt:StringData string=\"a &amp; b\"/>", S_OK, "bstr:'a & b'"},
        {L"dataType=\"hexString\"><fdt:StringData string=\"0aFF\"/>", S_OK, "bytes:0AFF"},
        {L"dataType=\"hexString\"><fdt:StringData string=\"\"/>", S_OK, "empty"},
        {L"dataType=\"Int\"><fdt:NumberData number=\"1\"/>", S_FALSE, "unset"},
        {L"dataType=\"int\"><fdt:StringData string=\"1\"/>", E_FAIL, "unset"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(std::wstring_view(c.variant)));
        ql::Bstr xml(std::wstring(L"<fdt:Variant xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" ") +
                     c.variant + L"</fdt:Variant>");
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        ASSERT_HR(S_OK, host().xml.LoadXMLDocument(xml.Get(), document.Put(), &loaded, &host().sink));
        ASSERT_EQ(VARIANT_TRUE, loaded);
        ql::ComPtr<IXMLDOMElement> root;
        ASSERT_HR(S_OK, document->get_documentElement(root.Put()));
        ql::Variant value;
        ASSERT_HR(S_OK, value.SetBstr(L"unset"));
        EXPECT_HR(c.expected, ReadVariantElement(root.Get(), value.Get()));
        EXPECT_EQ(c.value, c.expected == S_OK ? Describe(*value) : Narrow(V_BSTR(value.Get())));
    }
    ql::Variant value;
    EXPECT_HR(E_INVALIDARG, ReadVariantElement(nullptr, value.Get()));
}

}  // namespace
}  // namespace doctest
