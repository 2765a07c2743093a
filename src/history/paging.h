#pragma once
// The paging of the message manager: how many records a page holds, how many pages there are
// and which one is shown. Page 1 holds the newest records, the last page the oldest.

#include <array>

namespace history {

// The page sizes the user chooses from; the first is the default.
inline constexpr std::array<int, 4> kPageSizes = {30, 50, 100, 200};

// A stored page size, or the default when it is not one of the choices.
int ValidPageSize(int stored);

enum class PageChoice { Keep, Reset };

struct PageSlice {
    int start = 0;  // first list index on the page
    int end = 0;    // one past the last
};

struct Paging {
    int perPage = kPageSizes[0];
    int pageCount = 0;
    int currentPage = 0;  // 1-based; 0 while there are no pages

    // Recounts the pages for `total` records. Reset (or fewer pages than before) shows the
    // last page; Keep leaves the current page otherwise.
    void Recompute(int total, PageChoice choice);

    bool CanGoFirst() const { return pageCount > 0 && currentPage != 1; }
    bool CanGoPrevious() const { return pageCount > 0 && currentPage > 1; }
    bool CanGoNext() const { return pageCount > 0 && currentPage < pageCount; }
    bool CanGoLast() const { return pageCount > 0 && currentPage != pageCount; }
    // A page number typed by the user is one of the pages.
    bool Accepts(int page) const { return page >= 1 && page <= pageCount; }

    // The list indexes on the current page of a list of `total` records.
    PageSlice Slice(int total) const;
};

}  // namespace history
