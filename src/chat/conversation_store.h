#pragma once
// A conversation's messages in the logged-in user's message store: what the user sends is
// stored as sent by the user's own JID at the current time, and the recent messages with a
// peer are read back when a window opens. The store is reached through the client context
// (OpenUserStore), a handle per operation.

#include <optional>
#include <string>
#include <vector>

#include "chat/encoding/message_lines.h"
#include "core/client_context.h"

namespace chat {

// The first extra field of a stored message that was not sent (the network refused it).
inline constexpr const char* kNotSentMark = "notsent";

class ConversationStore {
  public:
    explicit ConversationStore(core::ClientContext& context) : context_(context) {}

    enum class Stored { Yes, Failed, NoStore };
    struct StoreResult {
        Stored stored = Stored::Yes;
        std::string errorText;  // the store's own error text when it failed
    };
    // Stores one message from the user to `to`, not yet handled, with `type`
    // (CClientDB::kTypeChat or kTypeSms). NoStore when the user has no user folder (logged).
    StoreResult StoreSent(const std::string& to, const std::string& contents, int type);

    // Copies of what one send gave to many recipients, stored at `time` ("%4d-%02d-%02d
    // %02d:%02d:%02d" or a timed SMS's send time) in one go: all of them or none. A copy
    // whose message did not go carries kNotSentMark in its first extra field, so the history
    // can say so. NoStore when the user has no user folder (logged).
    struct SentCopy {
        std::string to;
        std::string contents;
        int type = 0;
        bool sent = true;
    };
    StoreResult StoreSentCopies(const std::vector<SentCopy>& copies, const std::string& time);

    // Up to CountOfRecentChatContent stored messages with `peerJid`, oldest first, without the
    // newest one still waiting unread from the peer and everything after it (they are about
    // to be shown as new). The user's own messages are spoken by `ownName`, the others by
    // `peerName`. Nothing, with a log line, when the setting is below 1 or the store fails.
    std::optional<std::vector<RecentMessage>> RecentMessages(const std::string& peerJid,
                                                             const std::string& ownName,
                                                             const std::string& peerName);

    // "%4d-%02d-%02d %02d:%02d:%02d" of the clock's local time now.
    std::string NowText() const;

  private:
    core::ClientContext& context_;
};

}  // namespace chat
