#pragma once
// The notice list behind the notice window: newest arrival first, the page's rows, its
// status and delete requests, and its sort. The page reads the list as rows of fields: a
// row is the id and then each field after the two-character text "\t"; rows are joined by
// the four-character text "\r\n". A backslash inside a field is doubled, so no field text
// can end its field or row early; the page reads the escapes in one pass.
//
// The sort settings live as long as the list (the process, in the client). UI thread.

#include <string>
#include <string_view>
#include <vector>

#include "history/rtoa_body.h"

namespace os {
class Log;
}

namespace history {

inline constexpr std::string_view kOaFieldSeparator = "\\t";
inline constexpr std::string_view kOaRowEnd = "\\r\\n";

// The ids of a page's list: decimal ids, each followed by "\t" (a tab character is taken too).
std::vector<long> ParseOaIdList(std::string_view ids);

// The address a notice leads to: JumpUrl, then "?" (or "&" when it already has a "?") and
// JumpUrlParam.
std::string OaPageAddress(const RTOABody& notice);

class RTOAList {
  public:
    explicit RTOAList(os::Log& log) : log_(log) {}

    // Forgets the list and takes `stored` in the store's order.
    void Load(std::vector<RTOABody> stored);
    void PushFront(RTOABody notice);
    const std::vector<RTOABody>& notices() const { return notices_; }

    int getCount() const { return static_cast<int>(notices_.size()); }
    // The rows of the notices at positions start … end−1.
    std::string getPageContent(long start, long end) const;
    // Marks the listed notices read in the list; the caller tells the store.
    void updateStatus(std::string_view ids);
    // Removes the listed notices from the list; the caller tells the store.
    void deleteScheduler(std::string_view ids);
    // Sorts by a column name ("业务系统", "标题", "发件人", "时间", "状态"), order "0"
    // ascending or "1" descending.
    void Sort(std::string_view field, std::string_view order);

    const std::string& sortField() const { return sortField_; }
    int sortOrder() const { return sortOrder_; }

  private:
    bool IsNeedSwap(const RTOABody& a, const RTOABody& b) const;

    os::Log& log_;
    std::vector<RTOABody> notices_;
    std::string sortField_ = "strSendTime";
    int sortOrder_ = 0;
};

}  // namespace history
