#pragma once
// What the SessionCore conformance suite needs from an engine's test world: a server it can
// fill with accounts and rosters, sessions on it, and a way to cut a session's connection.
// Each engine's tests implement it once and run the suite against it
// (session_conformance.h).

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "os/sys/clock.h"
#include "platform/session/session_core.h"

namespace session_conformance {

struct TestAccount {
    std::string loginName;
    std::string password;
    std::string nickname;
};

struct TestRosterItem {
    std::string jid;
    std::string name;
    std::string group;
    std::string subscription = "both";
};

class SessionTestWorld {
  public:
    virtual ~SessionTestWorld() = default;

    // The clock the world runs on; the events a test gives the sessions wait on it.
    virtual os::Clock& clock() = 0;
    // Creates an account; answers its bare JID.
    virtual std::string AddAccount(const TestAccount& account) = 0;
    virtual void SetRoster(std::string_view ownerJid, const std::vector<TestRosterItem>& items) = 0;
    virtual std::unique_ptr<platform::SessionCore> NewSession() = 0;
    // The session's connection to the server is cut.
    virtual void DropConnection(platform::SessionCore& session) = 0;
    // Returns once everything sent so far has reached its sessions' queues. An engine that
    // delivers inside the sending call has nothing to wait for.
    virtual void Settle() {}
};

struct WorldFactory {
    std::string name;  // shown in the test names
    // Null when the world cannot run on this machine (its server is not installed).
    std::function<std::unique_ptr<SessionTestWorld>()> make;
    std::string unavailableReason;
};

// Test names show the engine, not the factory's bytes.
inline void PrintTo(const WorldFactory& factory, std::ostream* out) { *out << factory.name; }

}  // namespace session_conformance
