#pragma once
// A Prosody server of the test's own: Debian's prosody on 127.0.0.1 at a free port, with a
// temporary configuration, data folder and a self-made certificate, c2s with TLS required,
// a MUC component and stream management. Accounts are registered through prosodyctl; the
// roster and the vCard's nickname are written into the server's own storage files, which it
// reads when the account logs in. The server is killed when the object goes.
//
// Texts here are UTF-8 (the server's own).

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace testing_support {

struct ProsodyRosterItem {
    std::string jid;  // bare
    std::string name;
    std::string group;         // empty: no group
    std::string subscription;  // "none", "to", "from", "both"
};

class ProsodyServer {
  public:
    // Whether prosody and prosodyctl are installed (a test skips without them).
    static bool Installed();

    // Starts the server; Ready waits (bounded) until it takes connections and every
    // registration has ended. ok() says whether all went well, error() why not.
    ProsodyServer();
    ~ProsodyServer();
    ProsodyServer(const ProsodyServer&) = delete;
    ProsodyServer& operator=(const ProsodyServer&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    int port() const { return port_; }
    const std::string& domain() const { return domain_; }
    // The certificate the server presents, its own CA: the one a client must trust.
    std::string caFile() const;
    // The server's log (debug level), for a failing test to print.
    std::string ReadLog() const;

    bool Ready();

    // Starts prosodyctl's registration of an account (it works on the data files, so it
    // runs while the server starts); Ready waits for it.
    void Register(const std::string& localPart, const std::string& password);
    bool SetNickname(const std::string& localPart, const std::string& nickname);
    bool SetRoster(const std::string& localPart, const std::vector<ProsodyRosterItem>& items);

  private:
    std::string ConfigPath() const;
    std::string StoreFile(const std::string& store, const std::string& localPart) const;

    TempDir dir_;
    std::string domain_ = "localhost";
    int port_ = 0;
    pid_t pid_ = -1;
    bool listening_ = false;
    std::vector<std::pair<pid_t, std::string>> registrations_;  // (pid, account)
    std::string error_;
};

}  // namespace testing_support
