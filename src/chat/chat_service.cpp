#include "chat/chat_service.h"

#include "chat/chat_doors.h"
#include "chat/chat_rich_view.h"
#include "chat/encoding/gateway_address.h"
#include "chat/encoding/markers.h"
#include "chat/sms_copy.h"
#include "config/client_config.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace chat {
namespace {

std::string RefusedShakeText() {
    const std::string line(kSeparatorLine);
    return os::Format("%s\r\n%s\r\n%s", line.c_str(), "您不能频繁发送闪屏振动", line.c_str());
}

}  // namespace

ChatService::ChatService(core::ClientContext& context, ChatMode mode, SmsQuota& quota)
    : context_(context), rules_(context.config, mode, quota), store_(context) {}

std::optional<Refusal> ChatService::CheckSend(const Outgoing& message, int pictureCount,
                                              std::span<const Recipient> recipients) const {
    Draft draft;
    draft.body = message.body;
    draft.pictureCount = pictureCount;
    draft.timed = message.timed;
    draft.sendTime = message.sendTime;
    draft.peerOffline = !recipients.empty() && recipients.front().offline;
    draft.recipients = static_cast<int>(recipients.size());
    return rules_.Check(draft);
}

bool ChatService::ShakeRefusedByInterval() const {
    return lastSentShake_ && context_.clock.Now() - *lastSentShake_ < kShakeSendIntervalMs;
}

std::optional<Refusal> ChatService::CheckShake(std::span<const Recipient> recipients) const {
    if (recipients.size() == 1 && recipients.front().offline) {
        return Refusal{Refusal::Shown::RedNotice, "对方不在线，您不能发送闪屏振动"};
    }
    if (ShakeRefusedByInterval()) return Refusal{Refusal::Shown::QueuedNotice, RefusedShakeText()};
    return std::nullopt;
}

void ChatService::Send(const Outgoing& message, std::span<const Recipient> recipients,
                       ChatFeedback& feedback) {
    if (recipients.empty()) return;
    const std::string& body = message.body;
    if (IsShake(body)) {
        if (ShakeRefusedByInterval()) {
            feedback.QueuedNotice(RefusedShakeText());
            return;
        }
        lastSentShake_ = context_.clock.Now();
        const std::string line(kSeparatorLine);
        feedback.QueuedNotice(os::Format("%s\r\n%s %s\r\n%s", line.c_str(), NowText().c_str(),
                                         "您发送了一个闪屏振动", line.c_str()));
    } else if (!message.timed) {
        feedback.OwnMessage(message.header + body);
    }

    if (mode() == ChatMode::Sms) {
        SendSms(message, recipients, feedback);
    } else if (IsGatewayJid(recipients.front().jid)) {
        for (const std::string& part : GatewayParts(body)) {
            SendInstantMessage(part, message.header, recipients, feedback);
        }
    } else {
        SendInstantMessage(body, message.header, recipients, feedback);
    }
    RememberRecentContacts(recipients);
}

void ChatService::RememberRecentContacts(std::span<const Recipient> recipients) {
    if (context_.config.HasRecentContact == 0) return;
    core::ContactService& contacts = *context_.doors().contacts;
    for (const Recipient& recipient : recipients) {
        if (mode() != ChatMode::Sms) {
            contacts.AddRecentContact(recipient.jid, {});
        } else if (!recipient.mobile.empty()) {
            contacts.AddRecentContact(SmsJidOf(recipient.mobile), recipient.displayName);
        }
    }
}

std::string ChatService::SmsJidOf(const std::string& mobile) const {
    return SmsJid(mobile, context_.session.GetHostName());
}

void ChatService::StoreSent(const std::string& to, const std::string& contents, int type,
                            ChatFeedback& feedback) {
    const ConversationStore::StoreResult result = store_.StoreSent(to, contents, type);
    if (result.stored == ConversationStore::Stored::Failed) feedback.MessageBox(result.errorText);
}

