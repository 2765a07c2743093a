#pragma once
// SmsQuota: what the server last said the user may still send by SMS (immediate SMS under a
// quota kind, timed SMS) and the window in which a timed SMS may be scheduled. The window
// manager's one object is fed by the quota answers of the notification pump and lowered by
// the composer after each send until the next answer comes. UI thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/session/notify_record.h"

namespace batch {

inline constexpr int kQuotaPerDay = 1;
inline constexpr int kQuotaPerMonth = 2;
inline constexpr int kQuotaInTotal = 3;
inline constexpr std::uint32_t kUnlimitedTimedSms = 0xFFFFFFFFu;
// Timed SMS are offered only for a window that starts in this year or later.
inline constexpr int kEarliestTimedWindowYear = 2010;

// One end of the timed-SMS window.
struct QuotaMoment {
    std::uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    friend bool operator==(const QuotaMoment&, const QuotaMoment&) = default;
};

// "YYYY-MM-DD HH:MM" as the server writes a window end, read leniently: the year only when
// the first '-' stands after position 2, month to the next '-', day to the next blank, hour
// to the next ':', the minute the rest; each part as atoi reads it (cut to 16 bits).
QuotaMoment ParseQuotaMoment(std::string_view text);

class SmsQuota {
  public:
    // The quota answer: kind, remaining, third value.
    void OnQuotaAnswer(const platform::SmsQuotaData& answer);
    // The timed answer. An error code (a first field containing "-16_1") leaves the window
    // as it is and answers the tip to show for the codes that have one; any other answer
    // replaces the window and the timed count.
    std::optional<std::string> OnTimedAnswer(const platform::TimedSmsAnswerData& answer);
    // Everything back to zero, as at creation.
    void Clear() { *this = SmsQuota{}; }

    // True for kind 0, otherwise remaining >= n.
    bool CanSend(int n) const;
    // True while unlimited, otherwise the timed count (signed) >= n.
    bool CanSendTimed(int n) const;
    // Lowers the timed count (never while unlimited) or the remaining count by n.
    void Deduct(int n, bool timed);
    // The text that tells the user what is left.
    std::string QuotaText(bool timed) const;

    // Whether timed SMS may be offered: the window starts in 2010 or later and one more
    // timed SMS is allowed.
    bool TimedAvailable() const;
    // "时间范围:%d年%d月%d日 %d:%d — %d年%d月%d日 %d:%d" of the window.
    std::string TimedRangeLabel() const;

    // Whether any quota answer came since creation (or the last Clear).
    bool Known() const { return known_; }

    const QuotaMoment& windowStart() const { return start_; }
    const QuotaMoment& windowEnd() const { return end_; }
    int kind() const { return kind_; }
    int remaining() const { return remaining_; }
    std::uint32_t timedRemaining() const { return timedRemaining_; }
    int third() const { return third_; }

  private:
    QuotaMoment start_;
    QuotaMoment end_;
    int kind_ = 0;
    int remaining_ = 0;
    std::uint32_t timedRemaining_ = 0;
    int third_ = 0;
    bool known_ = false;
};

// The hints of the main window's search boxes: the phone search, and the contact search by
// the bits of SearchLev (bit 0 mobile numbers, bit 1 telephone numbers).
std::string PhoneSearchHint();
std::string ContactSearchHint(int searchLev);

}  // namespace batch
