#include "notify/message_archive.h"

#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "platform/services/shared_util.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace notify {

std::string StoreTimeText(const os::LocalTime& time) {
    return os::Format("%4d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                      time.minute, time.second);
}

bool IsKeptOutOfStore(std::string_view content) {
    static constexpr std::string_view kContained[] = {
        "协同办公系统通知",
        "该房间现在已解锁",
        "确认配置之前已锁住该房间，禁止进入",
    };
    if (content == "该房间不是匿名的。") return true;
    for (std::string_view text : kContained) {
        if (os::Find(content, text) >= 0) return true;
    }
    return false;
}

bool MessageArchive::StoreReceived(std::string_view from, std::string_view time,
                                   std::string_view contents, int type) {
    platform::SessionCore& session = context_.session;
    std::string account = session.GetCurrentUserLimitName();
    std::string ownJid = session.GetCurrentUserJID();
    if (account.empty()) {
        // The session ended after this was received and before it was handled: it is still
        // its user's message.
        account = context_.lastSessionAccount().limitName;
        ownJid = context_.lastSessionAccount().jid;
    }
    if (account.empty()) {
        context_.log.WriteLog2(2, os::Format("No user is logged in; message from %s not stored",
                                             std::string(from).c_str()));
        return false;
    }
    const std::string stamp =
        time.empty() ? StoreTimeText(context_.clock.LocalNow()) : std::string(time);
    const std::string sender(from);
    const std::string text(contents);

    const std::unique_ptr<CClientDB> db = context_.OpenStoreOf(account);
    if (db == nullptr) return false;
    if (db->AddMsg(sender.c_str(), ownJid.c_str(), stamp.c_str(), text.c_str(), "", "", "", type,
                   false, "", "", CClientDB::kStateUnhandled, nullptr)) {
        return true;
    }
    context_.prompter.MessageBox(db->GetErrorInfo());
    return false;
}

}  // namespace notify
