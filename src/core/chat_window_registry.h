#pragma once
// The registry of open chat windows, oldest first. It owns none: a chat window adds itself
// when it is created and removes itself when it is destroyed.

#include <functional>
#include <string_view>
#include <vector>

#include "core/chat_window.h"
#include "platform/jid/jid.h"

namespace core {

class ChatWindowRegistry {
  public:
    // Jid::Equal with whatever decides the SMS step (the window manager's IsSameUser).
    using SameUser = std::function<bool(std::string_view, std::string_view, platform::JidMatch)>;

    // The newest window whose contact is `jid` by `sameUser`; null when none.
    ChatWindow* Find(std::string_view jid, platform::JidMatch match,
                     const SameUser& sameUser) const;
    void Add(ChatWindow& window) { windows_.push_back(&window); }
    // Takes out the newest entry holding `window`; a window that is not listed is ignored.
    void Remove(ChatWindow& window);
    void Clear() { windows_.clear(); }
    const std::vector<ChatWindow*>& All() const { return windows_; }
    bool Empty() const { return windows_.empty(); }

  private:
    std::vector<ChatWindow*> windows_;
};

}  // namespace core
