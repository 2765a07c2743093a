#pragma once
// Another XMPP client on the test's Prosody: a slixmpp program (foreign_peer_script.h) run as
// a child process with a bounded lifetime, driven over its standard input and read from its
// standard output, one line per command or event. It knows nothing of our extensions: what
// it receives is what any standard client would see.
//
// Texts here are UTF-8 (the wire's).

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace testing_support {

class ForeignPeer {
  public:
    // A chat message the peer received.
    struct Received {
        std::string from;                   // bare
        std::string body;                   // empty: none
        std::vector<std::string> children;  // "{namespace}name" of each child element
        bool Has(const std::string& tag) const;
    };

    // Whether the system's Python has slixmpp (a test skips without it).
    static bool Installed();

    // Starts the peer for `jid` on the server at 127.0.0.1:`port`, trusting `caFile`; it ends
    // by itself after `lifetimeSeconds`.
    ForeignPeer(const std::string& jid, const std::string& password, int port,
                const std::string& caFile, int lifetimeSeconds = 60);
    // Closes its input, gives it a moment to log out, and kills it if it has not ended.
    ~ForeignPeer();
    ForeignPeer(const ForeignPeer&) = delete;
    ForeignPeer& operator=(const ForeignPeer&) = delete;

    bool started() const { return pid_ > 0; }
    // Reads what the peer has written so far without blocking; whether it has said it is
    // logged in and online.
    bool Ready();
    // The messages it has received so far (reads first).
    const std::vector<Received>& Messages();
    // What it wrote on its error output, for a failing test to print.
    std::string ErrorOutput() const;

    void SendChat(const std::string& to, const std::string& body);
    void SendComposing(const std::string& to);
    void SendAttention(const std::string& to);

  private:
    void ReadAvailable();
    void Command(const std::string& line);

    TempDir dir_;
    pid_t pid_ = -1;
    int toPeer_ = -1;
    int fromPeer_ = -1;
    std::string pending_;  // a line not yet complete
    bool ready_ = false;
    std::vector<Received> messages_;
};

}  // namespace testing_support
