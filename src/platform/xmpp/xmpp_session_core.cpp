#include "platform/xmpp/xmpp_session_core.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <random>

#include "os/sys/clock.h"
#include "os/sys/event.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"
#include "platform/jid/jid.h"
#include "platform/xmpp/person_vcard.h"
#include "platform/xmpp/stanza_writer.h"

namespace platform {
namespace xmpp {

// The libstrophe connection of one login, on the I/O thread only.
class Connection {
  public:
    Connection(XmppSessionCore& engine, xmpp_ctx_t* ctx) : engine_(engine), ctx_(ctx) {}
    ~Connection() {
        dying_ = true;  // callbacks during the release find nothing to do
        if (conn_ != nullptr) {
            xmpp_conn_release(conn_);
            Register(conn_, nullptr);
        }
    }

    bool Start(const std::string& fullJid, const std::string& password,
               const XmppSettings& settings) {
        conn_ = xmpp_conn_new(ctx_);
        if (conn_ == nullptr) return false;
        long flags = XMPP_CONN_FLAG_DISABLE_SM;
        if (settings.requireTls) flags |= XMPP_CONN_FLAG_MANDATORY_TLS;
        xmpp_conn_set_flags(conn_, flags);
        xmpp_conn_set_jid(conn_, fullJid.c_str());
        xmpp_conn_set_pass(conn_, password.c_str());
        if (!settings.extraCaFile.empty()) {
            xmpp_conn_set_cafile(conn_, settings.extraCaFile.c_str());
        }
        Register(conn_, this);
        xmpp_conn_set_sockopt_callback(conn_, &Connection::OnSocket);
        xmpp_handler_add(conn_, &Connection::OnStanza, nullptr, nullptr, nullptr, this);
        const std::string address = settings.address.empty() ? settings.domain : settings.address;
        return xmpp_connect_client(conn_, address.c_str(),
                                   static_cast<unsigned short>(settings.port),
                                   &Connection::OnConnectionEvent, this) == XMPP_EOK;
    }

    void Send(xmpp_stanza_t* stanza) {
        if (conn_ != nullptr && !ending_ && !gone_ && xmpp_conn_is_connected(conn_)) {
            xmpp_send(conn_, stanza);
        }
        xmpp_stanza_release(stanza);
    }

    // Ends the session politely: the server tells the contacts.
    void End() {
        if (conn_ == nullptr || gone_ || ending_) return;
        ending_ = true;
        if (xmpp_conn_is_connected(conn_)) {
            xmpp_stanza_t* offline = Presence(ctx_, "offline", {});
            xmpp_send(conn_, offline);
            xmpp_stanza_release(offline);
        }
        xmpp_disconnect(conn_);
    }

    void Cut() {
        if (socket_ >= 0) ::shutdown(socket_, SHUT_RDWR);
    }

    // What poll should wait for on the socket, or -1 for no socket.
    int Socket() const { return gone_ ? -1 : socket_; }
    bool WantsWrite() const { return conn_ != nullptr && xmpp_conn_is_connecting(conn_); }
    bool Gone() const { return gone_; }
    bool Ending() const { return ending_; }
    bool LoginComplete() const { return loginComplete_; }
    void SetLoginComplete() { loginComplete_ = true; }
    bool Usable() const {
        return conn_ != nullptr && !gone_ && !ending_ && xmpp_conn_is_connected(conn_);
    }
    xmpp_ctx_t* ctx() const { return ctx_; }

    std::string resource;
    std::string ownBareJid;                       // GBK
    std::vector<std::uint64_t> parked;            // echoes waiting for the login's end or the loss
    std::map<std::string, std::uint64_t> echoes;  // iq id -> ticket

  private:
    // libstrophe hands the socket to a callback without user data: connections are found
    // by their handle (engines on several I/O threads share the table).
    static std::mutex& TableMutex() {
        static std::mutex mutex;
        return mutex;
    }
    static std::map<xmpp_conn_t*, Connection*>& Table() {
        static auto* table = new std::map<xmpp_conn_t*, Connection*>();
        return *table;
    }
    static void Register(xmpp_conn_t* conn, Connection* connection) {
        std::lock_guard lock(TableMutex());
        if (connection == nullptr) {
            Table().erase(conn);
        } else {
            Table()[conn] = connection;
        }
    }
    static int OnSocket(xmpp_conn_t* conn, void* sock) {
        std::lock_guard lock(TableMutex());
        auto it = Table().find(conn);
        if (it != Table().end()) it->second->socket_ = *static_cast<int*>(sock);
        return 0;
    }

    static void OnConnectionEvent(xmpp_conn_t*, xmpp_conn_event_t event, int,
                                  xmpp_stream_error_t* streamError, void* userdata) {
        auto* self = static_cast<Connection*>(userdata);
        if (self->dying_) return;
        if (event == XMPP_CONN_CONNECT) {
            self->engine_.OnConnected();
            return;
        }
        if (event == XMPP_CONN_RAW_CONNECT) return;
        if (self->gone_) return;
        self->gone_ = true;
        const bool conflict = streamError != nullptr && streamError->type == XMPP_SE_CONFLICT;
        self->engine_.OnDisconnected(xmpp_conn_is_secured(self->conn_) != 0, conflict,
                                     self->ending_);
    }

