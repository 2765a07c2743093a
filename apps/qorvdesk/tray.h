#pragma once
// The tray icon: it blinks while a message waits to be picked, with the number waiting in its
// tip, and opens the next waiting message when clicked. It also shows the balloon of a notice
// when no notification server runs.

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>

class QMenu;

namespace host {

class Tray : public QObject {
    Q_OBJECT
  public:
    // `pick` opens the next waiting message; `menu` is the icon's context menu (may be null).
    Tray(QIcon icon, std::function<void()> pick, QMenu* menu);

    // A message waits (true) or nothing waits any more (false).
    void SetWaiting(bool waiting);
    int WaitingCount() const { return waiting_; }
    bool Blinking() const { return blink_.isActive(); }
    void ShowBalloon(const QString& title, const QString& text);
    void SetToolTip(const QString& text);

  private:
    void Blink();
    void UpdateToolTip();

    QSystemTrayIcon icon_;
    QIcon normal_;
    QIcon blank_;
    QTimer blink_;
    std::function<void()> pick_;
    QString tip_;
    int waiting_ = 0;
    bool shown_ = true;
};

}  // namespace host
