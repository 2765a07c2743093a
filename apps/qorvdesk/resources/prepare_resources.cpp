#include "resources/prepare_resources.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <functional>

#include "resources/face_emoji.h"
#include "resources/face_images.h"
#include "resources/gif_writer.h"
#include "resources/program_art.h"
#include "resources/tones.h"

namespace host {
namespace {

// The names the library looks for.
constexpr const char* kWelcomeSound = "sound/welcome.wav";
constexpr const char* kMessageSound = "sound/message.wav";
constexpr int kIconPixels = 256;
constexpr const char* kPageFiles[] = {"template/msgmgr.html", "template/msgmgr.js",
                                      "template/msgmgr.css"};

QString FacePath(int face) { return QStringLiteral("face/%1.gif").arg(face); }

// Makes `relative` below `dir` with the bytes `make` gives, unless it is there already.
bool WriteIfMissing(const QDir& dir, const QString& relative,
                    const std::function<QByteArray()>& make) {
    const QString path = dir.filePath(relative);
    if (QFileInfo::exists(path)) return true;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    const QByteArray bytes = make();
    QSaveFile file(path);  // written whole or not at all
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        std::fprintf(stderr, "qorvdesk: could not write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The message manager's page is part of the program: an older copy is replaced.
bool WriteCurrent(const QDir& dir, const QString& relative) {
    QFile source(QStringLiteral(":/") + relative);
    if (!source.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = source.readAll();
    const QString path = dir.filePath(relative);
    QFile present(path);
    if (present.open(QIODevice::ReadOnly) && present.readAll() == bytes) return true;
    present.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "qorvdesk: could not write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

bool PrepareResources(const QString& appDir) {
    const QDir dir(appDir);
    bool ok = true;
    for (int face = 0; face < resources::kFaceCount; ++face) {
        ok &= WriteIfMissing(dir, FacePath(face),
                             [face] { return resources::EncodeGif(resources::RenderFace(face)); });
    }
    ok &= WriteIfMissing(dir, QLatin1String(kWelcomeSound), resources::WelcomeSound);
    ok &= WriteIfMissing(dir, QLatin1String(kMessageSound), resources::MessageSound);
    for (const char* file : kPageFiles) ok &= WriteCurrent(dir, QLatin1String(file));
    ok &= WriteIfMissing(dir, QStringLiteral("qorvdesk.svg"), resources::ProgramIconSvg);
    ok &= WriteIfMissing(dir, QStringLiteral("qorvdesk.png"), [] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        resources::ProgramIconImage(kIconPixels).save(&buffer, "PNG");
        return png;
    });
    return ok;
}

}  // namespace host
