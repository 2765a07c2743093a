#include "core/chat_window_registry.h"

#include <algorithm>

namespace core {

ChatWindow* ChatWindowRegistry::Find(std::string_view jid, platform::JidMatch match,
                                     const SameUser& sameUser) const {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if (sameUser((*it)->ContactJid(), jid, match)) return *it;
    }
    return nullptr;
}

void ChatWindowRegistry::Remove(ChatWindow& window) {
    auto it = std::find(windows_.rbegin(), windows_.rend(), &window);
    if (it != windows_.rend()) windows_.erase(std::next(it).base());
}

}  // namespace core
