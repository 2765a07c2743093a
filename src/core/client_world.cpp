#include "core/client_world.h"

#include "config/client_config.h"
#include "os/services/log.h"
#include "os/services/recording_shell.h"
#include "os/services/sound_player.h"
#include "os/services/system_shell.h"
#include "os/sys/clock.h"
#include "os/sys/named_objects.h"
#include "os/sys/paths.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/services/shared_util.h"
#include "platform/session/forwarding_session_core.h"
#include "platform/session/session_utilities.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "platform/store/client_db.h"
#include "platform/store/group_child.h"
#include "platform/xmpp/xmpp_session_core.h"

namespace core {
namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

ClientWorld::ClientWorld(Parts parts, WorldFolders folders)
    : folders_{WithSlash(folders.commonDir.empty() ? os::SharedClientDir() : folders.commonDir),
               WithSlash(folders.appDir.empty() ? os::AppDir() : folders.appDir)},
      clock_(std::move(parts.clock)),
      windows_(std::make_unique<os::WindowSystem>(*clock_)),
      log_(std::move(parts.log)),
      prompter_(std::move(parts.prompter)),
      server_(std::make_shared<platform::SimServer>(*clock_)),
      session_(std::make_unique<platform::SimSessionCore>(
          server_, platform::SessionUtilities(log_.get(), folders_.appDir))),
      engine_(std::make_unique<platform::ForwardingSessionCore>(*session_)),
      noticePop_(std::move(parts.noticePop)),
      sharedUtil_(std::make_unique<platform::SharedUtil>(folders_.commonDir)),
      shell_(std::move(parts.shell)),
      sound_(std::move(parts.sound)),
      namedObjects_(std::make_unique<os::NamedObjectSpace>(folders_.commonDir)),
      config_(std::make_unique<config::ClientConfig>()),
      context_(std::make_unique<ClientContext>(*clock_, *windows_, *prompter_, *log_, *engine_,
                                               *noticePop_, *sharedUtil_, *shell_, *sound_,
                                               *namedObjects_, *config_, folders_)) {
    // The engine signals "LoginEvent" once a login has fully succeeded; the login panel's
    // time-out watch waits on it by name.
    loginEvent_ =
        os::OpenNamedEvent(*namedObjects_, "LoginEvent", *clock_, os::EventReset::Auto, false);
    session_->SetLoginEvent(loginEvent_.get());
    // The engine is chosen when the session is set up for a login, once the configuration
    // has been read.
    engine_->SetChooser([this] { ChooseEngine(); });
    // The engine stores the organisation units it fetches in the user's directory store,
    // where the contact trees read them.
    session_->SetDirectoryStore(
        [context = context_.get()](std::string_view unitKey,
                                   const std::vector<platform::DirectoryChild>& children) {
            std::unique_ptr<CClientDB> store = context->OpenUserStore();
            if (store == nullptr) return false;
            CGroupChildList stored;
            stored.reserve(children.size());
            for (const platform::DirectoryChild& child : children) {
                stored.emplace_back(child.isUnit ? CGroupChild::kUnit : CGroupChild::kPerson,
                                    child.id, child.name, child.parentId);
            }
            return store->RefreshGroupChildren(std::string(unitKey).c_str(), stored);
        });
}

ClientWorld::~ClientWorld() {
    // Windows the system still owns (adopted dialogs) go first, while the context their code
    // may reach is still there.
    windows_.reset();
    engine_->SetChooser({});
    for (const auto& engine : xmppEngines_) engine->SetLoginEvent(nullptr);
    session_->SetLoginEvent(nullptr);
    session_->SetDirectoryStore({});
}

platform::SessionCore& ClientWorld::session() const { return engine_->target(); }

void ClientWorld::ChooseEngine() {
    const config::ClientConfig& config = *config_;
    if (config.HostName.empty()) {
        engine_->SetTarget(*session_);
        return;
    }
    platform::XmppSettings settings;
    settings.address = config.HostName;
    settings.domain = config.HostName;
    settings.port = config.XmppPort;
    settings.requireTls = config.UseTLS != 0;
    if (xmppEngines_.empty() || xmppEngines_.back()->Settings() != settings) {
        log_->WriteLog2(3, "session: the XMPP engine connects to " + settings.address + ":" +
                               std::to_string(settings.port));
        xmppEngines_.push_back(std::make_unique<platform::XmppSessionCore>(
            settings, *clock_, platform::SessionUtilities(log_.get(), folders_.appDir)));
        xmppEngines_.back()->SetLoginEvent(loginEvent_.get());
    }
    engine_->SetTarget(*xmppEngines_.back());
}

std::unique_ptr<ClientWorld> ClientWorld::ForLibrary(WorldFolders folders,
                                                     std::unique_ptr<os::Prompter> prompter) {
    const std::string commonDir =
        WithSlash(folders.commonDir.empty() ? os::SharedClientDir() : folders.commonDir);
    Parts parts;
    parts.clock = std::make_unique<os::RealClock>();
    parts.log = os::Log::ToFile(*parts.clock, commonDir + os::kLogFileName);
    parts.prompter = std::move(prompter);
    parts.noticePop = std::make_unique<platform::LoggingNoticePop>(*parts.log);
    parts.shell = std::make_unique<os::SystemShell>();
    parts.sound = std::make_unique<os::SystemSoundPlayer>(os::DefaultSearchPath(), parts.log.get());
    folders.commonDir = commonDir;
    return std::unique_ptr<ClientWorld>(new ClientWorld(std::move(parts), std::move(folders)));
}

TestClientWorld::Made TestClientWorld::MakeParts(
    os::ScriptedPrompter::UnansweredHandler onUnanswered) {
    Made made;
    auto clock = std::make_unique<os::ManualClock>();
    auto prompter = std::make_unique<os::ScriptedPrompter>(std::move(onUnanswered));
    auto tips = std::make_unique<platform::RecordingNoticePop>();
    auto shell = std::make_unique<os::RecordingShell>();
    auto sound = std::make_unique<os::RecordingSoundPlayer>();
    made.typed = Typed{clock.get(), prompter.get(), tips.get(), shell.get(), sound.get()};
    made.parts.log = os::Log::Capturing(*clock);
    made.parts.clock = std::move(clock);
    made.parts.prompter = std::move(prompter);
    made.parts.noticePop = std::move(tips);
    made.parts.shell = std::move(shell);
    made.parts.sound = std::move(sound);
    return made;
}

TestClientWorld::TestClientWorld(WorldFolders folders,
                                 os::ScriptedPrompter::UnansweredHandler onUnanswered)
    : TestClientWorld(MakeParts(std::move(onUnanswered)), std::move(folders)) {}

TestClientWorld::TestClientWorld(Made made, WorldFolders folders)
    : ClientWorld(std::move(made.parts), std::move(folders)),
      clock_(made.typed.clock),
      prompter_(made.typed.prompter),
      tips_(made.typed.tips),
      shell_(made.typed.shell),
      sound_(made.typed.sound) {}

}  // namespace core
