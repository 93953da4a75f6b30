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

class SetParametersTest : public DocumentsTest {
protected:
    HRESULT Set(const std::wstring& text, VARIANT_BOOL* result) {
        ql::Bstr document(text);
        frame_->calls.clear();
        return Query<IDtmParameter>()->SetParameters(nullptr, document.Get(), result);
    }
};

constexpr char kError2001[] = "An error occurred during IDtmParameter::SetParameters";

TEST_F(SetParametersTest, TagAndBusAddressAreAppliedUnderTheFramesLock) {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_HR(S_OK, Set(Document(L"FT-7 &amp; co", L"42"), &result));
    EXPECT_EQ(VARIANT_TRUE, result);
    EXPECT_EQ("bstr:'FT-7 & co'", ValueOf(1));
    EXPECT_EQ("ui1:42", ValueOf(3));
    // While the values go in, becoming modified hands the frame the document instead of the dirty flag;
    // the flag follows once, after the lock is given back.
    EXPECT_EQ(
        (std::vector<std::string>{"LockDataSet Plant/Varnok 1", "NotifyParameterDocument Plant/Varnok 1",
                                  "UnlockDataSet Plant/Varnok 1", "SetDirtyFlag Plant/Varnok 1"}),
        frame_->calls);
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
        // The frame's own lock of the data, through the DTM's data-lock interface.
        const ql::ComPtr<IDtmDataLock> lock = Query<IDtmDataLock>();
        ql::Bstr tag(kSystemTag), user(L"frame");
        if (c.dataLocked) {
            ASSERT_HR(S_OK, lock->LockData(tag.Get(), user.Get()));
        } else {
            VARIANT_BOOL unlocked = VARIANT_FALSE;
            ASSERT_HR(S_OK, lock->UnlockData(tag.Get(), user.Get(), &unlocked));
        }
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

// The bus address a document brings passes the value check (station address: 0 to 126) like every value the
// user sets: a refused one is not stored, the document counts as not applied, and the frame learns which
// address it was. The tag, applied before, stays. An address that fits no byte does not validate, as before.
TEST_F(SetParametersTest, TheBusAddressPassesTheValueCheck) {
    const auto refused = [](const char* address) {
        return std::vector<std::string>{
            std::string("The bus address ") + address + " was refused by the value check", kError2001};
    };
    const struct {
        const wchar_t* address;
        HRESULT hr;
        VARIANT_BOOL result;
        const char* tag;
        const char* stored;
        std::vector<std::string> messages;  // their first lines
    } cases[] = {
        {L"0", S_OK, VARIANT_TRUE, "bstr:'FT-8'", "ui1:0", {}},
        {L"126", S_OK, VARIANT_TRUE, "bstr:'FT-8'", "ui1:126", {}},
        {L"127", S_OK, VARIANT_FALSE, "bstr:'FT-8'", "ui1:5", refused("127")},
        {L"128", S_OK, VARIANT_FALSE, "bstr:'FT-8'", "ui1:5", refused("128")},
        {L"200", S_OK, VARIANT_FALSE, "bstr:'FT-8'", "ui1:5", refused("200")},
        {L"255", S_OK, VARIANT_FALSE, "bstr:'FT-8'", "ui1:5", refused("255")},
        {L"256", S_FALSE, VARIANT_FALSE, "bstr:'before'", "ui1:5", {"::LoadXMLDocument (ParseError)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(std::wstring_view(c.address)));
        SetValue(1, *MakeBstr(L"before"));
        SetValue(3, *MakeUI4(5));
        VARIANT_BOOL result = VARIANT_TRUE;
        EXPECT_HR(c.hr, Set(Document(L"FT-8", c.address), &result));
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.tag, ValueOf(1));
        EXPECT_EQ(c.stored, ValueOf(3));
        std::vector<std::string> messages = frame_->Messages();
        for (std::string& message : messages) message = message.substr(0, message.find('\n'));
        EXPECT_EQ(c.messages, messages);
        VARIANT_BOOL valid = VARIANT_FALSE;
        EXPECT_HR(S_OK, Query<IDtmDataSetCheck>()->VerifyDataSet(&valid));
        EXPECT_EQ(VARIANT_TRUE, valid);
    }
}

}  // namespace
}  // namespace doctest
