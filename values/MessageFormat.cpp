#include "values/MessageFormat.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <new>
#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "values/AnsiText.h"

namespace {

// The first attempt leaves this margin beyond the format's own length; each further attempt doubles it.
constexpr size_t kFirstMargin = 512;
// The largest work buffer, in characters, terminating zero included.
constexpr size_t kLargestBuffer = 0x80000;

// One formatting attempt into `size` characters; *fits tells whether the text fitted (and *result was
// written). The argument list is consumed by the formatter, so every attempt formats from a fresh copy.
HRESULT FormatAttempt(BSTR* result, const wchar_t* format, va_list args, size_t size, bool* fits) noexcept {
    *fits = false;
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[size]);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, !buffer);
    va_list attempt;
    va_copy(attempt, args);
    // The Microsoft runtime's formatter: %s is a wide string here, and a text that does not fit with its
    // terminating zero answers -1 or exactly `size`.
    const int written = ::_vsnwprintf(buffer.get(), size, format, attempt);
    va_end(attempt);
    if (written < 0 || static_cast<size_t>(written) >= size) return S_OK;
    ql::Bstr text;
    QL_RETURN_IF_FAILED(text.Assign(std::wstring_view(buffer.get(), std::wcslen(buffer.get()))));
    *result = text.Detach();
    *fits = true;
    return S_OK;
}

}  // namespace

HRESULT BstrPrintf(BSTR* result, BSTR format, ...) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    QL_RETURN_HR_IF(E_INVALIDARG, !format);
    const size_t formatLength = ::SysStringLen(format);
    va_list args;
    va_start(args, format);
    HRESULT hr = S_OK;
    bool fits = false;
    for (size_t margin = kFirstMargin;; margin *= 2) {
        const size_t size = std::min(formatLength + margin, kLargestBuffer);
        hr = FormatAttempt(result, format, args, size, &fits);
        if (FAILED(hr) || fits || size >= kLargestBuffer) break;
    }
    va_end(args);
    QL_RETURN_IF_FAILED(hr);
    return fits ? S_OK : E_FAIL;
}

void ReportMessageV(CQuelkMessageSink* sink, const char* format, va_list args) noexcept {
    if (!sink || !format) return;
    char text[kReportTextLimit + 1];
    text[0] = '\0';
    va_list attempt;
    va_copy(attempt, args);
    (void)std::vsnprintf(text, sizeof text, format, attempt);  // cut to fit: see below
    va_end(attempt);
    // Whichever runtime formats (one cuts without terminating), the text ends inside the buffer: a longer
    // one keeps its first characters.
    text[kReportTextLimit] = '\0';
    ql::Bstr message;
    (void)AnsiToBstr(std::string_view(text), message);  // a null text still reaches the sink
    sink->DeliverMessage(message.Get());
}

void ReportDtmMessage(CQuelkMessageSink* sink, const char* format, ...) noexcept {
    va_list args;
    va_start(args, format);
    ReportMessageV(sink, format, args);
    va_end(args);
}
