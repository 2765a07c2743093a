#pragma once
// The composer's recipient text: entries separated by ';' or the full-width '；', each a
// contact picked with the selector ("<name>", its JID kept in the picker text as
// "name(jid)"), a typed JID, or a typed phone number of at least four digits, which goes to
// the SMS gateway of the user's server. GBK-aware throughout; no window needed.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace batch {

// A recipient entry that cannot be sent to: " %s 不合法,请选择或重输".
inline constexpr const char* kInvalidRecipientText = " %s 不合法,请选择或重输";
// A typed entry that names a picked contact again: logged at level 4 and skipped.
inline constexpr const char* kDuplicateRecipientLog = "群发消息用户名重复:%s";
inline constexpr int kDuplicateRecipientLogLevel = 4;
// The shortest text of digits taken for a phone number.
inline constexpr std::size_t kShortestPhoneNumber = 4;

struct ParsedRecipients {
    std::vector<std::string> jids;  // the valid recipients, in order
    // The first entry that is not valid (the parse stops there).
    std::optional<std::string> invalidEntry;
    // Typed entries skipped for naming a picked contact again.
    std::vector<std::string> duplicates;
};

// The entries of the recipient text, trimmed, without empty ones.
std::vector<std::string> SplitRecipientText(std::string_view text);

// Parses `text`: `pickerText` holds "name(jid)" for every contact picked so far, `smsHost`
// the SMS gateway's host (GetHostName).
ParsedRecipients ParseRecipients(std::string_view text, std::string_view pickerText,
                                 std::string_view smsHost);

// Whether a recipient's JID is an SMS recipient: "@SMS." after its first character, ASCII case
// ignored.
bool IsSmsRecipient(std::string_view jid);

// The name a recipient goes by in the recent contacts: a number's text before "@sms", a
// contact's JID otherwise.
std::string RecentContactName(std::string_view jid);

}  // namespace batch