    static int OnStanza(xmpp_conn_t*, xmpp_stanza_t* stanza, void* userdata) {
        auto* self = static_cast<Connection*>(userdata);
        if (self->dying_ || self->gone_ || self->ending_) return 1;
        if (!WithinSizeLimit(stanza)) {
            self->engine_.Log(2, "XMPP: an oversized stanza was dropped unread");
            return 1;
        }
        if (self->engine_.OnRoomStanza(stanza)) return 1;
        self->engine_.OnInbound(ReadStanza(stanza, self->engine_.ReadContextNow(*self)));
        return 1;
    }

    XmppSessionCore& engine_;
    xmpp_ctx_t* ctx_;
    xmpp_conn_t* conn_ = nullptr;
    int socket_ = -1;
    bool ending_ = false;
    bool gone_ = false;
    bool dying_ = false;
    bool loginComplete_ = false;
};

}  // namespace xmpp

namespace {

constexpr char kOwnVcardId[] = "vcard-own";
constexpr char kPersonVcardId[] = "vcard-person";
constexpr char kOwnVcardSetId[] = "vcard-set";
constexpr char kLoginRosterId[] = "roster-login";
constexpr char kRefreshRosterId[] = "roster-refresh";
constexpr char kLoginBarrierId[] = "login-barrier";
constexpr char kEchoPrefix[] = "echo-";

std::once_flag libraryOnce;

std::string Key(std::string_view jid) { return os::MakeLower(Jid(jid).Bare()); }

// The client's group key of a roster group (the top kind alone for a user without one).
std::string GroupKeyOf(const std::string& group) {
    std::string key(kRosterTopKind);
    if (!group.empty()) key += "," + group;
    return key;
}

std::string NewResource() {
    std::random_device device;
    return os::Format("%s%08x", xmpp::kResourcePrefix, static_cast<unsigned>(device()));
}

}  // namespace

XmppSessionCore::XmppSessionCore(XmppSettings settings, os::Clock& clock,
                                 SessionUtilities utilities)
    : settings_(std::move(settings)), clock_(clock), utilities_(std::move(utilities)) {
    std::call_once(libraryOnce, [] { xmpp_initialize(); });
    ctx_ = xmpp_ctx_new(nullptr, nullptr);
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    io_ = std::thread([this] { IoMain(); });
}

XmppSessionCore::~XmppSessionCore() {
    {
        std::lock_guard lock(tasksMutex_);
        stopping_ = true;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
    io_.join();
    ::close(wakeFd_);
}

void XmppSessionCore::Post(std::function<void()> task) {
    {
        std::lock_guard lock(tasksMutex_);
        tasks_.push_back(std::move(task));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void XmppSessionCore::IoMain() {
    // A write to a connection the peer has closed raises SIGPIPE in the writing thread:
    // blocked here, it stays pending and harmless, and the write's error ends the session.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    for (;;) {
        std::deque<std::function<void()>> batch;
        bool stop = false;
        {
            std::lock_guard lock(tasksMutex_);
            batch.swap(tasks_);
            stop = stopping_;
        }
        for (auto& task : batch) task();
        if (stop) break;
        // Several turns: a TLS record read in part leaves bytes that poll cannot see.
        for (int turn = 0; turn < 5; ++turn) xmpp_run_once(ctx_, 0);
        if (connection_ != nullptr && connection_->Gone()) connection_.reset();

        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {-1, POLLIN, 0}};
        nfds_t count = 1;
        if (connection_ != nullptr && connection_->Socket() >= 0) {
            fds[1].fd = connection_->Socket();
            if (connection_->WantsWrite()) fds[1].events |= POLLOUT;
            count = 2;
        }
        {
            std::lock_guard lock(tasksMutex_);
            if (!tasks_.empty() || stopping_) continue;
        }
        // The time-out only serves libstrophe's own timers (connect and close time-outs).
        ::poll(fds, count, 200);
        std::uint64_t drained = 0;
        [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &drained, sizeof drained);
    }
    connection_.reset();
    xmpp_ctx_free(ctx_);
}

void XmppSessionCore::Log(int level, std::string_view text) const {
    utilities_.WriteLog2(level, text);
}

bool XmppSessionCore::LoggedIn() const {
    std::lock_guard lock(mutex_);
    return phase_ == Phase::LoggedIn;
}

int XmppSessionCore::NotCarriedOut(std::string_view request) {
    if (!LoggedIn()) return 0;
    Log(2, "XMPP: " + std::string(request) + " is not carried out by this engine yet");
    return 1;
}

xmpp::ReadContext XmppSessionCore::ReadContextNow(const xmpp::Connection& connection) const {
    const os::LocalTime t = clock_.LocalNow();
    return xmpp::ReadContext{connection.ownBareJid, settings_.domain,
                             os::Format("%4d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                                        t.hour, t.minute, t.second)};
}

// ---- Life cycle and notifications ----

int XmppSessionCore::Init(os::Event* lostEvent, os::Event* notifyEvent, std::thread::id) {
    {
        std::lock_guard lock(mutex_);
        initialised_ = true;
    }
    queue_.SetEvents(lostEvent, notifyEvent);
    return 1;
}

void XmppSessionCore::Free() {
    {
        std::lock_guard lock(mutex_);
        initialised_ = false;
        phase_ = Phase::Offline;
        contacts_.clear();
    }
    Post([this] {
        if (connection_ != nullptr) connection_->End();
    });
    queue_.SetEvents(nullptr, nullptr);
    queue_.DiscardQueued();
}

NotifyRecord* XmppSessionCore::GetNotify() { return queue_.Take(); }

void XmppSessionCore::FreeNotify(NotifyRecord* record) { queue_.GiveBack(record); }

void XmppSessionCore::SetLoginEvent(os::Event* loginEvent) {
    std::lock_guard lock(mutex_);
    loginEvent_ = loginEvent;
}

// ---- Session ----

int XmppSessionCore::CanUserLogin() { return kCanLoginYes; }

void XmppSessionCore::StopCheckMainVerUpdate() {}

void XmppSessionCore::SetCurrentUserLoginType(std::string_view loginType) {
    std::lock_guard lock(mutex_);
    loginType_ = std::string(loginType);
}

int XmppSessionCore::Login(std::string_view userName, std::string_view password, int userKind,
                           std::string_view, int) {
    const std::string name = os::MakeLower(os::Trim(userName));
    std::string jidUtf8, passwordUtf8;
    {
        std::lock_guard lock(mutex_);
        if (!initialised_ || name.empty() || phase_ != Phase::Offline) return 0;
        const int userType = userKind == 2 ? kUserTypePublic : kUserTypeGovernment;
        const std::string jid = Jid::ForAccount(name, userType, settings_.domain).Bare();
        if (password.empty() || !os::GbkToUtf8(jid, jidUtf8) ||
            !os::GbkToUtf8(password, passwordUtf8)) {
            // A server would refuse it; no need to ask.
            queue_.Push(MakeNotify(notify_type::kLoginResult,
                                   LoginResultData{0, LoginFailure::BadCredentials, {}}));
            return kLoginAccepted;
        }
        phase_ = Phase::LoggingIn;
        jid_ = jid;
        limitName_ = name;
        password_ = std::string(password);
        nickname_.clear();
        word_ = "online";
        contacts_.clear();
        rosterShown_ = false;
    }
    Post([this, jidUtf8, passwordUtf8] {
        rooms_.reset();
        if (connection_ != nullptr) {
            for (std::uint64_t ticket : connection_->parked) AnswerTickets({ticket});
            connection_.reset();
        }
        connection_ = std::make_unique<xmpp::Connection>(*this, ctx_);
        connection_->resource = NewResource();
        {
            std::lock_guard lock(mutex_);
            connection_->ownBareJid = jid_;
        }
        if (!connection_->Start(jidUtf8 + "/" + connection_->resource, passwordUtf8, settings_)) {
            Log(1, "XMPP: the connection to " + settings_.address + " could not be started");
            std::lock_guard lock(mutex_);
            phase_ = Phase::Offline;
            jid_.clear();
            queue_.Push(MakeNotify(notify_type::kLoginResult,
                                   LoginResultData{0, LoginFailure::Refused, {}}));
            connection_.reset();
        }
    });
    return kLoginAccepted;
}

void XmppSessionCore::OnConnected() {
    connection_->Send(xmpp::Query(ctx_, "get", kOwnVcardId, "vCard", xmpp::kVcardNs));
}

void XmppSessionCore::OnOwnVcard(const xmpp::VcardIn& vcard) {
    std::string version;
    {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggingIn) return;
        phase_ = Phase::LoggedIn;
        nickname_ = vcard.nickname.empty() ? limitName_ : vcard.nickname;
        ownCardXml_ = vcard.cardXml;
        queue_.Push(
            MakeNotify(notify_type::kLoginResult, LoginResultData{1, LoginFailure::None, {}}));
        queue_.Push(MakeNotify(notify_type::kChannelList, ChannelListData{}));
        queue_.Push(MakeNotify(notify_type::kDataPhaseStart, NoPayload{}));
        // Our extension (the recent contacts among it) comes back as it was last sent.
        if (!vcard.extension.empty()) {
            queue_.Push(MakeNotify(notify_type::kVcard,
                                   xmpp::PersonVcardSlots(vcard, jid_, std::string())));
        }
        if (loginEvent_ != nullptr) loginEvent_->Set();
        version = rosterVersion_;
    }
    std::string versionUtf8 = os::GbkToUtf8Lossy(version);
    connection_->Send(xmpp::RosterGet(ctx_, kLoginRosterId, versionUtf8));
}

void XmppSessionCore::OnLoginBarrier() {
    connection_->SetLoginComplete();
    std::vector<std::uint64_t> parked = std::move(connection_->parked);
    connection_->parked.clear();
    AnswerTickets(parked);
}

void XmppSessionCore::OnDisconnected(bool secured, bool conflict, bool endedByUs) {
    {
        std::lock_guard lock(mutex_);
        if (phase_ == Phase::LoggingIn) {
            queue_.Push(MakeNotify(
                notify_type::kLoginResult,
                LoginResultData{
                    0, secured ? LoginFailure::BadCredentials : LoginFailure::Refused, {}}));
        } else if (phase_ == Phase::LoggedIn && !endedByUs) {
            if (conflict) {
                // The client reads why before it learns of the loss.
                queue_.Push(
                    MakeNotify(notify_type::kLoggedInElsewhere, LoggedInElsewhereData{jid_, {}}),
                    OnGiveBack::SignalLost);
            } else {
                queue_.SignalLost();
            }
        }
        if (!endedByUs) Log(2, "XMPP: the connection ended");
        phase_ = Phase::Offline;
        contacts_.clear();
    }
    rooms_.reset();
    std::vector<std::uint64_t> waiting = std::move(connection_->parked);
    for (const auto& [id, ticket] : connection_->echoes) waiting.push_back(ticket);
    connection_->parked.clear();
    connection_->echoes.clear();
    AnswerTickets(waiting);
}

void XmppSessionCore::OnOwnPresenceElsewhere(const std::string& resource) {
    {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn) return;
        queue_.Push(
            MakeNotify(notify_type::kLoggedInElsewhere, LoggedInElsewhereData{jid_, resource}),
            OnGiveBack::SignalLost);
        phase_ = Phase::Offline;
        contacts_.clear();
    }
    Log(2, "XMPP: the account logged in elsewhere (" + resource + "); this session ends");
    connection_->End();
}

void XmppSessionCore::AnswerTickets(const std::vector<std::uint64_t>& tickets) {
    std::lock_guard lock(mutex_);
    for (std::uint64_t ticket : tickets) pendingTickets_.erase(ticket);
}

ContactListData XmppSessionCore::RosterList() const {
    ContactListData list;
    list.nameSpace = std::string(kRosterNameSpace);
    for (const auto& entry : contacts_) {
        const auto& contact = entry.second;  // a lambda below names it: no structured binding
        if (contact.subscription == "remove") continue;
        list.users.push_back({contact.jid, contact.name, GroupKeyOf(contact.group)});
        if (!contact.group.empty() &&
            std::none_of(list.groups.begin(), list.groups.end(),
                         [&](const ContactListGroup& g) { return g.id == contact.group; })) {
            list.groups.push_back({contact.group, contact.group, ""});
        }
    }
    return list;
}

void XmppSessionCore::OnInbound(xmpp::InboundEvent event) {
    if (auto* ignored = std::get_if<xmpp::Ignored>(&event)) {
        if (!ignored->why.empty()) Log(2, "XMPP: " + ignored->why);
        return;
    }
    if (auto* refused = std::get_if<xmpp::RefusedIq>(&event)) {
        Log(2, "XMPP: " + refused->why);
        connection_->Send(
            xmpp::ServiceUnavailable(ctx_, refused->id, os::GbkToUtf8Lossy(refused->from)));
        return;
    }
    if (auto* vcard = std::get_if<xmpp::VcardIn>(&event)) {
        if (vcard->id == kOwnVcardId) OnOwnVcard(*vcard);
        if (vcard->id == kPersonVcardId) OnPersonVcard(*vcard);
        return;
    }
    if (auto* ping = std::get_if<xmpp::PingIn>(&event)) {
        connection_->Send(xmpp::ResultOf(ctx_, ping->id, os::GbkToUtf8Lossy(ping->from)));
        return;
    }
    if (auto* result = std::get_if<xmpp::ResultIn>(&event)) {
        if (result->id == kLoginBarrierId) {
            OnLoginBarrier();
        } else if (auto it = connection_->echoes.find(result->id);
                   it != connection_->echoes.end()) {
            const std::uint64_t ticket = it->second;
            connection_->echoes.erase(it);
            AnswerTickets({ticket});
        }
        return;
    }
    if (auto* roster = std::get_if<xmpp::RosterIn>(&event)) {
        bool sendInitialPresence = false;
        std::string word, nick;
        {
            std::lock_guard lock(mutex_);
            if (phase_ != Phase::LoggedIn) return;
            if (!roster->unchanged) {
                if (!roster->push) {
                    std::map<std::string, Contact> fresh;
                    for (const xmpp::RosterEntry& entry : roster->items) {
                        Contact& contact = fresh[Key(entry.jid)];
                        auto old = contacts_.find(Key(entry.jid));
                        if (old != contacts_.end()) contact = old->second;
                        contact.jid = entry.jid;
                        contact.name = entry.name;
                        contact.group = entry.group;
                        contact.subscription = entry.subscription;
                    }
                    contacts_ = std::move(fresh);
                } else {
                    for (const xmpp::RosterEntry& entry : roster->items) {
                        if (entry.subscription == "remove") {
                            contacts_.erase(Key(entry.jid));
                            continue;
                        }
                        Contact& contact = contacts_[Key(entry.jid)];
                        contact.jid = entry.jid;
                        contact.name = entry.name;
                        contact.group = entry.group;
                        contact.subscription = entry.subscription;
                    }
                }
                if (!roster->version.empty()) rosterVersion_ = roster->version;
            }
            sendInitialPresence = roster->id == kLoginRosterId;
            if ((roster->id == kRefreshRosterId || (roster->push && rosterShown_))) {
                queue_.Push(MakeNotify(notify_type::kContactListLoading, RosterList()));
            }
            word = word_;
            nick = nickname_;
        }
        if (roster->push) connection_->Send(xmpp::ResultOf(ctx_, roster->id, {}));
        if (sendInitialPresence) {
            connection_->Send(
                xmpp::Presence(ctx_, os::GbkToUtf8Lossy(word), os::GbkToUtf8Lossy(nick)));
            // Everything the server sends because we came online comes before this answer.
            connection_->Send(
                xmpp::Query(ctx_, "get", kLoginBarrierId, "ping", xmpp::kPingNs, settings_.domain));
        }
        return;
    }
    if (auto* presence = std::get_if<xmpp::PresenceIn>(&event)) {
        const bool own = Key(presence->jid) == Key(connection_->ownBareJid);
        if (own) {
            // Another session of this client for our account came online after our login:
            // the newest session keeps the account.
            if (presence->available && presence->resource != connection_->resource &&
                presence->resource.starts_with(xmpp::kResourcePrefix) &&
                connection_->LoginComplete()) {
                OnOwnPresenceElsewhere(presence->resource);
            }
            return;
        }
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn) return;
        Contact& contact = contacts_[Key(presence->jid)];
        if (contact.jid.empty()) contact.jid = presence->jid;
        if (!presence->nick.empty()) contact.nick = presence->nick;
        PresenceData data{contact.jid, presence->resource, presence->word, presence->status,
                          contact.nick.empty() ? contact.name : contact.nick};
        if (presence->available) {
            contact.resources[presence->resource] = presence->word;
            contact.word = presence->word;
            queue_.Push(MakeNotify(PresenceTypeFor(presence->word), std::move(data)));
        } else {
            const bool wasOnline = !contact.resources.empty();
            contact.resources.erase(presence->resource);
            // Another resource of the contact still online keeps it online.
            if (wasOnline && contact.resources.empty()) {
                contact.word = "offline";
                queue_.Push(MakeNotify(notify_type::kPresenceOffline, std::move(data)));
            }
        }
        return;
    }
    if (auto* subscription = std::get_if<xmpp::SubscriptionIn>(&event)) {
        if (subscription->type != "subscribe") return;
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn) return;
        queue_.Push(MakeNotify(notify_type::kSubscriptionRequest,
                               SubscriptionRequestData{subscription->jid}));
        return;
    }
    if (auto* chat = std::get_if<xmpp::ChatIn>(&event)) {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn) return;
        MessageData message = std::move(chat->message);
        auto it = contacts_.find(Key(message.from));
        if (!chat->nick.empty()) {
            message.fromName = chat->nick;
        } else if (it != contacts_.end() && !it->second.name.empty()) {
            message.fromName = it->second.name;
        } else {
            message.fromName = Jid(message.from).LocalPart();
        }
        queue_.Push(MakeNotify(notify_type::kChatMessage, std::move(message)));
        return;
    }
    if (auto* typing = std::get_if<xmpp::TypingIn>(&event)) {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn) return;
        queue_.Push(MakeNotify(notify_type::kTypingState, std::move(typing->typing)));
        return;
    }
}

