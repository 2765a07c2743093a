#include "platform/session/sim_demo_world.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <thread>

#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"
#include "platform/jid/jid.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"

namespace platform {
namespace {

constexpr std::string_view kDemoNickname = "体验用户";
constexpr int kDemoDailySms = 50;
constexpr std::string_view kParticipantPassword = "demo";

constexpr std::uint64_t kStepTimer = 1;
constexpr std::uint64_t kPresenceTimer = 2;

// ---- The organisation: units in parent order, each with its head's title and its size ----

struct UnitPlan {
    std::string_view id;
    std::string_view parentId;
    std::string_view name;
    std::string_view headTitle;
    int persons;
};

constexpr std::array<UnitPlan, 16> kUnits = {{
    {"u1", "", "启明数字科技", "总经理", 2},
    {"u1_1", "u1", "总经理办公室", "主任", 8},
    {"u1_2", "u1", "人力资源部", "经理", 15},
    {"u1_3", "u1", "财务部", "经理", 15},
    {"u1_4", "u1", "技术研发中心", "总监", 3},
    {"u1_4_1", "u1_4", "平台开发部", "经理", 40},
    {"u1_4_2", "u1_4", "客户端开发部", "经理", 40},
    {"u1_4_3", "u1_4", "测试部", "经理", 25},
    {"u1_4_4", "u1_4", "运维部", "经理", 20},
    {"u1_5", "u1", "市场营销中心", "总监", 3},
    {"u1_5_1", "u1_5", "华东区", "区域经理", 30},
    {"u1_5_2", "u1_5", "华南区", "区域经理", 30},
    {"u1_5_3", "u1_5", "华北区", "区域经理", 30},
    {"u1_6", "u1", "客户服务部", "经理", 35},
    {"u1_7", "u1", "行政部", "主任", 12},
    {"u1_8", "u1", "法务部", "主任", 6},
}};

constexpr std::array<std::string_view, 24> kSurnames = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙",
    "马", "朱", "胡", "郭", "何", "高", "林", "罗", "郑", "梁", "谢", "宋",
};
constexpr std::array<std::string_view, 31> kGivenNames = {
    "伟",   "芳",   "娜", "秀英", "敏",   "静",   "丽",   "强",   "磊",   "军", "洋",
    "勇",   "艳",   "杰", "娟",   "涛",   "明",   "超",   "秀兰", "霞",   "平", "刚",
    "桂英", "建华", "文", "晓东", "海燕", "志强", "雪梅", "子轩", "欣怡",
};

// The n-th person's name (distinct for the first 24 × 31 people).
std::string PersonName(int n) {
    return std::string(kSurnames[static_cast<std::size_t>(n) % kSurnames.size()]) +
           std::string(kGivenNames[static_cast<std::size_t>(n / 7 + n * 5) % kGivenNames.size()]);
}

std::string StaffLogin(int n) { return os::Format("staff%04d", n); }

// ---- Demo's contacts ----

struct BuddyPlan {
    int staff;  // the person of the directory it is
    std::string_view group;
    std::string_view presence;  // at the start
};

// Colleagues are people of the directory; friends and family are accounts of their own.
constexpr std::array<BuddyPlan, 7> kColleagues = {{
    {20, "同事", "online"},
    {41, "同事", "away"},
    {42, "同事", "online"},
    {43, "同事", "busy"},
    {81, "同事", "offline"},
    {122, "同事", "dnd"},
    {2, "同事", "online"},
}};

struct FriendPlan {
    std::string_view login;
    std::string_view nickname;
    std::string_view group;
    std::string_view presence;
};

constexpr std::array<FriendPlan, 6> kFriends = {{
    {"xiaoyu", "林小雨", "朋友", "online"},
    {"dapeng", "赵大鹏", "朋友", "xa"},
    {"meimei", "韩梅梅", "朋友", "offline"},
    {"lilei", "李雷", "朋友", "online"},
    {"mama", "妈妈", "家人", "online"},
    {"gege", "哥哥", "家人", "offline"},
}};

struct BotPlan {
    std::string_view login;
    std::string_view nickname;
    BotStyle style;
};

constexpr std::array<BotPlan, 2> kBots = {{
    {"helper", "小助手", BotStyle::Helper},
    {"echo", "回声机器人", BotStyle::Echo},
}};
constexpr std::string_view kBotGroup = "机器人";
// The bot that keeps the demo room (the first of kBots), and what it says there first.
constexpr std::size_t kRoomBot = 0;
constexpr std::string_view kRoomSubject = "欢迎来到项目交流群，在这里说话，小助手会回答。";
constexpr std::string_view kRoomWelcome = "大家好，我是小助手。在群里说句话，我来回答！";

// Whether a room message is one the participant said itself (its nickname behind the "/").
bool IsOwnRoomMessage(const MessageData& message, std::string_view nickname) {
    return Jid(message.from).Resource() == nickname;
}

// The words a buddy moves through.
constexpr std::array<std::string_view, 6> kPresenceWords = {"online", "away", "busy",
                                                            "dnd",    "xa",   "offline"};

}  // namespace

