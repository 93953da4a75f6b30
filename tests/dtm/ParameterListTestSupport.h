#pragma once
// The parameter list through the real DTM's IDtmImportExport, as a frame keeps it in files: a DTM
// configured at a user level, the list's text exported and imported with its byte count, and lists built
// by hand.
#include <algorithm>
#include <string>

#include "DtmTestSupport.h"
#include "frame/FrameDocuments.h"

namespace dtmtest {

class ParameterListFileTest : public DtmTest {
protected:
    // A configured DTM of the user level `level`.
    void ConfigureAs(const wchar_t* level) {
        CreateDtm();
        ASSERT_NO_FATAL_FAILURE(InitNewDataset());
        ASSERT_NO_FATAL_FAILURE(Environment());
        ASSERT_NO_FATAL_FAILURE(InitNewDeviceType());
        ql::Bstr document(UserInformationDocument(level));
        VARIANT_BOOL result = VARIANT_FALSE;
        ASSERT_HR(S_OK, Dtm()->Config(document.Get(), &result));
        ASSERT_EQ(8u, State());
    }
    ql::ComPtr<IDtmImportExport> Lists() {
        ql::ComPtr<IDtmImportExport> lists;
        EXPECT_HR(S_OK, dtm_->QueryInterface(IID_IDtmImportExport, lists.PutVoid()));
        return lists;
    }
    // The list's text as exported (without its byte count).
    std::string Export() {
        ql::ComPtr<IStream> stream = StreamOn({});
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_HR(S_OK, Lists()->Export(stream.Get(), &ok));
        EXPECT_EQ(VARIANT_TRUE, ok);
        const Bytes bytes = StreamBytes(stream.Get());
        return bytes.size() < 4 ? std::string() : std::string(bytes.begin() + 4, bytes.end());
    }
    // Imports `text` framed with its byte count; the HRESULT, with `ok` the DTM's answer.
    HRESULT Import(const std::string& text, VARIANT_BOOL* ok) { return ImportStream(Framed(text), ok); }
    // Imports what a stream holds.
    HRESULT ImportStream(const Bytes& bytes, VARIANT_BOOL* ok) {
        ql::ComPtr<IStream> stream = StreamOn(bytes);
        return Lists()->Import(stream.Get(), ok);
    }
    // `text` after a byte count of `count`, by default its own length.
    static Bytes Framed(const std::string& text, size_t count = std::string::npos) {
        if (count == std::string::npos) count = text.size();
        Bytes bytes(4 + text.size());
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(count >> (8 * i));
        std::copy(text.begin(), text.end(), bytes.begin() + 4);
        return bytes;
    }
    std::wstring Tag() {
        ql::Variant value;
        EXPECT_HR(S_OK, dtm_->Store().GetValue(1, value.Put()));
        if (value.Type() != VT_BSTR) return L"<not a text>";
        return std::wstring(V_BSTR(value.Get()), ::SysStringLen(V_BSTR(value.Get())));
    }
    void SetTag(const std::wstring& tag) {
        ql::Variant value;
        ASSERT_HR(S_OK, value.SetBstr(tag.c_str()));
        ASSERT_HR(S_OK, dtm_->Store().SetValue(1, *value.Get()));
    }
    static std::string List(const std::string& declaration, const std::string& entries) {
        return declaration + "<PARAMETERS>" + entries + "</PARAMETERS>";
    }
    static std::string Entry(ULONG id, const std::string& type, const std::string& value) {
        return "<Parameter id=\"" + std::to_string(id) + "\" name=\"n\" type=\"" + type + "\" value=\"" +
               value + "\"/>";
    }
};

}  // namespace dtmtest
