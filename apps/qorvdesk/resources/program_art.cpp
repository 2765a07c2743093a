#include "resources/program_art.h"

#include <QPainter>
#include <QPainterPath>

namespace host::resources {

// Both forms draw on a 64 × 64 grid: the bubble (rounded, with its tail at the lower left),
// then the ring and the ring's tail.
QByteArray ProgramIconSvg() {
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
        "viewBox=\"0 0 64 64\">\n"
        "  <title>Qorvdesk</title>\n"
        "  <defs>\n"
        "    <linearGradient id=\"sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
        "      <stop offset=\"0\" stop-color=\"#4aa3f0\"/>\n"
        "      <stop offset=\"1\" stop-color=\"#1e6fc8\"/>\n"
        "    </linearGradient>\n"
        "  </defs>\n"
        "  <path d=\"M14 6 H50 A10 10 0 0 1 60 16 V40 A10 10 0 0 1 50 50 H26 L12 60 L15 50 "
        "H14 A10 10 0 0 1 4 40 V16 A10 10 0 0 1 14 6 Z\" fill=\"url(#sky)\"/>\n"
        "  <circle cx=\"32\" cy=\"27\" r=\"12\" fill=\"none\" stroke=\"#ffffff\" "
        "stroke-width=\"5\"/>\n"
        "  <path d=\"M37 32 L45 41\" stroke=\"#ffffff\" stroke-width=\"5\" "
        "stroke-linecap=\"round\"/>\n"
        "</svg>\n");
}

QImage ProgramIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(4, 6, 56, 44), 10, 10);
    QPainterPath tail;
    tail.moveTo(26, 49);
    tail.lineTo(12, 60);
    tail.lineTo(15, 49);
    tail.closeSubpath();
    QLinearGradient sky(0, 6, 0, 50);
    sky.setColorAt(0, QColor(0x4a, 0xa3, 0xf0));
    sky.setColorAt(1, QColor(0x1e, 0x6f, 0xc8));
    painter.fillPath(bubble.united(tail), sky);

    QPen pen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(32, 27), 12, 12);
    painter.drawLine(QPointF(37, 32), QPointF(45, 41));
    painter.end();
    return image;
}

}  // namespace host::resources
