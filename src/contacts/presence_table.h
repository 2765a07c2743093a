#pragma once
// Presence words and how the trees show them: each word's icon (an index into the trees'
// image list), its label, and the class that orders users by presence.
//
// The table is fixed; every PresenceTable reads the same one, so the window manager's
// instance and a tree's answer alike. Look-ups ignore ASCII case ("Away" is "away").

#include <string>
#include <string_view>

namespace contacts {

// Icons of the trees' image list that are not presence icons.
inline constexpr int kSmsRecipientImage = 5;  // SMS recipients, whatever their presence
inline constexpr int kPlaceholderImage = 10;  // "(无数据)" and "please wait" children

struct PresenceEntry {
    int image = 0;
    std::string_view word;
    std::string_view label;  // GBK
};

// Presence classes, in the order sort mode 1 lists users.
enum class PresenceClass { Online = 1, Other = 2, Offline = 3 };

class PresenceTable {
  public:
    // The entry of `word` (any case), or null for a word the table does not hold.
    const PresenceEntry* Find(std::string_view word) const;

    // Icon and label of a word; an unknown word shows the offline icon 1 and "离线".
    int GetImage(std::string_view word) const;
    std::string GetLabel(std::string_view word) const;
    // 1 for "online", 3 for "offline", 2 for every other word (known or not).
    PresenceClass GetClass(std::string_view word) const;

    bool IsOnlineWord(std::string_view word) const;
    bool IsOfflineWord(std::string_view word) const;
    bool IsAway(std::string_view word) const;
    bool IsXa(std::string_view word) const;
    bool IsDnd(std::string_view word) const;
    // The word a user takes when nothing else is said: "online".
    std::string DefaultWord() const { return "online"; }
};

}  // namespace contacts