void XmppSessionCore::OnPersonVcard(const xmpp::VcardIn& vcard) {
    if (!vcard.found || vcard.from.empty()) {
        Log(2, "XMPP: no vCard for " + (vcard.from.empty() ? std::string("?") : vcard.from));
        return;
    }
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::LoggedIn) return;
    std::string subscription;
    if (auto it = contacts_.find(Key(vcard.from)); it != contacts_.end())
        subscription = it->second.subscription == "none" ? "" : it->second.subscription;
    queue_.Push(
        MakeNotify(notify_type::kVcard, xmpp::PersonVcardSlots(vcard, vcard.from, subscription)));
}

int XmppSessionCore::Logout() {
    {
        std::lock_guard lock(mutex_);
        if (phase_ == Phase::Offline) return 0;
        phase_ = Phase::Offline;
        contacts_.clear();
    }
    Post([this] {
        if (connection_ != nullptr) connection_->End();
    });
    return 1;
}

int XmppSessionCore::ChangePresence(std::string_view presenceWord) {
    std::string word, nick;
    {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn || presenceWord.empty()) return 0;
        word_ = os::MakeLower(presenceWord);
        word = word_;
        nick = os::GbkToUtf8Lossy(nickname_);
    }
    Post([this, word, nick] {
        if (connection_ != nullptr) connection_->Send(xmpp::Presence(ctx_, word, nick));
    });
    return 1;
}

