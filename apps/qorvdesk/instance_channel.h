#pragma once
// One client per user: a second start of the program hands its start parameters to the
// running one over a local socket in the user's runtime folder and ends; the running one
// passes them to the library's OnIMParam, as the host of a second start does.

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <memory>

namespace host {

// "$XDG_RUNTIME_DIR/qorvdesk/instance-<key of the shared client directory>" (a folder of this
// user's only, 0700), else the same below the temporary folder with the user id in its name.
QString InstanceSocketPath();

// Sends `request` (GBK, the text after the command line's first '-') to a running client;
// true when one was there to take it.
bool HandOverToRunningClient(const QByteArray& request);

// Listens for the requests of later starts while the program runs.
class InstanceChannel final : public QObject {
  public:
    InstanceChannel();
    bool Listen();

  private:
    void OnConnection();
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace host
