#pragma once
// ClientWorld: owns one client's collaborators and the ClientContext over them. The library
// builds one (real clock, log file, the embedded server) for its exports; a test builds a
// TestClientWorld of its own over a temporary folder, with a manual clock and recording
// stand-ins it can script and read.
//
// Build the window manager and every subsystem after the world and destroy them before it.

#include <memory>
#include <string>
#include <vector>

#include "core/client_context.h"
#include "os/prompt/scripted_prompter.h"

namespace os {
class Event;
class ManualClock;
class RecordingShell;
class RecordingSoundPlayer;
}  // namespace os
namespace platform {
class RecordingNoticePop;
class SimServer;
class SimSessionCore;
class ForwardingSessionCore;
class XmppSessionCore;
}  // namespace platform

namespace core {

struct WorldFolders {
    std::string commonDir;  // empty: os::SharedClientDir()
    std::string appDir;     // empty: os::AppDir()
};

class ClientWorld {
  public:
    // The library's world: real clock, the log file "qorvdesk.log" in the shared directory,
    // `prompter` for modal UI, tips written to the log, the desktop's shell and sound player,
    // and a session on a new embedded simulated server.
    static std::unique_ptr<ClientWorld> ForLibrary(WorldFolders folders,
                                                   std::unique_ptr<os::Prompter> prompter);

    virtual ~ClientWorld();
    ClientWorld(const ClientWorld&) = delete;
    ClientWorld& operator=(const ClientWorld&) = delete;

    ClientContext& context() const { return *context_; }
    os::WindowSystem& windows() const { return *windows_; }
    os::Log& log() const { return *log_; }
    // The embedded server the session runs on.
    platform::SimServer& server() const { return *server_; }
    platform::SimSessionCore& simSession() const { return *session_; }
    // The engine the client talks to now: the simulated server's session, or the XMPP
    // engine when the configuration names a server (HostName, UseTLS, XmppPort).
    platform::SessionCore& session() const;

  protected:
    struct Parts {
        std::unique_ptr<os::Clock> clock;
        std::unique_ptr<os::Log> log;
        std::unique_ptr<os::Prompter> prompter;
        std::unique_ptr<platform::NoticePop> noticePop;
        std::unique_ptr<os::Shell> shell;
        std::unique_ptr<os::SoundPlayer> sound;
    };
    ClientWorld(Parts parts, WorldFolders folders);

  private:
    // Points the session at the engine the configuration asks for.
    void ChooseEngine();

    Folders folders_;
    std::unique_ptr<os::Clock> clock_;
    std::unique_ptr<os::WindowSystem> windows_;
    std::unique_ptr<os::Log> log_;
    std::unique_ptr<os::Prompter> prompter_;
    std::shared_ptr<platform::SimServer> server_;
    std::unique_ptr<platform::SimSessionCore> session_;
    // Every XMPP engine made (a changed server makes a new one; the old ones stay until the
    // world goes, as records they issued may still be out).
    std::vector<std::unique_ptr<platform::XmppSessionCore>> xmppEngines_;
    std::unique_ptr<platform::ForwardingSessionCore> engine_;
    std::unique_ptr<platform::NoticePop> noticePop_;
    std::unique_ptr<platform::SharedUtil> sharedUtil_;
    std::unique_ptr<os::Shell> shell_;
    std::unique_ptr<os::SoundPlayer> sound_;
    std::unique_ptr<os::NamedObjectSpace> namedObjects_;
    std::unique_ptr<config::ClientConfig> config_;
    std::unique_ptr<ClientContext> context_;
    std::shared_ptr<os::Event> loginEvent_;
};

// A world for tests: a manual clock (advance it; nothing waits in real time), a capturing
// log, a scripted prompter, and recording tips, shell and sound.
class TestClientWorld final : public ClientWorld {
  public:
    // `folders`: normally two temporary folders. `onUnanswered` is told of every prompt the
    // test queued no answer for (tests pass one that fails the test).
    explicit TestClientWorld(WorldFolders folders,
                             os::ScriptedPrompter::UnansweredHandler onUnanswered = {});

    os::ManualClock& clock() const { return *clock_; }
    os::ScriptedPrompter& prompter() const { return *prompter_; }
    platform::RecordingNoticePop& tips() const { return *tips_; }
    os::RecordingShell& shell() const { return *shell_; }
    os::RecordingSoundPlayer& sound() const { return *sound_; }

  private:
    struct Typed {
        os::ManualClock* clock;
        os::ScriptedPrompter* prompter;
        platform::RecordingNoticePop* tips;
        os::RecordingShell* shell;
        os::RecordingSoundPlayer* sound;
    };
    struct Made {
        Parts parts;
        Typed typed;
    };
    static Made MakeParts(os::ScriptedPrompter::UnansweredHandler onUnanswered);
    TestClientWorld(Made made, WorldFolders folders);

    os::ManualClock* clock_;
    os::ScriptedPrompter* prompter_;
    platform::RecordingNoticePop* tips_;
    os::RecordingShell* shell_;
    os::RecordingSoundPlayer* sound_;
};

}  // namespace core
