#pragma once
// Who shook a chat window last, and when. The window manager keeps one for the whole client
// and plugs it into every chat window it makes, so a contact who keeps sending shakes shakes
// a window at most once every 12 seconds, whichever window receives them. UI thread only.

#include <cstdint>
#include <string>
#include <string_view>

namespace chat {

class ShakeMemory {
  public:
    // A received shake shakes the window when it comes from another sender than the last
    // one that shook, or more than this many whole seconds after that sender's shake.
    static constexpr std::int64_t kQuietSeconds = 11;

    // Whether a shake from `senderJid` at `seconds` (whole seconds of the tick count) shakes;
    // when it does, it becomes the last shake.
    bool ShouldShake(std::string_view senderJid, std::int64_t seconds);
    // Forgets the last shake.
    void Reset();

  private:
    std::string lastSender_;
    std::int64_t lastSeconds_ = 0;
};

}  // namespace chat
