#include "notify_world.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "chat/dlg_chat.h"
#include "config/client_config.h"
#include "config/config_catalogue.h"
#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/store/client_db.h"

namespace notify_test {

// ---- RecordingWindow

bool RecordingWindow::CreateTopLevel(std::string title) {
    CreateParams params;
    params.title = std::move(title);
    return Create(params);
}

bool RecordingWindow::CreateChild(os::HWND parent, std::string title) {
    CreateParams params;
    params.parent = parent;
    params.title = std::move(title);
    return Create(params);
}

int RecordingWindow::Count(os::UINT message) const {
    return static_cast<int>(std::count_if(seen.begin(), seen.end(),
                                          [&](const Seen& s) { return s.message == message; }));
}

std::vector<os::WPARAM> RecordingWindow::WParamsOf(os::UINT message) const {
    std::vector<os::WPARAM> list;
    for (const Seen& s : seen) {
        if (s.message == message) list.push_back(s.wParam);
    }
    return list;
}

os::LRESULT RecordingWindow::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    seen.push_back(Seen{message, wParam, lParam});
    return os::Window::OnMessage(message, wParam, lParam);
}

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

// ---- RecordingDirectJobs

void RecordingDirectJobs::Note(std::string job, const Record& record) {
    std::lock_guard lock(mutex_);
    calls_.push_back(Call{std::move(job), record.type, std::this_thread::get_id()});
}

std::vector<RecordingDirectJobs::Call> RecordingDirectJobs::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::size_t RecordingDirectJobs::Count() const {
    std::lock_guard lock(mutex_);
    return calls_.size();
}

std::vector<std::string> RecordingDirectJobs::Jobs() const {
    std::vector<std::string> jobs;
    for (const Call& call : Calls()) jobs.push_back(call.job);
    return jobs;
}

notify::HandOver RecordingDirectJobs::FileTransferFinished(const Record& r) {
    Note("FileTransferFinished", r);
    return handOver.load();
}

notify::HandOver RecordingDirectJobs::FileOffer(const Record& r) {
    Note("FileOffer", r);
    return handOver.load();
}

notify::HandOver RecordingDirectJobs::NewMailCount(const Record& r) {
    Note("NewMailCount", r);
    return handOver.load();
}

std::optional<std::string> RecordingDirectJobs::ContactSubscription(std::string_view) {
    std::lock_guard lock(mutex_);
    return subscription;
}

// ---- RecordingUiJobs

void RecordingUiJobs::Note(std::string job, const Record& record) {
    calls.push_back(Call{std::move(job), record.type, std::this_thread::get_id()});
    if (onCall) onCall(record);
}

std::vector<std::string> RecordingUiJobs::Jobs() const {
    std::vector<std::string> jobs;
    for (const Call& call : calls) jobs.push_back(call.job);
    return jobs;
}

void RecordingUiJobs::UpdateNotice(std::unique_ptr<platform::UpdateNoticeData> notice) {
    calls.push_back(Call{"UpdateNotice", 0, std::this_thread::get_id()});
    notices.push_back(std::move(notice));
}

std::optional<os::LRESULT> RecordingUiJobs::OtherSubcode(int subcode, os::LPARAM) {
    otherSubcodes.push_back(subcode);
    return std::nullopt;
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
    seams.direct = &direct;
    seams.ui = &ui;
    seams.incoming = &incoming;

    manager_ = std::make_unique<FakeWindowManager>(context());
    windows().RegisterClass("KESTRAL_IM_CHATWND");
    host_ = std::make_unique<RecordingWindow>(windows());
    host_->CreateTopLevel("host");
    client_ = std::make_unique<RecordingWindow>(windows());
    client_->CreateChild(host_->hwnd(), "client");
    mainPanel_ = std::make_unique<CWndChild>(context());
    mainPanel_->Create(client_->hwnd(), os::Rect{}, false);
    loginPanel_ = std::make_unique<RecordingWindow>(windows());
    loginPanel_->CreateChild(client_->hwnd(), "login");

    manager_->hostMain = host_->hwnd();
    manager_->hostClient = client_->hwnd();
    manager_->mainPanel = mainPanel_->hwnd();
    manager_->loginPanel = loginPanel_->hwnd();
}

NotifyWorld::~NotifyWorld() {
    manager_.reset();
    mainPanel_.reset();
    loginPanel_.reset();
    client_.reset();
    host_.reset();
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

void NotifyWorld::PumpUntil(const std::function<bool()>& done) {
    // A guard against a hang, counted in idle rounds, not in time.
    constexpr long kIdleRoundsAllowed = 20'000'000;
    long idle = 0;
    while (!done()) {
        if (windows().PumpPending() > 0) {
            idle = 0;
            continue;
        }
        if (++idle > kIdleRoundsAllowed) {
            ADD_FAILURE() << "the awaited work never came";
            return;
        }
        std::this_thread::yield();
    }
}

std::vector<std::array<std::string, 10>> NotifyWorld::StoredRecords() {
    std::vector<std::array<std::string, 10>> records;
    const std::string account = session().GetCurrentUserLimitName();
    const std::string folder = commonDir_ + account + "/";
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
