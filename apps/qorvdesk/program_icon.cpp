#include "program_icon.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>

namespace host {

QIcon ProgramIcon() {
    const QByteArray dir = qgetenv("QORVDESK_APPDIR");
    if (!dir.isEmpty()) {
        for (const char* name : {"qorvdesk.png", "icon/qorvdesk.png", "qorvdesk.svg"}) {
            const QString path = QDir(QString::fromLocal8Bit(dir)).filePath(QLatin1String(name));
            if (QFileInfo::exists(path)) return QIcon(path);
        }
    }
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2d, 0x7d, 0xd2));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(4, 8, 56, 42, 12, 12);
    painter.drawPolygon(QPolygon({QPoint(16, 46), QPoint(14, 60), QPoint(30, 48)}));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(30);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(4, 8, 56, 42), Qt::AlignCenter, QStringLiteral("Q"));
    return QIcon(pixmap);
}

}  // namespace host
