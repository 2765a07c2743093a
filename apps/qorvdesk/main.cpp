// Qorvdesk for the Linux desktop: the Qt program that hosts libqorvdesk.so.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "host_app.h"
#include "host_options.h"
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
    // A tour runs headless.
    if (!options.screenshotDir.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Qorvdesk"));
    application.setQuitOnLastWindowClosed(false);

    host::HostApp app(options);
    if (!app.Start()) return 1;
    if (!options.screenshotDir.isEmpty()) return host::RunScreenshotTour(app, options.screenshotDir);
    if (options.measure) return host::RunMeasurements(app, sinceStart);
    return application.exec();
}
