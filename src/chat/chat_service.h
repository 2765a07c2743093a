#pragma once
// ChatService: the rules of a conversation, without a window. It checks what the user asks to
// send, sends it to every participant (chat messages, SMS, SMS copies, gateway parts, the
// shake, pictures), stores what was sent, and says what the user is to be told. A chat
// window builds one for itself, gathers the input, calls it and shows what it reports through
// ChatFeedback; the batch composer and the room window send under the same rules.
//
// One service belongs to one conversation (it remembers when that conversation last sent a
// shake). UI thread only, like the windows that use it.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "chat/conversation_store.h"
#include "chat/encoding/message_lines.h"
#include "chat/recipient.h"
#include "chat/send_rules.h"
#include "core/client_context.h"

namespace chat {

class SmsQuota;

// What the service tells the user while it works, in the order it happens. The window shows
// it; tests record it.
class ChatFeedback {
  public:
    virtual ~ChatFeedback() = default;
    // A red notice in the message view.
    virtual void RedNotice(const std::string& text) = 0;
    // A notice through the view's queue of notices.
    virtual void QueuedNotice(const std::string& text) = 0;
    // A pop-up tip.
    virtual void Tip(const std::string& text) = 0;
    // A message box (caption "提示", OK).
    virtual void MessageBox(const std::string& text) = 0;
    // The user's own message as sent (header + body), under the user's speaker line.
    virtual void OwnMessage(const std::string& contents) = 0;
    // A timed SMS was taken by the gateway: the input box is emptied and focused.
    virtual void InputTaken() = 0;
};

// A message the user sends.
struct Outgoing {
    std::string body;      // the encoded input
    std::string header;    // the font header it goes with
    bool timed = false;    // a timed SMS
    std::string sendTime;  // a timed SMS's send time, as typed
};

class ChatService {
  public:
    ChatService(core::ClientContext& context, ChatMode mode, SmsQuota& quota);

    ChatMode mode() const { return rules_.mode(); }

    // The checks before a send (SendRules::Check) for `recipients` (the first is the peer).
    std::optional<Refusal> CheckSend(const Outgoing& message, int pictureCount,
                                     std::span<const Recipient> recipients) const;
    // The shake command's checks: one offline peer cannot be shaken (red notice); a shake
    // within 10 s of the last one sent is refused (queued notice).
    std::optional<Refusal> CheckShake(std::span<const Recipient> recipients) const;

    // Sends a checked message to every recipient in order, storing what went out:
    // - the shake body: refused within 10 s of the last one (queued notice), otherwise
    //   remembered and announced with the current time (queued notice);
    // - any other body except a timed SMS is shown as the user's own message first;
    // - instant messages go to each recipient (a failure is a red notice naming it, the
    //   others still get theirs), with an SMS copy where NeedsSmsCopy, each stored; to a
    //   gateway peer in GatewayParts;
    // - SMS go to each recipient's mobile number (tip "信息已提交！" per number taken); a
    //   timed SMS needs a send time in the future and goes to the first recipient only.
    // A failed store shows the store's error text in a message box; the message was sent.
    void Send(const Outgoing& message, std::span<const Recipient> recipients,
              ChatFeedback& feedback);

    // Sends each picture of the sent body (a file name in the temp folder) to the peer; any
    // failure gives one red notice.
    void SendPictures(const std::string& peerJid, std::span<const std::string> pictures,
                      ChatFeedback& feedback);

    // After a send: instant messages tell every participant the user is "active"; SMS with
    // HasSmsLimit refresh the quota.
    void AfterSend(bool timed, std::span<const std::string> participantJids);
    // Sends the typing state ("composing", "active") to every participant.
    void SendTypingState(std::span<const std::string> participantJids, std::string_view state);

    // The recent messages with the peer (ConversationStore::RecentMessages).
    std::optional<std::vector<RecentMessage>> RecentMessages(const std::string& peerJid,
                                                             const std::string& peerName);

    // "%4d-%02d-%02d %02d:%02d:%02d" of now.
    std::string NowText() const { return store_.NowText(); }

  private:
    bool ShakeRefusedByInterval() const;
    void SendInstantMessage(const std::string& body, const std::string& header,
                            std::span<const Recipient> recipients, ChatFeedback& feedback);
    void SendSms(const Outgoing& message, std::span<const Recipient> recipients,
                 ChatFeedback& feedback);
    void StoreSent(const std::string& to, const std::string& contents, int type,
                   ChatFeedback& feedback);
    std::string SmsJidOf(const std::string& mobile) const;
    // Every recipient goes to the top of the recent contacts (with HasRecentContact).
    void RememberRecentContacts(std::span<const Recipient> recipients);

    core::ClientContext& context_;
    SendRules rules_;
    ConversationStore store_;
    std::optional<os::Millis> lastSentShake_;
};

}  // namespace chat
