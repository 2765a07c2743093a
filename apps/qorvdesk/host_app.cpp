#include "host_app.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "frame_window.h"
#include "gbk_bridge.h"
#include "host_bridge.h"
#include "program_icon.h"
#include "qorvdesk/automation.h"
#include "qorvdesk/exports.h"
#include "resources/prepare_resources.h"
#include "tray.h"
#include "window_view.h"
#include "window_views.h"

namespace host {
namespace {

// Windows numbers of what the library asks of the frame.
constexpr std::uint32_t kScMinimize = 0xF020;
constexpr std::uint32_t kScMaximize = 0xF030;
constexpr std::uint32_t kScClose = 0xF060;
constexpr std::uint32_t kScRestore = 0xF120;
constexpr std::uint32_t kBatchSmsCommand = 0x8047;
constexpr int kBatchSmsMode = 2;
constexpr int kSessionStarted = 0;
constexpr int kSessionEnded = 2;

}  // namespace

HostApp::HostApp(HostOptions options) : options_(std::move(options)) {}

HostApp::~HostApp() {
    if (started_ && !finished_) FreeWindows();
    frameWindow_.reset();
    views_.reset();
    bridge_.reset();
}

bool HostApp::Start() {
    // The application folder (faces, sounds, icon): the one named, else the user's own; its
    // files are made on the first start. Set before the library's first call reads it.
    if (qEnvironmentVariableIsEmpty("QORVDESK_APPDIR")) {
        const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                            QStringLiteral("/qorvdesk/app/");
        qputenv("QORVDESK_APPDIR", QFile::encodeName(own));
    }
    const QString appDir = QFile::decodeName(qgetenv("QORVDESK_APPDIR"));
    if (!PrepareResources(appDir)) {
        std::fprintf(stderr, "qorvdesk: some files of %s could not be written\n",
                     qPrintable(appDir));
    }
    // As the program's own command line reads: its name, then the parameters.
    QorvSetStartCommandLine(
        ToGbkLossy(QStringLiteral("qorvdesk ") + options_.startCommandLine).c_str());
    if (options_.demoWorld &&
        (options_.demoPeople > 0 ? QorvEmbeddedLoadDemoWorldOfSize(options_.demoPeople)
                                 : QorvEmbeddedLoadDemoWorld()) == 0) {
        std::fprintf(stderr, "qorvdesk: the demo world could not be loaded\n");
        return false;
    }

    trayMenu_ = std::make_unique<QMenu>();
    tray_ = std::make_unique<Tray>(
        ProgramIcon(), [] { ShowChatWindow(); }, trayMenu_.get());
    notices_ = std::make_unique<Notices>(*tray_);
    bridge_ = std::make_unique<HostBridge>(
        prompts_, *notices_,
        [this](QorvWindow window, std::uint32_t message, std::uint64_t wParam,
               std::int64_t lParam) { return OnFrameMessage(window, message, wParam, lParam); });

    frameHandle_ = QorvCreateHostFrame("Qorvdesk", 0, 0, 320, 640);
    clientHandle_ = frameHandle_ == 0 ? 0 : QorvCreateHostClient(frameHandle_);
    auto* system = static_cast<os::WindowSystem*>(QorvInternalWindowSystem());
    if (clientHandle_ == 0 || system == nullptr) {
        std::fprintf(stderr, "qorvdesk: the library made no host windows\n");
        return false;
    }
    driver_ = std::make_unique<qorvdesk::automation::Driver>(*system);
    context_ = std::make_unique<ViewContext>(ViewContext{*driver_, loop_, {}});
    // A contact double-clicked in the main panel's trees opens its chat, as the frame's
    // "send a message" command does: the selection is the one just made.
    context_->contactActivated = [this](QorvWindow window, int) {
        if (const auto info = driver_->Describe(window); info && info->parent == clientHandle_) {
            CallUserChat();
            loop_.PumpSoon();
        }
    };
    views_ = std::make_unique<WindowViews>(*context_, frameHandle_);
    frameWindow_ = std::make_unique<FrameWindow>(
        *context_, *views_, clientHandle_,
        FrameWindow::Actions{[this] { RequestLogOut(); }, [this] { RequestQuit(0); },
                             [this] { OnCommand(kBatchSmsCommand); }});
    frameWindow_->setWindowIcon(ProgramIcon());
    views_->SetAfterApply([this] { frameWindow_->clientView().Refresh(); });
    trayMenu_->addAction(QStringLiteral("显示主窗口"), [this] {
        frameWindow_->showNormal();
        frameWindow_->activateWindow();
    });
    trayMenu_->addAction(QStringLiteral("退出"), [this] { RequestQuit(0); });

    if (!loop_.Start()) {
        std::fprintf(stderr, "qorvdesk: the library's loop has no descriptor to watch\n");
        return false;
    }
    started_ = true;
    InitWindows(frameHandle_, clientHandle_);
    frameWindow_->clientView().Refresh();
    frameWindow_->show();
    loop_.Pump();
    return true;
}

void HostApp::RequestQuit(int exitCode) {
    if (finished_ || !started_) return;
    if (CanLogout() == 0) return;
    Finish(exitCode);
}

void HostApp::RequestLogOut() {
    if (!loggedIn_) return;
    const auto answer = QMessageBox::question(frameWindow_.get(), QStringLiteral("提示"),
                                              QStringLiteral("确定要注销当前帐户吗？"),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes || CanLogout() == 0) return;
    UserLogout();
    loop_.PumpSoon();
}

void HostApp::Finish(int exitCode) {
    finished_ = true;
    FreeWindows();
    loop_.Pump();
    views_->ApplyChanges();
    frameWindow_->hide();
    QCoreApplication::exit(exitCode);
}

std::int64_t HostApp::OnFrameMessage(QorvWindow, std::uint32_t message, std::uint64_t wParam,
                                     std::int64_t lParam) {
    switch (message) {
        case QORV_WM_HOST_TRAY:
            tray_->SetWaiting(wParam != 0);
            return 0;
        case QORV_WM_HOST_TITLE: {
            const char* title = reinterpret_cast<const char*>(lParam);
            const QString text = title == nullptr ? QString() : FromGbk(title);
            frameWindow_->setWindowTitle(text.isEmpty() ? QStringLiteral("Qorvdesk") : text);
            tray_->SetToolTip(text.isEmpty() ? QStringLiteral("Qorvdesk") : text);
            return 0;
        }
        case QORV_WM_HOST_SESSION:
            loggedIn_ = lParam == kSessionStarted;
            if (lParam == kSessionEnded) loggedIn_ = false;
            frameWindow_->SetLoggedIn(loggedIn_);
            return 0;
        case QORV_WM_HOST_MENU: {
            // The point is the library's heap copy, given up to us.
            auto* point = reinterpret_cast<std::int32_t*>(lParam);
            if (point != nullptr) {
                ShowMenuAt(point[0], point[1]);
                std::free(point);
            }
            return 0;
        }
        case QORV_WM_HOST_TABS:
            // The host keeps no tab menu of its own yet: the main panel's view shows the
            // panes the library lays out.
            return 0;
        case QORV_WM_HOST_SKIN:
            if (WindowView* view = views_->Find(static_cast<QorvWindow>(wParam))) view->Refresh();
            return 0;
        case QORV_WM_COMMAND:
            OnCommand(static_cast<std::uint32_t>(wParam & 0xFFFF));
            return 0;
        case QORV_WM_SYSCOMMAND:
            OnSystemCommand(static_cast<std::uint32_t>(wParam & 0xFFF0));
            return 0;
        default:
            return 0;
    }
}

void HostApp::OnCommand(std::uint32_t id) {
    // Each is done on the next turn of the loop, outside the library's handler that asked.
    if (id == QORV_ID_HOST_CONNECTION_LOST) {
        QTimer::singleShot(0, this, [] { UserLogout(); });
    } else if (id == kBatchSmsCommand) {
        QTimer::singleShot(0, this, [] { ShowSendSmsWindow(kBatchSmsMode); });
    }
}

void HostApp::OnSystemCommand(std::uint32_t command) {
    switch (command) {
        case kScMinimize:
            frameWindow_->showMinimized();
            break;
        case kScMaximize:
            frameWindow_->showMaximized();
            break;
        case kScRestore:
            frameWindow_->showNormal();
            break;
        case kScClose:
            QTimer::singleShot(0, this, [this] { RequestQuit(0); });
            break;
        default:
            break;
    }
}

void HostApp::ShowMenuAt(int x, int y) { frameWindow_->menu().popup(QPoint(x, y)); }

}  // namespace host
