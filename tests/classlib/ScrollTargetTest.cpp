#include <gtest/gtest.h>

#include "classlib/ScrollTarget.h"

namespace {

TEST(ScrollTargetTest, MovesByTheCodeAndStaysWithinTheContents) {
    const struct {
        const char* name;
        UINT code;
        LONG position, thumb, page, total;
        LONG expected;
    } cases[] = {
        {"line down", SB_LINEDOWN, 10, 0, 100, 300, 11},
        {"line up at the top", SB_LINEUP, 0, 0, 100, 300, 0},
        {"page down", SB_PAGEDOWN, 10, 0, 100, 300, 110},
        {"page down past the end", SB_PAGEDOWN, 150, 0, 100, 300, 200},
        {"page up past the top", SB_PAGEUP, 50, 0, 100, 300, 0},
        {"thumb drag", SB_THUMBTRACK, 10, 170, 100, 300, 170},
        {"thumb position keeps", SB_THUMBPOSITION, 40, 170, 100, 300, 40},
        {"contents smaller than the window", SB_LINEDOWN, 0, 0, 300, 100, 0},
        {"end of a drag brings a stale position back", SB_ENDSCROLL, 260, 0, 100, 300, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, ql::ScrollTarget(c.code, c.position, c.thumb, c.page, c.total));
    }
}

}  // namespace
