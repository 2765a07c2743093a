#pragma once
// The message categories of the message manager: fixed keys that stand where a contact's JID
// would, each with its label, its folder and how it is read from the store.

#include <span>
#include <string_view>

namespace history {

enum class CategoryQuery {
    SentByMe,      // my JID as sender, any receiver
    ReceivedByMe,  // any sender, my JID as receiver
    ByKey,         // the key as both parties
};

struct MessageCategory {
    std::string_view key;
    std::string_view label;
    std::string_view folder;
    CategoryQuery query;
    int typeFilter;  // the record types listed (kAllTypes: every type)
};

// Record types as the manager reads the stored type code.
inline constexpr int kChatType = 0;
inline constexpr int kSmsType = 11;
inline constexpr int kOtherType = 12;
inline constexpr int kAllTypes = 12;

inline constexpr std::string_view kMyMessagesFolder = "我的消息";
inline constexpr std::string_view kOtherMessagesFolder = "其它消息";

// Every category, in the order the folders show them.
std::span<const MessageCategory> MessageCategories();
// The category of `key`, or null when `key` names none.
const MessageCategory* FindCategory(std::string_view key);

// "0" is a chat message, "11" an SMS, any other code type 12.
int RecordType(std::string_view storedType);

}  // namespace history
