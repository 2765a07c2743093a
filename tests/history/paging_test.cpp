#include "history/paging.h"

#include <gtest/gtest.h>

namespace {

using history::PageChoice;
using history::Paging;

TEST(HistoryPaging, NoRecordsGiveNoPagesAndNoButtons) {
    Paging paging;
    paging.Recompute(0, PageChoice::Reset);
    EXPECT_EQ(paging.pageCount, 0);
    EXPECT_EQ(paging.currentPage, 0);
    EXPECT_FALSE(paging.CanGoFirst());
    EXPECT_FALSE(paging.CanGoPrevious());
    EXPECT_FALSE(paging.CanGoNext());
    EXPECT_FALSE(paging.CanGoLast());
    EXPECT_FALSE(paging.Accepts(0));
    EXPECT_FALSE(paging.Accepts(1));
}

TEST(HistoryPaging, ButtonsFollowTheCurrentPage) {
    Paging paging;
    paging.Recompute(90, PageChoice::Reset);  // 3 pages at 30, the last shown
    ASSERT_EQ(paging.currentPage, 3);
    struct Expect {
        int page;
        bool first, previous, next, last;
    };
    for (const Expect e : {Expect{1, false, false, true, true}, Expect{2, true, true, true, true},
                           Expect{3, true, true, false, false}}) {
        paging.currentPage = e.page;
        EXPECT_EQ(paging.CanGoFirst(), e.first) << e.page;
        EXPECT_EQ(paging.CanGoPrevious(), e.previous) << e.page;
        EXPECT_EQ(paging.CanGoNext(), e.next) << e.page;
        EXPECT_EQ(paging.CanGoLast(), e.last) << e.page;
    }
}

TEST(HistoryPaging, KeepStaysOnItsPageUnlessThePagesShrank) {
    Paging paging;
    paging.Recompute(90, PageChoice::Reset);
    paging.currentPage = 2;
    paging.Recompute(89, PageChoice::Keep);
    EXPECT_EQ(paging.currentPage, 2);
    paging.Recompute(60, PageChoice::Keep);
    EXPECT_EQ(paging.pageCount, 2);
    EXPECT_EQ(paging.currentPage, 2);
    paging.currentPage = 1;
    paging.Recompute(30, PageChoice::Keep);
    EXPECT_EQ(paging.currentPage, 1);  // shrank: the last page, which is page 1
    paging.Recompute(0, PageChoice::Keep);
    EXPECT_EQ(paging.currentPage, 0);
}

TEST(HistoryPaging, TypedPageNumbersMustBeAPage) {
    Paging paging;
    paging.Recompute(31, PageChoice::Reset);
    EXPECT_FALSE(paging.Accepts(0));
    EXPECT_TRUE(paging.Accepts(1));
    EXPECT_TRUE(paging.Accepts(2));
    EXPECT_FALSE(paging.Accepts(3));
    EXPECT_FALSE(paging.Accepts(-1));
}

TEST(HistoryPaging, OnlyTheFourChoicesAreKeptAsPageSizes) {
    for (const int size : {30, 50, 100, 200}) EXPECT_EQ(history::ValidPageSize(size), size);
    for (const int size : {0, -30, 1, 29, 31, 20, 500}) EXPECT_EQ(history::ValidPageSize(size), 30);
}

}  // namespace
