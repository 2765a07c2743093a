// The program's own resources, read back the way Qt and the library read them: the chat faces
// as GIF images of the face size, the arrival sounds as PCM WAV files, the icon; and the GIF
// writer on pictures with few and with many colours.
#include "resources/prepare_resources.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "resources/face_emoji.h"
#include "resources/face_images.h"
#include "resources/gif_writer.h"

namespace {

QImage ReadGif(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 Le32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(b.constData()) + at);
}
quint16 Le16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(b.constData()) + at);
}

}  // namespace

class PrepareResourcesTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(host::PrepareResources(dir_->path()));
    }

    void everyFaceIsAGifOfTheFaceSizeAndEachLooksItsOwn() {
        QSet<QByteArray> distinct;
        for (int face = 0; face < host::resources::kFaceCount; ++face) {
            const QString path =
                QDir(dir_->path()).filePath(QStringLiteral("face/%1.gif").arg(face));
            QImageReader reader(path);
            QCOMPARE(reader.format(), QByteArray("gif"));
            const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!image.isNull(), qPrintable(path + ": " + reader.errorString()));
            QCOMPARE(image.size(), QSize(host::resources::kFaceSize, host::resources::kFaceSize));
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);  // round faces leave the corners clear
            int covered = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    covered += qAlpha(image.pixel(x, y)) ? 1 : 0;
            }
            QVERIFY2(covered * 5 > image.width() * image.height(), qPrintable(path));  // a picture
            distinct.insert(
                QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        }
        QCOMPARE(distinct.size(), host::resources::kFaceCount);
        QVERIFY(!QFile::exists(QDir(dir_->path()).filePath(QStringLiteral("face/80.gif"))));
    }

    void theFacesComeFromTheColourEmojiFontWhenItIsInstalled() {
        if (!host::resources::HasEmojiFont()) QSKIP("the colour emoji font is not installed");
        // The smile (face 14) is yellow in the middle, as the font draws it, not the
        // stand-in's number.
        const QImage smile = host::resources::RenderFace(14, 48);
        const QColor middle = smile.pixelColor(24, 16);
        QVERIFY2(middle.red() > 200 && middle.green() > 150 && middle.blue() < 120,
                 qPrintable(middle.name()));
    }

    void theArrivalSoundsArePcmWavesOfAFewTenthsOfASecond() {
        for (const char* name : {"sound/welcome.wav", "sound/message.wav"}) {
            const QByteArray wav = ReadAll(QDir(dir_->path()).filePath(QLatin1String(name)));
            QVERIFY2(wav.size() > 44, name);
            QCOMPARE(wav.left(4), QByteArray("RIFF"));
            QCOMPARE(Le32(wav, 4), quint32(wav.size() - 8));
            QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
            QCOMPARE(Le16(wav, 20), quint16(1));  // PCM
            QCOMPARE(Le16(wav, 22), quint16(1));  // mono
            QCOMPARE(Le16(wav, 34), quint16(16));
            QCOMPARE(wav.mid(36, 4), QByteArray("data"));
            QCOMPARE(Le32(wav, 40), quint32(wav.size() - 44));
            const double seconds = (wav.size() - 44) / 2.0 / Le32(wav, 24);
            QVERIFY2(seconds > 0.2 && seconds < 2.0, name);
            int peak = 0;
            for (int at = 44; at + 1 < wav.size(); at += 2) {
                peak = std::max(peak, std::abs(static_cast<qint16>(Le16(wav, at))));
            }
            QVERIFY2(peak > 8000 && peak < 32767, name);  // heard, and not clipped
        }
    }

    void theIconIsThereAsSvgAndPng() {
        const QByteArray svg = ReadAll(QDir(dir_->path()).filePath(QStringLiteral("qorvdesk.svg")));
        QVERIFY(svg.contains("<svg") && svg.contains("</svg>"));
        const QImage png(QDir(dir_->path()).filePath(QStringLiteral("qorvdesk.png")));
        QCOMPARE(png.size(), QSize(256, 256));
        QCOMPARE(png.pixelColor(0, 0).alpha(), 0);
        QVERIFY(png.pixelColor(40, 80).blue() > 150);  // the blue bubble
    }

    void onlyWhatIsMissingIsWrittenAgain() {
        const QDir dir(dir_->path());
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("face/5.gif"))));
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("sound/message.wav"))));
        {
            QFile kept(dir.filePath(QStringLiteral("face/6.gif")));
            QVERIFY(kept.open(QIODevice::WriteOnly));
            kept.write("the user's own");
        }
        QVERIFY(host::PrepareResources(dir_->path()));
        QVERIFY(!QImage(dir.filePath(QStringLiteral("face/5.gif"))).isNull());
        QVERIFY(ReadAll(dir.filePath(QStringLiteral("sound/message.wav"))).startsWith("RIFF"));
        QCOMPARE(ReadAll(dir.filePath(QStringLiteral("face/6.gif"))), QByteArray("the user's own"));
    }

    void theManagersPageIsWrittenAsInTheSourceAndKeptCurrent() {
        const QDir dir(dir_->path());
        const QDir source(QStringLiteral(QORV_PAGE_SOURCE_DIR));
        for (const QString& name : {QStringLiteral("msgmgr.html"), QStringLiteral("msgmgr.js"),
                                    QStringLiteral("msgmgr.css")}) {
            const QByteArray expected = ReadAll(source.filePath(name));
            QVERIFY(!expected.isEmpty());
            QCOMPARE(ReadAll(dir.filePath(QStringLiteral("template/") + name)), expected);
        }
        // A page left by an older program is replaced: the page goes with the program.
        const QString page = dir.filePath(QStringLiteral("template/msgmgr.js"));
        {
            QFile stale(page);
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write("window.showmsg = function () {};");
        }
        QVERIFY(host::PrepareResources(dir_->path()));
        QCOMPARE(ReadAll(page), ReadAll(source.filePath(QStringLiteral("msgmgr.js"))));
    }

    void aFolderThatCannotBeWrittenIsReported() {
        QTemporaryDir parent;
        const QString file = QDir(parent.path()).filePath(QStringLiteral("not-a-folder"));
        QFile plain(file);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(!host::PrepareResources(file));
    }

    void gifsOfFewColoursReadBackExactlyAndTransparencyStays() {
        // 200 colours in a scattered pattern over 96 × 96 pixels: long enough to fill the
        // 4096-code table several times.
        QImage image(96, 96, QImage::Format_ARGB32);
        quint32 state = 12345;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                state = state * 1103515245u + 12345u;
                const int c = static_cast<int>((state >> 16) % 200);
                image.setPixel(x, y, qRgb(c, (c * 7) % 256, 255 - c));
            }
        }
        image.setPixel(3, 4, qRgba(0, 0, 0, 0));
        const QImage back = ReadGif(host::resources::EncodeGif(image));
        QCOMPARE(back.size(), image.size());
        QCOMPARE(qAlpha(back.pixel(3, 4)), 0);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (x == 3 && y == 4) continue;
                QCOMPARE(back.pixel(x, y), image.pixel(x, y));
            }
        }
    }

    void gifsOfManyColoursKeepEachPixelClose() {
        QImage image(64, 64, QImage::Format_ARGB32);  // 4096 distinct colours
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) image.setPixel(x, y, qRgb(x * 4, y * 4, (x + y) * 2));
        }
        const QImage back = ReadGif(host::resources::EncodeGif(image));
        QCOMPARE(back.size(), image.size());
        int worst = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const QRgb a = image.pixel(x, y), b = back.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
                QCOMPARE(qAlpha(b), 255);
            }
        }
        QVERIFY2(worst <= 24, qPrintable(QString::number(worst)));
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    PrepareResourcesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "prepare_resources_test.moc"