// The world's hidden window: its timers and the work its participants' sessions post.
class SimDemoWorld::Window final : public os::Window {
  public:
    Window(os::WindowSystem& windows, SimDemoWorld& world) : os::Window(windows), world_(world) {}

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        if (message == os::WM_TIMER) {
            if (wParam == kStepTimer) world_.RunDueSteps();
            if (wParam == kPresenceTimer) world_.StepPresence();
            return 0;
        }
        return DefWindowProc(message, wParam, lParam);
    }

  private:
    SimDemoWorld& world_;
};

std::unique_ptr<SimDemoWorld> SimDemoWorld::Load(SimServer& server, os::WindowSystem& windows,
                                                 int people) {
    std::unique_ptr<SimDemoWorld> world(
        new SimDemoWorld(server, windows, std::max(people, kPlannedPeople)));
    if (!world->Start()) return nullptr;
    return world;
}

SimDemoWorld::SimDemoWorld(SimServer& server, os::WindowSystem& windows, int people)
    : server_(server),
      windows_(windows),
      serverHandle_(std::shared_ptr<SimServer>{}, &server),
      people_(people) {}

SimDemoWorld::~SimDemoWorld() {
    // Nobody posts to the window once it is gone; the sessions leave the server last, so
    // the client sees the people go offline.
    for (Participant& participant : participants_) participant.session->SetDeliveryHook({});
    if (window_ != nullptr) window_->DestroyWindow();
    window_.reset();
    participants_.clear();
    if (!botFolder_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(botFolder_, error);
    }
}

std::vector<std::string> SimDemoWorld::BotJids() const {
    std::vector<std::string> jids;
    for (const Participant& participant : participants_) {
        if (participant.bot) jids.push_back(participant.jid);
    }
    return jids;
}

std::vector<std::string> SimDemoWorld::BuddyJids() const {
    std::vector<std::string> jids;
    for (const Participant& participant : participants_) {
        if (!participant.bot) jids.push_back(participant.jid);
    }
    return jids;
}

bool SimDemoWorld::Start() {
    if (!windows_.IsClassRegistered(kWindowClass)) windows_.RegisterClass(kWindowClass);
    window_ = std::make_unique<Window>(windows_, *this);
    os::Window::CreateParams params;
    params.className = kWindowClass;
    params.title = "demo world";
    if (!window_->Create(params)) {
        window_.reset();
        return false;
    }
    hwnd_ = window_->hwnd();
    MakeBotFolder();
    Populate();
    window_->SetTimer(kPresenceTimer, kPresenceStepMs);
    return true;
}

