#include "notify_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "chat/dlg_chat.h"
#include "config/client_config.h"
#include "config/config_catalogue.h"
#include "core/user_folder.h"
#include "notify/routes/ui_subcodes.h"
#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/store/client_db.h"
#include "support/require.h"

namespace notify_test {

// ---- FakeWindowManager

FakeWindowManager::FakeWindowManager(core::ClientContext& context) : context_(context) {
    context_.SetWindowManager(this);
}

FakeWindowManager::~FakeWindowManager() {
    for (core::ChatWindow* window : std::vector<core::ChatWindow*>(registry_.All())) {
        window->DestroyWindow();
    }
    context_.SetWindowManager(nullptr);
}

core::ChatWindow* FakeWindowManager::OpenChatWindow(std::string_view jid) {
    opened.emplace_back(jid);
    if (core::ChatWindow* open = FindChatWindow(jid, platform::JidMatch::Loose)) return open;
    if (refuseNewWindows) return nullptr;
    auto dialog = std::make_unique<CDlgChat>(context_, std::string(jid));
    if (!dialog->Create()) return nullptr;
    return context_.windows.Adopt(std::move(dialog));
}

bool FakeWindowManager::CloseChatWindow(std::string_view jid) {
    core::ChatWindow* window = FindChatWindow(jid, platform::JidMatch::Loose);
    if (window == nullptr) return false;
    window->DestroyWindow();
    return true;
}

bool FakeWindowManager::IsSameUser(std::string_view a, std::string_view b,
                                   platform::JidMatch match) {
    return platform::Jid::Equal(
        a, b, match, [this](std::string_view jid) { return context_.session.GetUserType(jid); });
}

// ---- Recorders

void RecordingDirect::Note(std::string job, const platform::NotifyRecord& record) {
    std::lock_guard lock(mutex_);
    calls_.push_back(Call{std::move(job), record.type, std::this_thread::get_id()});
}

std::vector<RecordingDirect::Call> RecordingDirect::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::size_t RecordingDirect::Count() const {
    std::lock_guard lock(mutex_);
    return calls_.size();
}

std::vector<std::string> RecordingDirect::Jobs() const {
    std::vector<std::string> jobs;
    for (const Call& call : Calls()) jobs.push_back(call.job);
    return jobs;
}

void RecordingUi::Note(std::string job, const platform::NotifyRecord& record) {
    calls.push_back(Call{std::move(job), record.type, std::this_thread::get_id()});
    if (onCall) onCall(record);
}

std::vector<std::string> RecordingUi::Jobs() const {
    std::vector<std::string> jobs;
    for (const Call& call : calls) jobs.push_back(call.job);
    return jobs;
}

notify::Registrations RegisterRecorders(notify::NotificationHandlers& handlers,
                                        RecordingDirect& direct, RecordingUi& ui) {
    using notify::Side;
    using Record = platform::NotifyRecord;
    // What the pump's own handlers take.
    const std::set<std::pair<std::string_view, Side>> pumpParts = {
        {"LoggedInElsewhere", Side::Direct},
        {"SubscriptionRequest", Side::Direct},
        {"IncomingMessage", Side::Ui},
    };
    const std::set<int> pumpSubcodes = {notify::ui::kFriendRequest, notify::ui::kArrivalTip,
                                        notify::ui::kOpenChatAtOnce};

    notify::Registrations recorders;
    for (const notify::DispatchRow& row : notify::DispatchTable()) {
        const std::string name(row.name);
        auto reaches = [&](Side side) {
            return notify::Reaches(row.route, side) && pumpParts.count({row.name, side}) == 0;
        };
        if (reaches(Side::Direct)) {
            recorders.push_back(handlers.OnDirect({row.type}, [&direct, name](const Record& r) {
                direct.Note(name, r);
                return direct.handOver.load();
            }));
        }
        if (reaches(Side::Ui)) {
            recorders.push_back(
                handlers.OnUi({row.type}, [&ui, name](const Record& r) { ui.Note(name, r); }));
        }
        if (reaches(Side::ServiceDesk)) {
            recorders.push_back(handlers.OnServiceDesk(
                {row.type}, [&direct](const Record& r) { direct.Note("ServiceDesk", r); }));
        }
        if (reaches(Side::Copy)) {
            recorders.push_back(
                handlers.OnCopy({row.type}, [&ui, name](std::unique_ptr<Record> copy) {
                    ui.calls.push_back(RecordingUi::Call{name, 0, std::this_thread::get_id()});
                    ui.notices.push_back(std::move(copy));
                }));
        }
    }
    for (int subcode = 0; subcode <= kLastRecordedSubcode; ++subcode) {
        if (notify::IsRecordSubcode(subcode) || pumpSubcodes.count(subcode) != 0) continue;
        recorders.push_back(handlers.OnSubcode(subcode, [&ui, subcode](os::LPARAM) {
            ui.otherSubcodes.push_back(subcode);
            return os::LRESULT{0};
        }));
    }
    return recorders;
}

// ---- RecordingIncomingHooks

bool RecordingIncomingHooks::IsInContactLists(std::string_view jid) {
    return std::any_of(contacts.begin(), contacts.end(),
                       [&](const std::string& c) { return os::EqualsNoCase(c, jid); });
}

void RecordingIncomingHooks::PutAtTopOfRecentContacts(std::string_view jid) {
    calls.push_back("RecentContact:" + std::string(jid));
}

void RecordingIncomingHooks::RoomPictureMessage(const core::QueuedMessage& m) {
    calls.push_back("RoomPictureMessage:" + m.content);
}

void RecordingIncomingHooks::OaNotice(const core::QueuedMessage& m) {
    calls.push_back("OaNotice:" + m.content);
}

bool RecordingIncomingHooks::StoreGatewayMessage(const core::QueuedMessage& m) {
    calls.push_back("StoreGatewayMessage:" + m.from);
    return hasGatewayList;
}

// ---- NotifyWorld

NotifyWorld::NotifyWorld() : commonDir_(common_.str()) {
    world_ = std::make_unique<core::TestClientWorld>(
        core::WorldFolders{common_.str(), app_.str()}, [](const os::PromptRecord& record) {
            ADD_FAILURE() << "unanswered prompt: " << record.caption << " / " << record.text;
        });
    // The configuration a client starts with before any file is read.
    config::ApplyDefaults(context().config);
    handlers = notify::NotificationHandlers::Create(context().log);
    recorders_ = RegisterRecorders(*handlers, direct, ui);

    manager_ = std::make_unique<FakeWindowManager>(context());
    windows().RegisterClass("KESTRAL_IM_CHATWND");
    hostWindows_ = std::make_unique<testing_support::HostWindows>(windows());
    testing_support::HostWindows::Layout hidden;
    hidden.frame = os::Rect{};
    hidden.visible = false;
    hidden.clientTitle = "client";
    testing_support::Require(hostWindows_->Create(hidden), "the host's windows");
    const os::HWND client = hostWindows_->client.hwnd();
    mainPanel_ = std::make_unique<CWndChild>(context());
    testing_support::Require(
        ::testing::AssertionResult(mainPanel_->Create(client, os::Rect{}, false)),
        "the main panel");
    mainPanel_->AttachNotificationHandlers(handlers);
    loginPanel_ = std::make_unique<RecordingWindow>(windows());
    testing_support::Require(::testing::AssertionResult(loginPanel_->CreateChild(client, "login")),
                             "the login panel");

    manager_->hostMain = hostWindows_->frame.hwnd();
    manager_->hostClient = client;
    manager_->mainPanel = mainPanel_->hwnd();
    manager_->loginPanel = loginPanel_->hwnd();
}

NotifyWorld::~NotifyWorld() {
    recorders_.clear();
    handlers.reset();
    manager_.reset();
    mainPanel_.reset();
    loginPanel_.reset();
    hostWindows_.reset();
    world_.reset();
}

std::string NotifyWorld::LogIn(std::string loginName) {
    platform::SimAccount account;
    account.loginName = loginName;
    account.password = "pw";
    account.nickname = loginName + "-nick";
    const std::string jid = server().AddAccount(account);
    session().Init(nullptr, nullptr, {});
    session().Login(loginName, "pw", 1, "", 0);
    while (platform::NotifyRecord* record = session().GetNotify()) session().FreeNotify(record);
    return jid;
}

std::unique_ptr<platform::SimSessionCore> NotifyWorld::RemoteSession(const std::string& loginName,
                                                                     std::string* jid) {
    platform::SimAccount account;
    account.loginName = loginName;
    account.password = "pw";
    account.nickname = loginName + "-nick";
    const std::string added = server().AddAccount(account);
    if (jid != nullptr) *jid = added;
    auto remote = std::make_unique<platform::SimSessionCore>(
        std::shared_ptr<platform::SimServer>(std::shared_ptr<platform::SimServer>{}, &server()));
    remote->Init(nullptr, nullptr, {});
    remote->Login(loginName, "pw", 1, "", 0);
    return remote;
}

std::vector<std::array<std::string, 10>> NotifyWorld::StoredRecords() {
    std::vector<std::array<std::string, 10>> records;
    const std::string account = session().GetCurrentUserLimitName();
    const std::string folder = core::UserFolder(commonDir_, account).value_or("");
    CClientDB db(account.c_str(), folder.c_str());
    db.GetMsg(
        [&](const MsgFields& fields) {
            if (!IsMsgEndMark(fields)) records.push_back(fields);
        },
        -1);
    return records;
}

std::vector<std::string> NotifyWorld::StoredContents() {
    std::vector<std::string> contents;
    for (const auto& record : StoredRecords()) contents.push_back(record[msg_field::kContents]);
    return contents;
}

platform::NotifyRecord MessageRecord(std::uint32_t type, std::string from, std::string content,
                                     std::string fromName) {
    platform::MessageData data;
    data.from = std::move(from);
    data.to = "me$gov@im.qorvdesk.test";
    data.font = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)";
    data.fromName = std::move(fromName);
    data.time = "2026-01-05 09:00:00";
    data.content = std::move(content);
    return platform::MakeNotify(type, std::move(data));
}

}  // namespace notify_test