int XmppSessionCore::GetServerPort() { return settings_.port; }

// ---- The current user ----

std::string XmppSessionCore::GetCurrentUserJID() {
    std::lock_guard lock(mutex_);
    return phase_ == Phase::LoggedIn ? jid_ : std::string();
}
std::string XmppSessionCore::GetCurrentUserNickName() {
    std::lock_guard lock(mutex_);
    return phase_ == Phase::LoggedIn ? nickname_ : std::string();
}
std::string XmppSessionCore::GetCurrentUserLimitName() {
    std::lock_guard lock(mutex_);
    return phase_ == Phase::LoggedIn ? limitName_ : std::string();
}
std::string XmppSessionCore::GetCurrentUserAccount() { return GetCurrentUserLimitName(); }
std::string XmppSessionCore::GetCurrentUserPassword() {
    std::lock_guard lock(mutex_);
    return phase_ == Phase::LoggedIn ? password_ : std::string();
}
void XmppSessionCore::SetCurrentUserPassword(std::string_view password) {
    std::lock_guard lock(mutex_);
    password_ = std::string(password);
}
std::string XmppSessionCore::GetCurrentUserTel() { return {}; }
std::string XmppSessionCore::GetCurrentUserWorkPhone() { return {}; }
std::string XmppSessionCore::GetCurrentUserHomePhone() { return {}; }
std::string XmppSessionCore::GetCurrentUserBusinessPhone() { return {}; }
std::string XmppSessionCore::GetCurrentUserMobilePhone2() { return {}; }
std::string XmppSessionCore::GetHostName() { return settings_.domain; }
int XmppSessionCore::GetUserType(std::string_view jid) { return Jid(jid).UserType(); }
std::string XmppSessionCore::GetUserLimitId(std::string_view jid) { return Jid(jid).UserId(); }
std::string XmppSessionCore::GetUserJID(std::string_view account, int userType) {
    return Jid::ForAccount(account, userType, settings_.domain).text();
}

