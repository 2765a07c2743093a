#include "batch/batch_sender.h"

#include "batch/sms_quota.h"
#include "chat/encoding/gateway_address.h"
#include "chat/send_rules.h"
#include "config/client_config.h"
#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace batch {
namespace {

BatchNotice Box(std::string text, os::UINT icon = 0, std::string caption = os::kDefaultCaption) {
    return BatchNotice{BatchNotice::Shown::MessageBox, std::move(text), std::move(caption), icon,
                       false};
}

BatchNotice Tip(std::string text, bool focusContents = false) {
    return BatchNotice{BatchNotice::Shown::Tip, std::move(text), os::kDefaultCaption, 0,
                       focusContents};
}

}  // namespace

BatchSender::BatchSender(core::ClientContext& context, SmsQuota& quota)
    : context_(context), quota_(quota), store_(context) {}

BatchSender::Checked BatchSender::Check(const BatchDraft& draft) const {
    const config::ClientConfig& config = context_.config;
    const bool sms = IsSmsMode(draft.mode);
    const bool timed = sms && draft.timed;
    Checked checked;
    if (timed && !quota_.TimedAvailable()) {
        checked.refusal = Tip(kNoTimedSmsText);
        return checked;
    }

    const ParsedRecipients parsed =
        ParseRecipients(draft.recipientText, draft.pickerText, context_.session.GetHostName());
    for (const std::string& duplicate : parsed.duplicates) {
        context_.log.WriteLog2(kDuplicateRecipientLogLevel,
                               os::Format(kDuplicateRecipientLog, duplicate.c_str()));
    }
    if (parsed.invalidEntry) {
        checked.refusal =
            Box(os::Format(kInvalidRecipientText, parsed.invalidEntry->c_str()), os::MB_ICONERROR);
        return checked;
    }
    const int count = static_cast<int>(parsed.jids.size());
    if (count == 0) {
        checked.refusal = Box("接收者列表为空。\n请添加接收消息的用户名到列表中",
                              os::MB_ICONINFORMATION, "发送消息");
        return checked;
    }
    if (count > config.MaxGroupSMSCount) {
        checked.refusal =
            Box(os::Format("接收信息人数超过每次允许的最大限制(%d人)。\r\n请减少接收人数。",
                           config.MaxGroupSMSCount));
        return checked;
    }
    if (draft.contents.empty()) {
        checked.refusal = Tip("请输入消息内容", true);
        return checked;
    }
    if (!sms && draft.contents.size() > chat::kMaxMessageBytes) {
        checked.refusal = Box(
            os::Format("消息太长(不能超过 %d 个字符)", static_cast<int>(chat::kMaxMessageBytes)));
        return checked;
    }
    if (sms && draft.contents.size() > chat::kMaxSmsBytes) {
        checked.refusal = Box(os::Format("短信太长(不能超过 %d 个英文字符,一个汉字算2个英文字符)",
                                         static_cast<int>(chat::kMaxSmsBytes)));
        return checked;
    }
    if (sms && config.HasSmsLimit != 0) {
        const bool allowed = timed ? quota_.CanSendTimed(count) : quota_.CanSend(count);
        if (!allowed) {
            checked.refusal = Box(os::Format("%s\n而接收者列表中有 %d 位接收者.请减少接收者人数。",
                                             quota_.QuotaText(timed).c_str(), count),
                                  os::MB_ICONINFORMATION);
            return checked;
        }
        // Refused before anything is counted against the quota.
        if (count > kMaxSmsPerSendWithQuota) {
            checked.refusal =
                Box(os::Format("单次群发短信最大为%d条,请减少接收者人数", kMaxSmsPerSendWithQuota));
            return checked;
        }
    }
    checked.recipients = parsed.jids;
    return checked;
}

BatchOutcome BatchSender::Send(const BatchDraft& draft) {
    BatchOutcome outcome;
    const Checked checked = Check(draft);
    if (checked.refusal) {
        outcome.notices.push_back(*checked.refusal);
        return outcome;
    }
    const config::ClientConfig& config = context_.config;
    platform::SessionCore& session = context_.session;
    const bool sms = IsSmsMode(draft.mode);
    const bool timed = sms && draft.timed;
    const std::string time = timed ? draft.sendTime : store_.NowText();

    std::vector<chat::ConversationStore::SentCopy> copies;
    std::string smsList;
    for (const std::string& jid : checked.recipients) {
        if (config.HasRecentContact != 0) {
            // A number goes by its digits; a chat contact by its own name.
            context_.doors().contacts->AddRecentContact(
                jid, IsSmsRecipient(jid) ? RecentContactName(jid) : std::string());
        }
        if (IsSmsRecipient(jid)) {
            if (!smsList.empty()) smsList += ';';
            smsList += os::MakeUpper(jid);
            outcome.smsRecipients.push_back(jid);
            continue;
        }
        const bool sent = session.SendChatMessage(jid, draft.contents, "") != 0;
        outcome.chatRecipients.push_back(jid);
        const std::string to = chat::IsGatewayJid(jid) ? chat::GatewayStoreAddress(jid) : jid;
        copies.push_back({to, draft.contents, CClientDB::kTypeChat, sent});
    }

    outcome.smsTaken = true;
    if (!smsList.empty()) {
        const int nickFlag = config.SmsHasNickName != 0 ? 1 : 0;
        const int receipt = draft.receipt ? 1 : 0;
        outcome.smsTaken =
            (timed
                 ? session.SendTimerSMS(smsList, draft.contents, draft.sendTime, nickFlag, receipt)
                 : session.BatchSendSms(smsList, draft.contents, nickFlag, receipt)) != 0;
        const int count = static_cast<int>(outcome.smsRecipients.size());
        if (outcome.smsTaken) {
            if (config.HasSmsLimit != 0) quota_.Deduct(count, timed);
            outcome.notices.push_back(Tip(kSubmittedTip));
        } else {
            outcome.notices.push_back(Box(kBatchBusyText, 0, kBatchBusyCaption));
        }
        for (const std::string& jid : outcome.smsRecipients) {
            copies.push_back({jid, draft.contents, CClientDB::kTypeSms, outcome.smsTaken});
        }
    }

    const chat::ConversationStore::StoreResult stored = store_.StoreSentCopies(copies, time);
    if (stored.stored == chat::ConversationStore::Stored::Failed) {
        outcome.notices.push_back(Box(stored.errorText));
    }
    if (sms && config.HasSmsLimit != 0) session.QuerySmsLimitInfo(timed ? 1 : 0);
    return outcome;
}

}  // namespace batch