void ChatService::SendInstantMessage(const std::string& body, const std::string& header,
                                     std::span<const Recipient> recipients,
                                     ChatFeedback& feedback) {
    const int nickFlag = context_.config.SmsHasNickName;
    for (const Recipient& recipient : recipients) {
        if (context_.session.SendChatMessage(recipient.jid, body, header) == 0) {
            feedback.RedNotice(os::Format("网络繁忙，无法将消息 %s 发送给 %s", body.c_str(),
                                          recipient.displayName.c_str()));
        }

        if (NeedsSmsCopy(recipient)) {
            const std::string smsJid = SmsJidOf(recipient.mobile);
            if (context_.session.SendTelMessage(smsJid, body, nickFlag, 0) == 0) {
                feedback.RedNotice(os::Format("网络繁忙，无法将短信 %s 发送给 %s", body.c_str(),
                                              recipient.displayName.c_str()));
            }
            StoreSent(smsJid, body, CClientDB::kTypeSms, feedback);
        }

        if (IsGatewayJid(recipient.jid)) {
            // A gateway contact is stored under its own address, the body without header.
            StoreSent(GatewayStoreAddress(recipient.jid), body, CClientDB::kTypeChat, feedback);
        } else {
            StoreSent(recipient.jid, header + body, CClientDB::kTypeChat, feedback);
        }
    }
}

void ChatService::SendSms(const Outgoing& message, std::span<const Recipient> recipients,
                          ChatFeedback& feedback) {
    const std::string& text = message.body;
    const int nickFlag = context_.config.SmsHasNickName;
    const int timedFlag = message.timed ? 1 : 0;
    if (!message.timed) {
        for (const Recipient& recipient : recipients) {
            if (recipient.mobile.empty()) {
                feedback.RedNotice("该用户手机信息为空，不能发送短信!");
                continue;
            }
            const std::string smsJid = SmsJidOf(recipient.mobile);
            if (context_.session.SendTelMessage(smsJid, text, nickFlag, timedFlag) == 0) {
                feedback.RedNotice(os::Format("网络繁忙，无法将短信 %s 发送给 %s", text.c_str(),
                                              recipient.displayName.c_str()));
            } else {
                feedback.Tip("信息已提交！");
            }
            StoreSent(smsJid, text, CClientDB::kTypeSms, feedback);
        }
        return;
    }

    const std::optional<std::string> sendTime =
        FutureSendTime(message.sendTime, context_.clock.UnixTime());
    if (!sendTime) {
        feedback.MessageBox("时间范围错误，请从新选择！");
        return;
    }
    const Recipient& peer = recipients.front();
    if (peer.mobile.empty()) {
        feedback.RedNotice("该用户手机信息为空，不能发送短信!");
        return;
    }
    const std::string smsJid = SmsJidOf(peer.mobile);
    if (context_.session.SendTimerSMS(smsJid, text, *sendTime, nickFlag, timedFlag) == 0) {
        feedback.RedNotice(os::Format("网络繁忙，无法将定时短信 %s 发送给 %s", text.c_str(),
                                      peer.displayName.c_str()));
    } else {
        feedback.OwnMessage(message.header + text);
        feedback.Tip("信息已提交！");
        feedback.InputTaken();
    }
    StoreSent(smsJid, text, CClientDB::kTypeSms, feedback);
}

void ChatService::SendPictures(const std::string& peerJid, std::span<const std::string> pictures,
                               ChatFeedback& feedback) {
    bool failed = false;
    for (const std::string& name : pictures) {
        const std::string path = context_.folders.commonDir + "temp/" + name;
        const int dot = os::ReverseFind(name, '.');
        const std::string key = dot > 0 ? os::Left(name, dot) : name;
        if (context_.session.SendFile(peerJid, path, key, 0) == platform::kSendFileFailed) {
            failed = true;
        }
    }
    if (failed) feedback.RedNotice("文件传输服务异常,发送截屏文件失败!");
}

void ChatService::AfterSend(bool timed, std::span<const std::string> participantJids) {
    if (mode() == ChatMode::InstantMessage) {
        SendTypingState(participantJids, "active");
    } else if (context_.config.HasSmsLimit != 0) {
        context_.session.QuerySmsLimitInfo(timed ? 1 : 0);
    }
}

void ChatService::SendTypingState(std::span<const std::string> participantJids,
                                  std::string_view state) {
    const std::string own = context_.session.GetCurrentUserJID();
    for (const std::string& jid : participantJids) {
        context_.session.SendInputStateMessage(own, jid, state);
    }
}

std::optional<std::vector<RecentMessage>> ChatService::RecentMessages(const std::string& peerJid,
                                                                      const std::string& peerName) {
    return store_.RecentMessages(peerJid, context_.session.GetCurrentUserNickName(), peerName);
}

}  // namespace chat