// ---- Directory, roster and phone book ----

int XmppSessionCore::RefreshRoster(int) {
    std::string version;
    {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn) return 0;
        rosterShown_ = true;
        version = os::GbkToUtf8Lossy(rosterVersion_);
    }
    // The version we hold: an unchanged roster comes back empty and the list we keep is shown.
    Post([this, version] {
        if (connection_ != nullptr)
            connection_->Send(xmpp::RosterGet(ctx_, kRefreshRosterId, version));
    });
    return 1;
}

int XmppSessionCore::RequestGroupOnlineInfo(std::string_view nameSpace, std::string_view) {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::LoggedIn) return 0;
    if (nameSpace != kRosterNameSpace) return 1;
    for (const auto& [key, contact] : contacts_) {
        if (contact.resources.empty()) continue;
        queue_.Push(MakeNotify(PresenceTypeFor(contact.word),
                               PresenceData{contact.jid,
                                            contact.resources.begin()->first,
                                            contact.word,
                                            {},
                                            contact.nick.empty() ? contact.name : contact.nick}));
    }
    return 1;
}

int XmppSessionCore::QueryStatusInfo(std::string_view jid) {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::LoggedIn || jid.empty()) return 0;
    PresenceData data;
    data.jid = Jid(jid).Bare();
    data.presence = "offline";
    if (auto it = contacts_.find(Key(jid)); it != contacts_.end()) {
        if (!it->second.resources.empty()) data.presence = it->second.word;
        data.nickname = it->second.nick.empty() ? it->second.name : it->second.nick;
    }
    queue_.Push(MakeNotify(notify_type::kPresenceProbeAnswer, std::move(data)));
    return 1;
}