void SimDemoWorld::Populate() {
    const std::string& host = server_.HostName();
    auto jidOf = [&](std::string_view login) {
        return Jid::Government(std::string(login), host).text();
    };

    // The organisation, and an account for every colleague on demo's list.
    SimDirectory directory;
    int staff = 0;
    for (const UnitPlan& plan : kUnits) {
        SimUnit unit{std::string(plan.id), std::string(plan.name), std::string(plan.parentId), {}};
        const int persons =
            static_cast<int>(static_cast<long long>(plan.persons) * people_ / kPlannedPeople);
        for (int i = 0; i < persons; ++i, ++staff) {
            std::string name = PersonName(staff);
            if (i == 0) name += "（" + std::string(plan.headTitle) + "）";
            unit.persons.push_back({jidOf(StaffLogin(staff)), std::move(name)});
        }
        directory.units.push_back(std::move(unit));
    }
    server_.SetDirectory(std::move(directory));

    SimAccount demo;
    demo.loginName = kDemoLogin;
    demo.password = kDemoPassword;
    demo.jid = jidOf(kDemoLogin);
    demo.nickname = std::string(kDemoNickname);
    demoJid_ = server_.AddAccount(std::move(demo));
    // A daily SMS allowance, so a client that shows quotas has one to show and deduct.
    SimSmsQuota quota;
    quota.kind = 1;  // per day
    quota.remaining = kDemoDailySms;
    server_.SetSmsQuota(demoJid_, std::move(quota));

    std::vector<SimRosterItem> roster;
    std::vector<std::string> startPresence;
    for (const BotPlan& bot : kBots) {
        AddParticipant(std::string(bot.login), std::string(bot.nickname), bot.style);
        roster.push_back(
            {participants_.back().jid, std::string(bot.nickname), std::string(kBotGroup)});
        startPresence.push_back("online");
    }
    for (const BuddyPlan& colleague : kColleagues) {
        const std::string name = PersonName(colleague.staff);
        AddParticipant(StaffLogin(colleague.staff), name, std::nullopt);
        roster.push_back({participants_.back().jid, name, std::string(colleague.group)});
        startPresence.push_back(std::string(colleague.presence));
    }
    for (const FriendPlan& friendPlan : kFriends) {
        AddParticipant(std::string(friendPlan.login), std::string(friendPlan.nickname),
                       std::nullopt);
        roster.push_back({participants_.back().jid, std::string(friendPlan.nickname),
                          std::string(friendPlan.group)});
        startPresence.push_back(std::string(friendPlan.presence));
    }
    server_.SetRoster(demoJid_, std::move(roster));
    server_.SetPhoneBook(demoJid_, {{"13912345678", "王师傅（物业）", "生活"},
                                    {"13787654321", "快递小哥", "生活"},
                                    {"13600001111", "张医生", "生活"}});

    for (std::size_t i = 0; i < participants_.size(); ++i) {
        server_.SetRoster(participants_[i].jid,
                          {{demoJid_, std::string(kDemoNickname), "同事", "both"}});
        SetPresence(participants_[i], startPresence[i]);
    }
    OpenDemoRoom();
}

bool SimDemoWorld::MakeBotFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) return false;
    std::string folder = (base / "qorv-demo-bots-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) return false;
    // The folder's name is ours but its parent the environment's: GBK and the file system
    // agree on it only when it is ASCII.
    if (std::any_of(folder.begin(), folder.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) ||
        !os::WriteFileAtomically(folder + "/" + std::string(kBotFileName), BotFileContents())) {
        std::filesystem::remove_all(folder, error);
        return false;
    }
    botFolder_ = folder + "/";
    return true;
}

void SimDemoWorld::OpenDemoRoom() {
    demoRoomJid_ = std::string(kDemoRoomLocal) + "@conference." + server_.HostName();
    Participant& keeper = participants_[kRoomBot];
    std::vector<std::string> members{demoJid_};
    for (const Participant& participant : participants_) {
        if (&participant != &keeper) members.push_back(participant.jid);
    }
    server_.AddPersistentRoom(demoRoomJid_, kDemoRoomName, keeper.jid, members);
    SimSessionCore& session = *keeper.session;
    session.EnterConferenceRoom(demoRoomJid_, "");
    session.ChangeConferenceSubject(demoRoomJid_, kRoomSubject);
    session.SendConferenceMessage(demoRoomJid_, kRoomWelcome, kBotFont);
}

