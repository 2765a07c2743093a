// CWindowManager: construction, the chat window registry, pending messages, the shared
// block and the account mutex.
#include "host_api/window_manager.h"

#include <algorithm>

#include "chat/chat_doors.h"
#include "chat/dlg_chat.h"
#include "chat/shake_memory.h"
#include "core/doors.h"
#include "core/doors/history_service.h"
#include "core/window_messages.h"
#include "host_api/delayed_switch.h"
#include "host_api/ipmsg_plugin.h"
#include "login/dlg_login.h"
#include "notify/wnd_child.h"
#include "os/services/log.h"
#include "os/sys/named_objects.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

CWindowManager::CWindowManager(core::ClientContext& context)
    : context_(context),
      shakes_(std::make_unique<chat::ShakeMemory>()),
      chatDoors_(std::make_unique<chat::ChatDoors>(context, nullptr)) {
    context_.SetWindowManager(this);
    chatDoors_->shakes.Plug(*shakes_);
}

CWindowManager::~CWindowManager() {
    delayedSwitch_.reset();
    // Chat windows leave the registry as they go; close them while the registry still
    // answers, so none is left pointing at a manager that is gone.
    for (core::ChatWindow* window : std::vector<core::ChatWindow*>(chatWindows_.All())) {
        if (window->IsWindow() && context_.windows.IsOwnedByCallingThread(window->hwnd())) {
            window->DestroyWindow();
        }
    }
    if (messageHook_ != 0) context_.windows.UnhookGetMessageHook(messageHook_);
    if (hotKeyRegistered_ && mainPanel_) {
        context_.windows.UnregisterHotKey(mainPanel_->hwnd(), hotKeyAtom_);
    }
    if (hotKeyAtom_ != 0) context_.windows.GlobalDeleteAtom(hotKeyAtom_);
    loginPanel_.reset();
    mainPanel_.reset();
    chatWindows_.Clear();
    context_.SetWindowManager(nullptr);
}

void CWindowManager::Log(std::string_view text) const { context_.log.WriteLog(text); }

void CWindowManager::Log2(int level, std::string_view text) const {
    context_.log.WriteLog2(level, text);
}

void CWindowManager::LogUnpluggedDoors() const {
    auto logIfUnplugged = [this](const core::DoorInfo& door) {
        if (!door.plugged) Log("CWindowManager::InitWindows: " + core::UnpluggedDoorText(door));
    };
    for (const core::DoorInfo& door : context_.doors().Infos()) logIfUnplugged(door);
    for (const core::DoorInfo& door : chatDoors_->Infos()) logIfUnplugged(door);
}

// ---- Windows

os::HWND CWindowManager::HostMainWnd() const { return hostMainWnd_.load(); }
os::HWND CWindowManager::HostClientWnd() const { return hostClientWnd_.load(); }
os::HWND CWindowManager::MainPanel() const { return mainPanelWnd_.load(); }
os::HWND CWindowManager::LoginPanel() const { return loginPanelWnd_.load(); }

// ---- The chat window registry

core::ChatWindow* CWindowManager::FindChatWindow(std::string_view jid, platform::JidMatch match) {
    return chatWindows_.Find(jid, match,
                             [this](std::string_view a, std::string_view b, platform::JidMatch m) {
                                 return IsSameUser(a, b, m);
                             });
}

void CWindowManager::AddChatWindow(core::ChatWindow& window) { chatWindows_.Add(window); }

void CWindowManager::RemoveChatWindow(core::ChatWindow& window) { chatWindows_.Remove(window); }

std::vector<core::ChatWindow*> CWindowManager::ChatWindows() const { return chatWindows_.All(); }

core::ChatWindow* CWindowManager::OpenChatWindow(std::string_view jid) {
    return OpenChatWindowIn(jid, chat::ChatMode::InstantMessage);
}

core::ChatWindow* CWindowManager::OpenSmsChatWindow(std::string_view jid) {
    return OpenChatWindowIn(jid, chat::ChatMode::Sms);
}