int XmppSessionCore::RefreshTelContactTop(int) { return NotCarriedOut("RefreshTelContactTop"); }
int XmppSessionCore::CheckCacheTimeVersion(std::string_view, std::string_view, int,
                                           std::string_view) {
    return Accepted();
}
int XmppSessionCore::GetServersTime(std::string_view) { return Accepted(); }
int XmppSessionCore::RequestGroupChildren(os::HWND, std::string_view, int* result, int,
                                          os::Event* done, int, int) {
    const int answer = NotCarriedOut("RequestGroupChildren");
    if (result != nullptr) *result = answer;
    if (done != nullptr) done->Set();
    return answer;
}
int XmppSessionCore::RequestOrganizeList(int, int) { return NotCarriedOut("RequestOrganizeList"); }
int XmppSessionCore::QueryRootOnlineInfo(std::string_view, std::string_view, int) {
    return NotCarriedOut("QueryRootOnlineInfo");
}
int XmppSessionCore::QueryPersonInfo(std::string_view jid, int, int) {
    std::string to;
    if (!LoggedIn() || !os::GbkToUtf8(Jid(jid).Bare(), to) || to.empty()) return 0;
    Post([this, to] {
        if (connection_ != nullptr)
            connection_->Send(
                xmpp::Query(ctx_, "get", kPersonVcardId, "vCard", xmpp::kVcardNs, to));
    });
    return 1;
}
int XmppSessionCore::QueryPersonInfo_refresh(std::string_view jid) {
    return QueryPersonInfo(jid, 0, 0);
}
int XmppSessionCore::QueryMobileVcards(std::string_view, int) {
    return NotCarriedOut("QueryMobileVcards");
}
int XmppSessionCore::GetRootRequestCount(int) { return 0; }
int XmppSessionCore::SetRequestWholeTreeValue(int) { return 1; }
int XmppSessionCore::UpdateMyExtendInfo(std::string_view extensionXml) {
    std::string card, extension;
    {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn) return 0;
        card = ownCardXml_;
    }
    if (!os::GbkToUtf8(extensionXml, extension)) return 0;
    // The rest of the card stays as the server gave it.
    Post([this, card, extension] {
        if (connection_ != nullptr)
            connection_->Send(xmpp::OwnVcardSet(ctx_, kOwnVcardSetId, card, extension));
    });
    return 1;
}
int XmppSessionCore::ModifyPersionInfo(const SlotData&) {
    return NotCarriedOut("ModifyPersionInfo");
}

