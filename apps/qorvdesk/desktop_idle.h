#pragma once
// How long the desktop has been idle, asked of the session's idle services over D-Bus:
// GNOME's idle monitor (X11 and Wayland alike), then the screensaver interface KDE and others
// offer. Both answer in milliseconds. Nothing when none answers: the library then never
// counts the user as idle, so a desktop without such a service never turns anyone away.

#include <QDBusConnection>
#include <optional>

namespace host {

class DesktopIdle {
  public:
    explicit DesktopIdle(QDBusConnection bus = QDBusConnection::sessionBus());

    // Milliseconds since the last keyboard or mouse input anywhere on the desktop.
    std::optional<qint64> IdleMs() const;

  private:
    QDBusConnection bus_;
};

}  // namespace host