void SimDemoWorld::PlanAnswer(std::size_t participant, const MessageData& message, bool inRoom) {
    const os::Millis now = windows_.clock().Now();
    const std::string to = inRoom ? Jid(message.from).Bare() : message.from;
    for (BotStep& step : BotAnswer(*participants_[participant].bot, message.content)) {
        // A room shows no typing state and carries no files.
        if (inRoom && step.kind != BotStepKind::Message) continue;
        agenda_.emplace(now + step.afterMs, PlannedStep{participant, to, std::move(step), inRoom});
    }
}

void SimDemoWorld::AddParticipant(std::string login, std::string nickname,
                                  std::optional<BotStyle> bot) {
    Participant participant;
    participant.login = login;
    participant.nickname = nickname;
    participant.bot = bot;
    SimAccount account;
    account.loginName = login;
    account.password = std::string(kParticipantPassword);
    account.jid = Jid::Government(login, server_.HostName()).text();
    account.nickname = std::move(nickname);
    participant.jid = server_.AddAccount(std::move(account));
    participant.session = std::make_unique<SimSessionCore>(serverHandle_);
    participant.session->Init(nullptr, nullptr, std::this_thread::get_id());
    // What reaches a participant is read on the window's thread, once per burst.
    participant.session->SetDeliveryHook([this] {
        if (!drainPosted_.exchange(true)) {
            windows_.PostTask(hwnd_, [this] {
                drainPosted_ = false;
                Drain();
            });
        }
    });
    participants_.push_back(std::move(participant));
}

void SimDemoWorld::SetPresence(Participant& participant, const std::string& word) {
    SimSessionCore& session = *participant.session;
    if (word == "offline") {
        if (participant.presence != "offline") session.Logout();
    } else {
        if (participant.presence == "offline") {
            session.Login(participant.login, kParticipantPassword, 1, "", 0);
        }
        if (word != "online" || participant.presence != "offline") session.ChangePresence(word);
    }
    participant.presence = word;
}

void SimDemoWorld::Drain() {
    for (std::size_t i = 0; i < participants_.size(); ++i) {
        SimSessionCore& session = *participants_[i].session;
        while (NotifyRecord* record = session.GetNotify()) {
            const auto* message = record->As<MessageData>();
            if (message != nullptr && record->type == notify_type::kChatMessage &&
                participants_[i].bot) {
                PlanAnswer(i, *message, false);
            } else if (message != nullptr && record->type == notify_type::kRoomMessage &&
                       participants_[i].bot && !message->flag &&
                       Jid(message->from).StoreKey() == Jid(demoRoomJid_).StoreKey() &&
                       Jid(message->to).StoreKey() == Jid(participants_[i].jid).StoreKey() &&
                       !IsOwnRoomMessage(*message, participants_[i].nickname)) {
                // Only what others say live in the room, never the history or its own lines.
                PlanAnswer(i, *message, true);
            } else if (const auto* file = record->As<FileTransferData>();
                       file != nullptr && participants_[i].bot) {
                NoteBotFile(i, record->type, *file);
            } else if (const auto* presence = record->As<PresenceData>();
                       presence != nullptr &&
                       Jid(presence->jid).StoreKey() == Jid(demoJid_).StoreKey()) {
                NoteDemoPresence(presence->presence);
            } else if (const auto* request = record->As<SubscriptionRequestData>()) {
                // Everyone here is glad to be on a list.
                session.ConfirmSubscribe(request->jid, 1);
            }
            session.FreeNotify(record);
        }
    }
    ArmStepTimer();
}

