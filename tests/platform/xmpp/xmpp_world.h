#pragma once
// Prosody as a conformance test world: each world starts a server of its own, registers the
// accounts through prosodyctl and writes their rosters into the server's storage; sessions
// are XMPP engines that trust the server's self-made certificate.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "os/services/log.h"
#include "os/sys/clock.h"
#include "os/text/gbk_codec.h"
#include "platform/jid/jid.h"
#include "platform/xmpp/xmpp_session_core.h"
#include "support/prosody/prosody_server.h"
#include "support/require.h"
#include "support/session_conformance/session_world.h"
#include "support/wait_for.h"

namespace xmpp_testing {

inline std::string Utf8(const std::string& gbk) { return os::GbkToUtf8Lossy(gbk); }

class XmppWorld final : public session_conformance::SessionTestWorld {
  public:
    // An engine that leaves the world's list when it goes.
    class Session final : public platform::XmppSessionCore {
      public:
        Session(XmppWorld& world, platform::XmppSettings settings)
            : XmppSessionCore(std::move(settings), world.clock_,
                              platform::SessionUtilities(world.log_.get())),
              world_(world) {
            world_.sessions_.push_back(this);
        }
        ~Session() override { std::erase(world_.sessions_, this); }

      private:
        XmppWorld& world_;
    };

    XmppWorld() = default;

    bool ok() const { return server_.ok(); }
    const std::string& error() const { return server_.error(); }
    testing_support::ProsodyServer& server() { return server_; }
    os::ManualClock& manualClock() { return clock_; }
    // What the sessions logged.
    os::Log& log() { return *log_; }

    platform::XmppSettings Settings() const {
        platform::XmppSettings settings;
        settings.address = "127.0.0.1";
        settings.domain = server_.domain();
        settings.port = server_.port();
        settings.requireTls = true;
        settings.extraCaFile = server_.caFile();
        return settings;
    }

    os::Clock& clock() override { return clock_; }

    std::string AddAccount(const session_conformance::TestAccount& account) override {
        const platform::Jid jid = platform::Jid::Government(account.loginName, server_.domain());
        const std::string localPart = Utf8(jid.LocalPart());
        server_.Register(localPart, Utf8(account.password));
        EXPECT_TRUE(server_.SetNickname(localPart, Utf8(account.nickname)));
        return jid.Bare();
    }

    void SetRoster(std::string_view ownerJid,
                   const std::vector<session_conformance::TestRosterItem>& items) override {
        std::vector<testing_support::ProsodyRosterItem> roster;
        for (const auto& item : items) {
            roster.push_back({Utf8(platform::Jid(item.jid).Bare()), Utf8(item.name),
                              Utf8(item.group), item.subscription});
        }
        EXPECT_TRUE(server_.SetRoster(Utf8(platform::Jid(ownerJid).LocalPart()), roster));
    }

    std::unique_ptr<platform::SessionCore> NewSession() override {
        EXPECT_TRUE(server_.Ready()) << server_.error();
        return std::make_unique<Session>(*this, Settings());
    }

    void DropConnection(platform::SessionCore& session) override {
        static_cast<platform::XmppSessionCore&>(session).CutConnection();
    }

    // Rounds of echoes through every session: the first ends behind everything the sessions
    // sent, the next behind what the server sent on because of it; a third covers what the
    // server does when it sees a connection close.
    void Settle() override {
        for (int round = 0; round < 3; ++round) {
            std::vector<std::pair<platform::XmppSessionCore*, std::uint64_t>> tickets;
            for (Session* session : sessions_)
                tickets.emplace_back(session, session->RequestEcho());
            for (const auto& [session, ticket] : tickets) {
                EXPECT_TRUE(testing_support::WaitFor(
                    [&, s = session, t = ticket] { return s->EchoReturned(t); },
                    "the server's echo"));
            }
        }
    }

  private:
    testing_support::ProsodyServer server_;
    os::ManualClock clock_;
    std::unique_ptr<os::Log> log_ = os::Log::Capturing(clock_);
    std::vector<Session*> sessions_;
};

// The world for the conformance suite, or null (the suite skips) without Prosody.
inline std::unique_ptr<session_conformance::SessionTestWorld> MakeXmppWorld() {
    if (!testing_support::ProsodyServer::Installed()) return nullptr;
    auto world = std::make_unique<XmppWorld>();
    if (!world->ok()) ADD_FAILURE() << "Prosody could not be set up: " << world->error();
    return world;
}

}  // namespace xmpp_testing
