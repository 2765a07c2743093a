#include "history/paging.h"

#include <algorithm>

namespace history {

int ValidPageSize(int stored) {
    return std::find(kPageSizes.begin(), kPageSizes.end(), stored) != kPageSizes.end()
               ? stored
               : kPageSizes[0];
}

void Paging::Recompute(int total, PageChoice choice) {
    const int per = std::max(perPage, 1);
    const int pages = total > 0 ? (total + per - 1) / per : 0;
    const bool shrank = pages < pageCount;
    pageCount = pages;
    if (choice == PageChoice::Reset || shrank) currentPage = pages;
}

PageSlice Paging::Slice(int total) const {
    PageSlice slice;
    slice.start = (pageCount - currentPage) * perPage;
    if (slice.start < 1) slice.start = 0;
    slice.end = std::min(slice.start + perPage, total);
    if (slice.end < slice.start) slice.end = slice.start;
    return slice;
}

}  // namespace history
