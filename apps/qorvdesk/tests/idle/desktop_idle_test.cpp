// The desktop's idle time read over D-Bus, against a private bus that the test starts with
// stand-ins for the desktop's idle services, each answering from a thread of its own (as a
// desktop's service answers from its own process while the host waits).
#include "desktop_idle.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <memory>

namespace {

class MutterIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
  public:
    explicit MutterIdleMonitor(qulonglong idleMs) : idleMs_(idleMs) {}
  public Q_SLOTS:
    Q_SCRIPTABLE qulonglong GetIdletime() { return idleMs_; }

  private:
    qulonglong idleMs_;
};

class FreedesktopScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
  public:
    explicit FreedesktopScreenSaver(uint idleMs) : idleMs_(idleMs) {}
  public Q_SLOTS:
    Q_SCRIPTABLE uint GetSessionIdleTime() { return idleMs_; }

  private:
    uint idleMs_;
};

// A bus of the test's own: a dbus-daemon with a configuration in a temporary folder.
class PrivateBus {
  public:
    PrivateBus() {
        const QString config = folder_.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write(
            QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                           "<auth>EXTERNAL</auth><policy context=\"default\"><allow "
                           "send_destination=\"*\"/><allow receive_sender=\"*\"/><allow own=\"*\"/>"
                           "</policy></busconfig>")
                .arg(folder_.path())
                .toUtf8());
        file.close();
        daemon_.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
             QStringLiteral("--print-address"), QStringLiteral("--config-file=") + config});
        if (!daemon_.waitForStarted(5000)) return;
        while (!daemon_.canReadLine() && daemon_.waitForReadyRead(5000)) {
        }
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }
    const QString& address() const { return address_; }

  private:
    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
};

class DesktopIdleTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateBus> bus_;
    QThread services_;
    int connections_ = 0;

    QDBusConnection Connect() {
        return QDBusConnection::connectToBus(bus_->address(),
                                             QStringLiteral("idle-%1").arg(++connections_));
    }

    // Offers `object` under `service` at `path` on a connection of its own, answering on the
    // services' thread.
    QDBusConnection Offer(QObject* object, const QString& service, const QString& path) {
        QDBusConnection connection = Connect();
        object->moveToThread(&services_);
        if (!connection.registerObject(path, object, QDBusConnection::ExportScriptableSlots) ||
            !connection.registerService(service)) {
            qWarning("could not offer %s", qPrintable(service));
        }
        return connection;
    }

  private Q_SLOTS:
    void initTestCase() {
        bus_ = std::make_unique<PrivateBus>();
        if (bus_->address().isEmpty()) QSKIP("dbus-daemon could not start");
        services_.start();
    }
    void cleanupTestCase() {
        services_.quit();
        services_.wait();
        bus_.reset();
    }

    void answersNothingWhenNoServiceIsThere() {
        QCOMPARE(host::DesktopIdle(Connect()).IdleMs(), std::nullopt);
        QCOMPARE(host::DesktopIdle(QDBusConnection(QStringLiteral("never-connected"))).IdleMs(),
                 std::nullopt);
    }

    void asksTheScreenSaverWhenThereIsNoIdleMonitor() {
        auto* saver = new FreedesktopScreenSaver(42000);
        QDBusConnection offered = Offer(saver, QStringLiteral("org.freedesktop.ScreenSaver"),
                                        QStringLiteral("/org/freedesktop/ScreenSaver"));
        QCOMPARE(host::DesktopIdle(Connect()).IdleMs(), std::optional<qint64>(42000));
        offered.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
        saver->deleteLater();
    }

    void prefersTheIdleMonitor() {
        auto* saver = new FreedesktopScreenSaver(42000);
        auto* monitor = new MutterIdleMonitor(Q_UINT64_C(5400000));
        QDBusConnection savers = Offer(saver, QStringLiteral("org.freedesktop.ScreenSaver"),
                                       QStringLiteral("/org/freedesktop/ScreenSaver"));
        QDBusConnection monitors = Offer(monitor, QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                         QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"));
        QCOMPARE(host::DesktopIdle(Connect()).IdleMs(), std::optional<qint64>(5400000));
        saver->deleteLater();
        monitor->deleteLater();
    }
};

}  // namespace

QTEST_GUILESS_MAIN(DesktopIdleTest)

#include "desktop_idle_test.moc"
