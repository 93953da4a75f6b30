// EscapeXmlText and ReportValueConversion against a fake DOM document and a fake aggregating outer object.
#include "FakeXmlDocument.h"
#include "ValueTestSupport.h"
#include "classlib/Bstr.h"
#include "values/ValueConversionReport.h"
#include "values/XmlText.h"

namespace {

// The document the factory hands out next (null: the class is not registered), and how many were asked for.
FakeDocument* nextDocument = nullptr;
int documentsMade = 0;

HRESULT MakeFakeDocument(IXMLDOMDocument** document) {
    ++documentsMade;
    if (!nextDocument) return REGDB_E_CLASSNOTREG;
    nextDocument->AddRef();
    *document = nextDocument;
    return S_OK;
}

class XmlTextTest : public testing::Test {
protected:
    void SetUp() override {
        nextDocument = &document;
        documentsMade = 0;
    }
    void TearDown() override {
        nextDocument = nullptr;
        EXPECT_EQ(1u, document.refs);
        EXPECT_EQ(1u, document.attribute.refs);
    }
    FakeDocument document;
};

TEST_F(XmlTextTest, EscapesWhatTheDomEscapesAndKeepsTheRest) {
    struct Case {
        const wchar_t* text;
        const wchar_t* escaped;
    } cases[] = {
        {L"plain", L"plain"},
        {L"say \"hi\" & go", L"say &quot;hi&quot; &amp; go"},
        {L"a<b>'c'", L"a&lt;b>'c'"},
        {L"", L""},
        {nullptr, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.text ? "" : "null ") << c.escaped);
        BSTR escaped = nullptr;
        EXPECT_HR(S_OK, EscapeXmlText(c.text, &escaped, MakeFakeDocument));
        ql::Bstr owned;
        owned.Attach(escaped);
        ASSERT_FALSE(owned.IsNull());
        EXPECT_EQ(c.escaped, std::wstring(owned.View()));
    }
    EXPECT_EQ(5, documentsMade);  // a new document for every call
    EXPECT_EQ(L"test", document.attributeNames.at(0));
}

TEST_F(XmlTextTest, FailuresStillHandBackAnEmptyText) {
    EXPECT_HR(E_POINTER, EscapeXmlText(L"x", nullptr, MakeFakeDocument));

    document.attribute.valueRefusal = E_INVALIDARG;
    ql::Bstr refused;
    EXPECT_HR(S_OK, EscapeXmlText(L"x", refused.Put(), MakeFakeDocument));
    EXPECT_FALSE(refused.IsNull());
    EXPECT_EQ(0u, refused.Length());

    nextDocument = nullptr;
    ql::Bstr missing;
    EXPECT_HR(REGDB_E_CLASSNOTREG, EscapeXmlText(L"x", missing.Put(), MakeFakeDocument));
    EXPECT_FALSE(missing.IsNull());
    EXPECT_EQ(0u, missing.Length());
}

constexpr IID kActivityLogIid = {
    0xA8ECFA50, 0x91E0, 0x11D8, {0x91, 0x80, 0x00, 0x10, 0x5A, 0xD8, 0x31, 0x82}};

// An outer object that aggregates the DTM object. When it answers the activity log, its function table is
// laid out independently of the code under test: eight methods that must not be called, then the report
// in slot 11.
class FakeOuterObject : public IUnknown {
public:
    bool answersActivityLog = true;
    ULONG refs = 1;
    std::vector<std::vector<std::wstring>> reports;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool answers = iid == IID_IUnknown || (answersActivityLog && iid == kActivityLogIid);
        *out = answers ? this : nullptr;
        if (!answers) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    virtual HRESULT STDMETHODCALLTYPE Slot3() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot4() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot5() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot6() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot7() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot8() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot9() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Slot10() { return Unexpected(); }
    virtual HRESULT STDMETHODCALLTYPE Report(BSTR label, BSTR heading, BSTR oldText, BSTR newText) {
        reports.push_back({Text(label), Text(heading), Text(oldText), Text(newText)});
        return E_FAIL;  // the answer is not looked at
    }

private:
    static std::wstring Text(BSTR s) { return s ? std::wstring(s, ::SysStringLen(s)) : L"<null>"; }
    HRESULT Unexpected() {
        ADD_FAILURE() << "a slot other than 11 was called";
        return E_NOTIMPL;
    }
};

TEST_F(XmlTextTest, ValueChangeReachesTheActivityLogOfTheOuterObject) {
    FakeOuterObject outer;
    ql::Variant oldValue, newValue;
    oldValue.SetR4(0.5f);
    newValue.SetR4(1.25f);
    EXPECT_HR(S_OK, ReportValueConversion(&outer, "Flow", *oldValue, *newValue, nullptr, MakeFakeDocument));
    ql::Variant oldText = MakeBstr(L"a\"b"), newText = MakeBstr(L"<c>");
    EXPECT_HR(S_OK, ReportValueConversion(&outer, "Tag", *oldText, *newText, "Label", MakeFakeDocument));
    ASSERT_EQ(2u, outer.reports.size());
    EXPECT_EQ((std::vector<std::wstring>{L"<null>", L"Flow (VT_R4)", L"0.500000", L"1.250000"}),
              outer.reports[0]);
    EXPECT_EQ((std::vector<std::wstring>{L"Label", L"Tag (VT_BSTR)", L"a&quot;b", L"&lt;c>"}),
              outer.reports[1]);
    EXPECT_EQ(1u, outer.refs);
}

TEST_F(XmlTextTest, ValueChangeWithoutReceiverOrWithDifferentTypes) {
    FakeOuterObject notAggregated;
    notAggregated.answersActivityLog = false;
    ql::Variant r4, i4, ui2;
    r4.SetR4(1.0f);
    i4.SetI4(5);
    V_VT(ui2.Put()) = VT_UI2;
    EXPECT_HR(S_OK, ReportValueConversion(&notAggregated, "Flow", *r4, *r4, nullptr, MakeFakeDocument));
    EXPECT_HR(S_OK, ReportValueConversion(nullptr, "Flow", *r4, *r4, nullptr, MakeFakeDocument));
    EXPECT_TRUE(notAggregated.reports.empty());
    EXPECT_EQ(1u, notAggregated.refs);

    FakeOuterObject outer;
    documentsMade = 0;
    EXPECT_HR(E_INVALIDARG, ReportValueConversion(&outer, "Flow", *ui2, *i4, nullptr, MakeFakeDocument));
    EXPECT_HR(E_INVALIDARG, ReportValueConversion(&outer, nullptr, *r4, *r4, nullptr, MakeFakeDocument));
    EXPECT_TRUE(outer.reports.empty());
    EXPECT_EQ(0, documentsMade);
}

}  // namespace
