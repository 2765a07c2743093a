#include "host_api/manager_notifications.h"

#include <cstdlib>
#include <string>

#include "core/chat_window.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/main_window_shell.h"
#include "core/window_manager.h"
#include "notify/routes/ui_subcodes.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"

namespace {

namespace type = platform::notify_type;

constexpr std::uint32_t kPasswordChangedFirst = 86;
constexpr std::uint32_t kPasswordChangedLast = 90;
constexpr std::uint32_t kShareResult = 91;
constexpr const char* kSuccess = "success";

// Slot `index` of a record's slots, or empty.
std::string Slot(const platform::NotifyRecord& record, std::size_t index) {
    const auto* data = record.As<platform::SlotData>();
    if (data == nullptr || index >= data->slots.size()) return {};
    return data->slots[index];
}

bool IsSuccess(const platform::NotifyRecord& record) {
    return os::EqualsNoCase(Slot(record, 0), kSuccess);
}

// The new-mail count: the first number, else the first slot's text.
int MailCount(const platform::NotifyRecord& record) {
    const auto* data = record.As<platform::SlotData>();
    if (data == nullptr) return 0;
    if (!data->numbers.empty()) return static_cast<int>(data->numbers.front());
    if (!data->slots.empty())
        return static_cast<int>(std::strtol(data->slots[0].c_str(), nullptr, 10));
    return 0;
}

void RegisterMail(core::ClientContext& context, notify::NotificationHandlers& handlers,
                  notify::Registrations& registrations) {
    registrations.push_back(
        handlers.OnDirect({type::kNewMailCount}, [&context](const platform::NotifyRecord& record) {
            const int count = MailCount(record);
            // The tool bar belongs to the UI thread.
            context.windows.SendTask(context.windowManager().MainPanel(), [&context, count] {
                context.doors().shell->ShowMailCountOnToolBar(count);
            });
            return count > 0 ? notify::HandOver::ToUi : notify::HandOver::Stop;
        }));
    registrations.push_back(
        handlers.OnUi({type::kNewMailCount}, [&context](const platform::NotifyRecord& record) {
            context.noticePop.ShowNewMailTip(MailCount(record));
        }));
}

void RegisterAccountResults(core::ClientContext& context, notify::NotificationHandlers& handlers,
                            notify::Registrations& registrations) {
    registrations.push_back(
        handlers.OnDirect({type::kGatewayError}, [&context](const platform::NotifyRecord&) {
            platform::SessionCore& session = context.session;
            session.SendLogoffMsnMessage("msn." + session.GetHostName());
        }));

    notify::NotificationHandlers::TypeCodes passwordResults;
    for (std::uint32_t code = kPasswordChangedFirst; code <= kPasswordChangedLast; ++code) {
        passwordResults.push_back(code);
    }
    registrations.push_back(
        handlers.OnDirect(passwordResults, [&context](const platform::NotifyRecord& record) {
            const std::string password = Slot(record, 1);
            if (!IsSuccess(record)) {
                context.log.WriteLog2(2, os::Format("Password change %u not successful: %s",
                                                    record.type, Slot(record, 0).c_str()));
                return;
            }
            // An empty password would lock the user out of the next automatic login.
            if (password.empty()) {
                context.log.WriteLog2(2, os::Format("Password change %u reported success "
                                                    "without the new password; kept the old one",
                                                    record.type));
                return;
            }
            context.session.SetCurrentUserPassword(password);
        }));

    registrations.push_back(
        handlers.OnDirect({kShareResult}, [&context](const platform::NotifyRecord& record) {
            if (IsSuccess(record)) return;
            // Posted: the pump goes on while the box waits for the user.
            context.windows.PostTask(context.windowManager().MainPanel(), [&context] {
                context.prompter.MessageBox("设置网络硬盘共享权限失败!", os::kDefaultCaption,
                                            os::MB_OK, context.windowManager().MainPanel());
            });
        }));
}

void RegisterChatPartners(core::ClientContext& context, notify::NotificationHandlers& handlers,
                          notify::Registrations& registrations) {
    registrations.push_back(handlers.OnDirect(
        {type::kChatWindowUpdate}, [&context](const platform::NotifyRecord& record) {
            const std::string jid = Slot(record, 0);
            if (jid.empty()) return;
            core::IWindowManager& manager = context.windowManager();
            // The chat windows belong to the UI thread.
            context.windows.SendTask(manager.MainPanel(), [&manager, &jid] {
                if (core::ChatWindow* chat =
                        manager.FindChatWindow(jid, platform::JidMatch::Loose)) {
                    chat->OnContactUpdate();
                }
            });
        }));
    registrations.push_back(handlers.OnUi({type::kUnknownChatPartner},
                                          [&context](const platform::NotifyRecord& record) {
                                              const std::string jid = Slot(record, 0);
                                              if (jid.empty()) return;
                                              context.session.QueryPersonInfo(jid, 0, 0);
                                              context.log.WriteLog("请求未知聊天对象的详细信息");
                                          }));
}

// A box of the main panel's own, titled `caption`, with the text lParam points to.
notify::NotificationHandlers::SubcodeHandler MessageBoxTitled(core::ClientContext& context,
                                                              const char* caption) {
    return [&context, caption](os::LPARAM lParam) -> os::LRESULT {
        const auto* text = os::FromLParam<const std::string>(lParam);
        if (text == nullptr) return 0;
        return context.prompter.MessageBox(*text, caption, os::MB_OK,
                                           context.windowManager().MainPanel());
    };
}

}  // namespace

notify::Registrations RegisterWindowManagerNotifications(core::ClientContext& context,
                                                         notify::NotificationHandlers& handlers) {
    notify::Registrations registrations;
    registrations.push_back(handlers.OnUi(
        {platform::notify_type::kChannelList}, [&context](const platform::NotifyRecord&) {
            // The pump's last send may be answered while a log-out stops it: a session that
            // has ended gets no main panel back.
            if (context.session.GetCurrentUserJID().empty()) {
                context.log.WriteLog2(2, "会话已结束，不再切换登录后界面");
                return;
            }
            context.windowManager().SwitchInterface(core::ClientInterface::PostLogin);
        }));
    RegisterMail(context, handlers, registrations);
    RegisterAccountResults(context, handlers, registrations);
    RegisterChatPartners(context, handlers, registrations);
    registrations.push_back(
        handlers.OnSubcode(notify::ui::kSystemMessageBox, MessageBoxTitled(context, "系统消息")));
    registrations.push_back(handlers.OnSubcode(notify::ui::kBroadcastMessageBox,
                                               MessageBoxTitled(context, "广播消息")));
    return registrations;
}
