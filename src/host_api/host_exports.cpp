// The host's side of the library (qorvdesk/host.h): its windows, the UI loop, the start
// command line, message boxes and the embedded server's accounts. Each runs its work through
// ExportCall (export_call.h), as the exports of exports.h do.
#include <cstdint>
#include <optional>
#include <source_location>

#include "host_api/c_strings.h"
#include "host_api/export_call.h"
#include "host_api/host_notices.h"
#include "host_api/host_window.h"
#include "host_api/library.h"
#include "login/startup_timers.h"
#include "platform/jid/jid.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"
#include "platform/session/sim_demo_world.h"
#include "platform/session/sim_server.h"
#include "qorvdesk/host.h"

namespace {

// Runs `action` on the library's objects through ExportCall; answers `fallback` without them
// or when the action throws.
template <typename Result, typename Action>
Result OnLibrary(Result fallback, Action action,
                 const std::source_location where = std::source_location::current()) noexcept {
    return ExportCall(where, fallback, [&]() -> Result {
        EnsureLibraryObjects();
        if (theLibrary == nullptr) return fallback;
        return action(*theLibrary);
    });
}

template <typename Action>
void OnLibrary(Action action,
               const std::source_location where = std::source_location::current()) noexcept {
    ExportCall(where, [&] {
        EnsureLibraryObjects();
        if (theLibrary != nullptr) action(*theLibrary);
    });
}

}  // namespace

extern "C" {

void QorvSetHostHandler(QorvHostHandler handler, void* user) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) { library.hostWindows->SetHandler(handler, user); });
}

QorvWindow QorvCreateHostFrame(const char* title, int x, int y, int width,
                               int height) QORV_NOEXCEPT {
    return OnLibrary(QorvWindow{0}, [&](Library& library) {
        return library.hostWindows->CreateFrame(title, os::Rect::FromSize(x, y, width, height))
            .value();
    });
}

QorvWindow QorvCreateHostClient(QorvWindow frame) QORV_NOEXCEPT {
    return OnLibrary(QorvWindow{0}, [&](Library& library) {
        return library.hostWindows->CreateClient(os::HWND(frame)).value();
    });
}

int QorvRunLoop(void) QORV_NOEXCEPT {
    return OnLibrary(0, [](Library& library) { return library.world->windows().Run(); });
}

int QorvPumpMessages(void) QORV_NOEXCEPT {
    return OnLibrary(0, [](Library& library) { return library.world->windows().PumpPending(); });
}

void QorvPostQuit(int exitCode) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) { library.world->windows().PostQuitMessage(exitCode); });
}

int QorvLoopDescriptor(void) QORV_NOEXCEPT {
    return OnLibrary(-1,
                     [](Library& library) { return library.world->windows().LoopDescriptor(); });
}

int64_t QorvNextTimerDueMs(void) QORV_NOEXCEPT {
    return OnLibrary(int64_t{-1}, [](Library& library) -> int64_t {
        const os::Millis due = library.world->windows().NextTimerDue();
        return due == os::kInfinite ? -1 : due;
    });
}

void QorvSetNestedLoopHandler(QorvNestedLoopHandler handler, void* user) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) { library.prompter->SetNestedLoopHandler(handler, user); });
}

void* QorvInternalWindowSystem(void) QORV_NOEXCEPT {
    return OnLibrary(static_cast<void*>(nullptr),
                     [](Library& library) -> void* { return &library.world->windows(); });
}

void QorvSetStartCommandLine(const char* commandLine) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) {
        library.world->context().startCommandLine = std::string(InText(commandLine));
    });
}

void QorvSetMessageBoxHandler(QorvMessageBoxHandler handler, void* user) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) { library.prompter->SetHandler(handler, user); });
}

void QorvSetFileChooserHandler(QorvFileChooserHandler handler, void* user) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) { library.prompter->SetFileChooserHandler(handler, user); });
}

void QorvSetFontHandler(QorvFontHandler handler, void* user) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) { library.prompter->SetFontHandler(handler, user); });
}

void QorvSetInputHandler(QorvInputHandler handler, void* user) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) { library.prompter->SetInputHandler(handler, user); });
}

void QorvSetNoticeHandler(QorvNoticeHandler handler, void* user) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) {
        auto* tips = dynamic_cast<platform::LoggingNoticePop*>(&library.world->context().noticePop);
        if (tips == nullptr) return;
        if (handler == nullptr) {
            tips->SetDisplay({});
            return;
        }
        // Tips come from the notification thread as well as the UI thread; the host hears of
        // them on its UI thread, through its frame window's queue.
        os::WindowSystem& windows = library.world->windows();
        tips->SetDisplay([handler, user, &windows](const platform::TipCall& call) {
            auto show = [handler, user, notice = DescribeForHost(call)] {
                handler(user, notice.title.c_str(), notice.text.c_str());
            };
            const os::HWND frame = windows.FindWindow(kHostFrameClass, "");
            if (frame && !windows.IsOwnedByCallingThread(frame)) {
                windows.PostTask(frame, std::move(show));
                return;
            }
            show();
        });
    });
}

void QorvSetIdleTimeHandler(QorvIdleTimeHandler handler, void* user) QORV_NOEXCEPT {
    OnLibrary([&](Library& library) {
        if (library.subsystems == nullptr) return;
        login::StartupTimers& timers = library.subsystems->mainWindowShell().startupTimers();
        if (handler == nullptr) {
            timers.SetIdleSource({});
            return;
        }
        timers.SetIdleSource([handler, user]() -> std::optional<os::Millis> {
            const std::int64_t idle = handler(user);
            if (idle < 0) return std::nullopt;
            return static_cast<os::Millis>(idle);
        });
    });
}

int QorvEmbeddedAddAccount(const char* account, const char* password,
                           const char* nickname) QORV_NOEXCEPT {
    if (InText(account).empty()) return 0;
    return OnLibrary(0, [&](Library& library) {
        platform::SimServer& server = library.world->server();
        platform::SimAccount entry;
        entry.loginName = std::string(InText(account));
        entry.password = std::string(InText(password));
        entry.nickname = std::string(InText(nickname));
        entry.jid = platform::Jid::Government(entry.loginName, server.HostName()).text();
        if (server.HasAccount(entry.jid)) return 0;
        server.AddAccount(std::move(entry));
        return 1;
    });
}

void* QorvInternalSessionCore(void) QORV_NOEXCEPT {
    return OnLibrary(static_cast<void*>(nullptr), [](Library& library) -> void* {
        return static_cast<platform::SessionCore*>(&library.world->context().session);
    });
}

int QorvEmbeddedLoadDemoWorld(void) QORV_NOEXCEPT {
    return QorvEmbeddedLoadDemoWorldOfSize(platform::SimDemoWorld::kPlannedPeople);
}

int QorvEmbeddedLoadDemoWorldOfSize(int people) QORV_NOEXCEPT {
    return OnLibrary(0, [people](Library& library) {
        if (library.demoWorld == nullptr) {
            library.demoWorld = platform::SimDemoWorld::Load(library.world->server(),
                                                             library.world->windows(), people);
        }
        return library.demoWorld != nullptr ? 1 : 0;
    });
}

}  // extern "C"
