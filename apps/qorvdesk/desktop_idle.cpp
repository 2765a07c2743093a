#include "desktop_idle.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QString>

namespace host {
namespace {

struct IdleService {
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
};

constexpr IdleService kServices[] = {
    {"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
     "org.gnome.Mutter.IdleMonitor", "GetIdletime"},
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
     "GetSessionIdleTime"},
};

// The UI thread waits for the answer: a service that hangs must not hold it for long.
constexpr int kAnswerTimeoutMs = 500;

}  // namespace

DesktopIdle::DesktopIdle(QDBusConnection bus) : bus_(std::move(bus)) {}

std::optional<qint64> DesktopIdle::IdleMs() const {
    if (!bus_.isConnected()) return std::nullopt;
    for (const IdleService& idle : kServices) {
        const QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(idle.service), QString::fromLatin1(idle.path),
            QString::fromLatin1(idle.interface), QString::fromLatin1(idle.method));
        const QDBusMessage answer = bus_.call(call, QDBus::Block, kAnswerTimeoutMs);
        if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty()) continue;
        bool number = false;
        const qint64 ms = answer.arguments().constFirst().toLongLong(&number);
        if (number && ms >= 0) return ms;
    }
    return std::nullopt;
}

}  // namespace host
