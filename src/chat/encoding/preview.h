#pragma once
// The short text of the new-message pop-up.

#include <optional>
#include <string>
#include <string_view>

#include "os/sys/clock.h"

namespace chat {

// The preview of a body: a body of 20 bytes or more is cut to its first 16 bytes (never half a
// character) + "..."; a system message previews as "[系统消息]"; then the shake, a picture, an
// offline file and faces get their labels.
std::string ToPreviewText(std::string_view body);

// Lets at most one preview (and with it one pop-up) through every 2000 ms of the clock; a
// message arriving sooner gets none. The first message always gets one.
class PreviewThrottle {
  public:
    static constexpr os::Millis kInterval = 2000;

    explicit PreviewThrottle(const os::Clock& clock) : clock_(clock) {}

    // The preview of `body`, or nothing when the last one was produced less than 2000 ms ago.
    std::optional<std::string> Next(std::string_view body);

  private:
    const os::Clock& clock_;
    std::optional<os::Millis> lastShown_;
};

}  // namespace chat
