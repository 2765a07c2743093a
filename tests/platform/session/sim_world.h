#pragma once
// The simulated server as a conformance test world, and the fixture pieces the simulated
// engine's own tests share.

#include <memory>
#include <string>

#include "os/sys/clock.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "support/session_conformance/session_world.h"

namespace sim_testing {

class SimWorld final : public session_conformance::SessionTestWorld {
  public:
    SimWorld() : server_(std::make_shared<platform::SimServer>(clock_)) {}

    os::ManualClock& manualClock() { return clock_; }
    platform::SimServer& server() { return *server_; }
    const std::shared_ptr<platform::SimServer>& serverPtr() { return server_; }

    os::Clock& clock() override { return clock_; }
    std::string AddAccount(const session_conformance::TestAccount& account) override {
        platform::SimAccount sim;
        sim.loginName = account.loginName;
        sim.password = account.password;
        sim.nickname = account.nickname;
        return server_->AddAccount(sim);
    }
    void SetRoster(std::string_view ownerJid,
                   const std::vector<session_conformance::TestRosterItem>& items) override {
        std::vector<platform::SimRosterItem> roster;
        for (const auto& item : items) {
            roster.push_back({item.jid, item.name, item.group, item.subscription});
        }
        server_->SetRoster(ownerJid, std::move(roster));
    }
    std::unique_ptr<platform::SessionCore> NewSession() override {
        return std::make_unique<platform::SimSessionCore>(server_);
    }
    void DropConnection(platform::SessionCore& session) override {
        static_cast<platform::SimSessionCore&>(session).DropConnection();
    }

  private:
    os::ManualClock clock_;  // before the server, which keeps a reference
    std::shared_ptr<platform::SimServer> server_;
};

}  // namespace sim_testing
