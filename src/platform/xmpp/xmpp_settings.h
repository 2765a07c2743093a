#pragma once
// Where an XMPP engine connects and how it checks the server.

#include <string>

namespace platform {

struct XmppSettings {
    // The address to connect to (a name or an IP address) and the server's domain, which the
    // JIDs carry and the certificate must name. A deployment gives one name for both.
    std::string address;
    std::string domain;
    int port = 5222;
    // Refuse a connection without TLS.
    bool requireTls = false;
    // A further CA certificate (PEM) to trust beside the system store. Never read from a
    // configuration file: only a test's own world sets it, for its server's self-made CA.
    std::string extraCaFile;

    friend bool operator==(const XmppSettings&, const XmppSettings&) = default;
};

}  // namespace platform
