#include "contacts/presence_table.h"

#include <array>

#include "os/text/cstring_ops.h"

namespace contacts {
namespace {

constexpr int kUnknownImage = 1;
constexpr std::string_view kUnknownLabel = "离线";

constexpr std::array<PresenceEntry, 8> kEntries{{
    {0, "online", "在线"},
    {0, "available", "在线"},
    {0, "chat", "可以聊天"},
    {8, "xa", "马上回来"},
    {7, "dnd", "忙碌"},
    {2, "away", "离开"},
    {1, "offline", "离线"},
    {7, "busy", "忙碌"},
}};

}  // namespace

const PresenceEntry* PresenceTable::Find(std::string_view word) const {
    for (const PresenceEntry& entry : kEntries) {
        if (os::EqualsNoCase(word, entry.word)) return &entry;
    }
    return nullptr;
}

int PresenceTable::GetImage(std::string_view word) const {
    const PresenceEntry* entry = Find(word);
    return entry != nullptr ? entry->image : kUnknownImage;
}

std::string PresenceTable::GetLabel(std::string_view word) const {
    const PresenceEntry* entry = Find(word);
    return std::string(entry != nullptr ? entry->label : kUnknownLabel);
}

PresenceClass PresenceTable::GetClass(std::string_view word) const {
    if (IsOnlineWord(word)) return PresenceClass::Online;
    if (IsOfflineWord(word)) return PresenceClass::Offline;
    return PresenceClass::Other;
}

bool PresenceTable::IsOnlineWord(std::string_view word) const {
    return os::EqualsNoCase(word, "online");
}

bool PresenceTable::IsOfflineWord(std::string_view word) const {
    return os::EqualsNoCase(word, "offline");
}

bool PresenceTable::IsAway(std::string_view word) const { return os::EqualsNoCase(word, "away"); }

bool PresenceTable::IsXa(std::string_view word) const { return os::EqualsNoCase(word, "xa"); }

bool PresenceTable::IsDnd(std::string_view word) const { return os::EqualsNoCase(word, "dnd"); }

}  // namespace contacts
