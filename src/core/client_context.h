#pragma once
// ClientContext: the collaborators every subsystem of the client takes, in one place. There
// is no hidden global: the library builds one world for its exports, and each test builds a
// world of its own (ClientWorld, client_world.h), so tests run side by side.
//
// A subsystem keeps a reference to the context (or to the parts it needs) for its lifetime;
// the world that owns the context outlives every subsystem built on it.
//
//   clock        every tick count, sleep, wait and timer
//   windows      the window system: windows, messages, timers, hooks, hot keys
//   prompter     every message box and modal dialog
//   log          WriteLog / WriteLog2
//   session      the session engine (SessionCore)
//   noticePop    the pop-up tips near the tray
//   sharedUtil   the shared client directory, the login-server table, text conversions
//   shell        ShellExecute
//   sound        PlaySound
//   namedObjects the space of named kernel objects shared with other processes
//   config       the deployment configuration, loaded by InitWindows
//   folders      the shared client directory and the application directory
//   doors        the doors to the work of other subsystems (doors.h)
//   windowManager  the window manager, for the subsystems below it (window_manager.h)
//   OpenUserStore  the logged-in user's message store
//   lastSessionAccount  who the last session that logged in belongs to, kept past its end
//   clipboard    the process's clipboard (what the windows copy)
//   offlineFiles the offline file tasks (OfflineFileLib), the client's one

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "os/services/clipboard.h"

namespace os {
class Clock;
class WindowSystem;
class Prompter;
class Log;
class Shell;
class SoundPlayer;
class NamedObjectSpace;
}  // namespace os
namespace platform {
class SessionCore;
class NoticePop;
class SharedUtil;
class OfflineFileLib;
}  // namespace platform
namespace config {
struct ClientConfig;
struct ConfigContext;
}  // namespace config

class CClientDB;

namespace core {

class IWindowManager;
struct Doors;

struct Folders {
    std::string commonDir;  // the shared client directory (GetCommanDir), ending in '/'
    std::string appDir;     // the application directory (GetAppPath), ending in '/'
};

// Records the name of each step of the start-up, log-out and tear-down sequences as it runs,
// so their order can be observed. Empty: nothing is recorded.
using StepTrace = std::function<void(std::string_view step)>;

class ClientContext {
  public:
    ClientContext(os::Clock& clock, os::WindowSystem& windows, os::Prompter& prompter, os::Log& log,
                  platform::SessionCore& session, platform::NoticePop& noticePop,
                  platform::SharedUtil& sharedUtil, os::Shell& shell, os::SoundPlayer& sound,
                  os::NamedObjectSpace& namedObjects, config::ClientConfig& config,
                  Folders folders);
    ~ClientContext();
    ClientContext(const ClientContext&) = delete;
    ClientContext& operator=(const ClientContext&) = delete;

    os::Clock& clock;
    os::WindowSystem& windows;
    os::Prompter& prompter;
    os::Log& log;
    platform::SessionCore& session;
    platform::NoticePop& noticePop;
    platform::SharedUtil& sharedUtil;
    os::Shell& shell;
    os::SoundPlayer& sound;
    os::NamedObjectSpace& namedObjects;
    config::ClientConfig& config;
    const Folders folders;

    // The host's start command line, handed to the start-parameter parser by InitWindows.
    std::string startCommandLine;
    os::Clipboard clipboard;
    StepTrace trace;

    // The doors to other subsystems' work; include core/doors.h and the doors you call.
    Doors& doors() const { return *doors_; }

    // The configuration code's view of this context.
    config::ConfigContext configContext() const;

    // The window manager. Set by the window manager when it is built on this context; a
    // subsystem may rely on it from then on (asking earlier is a programming error).
    IWindowManager& windowManager() const;
    bool hasWindowManager() const { return windowManager_ != nullptr; }
    void SetWindowManager(IWindowManager* windowManager) { windowManager_ = windowManager; }

    // The logged-in user's folder: UserFolder (user_folder.h) of folders.commonDir and the
    // session's account name; nothing when nobody is logged in or the name names no folder.
    std::optional<std::string> CurrentUserFolder() const;
    // A handle on the logged-in user's message store for one operation (the store keeps its
    // connections open between handles). Null, with a log line, when there is no user folder.
    std::unique_ptr<CClientDB> OpenUserStore() const;
    // The same for the store of `account` (an account name).
    std::unique_ptr<CClientDB> OpenStoreOf(const std::string& account) const;

    // The account of the session that logged in last: its account name and own JID, taken
    // at each login and kept after the session ends, until the next login. What that
    // session received and queued before its end is still its user's, and is stored for
    // them. Read and written on the UI thread.
    struct SessionAccount {
        std::string limitName;
        std::string jid;
    };
    void RememberSessionAccount();
    const SessionAccount& lastSessionAccount() const { return lastSessionAccount_; }

    // The offline file tasks: uploads to and downloads from the offline file server.
    platform::OfflineFileLib& offlineFiles() const { return *offlineFiles_; }

    // Records a step through `trace`, if set.
    void Trace(std::string_view step) const {
        if (trace) trace(step);
    }

  private:
    std::unique_ptr<Doors> doors_;
    SessionAccount lastSessionAccount_;
    IWindowManager* windowManager_ = nullptr;
    // Last: its tasks end (and their threads are waited for) before anything else goes.
    std::unique_ptr<platform::OfflineFileLib> offlineFiles_;
};

}  // namespace core
