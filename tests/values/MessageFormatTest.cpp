// BstrPrintf's growing work buffer and ReportDtmMessage's bounded, cut message.
#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "tests/support/HResultText.h"
#include "values/MessageFormat.h"

namespace {

const BSTR kUntouched = reinterpret_cast<BSTR>(static_cast<UINT_PTR>(0x1234));
constexpr size_t kLargestText = 0x80000 - 1;

// Texts around every boundary of the buffer's growth come out whole. Each later attempt formats the
// same arguments again, including those after the long one.
TEST(BstrPrintfTest, TextsUpToTheLargestBufferFitAndLongerOnesFail) {
    ql::Bstr format(L"%s%d");  // 4 characters
    const struct {
        const char* name;
        size_t padding;  // characters of the %s argument; the %d adds one
        HRESULT hr;
    } cases[] = {
        {"fits the first attempt", 4 + 511 - 1, S_OK},
        {"needs the second attempt", 4 + 512 - 1, S_OK},
        {"needs several attempts", 5000, S_OK},
        {"fits the largest buffer", kLargestText - 1, S_OK},
        {"one more than the largest buffer holds", kLargestText, E_FAIL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring padding(c.padding, L'x');
        BSTR result = kUntouched;
        EXPECT_HR(c.hr, BstrPrintf(&result, format.Get(), padding.c_str(), 7));
        if (c.hr != S_OK) {
            EXPECT_EQ(kUntouched, result);
            continue;
        }
        ql::Bstr owned;
        owned.Attach(result);
        EXPECT_EQ(padding + L"7", owned.View());
    }
    // A format that alone reaches the largest buffer is tried once, there.
    ql::Bstr longFormat(std::wstring(kLargestText - 10, L'a')), result;
    EXPECT_HR(S_OK, BstrPrintf(result.Put(), longFormat.Get()));
    EXPECT_EQ(kLargestText - 10, result.Length());
}

class RecordingSink final : public CQuelkMessageSink {
public:
    std::vector<std::wstring> texts;
    void DeliverMessage(BSTR text) noexcept override { texts.emplace_back(text ? text : L"<null>"); }
};

TEST(ReportDtmMessageTest, LongMessagesAreCutNeverOverrun) {
    for (size_t length : {4095, 4096, 5000}) {
        SCOPED_TRACE(length);
        RecordingSink sink;
        ReportDtmMessage(&sink, "%s", std::string(length, 'm').c_str());
        EXPECT_EQ(std::vector<std::wstring>{std::wstring(std::min<size_t>(length, 4095), L'm')}, sink.texts);
    }
}

}  // namespace
