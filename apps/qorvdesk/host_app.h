#pragma once
// The program: creates the library's frame and client windows, installs the host's handlers,
// runs the library's loop inside Qt's, answers the messages the library sends the frame, and
// ends the client cleanly (CanLogout before quitting, FreeWindows on the way out).

#include <QObject>
#include <memory>

#include "control_widgets.h"
#include "host_options.h"
#include "loop_driver.h"
#include "notices.h"
#include "prompts.h"
#include "qorvdesk/host.h"

class QMenu;

namespace host {

class FrameWindow;
class HostBridge;
class Tray;
class WindowViews;

class HostApp : public QObject {
    Q_OBJECT
  public:
    explicit HostApp(HostOptions options);
    ~HostApp() override;

    // Makes the windows and starts the client; false (with a message on stderr) when the
    // library cannot be driven.
    bool Start();
    // The person asked to quit: the client may refuse (CanLogout); otherwise it is freed and
    // Qt's loop ends with `exitCode`.
    void RequestQuit(int exitCode = 0);
    // The person asked to log out: asked once more, then CanLogout, then UserLogout.
    void RequestLogOut();
    bool Finished() const { return finished_; }

    FrameWindow& frame() { return *frameWindow_; }
    WindowViews& views() { return *views_; }
    Tray& tray() { return *tray_; }
    Notices& notices() { return *notices_; }
    LoopDriver& loop() { return loop_; }
    qorvdesk::automation::Driver& driver() { return *driver_; }
    const HostOptions& options() const { return options_; }
    bool LoggedIn() const { return loggedIn_; }

  private:
    std::int64_t OnFrameMessage(QorvWindow window, std::uint32_t message, std::uint64_t wParam,
                                std::int64_t lParam);
    void OnCommand(std::uint32_t id);
    void OnSystemCommand(std::uint32_t command);
    void ShowMenuAt(int x, int y);
    void Finish(int exitCode);

    HostOptions options_;
    Prompts prompts_;
    LoopDriver loop_;
    std::unique_ptr<QMenu> trayMenu_;
    std::unique_ptr<Tray> tray_;
    std::unique_ptr<Notices> notices_;
    std::unique_ptr<HostBridge> bridge_;
    std::unique_ptr<qorvdesk::automation::Driver> driver_;
    std::unique_ptr<ViewContext> context_;
    std::unique_ptr<WindowViews> views_;
    std::unique_ptr<FrameWindow> frameWindow_;
    QorvWindow frameHandle_ = 0;
    QorvWindow clientHandle_ = 0;
    bool loggedIn_ = false;
    bool finished_ = false;
    bool started_ = false;
};

}  // namespace host