// ---- Contacts and groups ----

int XmppSessionCore::AddContact(std::string_view jid, std::string_view nickname,
                                std::string_view group) {
    std::string jidUtf8, nameUtf8, groupUtf8;
    if (!LoggedIn() || jid.empty() || !os::GbkToUtf8(Jid(jid).Bare(), jidUtf8) ||
        !os::GbkToUtf8(nickname, nameUtf8) || !os::GbkToUtf8(group, groupUtf8)) {
        return 0;
    }
    Post([this, jidUtf8, nameUtf8, groupUtf8] {
        if (connection_ == nullptr) return;
        connection_->Send(
            xmpp::RosterSet(ctx_, "roster-set", jidUtf8, nameUtf8, groupUtf8, nullptr));
        connection_->Send(xmpp::Subscription(ctx_, jidUtf8, "subscribe"));
    });
    return 1;
}

int XmppSessionCore::ModifyContact(std::string_view jid, std::string_view nickname,
                                   std::string_view group, std::string_view) {
    std::string jidUtf8, nameUtf8, groupUtf8;
    if (!LoggedIn() || jid.empty() || !os::GbkToUtf8(Jid(jid).Bare(), jidUtf8) ||
        !os::GbkToUtf8(nickname, nameUtf8) || !os::GbkToUtf8(group, groupUtf8)) {
        return 0;
    }
    Post([this, jidUtf8, nameUtf8, groupUtf8] {
        if (connection_ != nullptr) {
            connection_->Send(
                xmpp::RosterSet(ctx_, "roster-set", jidUtf8, nameUtf8, groupUtf8, nullptr));
        }
    });
    return 1;
}

int XmppSessionCore::RemoveContact(std::string_view jid, std::string_view, std::string_view) {
    std::string jidUtf8;
    if (!LoggedIn() || jid.empty() || !os::GbkToUtf8(Jid(jid).Bare(), jidUtf8)) return 0;
    Post([this, jidUtf8] {
        if (connection_ != nullptr) {
            connection_->Send(xmpp::RosterSet(ctx_, "roster-set", jidUtf8, {}, {}, "remove"));
        }
    });
    return 1;
}

int XmppSessionCore::ConfirmSubscribe(std::string_view jid, int accept) {
    std::string jidUtf8;
    if (!LoggedIn() || jid.empty() || !os::GbkToUtf8(Jid(jid).Bare(), jidUtf8)) return 0;
    Post([this, jidUtf8, accept] {
        if (connection_ != nullptr) {
            connection_->Send(
                xmpp::Subscription(ctx_, jidUtf8, accept != 0 ? "subscribed" : "unsubscribed"));
        }
    });
    return 1;
}

int XmppSessionCore::SendRequestMsnContact(std::string_view) {
    return NotCarriedOut("SendRequestMsnContact");
}
int XmppSessionCore::AddBudyGroup(std::string_view, std::string_view, std::string_view) {
    return NotCarriedOut("AddBudyGroup");
}
int XmppSessionCore::ModifyBuddyGroup(std::string_view, std::string_view) {
    return NotCarriedOut("ModifyBuddyGroup");
}
int XmppSessionCore::DeleteBudyGroup(std::string_view) { return NotCarriedOut("DeleteBudyGroup"); }
int XmppSessionCore::AddTelGroup(std::string_view, std::string_view, std::string_view) {
    return NotCarriedOut("AddTelGroup");
}
int XmppSessionCore::ModifyTelGroup(std::string_view, std::string_view) {
    return NotCarriedOut("ModifyTelGroup");
}
int XmppSessionCore::DeleteTelGroup(std::string_view) { return NotCarriedOut("DeleteTelGroup"); }
int XmppSessionCore::AddMobileContact(std::string_view, std::string_view) {
    return NotCarriedOut("AddMobileContact");
}
int XmppSessionCore::ModifyMobileContact(std::string_view, std::string_view, std::string_view) {
    return NotCarriedOut("ModifyMobileContact");
}
int XmppSessionCore::DeleteMobileContact(std::string_view, std::string_view) {
    return NotCarriedOut("DeleteMobileContact");
}

// ---- Messages and SMS ----

