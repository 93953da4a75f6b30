// ql::SharedConst: one value behind every copy, freed exactly once by the last holder on whatever thread,
// and a failed Make that changes nothing.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "classlib/SharedConst.h"

namespace {

// Counts its live instances, so a leak or a double free shows.
struct Counted {
    static inline LONG live = 0;
    int value = 0;
    Counted() { ::InterlockedIncrement(&live); }
    ~Counted() { ::InterlockedDecrement(&live); }
};

TEST(SharedConstTest, CopiesShareOneValueThatTheLastHolderFrees) {
    {
        ql::SharedConst<Counted> first;
        EXPECT_FALSE(first);
        ASSERT_EQ(S_OK, first.Make([](Counted& made) {
            made.value = 7;
            return S_OK;
        }));
        ql::SharedConst<Counted> copy = first;
        ql::SharedConst<Counted> assigned;
        assigned = copy;
        EXPECT_EQ(first.Get(), copy.Get());
        EXPECT_EQ(first.Get(), assigned.Get());
        EXPECT_EQ(1, Counted::live);

        ql::SharedConst<Counted> moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(7, moved->value);
        first.Reset();
        assigned = ql::SharedConst<Counted>();
        EXPECT_EQ(1, Counted::live) << "one holder is left";
    }
    EXPECT_EQ(0, Counted::live);
}

TEST(SharedConstTest, AFailedMakeKeepsTheValueThatWasThere) {
    ql::SharedConst<Counted> held;
    ASSERT_EQ(S_OK, held.Make([](Counted& made) {
        made.value = 1;
        return S_OK;
    }));
    const Counted* before = held.Get();
    EXPECT_EQ(E_INVALIDARG, held.Make([](Counted& made) {
        made.value = 2;
        return E_INVALIDARG;
    }));
    EXPECT_EQ(before, held.Get());
    EXPECT_EQ(1, held->value);
    EXPECT_EQ(1, Counted::live) << "the value the failed Make began is gone";
    held.Reset();
    EXPECT_EQ(0, Counted::live);
}

// Records of one table are copied and dropped by datasets on several threads at once.
TEST(SharedConstTest, HoldersOnManyThreadsFreeTheValueOnce) {
    {
        ql::SharedConst<Counted> table;
        ASSERT_EQ(S_OK, table.Make([](Counted&) { return S_OK; }));
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([table] {
                for (int i = 0; i < 20000; ++i) {
                    ql::SharedConst<Counted> copy = table;
                    ql::SharedConst<Counted> other;
                    other = copy;
                    copy.Reset();
                }
            });
        }
        for (std::thread& thread : threads) thread.join();
        EXPECT_EQ(1, Counted::live);
    }
    EXPECT_EQ(0, Counted::live);
}

}  // namespace