void SimDemoWorld::NoteBotFile(std::size_t participant, std::uint32_t type,
                               const FileTransferData& file) {
    if (file.sending) return;  // the bot's own file: nothing to do while it goes
    SimSessionCore& session = *participants_[participant].session;
    if (botFolder_.empty()) {
        if (type == notify_type::kFileOffer) session.DenyFile(file.key);
        return;
    }
    const os::Millis now = windows_.clock().Now();
    const std::string to = Jid(file.peerJid).Bare();
    if (type == notify_type::kFileOffer) {
        for (BotStep& step : BotFileOfferAnswer(file.key, file.size)) {
            if (step.kind != BotStepKind::AcceptFile) session.DenyFile(file.key);
            agenda_.emplace(now + step.afterMs, PlannedStep{participant, to, std::move(step)});
        }
    } else if (type == notify_type::kFileTransferSucceeded) {
        // The bot only says what came; it keeps nothing of it.
        if (file.filePath.starts_with(botFolder_)) os::DeleteFile(file.filePath);
        agenda_.emplace(now + kBotTypingAfterMs,
                        PlannedStep{participant, to,
                                    BotStep{kBotTypingAfterMs, BotStepKind::Message,
                                            BotFileReceivedText(file.fileName, file.size)}});
    }
}

void SimDemoWorld::NoteDemoPresence(const std::string& word) {
    const bool online = word != "offline";
    // One notice from the office system for each time the demo user comes online.
    if (online && !demoOnline_) server_.SendOaNotice(demoJid_, kDemoOaNotice);
    demoOnline_ = online;
}

void SimDemoWorld::RunDueSteps() {
    const os::Millis now = windows_.clock().Now();
    while (!agenda_.empty() && agenda_.begin()->first <= now) {
        const PlannedStep planned = std::move(agenda_.begin()->second);
        agenda_.erase(agenda_.begin());
        Participant& bot = participants_[planned.participant];
        if (planned.inRoom) {
            bot.session->SendConferenceMessage(planned.to, planned.step.text, kBotFont);
        } else if (planned.step.kind == BotStepKind::AcceptFile) {
            bot.session->RecvFile(
                botFolder_ +
                    os::Format("received-%llu", static_cast<unsigned long long>(++botFiles_)),
                planned.step.text);
        } else if (planned.step.kind == BotStepKind::SendFile) {
            if (botFolder_.empty()) continue;
            // A key of 32 hexadecimal digits, as every client's.
            bot.session->SendFile(
                planned.to, botFolder_ + std::string(kBotFileName),
                os::Format("D0B07%027llX", static_cast<unsigned long long>(++botFiles_)), 0);
        } else if (planned.step.kind == BotStepKind::Typing) {
            bot.session->SendInputStateMessage(bot.jid, planned.to, planned.step.text);
        } else {
            bot.session->SendChatMessage(planned.to, planned.step.text, kBotFont);
        }
    }
    ArmStepTimer();
}

void SimDemoWorld::ArmStepTimer() {
    window_->KillTimer(kStepTimer);
    if (agenda_.empty()) return;
    const os::Millis wait = agenda_.begin()->first - windows_.clock().Now();
    window_->SetTimer(kStepTimer, std::max(wait, os::WindowSystem::kMinimumTimerPeriod));
}

void SimDemoWorld::StepPresence() {
    // A fixed sequence (a linear congruential generator), so every run of the demo and every
    // test sees the same changes.
    auto next = [this](std::size_t bound) {
        random_ = random_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::size_t>((random_ >> 33) % bound);
    };
    std::vector<std::size_t> buddies;
    for (std::size_t i = 0; i < participants_.size(); ++i) {
        if (!participants_[i].bot) buddies.push_back(i);
    }
    if (buddies.empty()) return;
    Participant& buddy = participants_[buddies[next(buddies.size())]];
    std::string word;
    do {
        word = std::string(kPresenceWords[next(kPresenceWords.size())]);
    } while (word == buddy.presence);
    SetPresence(buddy, word);
}

}  // namespace platform
