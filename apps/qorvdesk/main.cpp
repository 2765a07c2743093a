// Qorvdesk for the Linux desktop: the Qt program that hosts libqorvdesk.so.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "gbk_bridge.h"
#include "host_app.h"
#include "host_options.h"
#include "instance_channel.h"
#include "measure.h"
#include "screenshot_tour.h"

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    const QStringList arguments = [&] {
        QStringList list;
        for (int i = 0; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    host::HostOptions options = host::ParseHostOptions(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "qorvdesk: %s\n", qPrintable(options.error));
        return 2;
    }
    // A tour and the measurements run in folders of their own: they neither read nor leave
    // the user's client data (a remembered account, a login history, stored messages).
    QTemporaryDir tourHome;
    if (!options.screenshotDir.isEmpty() || options.measure) {
        if (!options.screenshotDir.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!tourHome.isValid()) return 1;
        qputenv("QORVDESK_HOME",
                QDir(tourHome.path()).filePath(QStringLiteral("client/")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME",
                QDir(tourHome.path()).filePath(QStringLiteral("config")).toLocal8Bit());
    }
    // The web engine (the message manager's page) shares its GL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Qorvdesk"));
    application.setQuitOnLastWindowClosed(false);

    // A second start hands its start parameters to the running client and ends.
    const bool ownRun = !options.screenshotDir.isEmpty() || options.measure;
    const qsizetype dash = options.startCommandLine.indexOf(QLatin1Char('-'));
    const QString request = dash < 0 ? QString() : options.startCommandLine.mid(dash + 1);
    if (!ownRun &&
        host::HandOverToRunningClient(QByteArray::fromStdString(host::ToGbkLossy(request))))
        return 0;

    host::HostApp app(options);
    if (!app.Start()) return 1;
    if (!options.screenshotDir.isEmpty())
        return host::RunScreenshotTour(app, options.screenshotDir);
    if (options.measure) return host::RunMeasurements(app, sinceStart);
    host::InstanceChannel instances;
    if (!instances.Listen()) std::fprintf(stderr, "qorvdesk: later starts cannot reach this one\n");
    return application.exec();
}
