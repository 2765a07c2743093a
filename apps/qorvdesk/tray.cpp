#include "tray.h"

#include <QMenu>
#include <QPixmap>

namespace host {
namespace {
constexpr int kBlinkMs = 500;
}

Tray::Tray(QIcon icon, std::function<void()> pick, QMenu* menu)
    : normal_(std::move(icon)), pick_(std::move(pick)), tip_(QStringLiteral("Qorvdesk")) {
    QPixmap transparent(32, 32);
    transparent.fill(Qt::transparent);
    blank_ = QIcon(transparent);
    icon_.setIcon(normal_);
    if (menu != nullptr) icon_.setContextMenu(menu);
    blink_.setInterval(kBlinkMs);
    connect(&blink_, &QTimer::timeout, this, &Tray::Blink);
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
                    if (pick_) pick_();
                }
            });
    UpdateToolTip();
    if (QSystemTrayIcon::isSystemTrayAvailable()) icon_.show();
}

void Tray::SetWaiting(bool waiting) {
    waiting_ = waiting ? waiting_ + 1 : 0;
    if (waiting_ > 0) {
        if (!blink_.isActive()) blink_.start();
    } else {
        blink_.stop();
        shown_ = true;
        icon_.setIcon(normal_);
    }
    UpdateToolTip();
}

void Tray::Blink() {
    shown_ = !shown_;
    icon_.setIcon(shown_ ? normal_ : blank_);
}

void Tray::SetToolTip(const QString& text) {
    tip_ = text;
    UpdateToolTip();
}

void Tray::UpdateToolTip() {
    icon_.setToolTip(waiting_ > 0 ? QStringLiteral("%1 - %2 条新消息").arg(tip_).arg(waiting_)
                                  : tip_);
}

void Tray::ShowBalloon(const QString& title, const QString& text) {
    icon_.showMessage(title, text, normal_);
}

}  // namespace host
