#include "notify/client_jobs.h"

#include "contacts/contact_trees.h"
#include "core/chat_window.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "login/dlg_login.h"
#include "notify/ui_subcodes.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"

namespace notify {

// ---- UI thread

ClientUiJobs::ClientUiJobs(core::ClientContext& context, contacts::ContactTrees& trees)
    : context_(context), trees_(trees) {}

void ClientUiJobs::LoginResult(const Record& record) {
    const auto* result = record.As<platform::LoginResultData>();
    auto* panel = dynamic_cast<CDlgLogin*>(
        context_.windows.FromHandle(context_.windowManager().LoginPanel()));
    if (result == nullptr || panel == nullptr) {
        context_.log.WriteLog2(2, "Login result without a login panel or data ignored");
        return;
    }
    panel->OnLoginResult(*result);
}

void ClientUiJobs::PresenceChanged(const Record& record) {
    const contacts::PresenceOutcome outcome = trees_.OnPresenceNotify(record);
    const auto* data = record.As<platform::PresenceData>();
    const std::string word = contacts::ContactTrees::PresenceWordOf(record);
    if (data != nullptr && !word.empty()) {
        core::IWindowManager& manager = context_.windowManager();
        if (core::ChatWindow* chat = manager.FindChatWindow(data->jid, platform::JidMatch::Loose)) {
            chat->OnPeerPresence(word);
        }
    }
    if (outcome.statusTip) {
        context_.windows.SendMessage(context_.windowManager().MainPanel(), core::WM_IM_NOTIFY,
                                     ui::kStatusTip,
                                     reinterpret_cast<os::LPARAM>(&*outcome.statusTip));
    }
}

void ClientUiJobs::Vcard(const Record& record) {
    if (const auto* slots = record.As<platform::SlotData>(); slots && !slots->slots.empty()) {
        context_.log.WriteLog(
            os::Format("****收到GOV好友Vcard信息 %s\r\n", slots->slots.front().c_str()));
    }
    trees_.OnVcardNotify(record);
}

void ClientUiJobs::ChannelList(const Record& /*record*/) {
    context_.windowManager().SwitchInterface(core::ClientInterface::PostLogin);
}

std::optional<os::LRESULT> ClientUiJobs::OtherSubcode(int subcode, os::LPARAM lParam) {
    if (subcode != ui::kStatusTip) return std::nullopt;
    if (lParam != 0) trees_.OnStatusTip(*reinterpret_cast<const std::string*>(lParam));
    return 0;
}

// ---- Notification thread

ClientDirectJobs::ClientDirectJobs(core::ClientContext& context, contacts::ContactTrees& trees)
    : context_(context), trees_(trees) {}

void ClientDirectJobs::TypingState(const Record& record) {
    const auto* data = record.As<platform::TypingStateData>();
    if (data == nullptr || data->from.empty()) return;
    core::IWindowManager& manager = context_.windowManager();
    context_.windows.SendTask(manager.MainPanel(), [&manager, data] {
        if (core::ChatWindow* chat =
                manager.FindChatWindow(data->from, platform::JidMatch::Loose)) {
            chat->OnInputState(data->state, data->from);
        }
    });
}

std::optional<std::string> ClientDirectJobs::ContactSubscription(std::string_view jid) {
    // The trees belong to the UI thread: ask there, and wait for the answer.
    std::optional<std::string> subscription;
    const std::string wanted(jid);
    context_.windows.SendTask(context_.windowManager().MainPanel(),
                              [&] { subscription = trees_.Subscription(wanted); });
    return subscription;
}

// ---- UI thread

bool ClientIncomingHooks::IsInContactLists(std::string_view jid) {
    return trees_.FindUser(jid, platform::JidMatch::Loose) != nullptr;
}

}  // namespace notify
