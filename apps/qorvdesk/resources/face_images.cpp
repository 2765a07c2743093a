#include "resources/face_images.h"

#include <QFontDatabase>
#include <QPainter>

#include "resources/face_emoji.h"

namespace host::resources {
namespace {

// Emoji are painted large and scaled down, which looks better than a small glyph.
constexpr int kCanvas = 160;
constexpr int kGlyphPixels = 128;

// The smallest rectangle holding every pixel that is not transparent.
QRect CoveredRect(const QImage& image) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// A square around `rect`'s centre, large enough to hold it.
QRect Squared(const QRect& rect) {
    const int side = std::max(rect.width(), rect.height());
    return QRect(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
}

QImage PaintEmoji(const QString& emoji) {
    QImage canvas(kCanvas, kCanvas, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    QFont font(QString::fromLatin1(kEmojiFontFamily));
    font.setPixelSize(kGlyphPixels);
    font.setStyleStrategy(QFont::NoFontMerging);
    painter.setFont(font);
    painter.drawText(canvas.rect(), Qt::AlignCenter, emoji);
    painter.end();
    return canvas;
}

// A round yellow face with the face's number, for a machine without the emoji font.
QImage PaintStandIn(int face, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0xff, 0xcc, 0x33));
    painter.setPen(QPen(QColor(0xcc, 0x88, 0x00), 1));
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
    QFont font = painter.font();
    font.setPixelSize(size / 2);
    painter.setFont(font);
    painter.setPen(QColor(0x66, 0x33, 0x00));
    painter.drawText(image.rect(), Qt::AlignCenter, QString::number(face));
    painter.end();
    return image;
}

}  // namespace

bool HasEmojiFont() {
    return QFontDatabase::families().contains(QString::fromLatin1(kEmojiFontFamily));
}

QImage RenderFace(int face, int size) {
    const QString emoji = FaceEmoji(face);
    if (emoji.isEmpty() || !HasEmojiFont()) return PaintStandIn(face, size);
    const QImage canvas = PaintEmoji(emoji);
    const QRect covered = CoveredRect(canvas);
    if (covered.isEmpty()) return PaintStandIn(face, size);
    // Cut a square (padding with transparency where it leaves the canvas), then scale.
    QImage square(Squared(covered).size(), QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage(QPoint(0, 0), canvas, Squared(covered));
    painter.end();
    return square.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace host::resources
