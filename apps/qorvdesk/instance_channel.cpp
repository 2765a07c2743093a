#include "instance_channel.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <string>

#include "qorvdesk/exports.h"

namespace host {
namespace {

constexpr int kConnectMs = 1000;
constexpr qint64 kLongestRequest = 64 * 1024;

}  // namespace

QString InstanceSocketPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath() + QStringLiteral("/qorvdesk-") + QString::number(::getuid());
    else
        folder += QStringLiteral("/qorvdesk");
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // One socket per shared client directory: clients of one installation meet, a test's
    // client in a folder of its own never reaches the user's.
    const QString home = qEnvironmentVariable(
        "QORVDESK_HOME", QDir::homePath() + QStringLiteral("/.local/share/qorvdesk/"));
    const QByteArray key =
        QCryptographicHash::hash(home.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return folder + QStringLiteral("/instance-") + QString::fromLatin1(key);
}

bool HandOverToRunningClient(const QByteArray& request) {
    QLocalSocket socket;
    socket.connectToServer(InstanceSocketPath());
    if (!socket.waitForConnected(kConnectMs)) return false;
    socket.write(request);
    socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kConnectMs);
    return true;
}

InstanceChannel::InstanceChannel() : server_(std::make_unique<QLocalServer>()) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, &InstanceChannel::OnConnection);
}

bool InstanceChannel::Listen() {
    const QString path = InstanceSocketPath();
    if (server_->listen(path)) return true;
    // A socket left by a client that died: nobody answers on it.
    QLocalServer::removeServer(path);
    return server_->listen(path);
}

void InstanceChannel::OnConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket, [socket, request] {
            request->append(socket->readAll());
            if (request->size() > kLongestRequest) socket->abort();
        });
        connect(socket, &QLocalSocket::disconnected, socket, [socket, request] {
            request->append(socket->readAll());
            if (!request->isEmpty() && request->size() <= kLongestRequest) {
                const std::string text = request->toStdString();
                const QorvIMParam param{0, text.c_str()};
                OnIMParam(&param);
            }
            socket->deleteLater();
        });
    }
}

}  // namespace host
