#pragma once
// The program's main window: the library's frame. Its inside is the view of the library's
// client window, whose children (the login panel, then the main panel) show there one at a
// time. Closing it asks the program to quit; resizing it tells the library the client size.

#include <QMainWindow>
#include <functional>

#include "control_widgets.h"

class QAction;

namespace host {

class WindowView;
class WindowViews;

class FrameWindow : public QMainWindow {
    Q_OBJECT
  public:
    struct Actions {
        std::function<void()> logOut;
        std::function<void()> quit;
        std::function<void()> batchSms;  // the frame's batch-SMS command
    };
    FrameWindow(ViewContext& context, WindowViews& views, qorvdesk::automation::WindowHandle client,
                Actions actions);
    ~FrameWindow() override;

    WindowView& clientView() { return *client_; }
    QMenu& menu() { return *menu_; }
    void SetLoggedIn(bool loggedIn);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    WindowView* client_;
    QMenu* menu_;
    QAction* logOut_;
    QAction* batchSms_;
    Actions actions_;
};

}  // namespace host
