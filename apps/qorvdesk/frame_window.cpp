#include "frame_window.h"

#include <QCloseEvent>
#include <QMenuBar>

#include "qorvdesk/exports.h"
#include "window_view.h"

namespace host {

FrameWindow::FrameWindow(ViewContext& context, WindowViews& views,
                         qorvdesk::automation::WindowHandle client, Actions actions)
    : actions_(std::move(actions)) {
    setObjectName(QStringLiteral("frame"));
    setWindowTitle(QStringLiteral("Qorvdesk"));
    client_ = new WindowView(context, views, client, this);
    setCentralWidget(client_);
    menu_ = menuBar()->addMenu(QStringLiteral("Qorvdesk"));
    menu_->setObjectName(QStringLiteral("frameMenu"));
    logOut_ = menu_->addAction(QStringLiteral("注销"), [this] {
        if (actions_.logOut) actions_.logOut();
    });
    logOut_->setObjectName(QStringLiteral("logOutAction"));
    logOut_->setEnabled(false);
    batchSms_ = menu_->addAction(QStringLiteral("群发短信"), [this] {
        if (actions_.batchSms) actions_.batchSms();
    });
    batchSms_->setObjectName(QStringLiteral("batchSmsAction"));
    batchSms_->setEnabled(false);
    QAction* quit = menu_->addAction(QStringLiteral("退出"), [this] { close(); });
    quit->setObjectName(QStringLiteral("quitAction"));
    resize(320, 640);
}

FrameWindow::~FrameWindow() = default;

void FrameWindow::SetLoggedIn(bool loggedIn) {
    logOut_->setEnabled(loggedIn);
    batchSms_->setEnabled(loggedIn);
}

void FrameWindow::closeEvent(QCloseEvent* event) {
    // Whether the program may end is asked first; it ends by quitting, not by this event.
    event->ignore();
    if (actions_.quit) actions_.quit();
}

void FrameWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RecalcClientSize(client_->width(), client_->height());
}

}  // namespace host
