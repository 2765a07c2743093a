#pragma once
// A world to show the client in, on the embedded server: the account "demo" (password
// "demo"), an organisation of a few hundred people in units, buddies in groups whose presence
// changes now and then, bots that answer a chat (sim_bots.h), and a persistent room whose
// members are demo, its colleagues and the bots, where the helper bot answers what is said.
//
// The buddies and bots are the server's own participants: each has a session of its own on
// the server and acts through it, as a second person's client would. They run on the
// server's clock through a hidden window of the UI thread that loads the world: its timers
// move the presence and play the bots' answers, and a bot learns of a message through its
// session's delivery hook, which posts the work to that window. So an idle world costs
// nothing between its steps, and under a manual clock nothing moves until the clock does.
//
// The bots' files live in a private temporary folder of the world (mode 0700), removed with
// it: the small file they send, and the files people send them, each deleted once it arrived.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "os/sys/clock.h"
#include "os/ui/hwnd.h"
#include "platform/session/notify_record.h"
#include "platform/session/sim_bots.h"

namespace os {
class WindowSystem;
}

namespace platform {

class SimServer;
class SimSessionCore;

inline constexpr const char* kDemoLogin = "demo";
inline constexpr const char* kDemoPassword = "demo";
// The real-time OA notice the office system sends the demo user after each login.
inline constexpr const char* kDemoOaNotice =
    "<Appid>oa-docs</Appid><Appdesc>公文系统</Appdesc><TipType>0</TipType><Count>1</Count>"
    "<Desc>请审批: 关于年度预算的请示</Desc><SenderName>办公室</SenderName>"
    "<SendTime>20260105090000</SendTime><JumpUrl>http://127.0.0.1/oa/doc</JumpUrl>"
    "<JumpUrlParam>id=42&from=im</JumpUrlParam><DisplayUrl></DisplayUrl>"
    "<OfflineTip>您有一份公文待审批</OfflineTip>";
// The demo room's local part and name.
inline constexpr const char* kDemoRoomLocal = "demo-team";
inline constexpr const char* kDemoRoomName = "项目交流群";

class SimDemoWorld {
  public:
    // One buddy changes its presence this often.
    static constexpr os::Millis kPresenceStepMs = 15000;
    // The class of the world's hidden window.
    static constexpr const char* kWindowClass = "QorvDemoWorld";

    // The people of the organisation as planned.
    static constexpr int kPlannedPeople = 314;

    // Fills `server` with the world (accounts, rosters, the directory) and logs its people
    // in. Call it on the UI thread of `windows`, which then runs the world; both must outlive
    // the result. Null when the window cannot be made. `people` above the planned count
    // grows every unit in proportion, to try the client with a large organisation.
    static std::unique_ptr<SimDemoWorld> Load(SimServer& server, os::WindowSystem& windows,
                                              int people = kPlannedPeople);
    ~SimDemoWorld();
    SimDemoWorld(const SimDemoWorld&) = delete;
    SimDemoWorld& operator=(const SimDemoWorld&) = delete;

    const std::string& demoJid() const { return demoJid_; }
    // The demo room ("demo-team@conference.<host>").
    const std::string& demoRoomJid() const { return demoRoomJid_; }
    // The bots' and the buddies' JIDs, in roster order.
    std::vector<std::string> BotJids() const;
    std::vector<std::string> BuddyJids() const;
    // The bots' folder (ends in '/'); empty when it could not be made (the bots then send and
    // take no files).
    const std::string& botFolder() const { return botFolder_; }

  private:
    class Window;
    struct Participant {
        std::string login;
        std::string nickname;
        std::string jid;
        std::optional<BotStyle> bot;
        std::unique_ptr<SimSessionCore> session;
        std::string presence = "offline";  // what it last set
    };
    struct PlannedStep {
        std::size_t participant;
        std::string to;  // a chat partner, or the room the answer goes to
        BotStep step;
        bool inRoom = false;
    };

    SimDemoWorld(SimServer& server, os::WindowSystem& windows, int people);
    bool Start();
    void Populate();
    void AddParticipant(std::string login, std::string nickname, std::optional<BotStyle> bot);
    void SetPresence(Participant& participant, const std::string& word);
    void OpenDemoRoom();
    void PlanAnswer(std::size_t participant, const MessageData& message, bool inRoom);

    // Work of the hidden window.
    void Drain();
    void RunDueSteps();
    void ArmStepTimer();
    void StepPresence();
    void NoteDemoPresence(const std::string& word);
    // A bot's session heard of a file (an offer to it, or the end of one it receives).
    void NoteBotFile(std::size_t participant, std::uint32_t type, const FileTransferData& file);
    bool MakeBotFolder();

    SimServer& server_;
    os::WindowSystem& windows_;
    std::shared_ptr<SimServer> serverHandle_;  // does not own: for the sessions
    std::string demoJid_;
    std::string demoRoomJid_;
    std::vector<Participant> participants_;
    std::multimap<os::Millis, PlannedStep> agenda_;
    int people_;
    std::uint64_t random_ = 0x5DEECE66Dull;
    std::unique_ptr<Window> window_;
    os::HWND hwnd_;
    std::atomic<bool> drainPosted_{false};
    bool demoOnline_ = false;
    std::string botFolder_;
    std::uint64_t botFiles_ = 0;  // names the files the bots receive and the keys they send
};

}  // namespace platform
