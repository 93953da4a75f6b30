#pragma once
// Formatting of the system's texts: BstrPrintf builds a formatted BSTR (XPath expressions, FDT request
// documents, documentation lines, report headings), ReportDtmMessage formats a narrow message and hands it
// to a CQuelkMessageSink. Neither produces any other output.
#include <windows.h>

#include <oleauto.h>

#include <cstdarg>
#include <cstddef>

#include "values/QuelkMessageSink.h"

// A report keeps at most this many characters of its text; a longer one is cut, never overrun.
constexpr size_t kReportTextLimit = 4095;

// printf-style formatting into a new BSTR that the caller frees. `format` is a BSTR (its length comes from
// the length prefix) with the wide printf conventions of the Microsoft C runtime: %s and %ls take wide
// strings (pass BSTRs), %d and %u 32-bit integers. The work buffer starts at the format's length plus 512
// characters and doubles its margin until the text fits, up to 524288 characters (the text and its
// terminating zero). *result is written, without freeing what it held, only on S_OK.
// E_POINTER for a null result, E_INVALIDARG for a null format, E_OUTOFMEMORY when a buffer or the result
// cannot be allocated, E_FAIL when the text does not fit the largest buffer or cannot be formatted.
HRESULT BstrPrintf(BSTR* result, BSTR format, ...) noexcept;

// Formats a narrow printf message (the system's ANSI code page; %s takes a narrow string), cuts it to
// kReportTextLimit characters and hands it to `sink` as a BSTR. A null sink or format drops the message.
void ReportMessageV(CQuelkMessageSink* sink, const char* format, va_list args) noexcept;

// The DTM object's message report: ReportMessageV through the DTM's sink.
void ReportDtmMessage(CQuelkMessageSink* sink, const char* format, ...) noexcept;