int XmppSessionCore::SendChatMessage(std::string_view to, std::string_view body,
                                     std::string_view font) {
    std::string toUtf8, bodyUtf8, fontUtf8, nick;
    {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn || to.empty()) return 0;
        nick = os::GbkToUtf8Lossy(nickname_);
    }
    if (!os::GbkToUtf8(to, toUtf8) || !os::GbkToUtf8(body, bodyUtf8) ||
        !os::GbkToUtf8(font, fontUtf8)) {
        Log(1, "XMPP: a message that is not GBK text was not sent");
        return 0;
    }
    Post([this, toUtf8, bodyUtf8, fontUtf8, nick] {
        if (connection_ != nullptr) {
            connection_->Send(xmpp::ChatMessage(ctx_, toUtf8, bodyUtf8, fontUtf8, nick));
        }
    });
    return 1;
}

int XmppSessionCore::SendInputStateMessage(std::string_view, std::string_view to,
                                           std::string_view state) {
    std::string toUtf8;
    if (!LoggedIn() || to.empty() || !os::GbkToUtf8(to, toUtf8)) return 0;
    Post([this, toUtf8, state = std::string(state)] {
        if (connection_ != nullptr) connection_->Send(xmpp::ChatState(ctx_, toUtf8, state));
    });
    return 1;
}

int XmppSessionCore::SendTelMessage(std::string_view, std::string_view, int, int) {
    return NotCarriedOut("SendTelMessage");
}
int XmppSessionCore::SendTimerSMS(std::string_view, std::string_view, std::string_view, int, int) {
    return NotCarriedOut("SendTimerSMS");
}
int XmppSessionCore::BatchSendSms(std::string_view, std::string_view, int, int) {
    return NotCarriedOut("BatchSendSms");
}
int XmppSessionCore::QuerySmsLimitInfo(int) { return NotCarriedOut("QuerySmsLimitInfo"); }

// ---- Files and gateways: not carried out by this engine yet (rooms: xmpp_rooms_calls.cpp) ----

int XmppSessionCore::SendFile(std::string_view, std::string_view, std::string_view, int) {
    // No file route yet: a transfer that cannot happen is a failure, never a silent success.
    Log(2, "XMPP: file transfer is not carried out by this engine yet");
    return kSendFileFailed;
}
int XmppSessionCore::RecvFile(std::string_view, std::string_view) { return 0; }
int XmppSessionCore::DenyFile(std::string_view) { return 0; }
int XmppSessionCore::CancelFile(std::string_view) { return 0; }
int XmppSessionCore::UseOfflineFileTrans(std::string_view) { return 0; }
std::string XmppSessionCore::getFileLastSavePath() { return {}; }
int XmppSessionCore::SendMsnStatusMessage(std::string_view, std::string_view, int,
                                          std::string_view) {
    return NotCarriedOut("SendMsnStatusMessage");
}
int XmppSessionCore::SendLogoffMsnMessage(std::string_view) {
    return NotCarriedOut("SendLogoffMsnMessage");
}
int XmppSessionCore::QueryDefaultMailMonitors() {
    return NotCarriedOut("QueryDefaultMailMonitors");
}
int XmppSessionCore::ChangeUserPassword(std::string_view, std::string_view) {
    return NotCarriedOut("ChangeUserPassword");
}

// ---- Configuration and utilities ----

void XmppSessionCore::UpDateConfig() {}
std::string XmppSessionCore::GetINIString(std::string_view section, std::string_view key,
                                          std::string_view defaultValue, std::string_view file) {
    return utilities_.GetINIString(section, key, defaultValue, file);
}
int XmppSessionCore::WriteINIInt(std::string_view section, std::string_view key, int value,
                                 std::string_view file) {
    return utilities_.WriteINIInt(section, key, value, file);
}
void XmppSessionCore::WriteLog(std::string_view text) { utilities_.WriteLog(text); }
void XmppSessionCore::WriteLog2(int level, std::string_view text) {
    utilities_.WriteLog2(level, text);
}
bool XmppSessionCore::FileExists(std::string_view path) { return utilities_.FileExists(path); }
std::string XmppSessionCore::GetAppPath() { return utilities_.GetAppPath(); }

// ---- For tests and tools ----

std::uint64_t XmppSessionCore::RequestEcho() {
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(mutex_);
        ticket = nextTicket_++;
        pendingTickets_.insert(ticket);
    }
    Post([this, ticket] {
        if (connection_ == nullptr || connection_->Gone()) {
            AnswerTickets({ticket});
        } else if (connection_->Usable() && connection_->LoginComplete()) {
            const std::string id = kEchoPrefix + std::to_string(ticket);
            connection_->echoes[id] = ticket;
            connection_->Send(
                xmpp::Query(ctx_, "get", id, "ping", xmpp::kPingNs, settings_.domain));
        } else {
            connection_->parked.push_back(ticket);
        }
    });
    return ticket;
}

bool XmppSessionCore::EchoReturned(std::uint64_t ticket) const {
    std::lock_guard lock(mutex_);
    return ticket < nextTicket_ && !pendingTickets_.contains(ticket);
}

void XmppSessionCore::SendOnConnection(xmpp_stanza_t* stanza) {
    if (connection_ != nullptr) {
        connection_->Send(stanza);
    } else {
        xmpp_stanza_release(stanza);
    }
}

void XmppSessionCore::CutConnection() {
    Post([this] {
        if (connection_ != nullptr) connection_->Cut();
    });
}

}  // namespace platform