core::ChatWindow* CWindowManager::OpenChatWindowIn(std::string_view jid, chat::ChatMode mode) {
    os::WindowSystem& windows = context_.windows;
    if (core::ChatWindow* open = FindChatWindow(jid, platform::JidMatch::Loose)) {
        open->ShowWindow(os::SW_SHOW);
        if (open->IsIconic()) open->ShowWindow(os::SW_RESTORE);
        windows.SetForegroundWindow(open->hwnd());
        return open;
    }
    auto dialog = std::make_unique<CDlgChat>(context_, contactTrees_, std::string(jid), mode);
    dialog->doors().PlugFrom(*chatDoors_);
    if (!dialog->Create()) {
        Log(os::Format("创建聊天窗口失败 JID=%s", std::string(jid).c_str()));
        return nullptr;
    }
    // The window system deletes the dialog once its window is destroyed.
    CDlgChat* chat = windows.Adopt(std::move(dialog));
    chat->ShowWindow(os::SW_SHOW);
    windows.SetForegroundWindow(chat->hwnd());
    Log(os::Format("打开对话框时查询状态 JID=%s", std::string(jid).c_str()));
    context_.session.QueryStatusInfo(jid);
    return chat;
}

bool CWindowManager::CloseChatWindow(std::string_view jid) {
    core::ChatWindow* window = FindChatWindow(jid, platform::JidMatch::Loose);
    if (window == nullptr) return false;
    const os::HWND hwnd = window->hwnd();
    RemoveChatWindow(*window);
    context_.windows.SendMessage(hwnd, os::WM_CLOSE);
    return true;
}

bool CWindowManager::IsSameUser(std::string_view a, std::string_view b, platform::JidMatch match) {
    return platform::Jid::Equal(
        a, b, match, [this](std::string_view jid) { return context_.session.GetUserType(jid); });
}

void CWindowManager::OnContactNameDiffers(std::string_view jid, std::string_view vcardName,
                                          std::string_view treeName) {
    Log(os::Format("CWindowManager::OnContactNameDiffers: %s 的名片姓名为 \"%s\" (联系人树 %s)",
                   std::string(jid).c_str(), std::string(vcardName).c_str(),
                   std::string(treeName).c_str()));
}

// ---- Pending messages

void CWindowManager::PickNextPendingMessage(core::PickTrigger trigger) {
    if (auto head = pending_.Front()) {
        if (head->type == core::kQueuedOaNoticeType) {
            if (auto notice = pending_.PopFront()) context_.doors().history->ShowOaNotice(*notice);
        } else if (head->type != core::kQueuedLeftAloneType) {
            // Open the window first: if it cannot be made, the messages stay queued.
            if (core::ChatWindow* window = OpenChatWindow(head->from)) {
                const std::string sender = head->from;
                window->ShowQueuedMessages(pending_.TakeIf([&](const core::QueuedMessage& m) {
                    return m.type != core::kQueuedOaNoticeType &&
                           m.type != core::kQueuedLeftAloneType &&
                           IsSameUser(m.from, sender, platform::JidMatch::Loose);
                }));
            }
        }
    }
    if (pending_.Empty()) context_.windows.PostMessage(HostMainWnd(), core::WM_HOST_TRAY, 0, 0);

    if (trigger == core::PickTrigger::HotKey) {
        os::WindowSystem& windows = context_.windows;
        const os::HWND host = HostMainWnd();
        if (windows.IsWindowVisible(host)) windows.ShowWindow(host, os::SW_SHOW);
        if (windows.IsIconic(host)) windows.ShowWindow(host, os::SW_RESTORE);
        windows.SetForegroundWindow(host);
    }
}

bool CWindowManager::AnyConversationOpen() {
    if (!chatWindows_.Empty() || !pending_.Empty()) return true;
    bool roomOpen = false;
    os::WindowSystem& windows = context_.windows;
    windows.EnumWindows([&](os::HWND hwnd) {
        if (os::EqualsNoCase(windows.GetClassName(hwnd), core::kRoomWindowClass) &&
            windows.GetWindowThreadProcessId(hwnd) == windows.processId()) {
            roomOpen = true;
        }
        return !roomOpen;
    });
    return roomOpen;
}

bool CWindowManager::IsLoggedIn() const {
    return flags_.loggedIn.load() && context_.windows.IsWindow(MainPanel());
}

// ---- The account mutex and the shared block

void CWindowManager::KeepAccountMutex(std::unique_ptr<os::NamedMutex> mutex) {
    accountMutex_ = std::move(mutex);
}

bool CWindowManager::HoldsAccountMutex() const { return accountMutex_ != nullptr; }

std::span<char> CWindowManager::SharedBlock() {
    if (!sharedBlock_) return {};
    return {sharedBlock_->data(), sharedBlock_->size()};
}

bool CWindowManager::WriteSharedFlag(std::string_view text) {
    std::span<char> block = SharedBlock();
    if (block.empty() || text.size() + 1 > block.size()) return false;
    std::copy(text.begin(), text.end(), block.begin());
    block[text.size()] = '\0';
    return true;
}
