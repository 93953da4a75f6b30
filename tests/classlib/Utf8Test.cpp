#include <gtest/gtest.h>

#include "classlib/Utf8.h"

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

}  // namespace
