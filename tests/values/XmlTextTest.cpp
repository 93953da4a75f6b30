// EscapeXmlText and ReportValueConversion through the DOM document registered in the prefix (our MSXML
// stand-in), and a fake aggregating outer object.
#include "classlib/Bstr.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestObjects.h"
#include "tests/support/TestVariants.h"
#include "values/ValueConversionReport.h"
#include "values/XmlText.h"

namespace {

using namespace vtest;

using XmlTextTest = ComTest;

TEST_F(XmlTextTest, EscapesWhatTheDomEscapesAndKeepsTheRest) {
    const struct {
        const wchar_t* text;
        const wchar_t* escaped;
    } cases[] = {
        {L"plain", L"plain"},
        {L"say \"hi\" & go", L"say &quot;hi&quot; &amp; go"},
        {L"a<b>'c'", L"a&lt;b>'c'"},
        {L"", L""},
        {nullptr, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.text ? "" : "null ") << c.escaped);
        ql::Bstr escaped;
        EXPECT_HR(S_OK, EscapeXmlText(c.text, escaped.Put()));
        ASSERT_FALSE(escaped.IsNull());
        EXPECT_EQ(c.escaped, escaped.View());
    }
}

constexpr IID kActivityLogIid = {
    0xA8ECFA50, 0x91E0, 0x11D8, {0x91, 0x80, 0x00, 0x10, 0x5A, 0xD8, 0x31, 0x82}};

// An outer object that aggregates the DTM object. When it answers the activity log, its function table is
// laid out independently of the code under test: eight methods that must not be called, then the report
// in slot 11.
class FakeOuterObject : public CountedObject<IUnknown> {
public:
    explicit FakeOuterObject(bool answersActivityLog)
        : CountedObject(answersActivityLog ? std::initializer_list<IID>{kActivityLogIid}
                                           : std::initializer_list<IID>{}) {}
    std::vector<std::vector<std::wstring>> reports;

    virtual HRESULT STDMETHODCALLTYPE Slot3() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot4() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot5() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot6() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot7() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot8() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot9() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot10() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Report(BSTR label, BSTR heading, BSTR oldText, BSTR newText) {
        reports.push_back(
            {label ? StringOf(label) : L"<null>", StringOf(heading), StringOf(oldText), StringOf(newText)});
        return E_FAIL;  // the answer is not looked at
    }

private:
    static HRESULT Unexpected() {
        ADD_FAILURE() << "a slot other than 11 was called";
        return E_NOTIMPL;
    }
};

TEST_F(XmlTextTest, ValueChangeReachesTheActivityLogOfTheOuterObject) {
    FakeOuterObject outer(true);
    ql::Variant oldValue, newValue;
    oldValue.SetR4(0.5f);
    newValue.SetR4(1.25f);
    EXPECT_HR(S_OK, ReportValueConversion(&outer, "Flow", *oldValue, *newValue, nullptr));
    EXPECT_HR(S_OK, ReportValueConversion(&outer, "Tag", *MakeBstr(L"a\"b"), *MakeBstr(L"<c>"), "Label"));
    const std::vector<std::vector<std::wstring>> expected = {
        {L"<null>", L"Flow (VT_R4)", L"0.500000", L"1.250000"},
        {L"Label", L"Tag (VT_BSTR)", L"a&quot;b", L"&lt;c>"}};
    EXPECT_EQ(expected, outer.reports);
    EXPECT_EQ(1u, outer.refs);
}

}  // namespace
