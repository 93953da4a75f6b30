// One object per apartment thread, shared while someone on the thread holds it: the objects inside are
// apartment-bound, so a thread must never be handed another thread's, and a thread whose holders are all
// gone must get a fresh one (what the old one held was released with it).
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "classlib/ApartmentShared.h"

namespace {

struct Counted {
    static int made;
    Counted() { ++made; }
};
int Counted::made = 0;

using Shared = ql::ApartmentShared<Counted>;

TEST(ApartmentSharedTest, EachThreadHasItsOwnWhileItsHoldersLive) {
    Counted::made = 0;
    EXPECT_EQ(nullptr, Shared::Peek());
    std::shared_ptr<Counted> first = Shared::Hold();
    std::shared_ptr<Counted> second = Shared::Hold();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, Shared::Peek());
    EXPECT_EQ(1, Counted::made);

    std::shared_ptr<Counted> otherThreads;
    std::thread other([&] {
        otherThreads = Shared::Hold();
        EXPECT_EQ(otherThreads, Shared::Peek());
    });
    other.join();
    EXPECT_NE(first, otherThreads);
    EXPECT_EQ(first, Shared::Peek()) << "the other thread's object is not this thread's";

    // The other thread is gone and its object still held: a thread made now gets one of its own.
    std::thread later([&] { EXPECT_EQ(nullptr, Shared::Peek()); });
    later.join();

    first.reset();
    second.reset();
    EXPECT_EQ(nullptr, Shared::Peek());
    EXPECT_NE(nullptr, Shared::Hold());
    EXPECT_EQ(3, Counted::made);
}

}  // namespace
