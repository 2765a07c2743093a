#pragma once
// BatchSender: the rules of the batch composer without its window. It checks a send in the
// composer's order (the timed window, the recipients, their number, the text and its length,
// the SMS quota), then sends: every chat recipient gets its own message, the SMS recipients
// one batch SMS (now, or at the chosen time), and every recipient a stored copy. The limits,
// SMS addresses, gateway addresses and storing are the chat service's. UI thread only.
//
// A batch the gateway refuses is not reported as taken: the user is told the network is busy
// and the stored copies carry chat::kNotSentMark, so the history shows them as not sent.

#include <optional>
#include <string>
#include <vector>

#include "batch/recipient_parser.h"
#include "chat/conversation_store.h"
#include "core/client_context.h"
#include "core/doors/batch_service.h"
#include "os/prompt/message_box.h"
#include "os/prompt/prompter.h"

namespace batch {

class SmsQuota;

// The composer's third mode: the SMS layout, opened for a timed SMS.
inline constexpr int kComposerTimedSms = 3;
inline constexpr int kMaxSmsPerSendWithQuota = 400;

inline constexpr const char* kBatchBusyText = "网络繁忙，无法群发短信。";
inline constexpr const char* kBatchBusyCaption = "群发提示";
inline constexpr const char* kSubmittedTip = "信息已提交！";
inline constexpr const char* kNoTimedSmsText = "不能发送定时短信或未开通该功能。";

// Whether a composer mode uses the SMS layout and rules.
constexpr bool IsSmsMode(int mode) { return mode != core::kComposerMessages; }

// What the user asks to send.
struct BatchDraft {
    int mode = core::kComposerSms;
    std::string recipientText;
    std::string pickerText;  // "name(jid)" of every picked contact
    std::string contents;
    bool timed = false;
    std::string sendTime;  // a timed SMS's send time, as the gateway takes it
    bool receipt = false;  // "短信到达对方手机通知我"
};

// What the user is told, and where the caret goes.
struct BatchNotice {
    enum class Shown { Tip, MessageBox };
    Shown shown = Shown::MessageBox;
    std::string text;
    std::string caption = os::kDefaultCaption;
    os::UINT icon = 0;
    bool focusContents = false;
    bool operator==(const BatchNotice&) const = default;
};

// What a send did.
struct BatchOutcome {
    std::vector<std::string> chatRecipients;
    std::vector<std::string> smsRecipients;
    bool smsTaken = false;             // the gateway took the batch (or there was none)
    std::vector<BatchNotice> notices;  // shown in this order
};

class BatchSender {
  public:
    BatchSender(core::ClientContext& context, SmsQuota& quota);

    // The checks before a send, in order; the first refusal, or the parsed recipients.
    // Duplicated entries are logged ("群发消息用户名重复:%s", level 4).
    struct Checked {
        std::optional<BatchNotice> refusal;
        std::vector<std::string> recipients;
    };
    Checked Check(const BatchDraft& draft) const;

    // Checks, then sends and stores. The refusal alone when a check refuses.
    BatchOutcome Send(const BatchDraft& draft);

    // "%4d-%02d-%02d %02d:%02d:%02d" of now.
    std::string NowText() const { return store_.NowText(); }

  private:
    core::ClientContext& context_;
    SmsQuota& quota_;
    mutable chat::ConversationStore store_;
};

}  // namespace batch
