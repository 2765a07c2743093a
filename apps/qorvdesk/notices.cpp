#include "notices.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

#include "tray.h"

namespace host {
namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int kShowMs = 6000;

bool ServerRuns() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return false;
    return bus.interface()->isServiceRegistered(kService).value();
}
}  // namespace

Notices::Route Notices::Show(const QString& title, const QString& text) {
    if (ServerRuns()) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
        call << QStringLiteral("Qorvdesk") << uint(0) << QStringLiteral("qorvdesk") << title << text
             << QStringList() << QVariantMap() << kShowMs;
        // No answer is awaited: the notification id is not needed.
        if (QDBusConnection::sessionBus().send(call)) return Remember(text, Route::Desktop);
    }
    tray_.ShowBalloon(title, text);
    return Remember(text, Route::Balloon);
}

Notices::Route Notices::Remember(const QString& text, Route route) {
    lastText_ = text;
    lastRoute_ = route;
    ++count_;
    return route;
}

}  // namespace host
