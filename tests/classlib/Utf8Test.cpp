#include <gtest/gtest.h>

#include <cstdio>

#include "classlib/Utf8.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(Utf8Test, RoundTripsCharactersOutsideTheAnsiCodePage) {
    const struct {
        std::wstring wide;
        std::string utf8;
    } cases[] = {
        // Not L"": under the precompiled header GCC 12 falsely warns about copying it.
        {std::wstring(), std::string()},
        {L"Durchfluss \u00fc", "Durchfluss \xc3\xbc"},
        {L"\u6d41\u91cf", "\xe6\xb5\x81\xe9\x87\x8f"},
        {L"\U0001F600", "\xf0\x9f\x98\x80"},  // a surrogate pair
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(c.utf8, ql::Utf8FromWide(c.wide));
        EXPECT_EQ(c.wide, ql::WideFromUtf8(c.utf8));
    }
}

// Each line ends once, in the stream's own way: a file or pipe that stdout is redirected to is in text mode
// and writes CR LF itself; a binary stream keeps LF.
TEST(Utf8Test, WritesOneLineEndInTheStreamsMode) {
    const vtest::TempFolder folder;
    const struct {
        const wchar_t* mode;
        std::string written;
    } cases[] = {
        {L"w", "state 1: created\r\nDurchfluss \xc3\xbc\r\n\r\n"},
        {L"wb", "state 1: created\nDurchfluss \xc3\xbc\n\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ql::Utf8FromWide(c.mode));
        std::FILE* stream = ::_wfopen(folder.File(L"out.txt").c_str(), c.mode);
        ASSERT_NE(nullptr, stream);
        ql::WriteUtf8(stream, L"state 1: created\n");
        ql::PrintUtf8(stream, L"%ls %lc\n\n", L"Durchfluss", L'\u00fc');
        std::fclose(stream);
        EXPECT_EQ(c.written, folder.Read(L"out.txt"));
    }
}

}  // namespace
