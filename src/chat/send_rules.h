#pragma once
// The checks a message passes before it is sent, and the limits behind them. The chat window,
// the batch composer and the room window send under the same rules; none of this needs a
// window. A refusal says what to tell the user and what becomes of the input box.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "os/sys/clock.h"

namespace config {
struct ClientConfig;
}

namespace chat {

class SmsQuota;

enum class ChatMode { InstantMessage = 0, Sms = 1 };

inline constexpr std::size_t kMaxSmsBytes = 300;
inline constexpr std::size_t kMaxMessageBytes = 1000;
inline constexpr os::Millis kShakeSendIntervalMs = 10000;
// A timed SMS is refused for a send time before this year.
inline constexpr int kEarliestTimedSmsYear = 2010;

// A message as the user asks to send it.
struct Draft {
    std::string_view body;      // the encoded input (faces count six bytes each)
    int pictureCount = 0;       // pictures in the body
    bool timed = false;         // a timed SMS (SMS mode only)
    std::string_view sendTime;  // the chosen send time of a timed SMS, as typed
    bool peerOffline = false;   // the first participant is offline
    int recipients = 1;         // how many participants it goes to
};

// What the user is told when a send is refused, and what the input box does.
struct Refusal {
    enum class Shown { Tip, RedNotice, QueuedNotice, MessageBox };
    enum class Input { Unchanged, Focused, SelectedAndFocused };
    Shown shown = Shown::Tip;
    std::string text;
    Input input = Input::Unchanged;
    bool operator==(const Refusal&) const = default;
};

class SendRules {
  public:
    SendRules(const config::ClientConfig& config, ChatMode mode, SmsQuota& quota)
        : config_(config), mode_(mode), quota_(quota) {}

    // The checks in the order they run; the first that refuses answers, nothing when the
    // draft may go:
    // 1. a timed SMS needs a send time from 2010 on and the timed-SMS service (tip);
    // 2. an empty body is refused (tip, the input focused);
    // 3. SMS: no pictures (red notice, the input selected and focused), at most 300 bytes
    //    (message box); instant messages: no pictures to an offline peer (red notice), at most
    //    1000 bytes (message box);
    // 4. SMS with HasSmsLimit: the quota's own refusal (message box).
    std::optional<Refusal> Check(const Draft& draft) const;

    ChatMode mode() const { return mode_; }

  private:
    const config::ClientConfig& config_;
    ChatMode mode_;
    SmsQuota& quota_;
};

// The send time of a timed SMS, "YYYY-MM-DD HH:MM[:SS]" (surrounding blanks ignored).
struct SendTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::optional<SendTime> ParseSendTime(std::string_view text);
// The send time as the gateway takes it ("%04d-%02d-%02d %02d:%02d:%02d"), when `text` is a
// date that exists, read as local time, later than `nowUnixTime`; nothing otherwise.
std::optional<std::string> FutureSendTime(std::string_view text, std::int64_t nowUnixTime);

}  // namespace chat
