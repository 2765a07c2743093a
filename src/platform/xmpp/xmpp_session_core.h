#pragma once
// A SessionCore that speaks XMPP to a real server, on libstrophe.
//
// One I/O thread of its own owns the libstrophe context and connection and runs its run-once
// loop; every request, from whichever thread, is queued to it and wakes it at once (an
// eventfd beside the socket in one poll). Notifications go out through the same queue
// (NotifyQueue) and events as every engine's. Texts are GBK inside and UTF-8 on the wire,
// converted here and in stanza_reader only.
//
// What it carries out: login (STARTTLS with the certificate checked, SASL, resource binding,
// the own vCard's nickname), log-out, presence with the seven presence words, the roster
// (get with versioning, pushes) and its online information, chat with our font header beside
// the plain body, chat states for typing, attention beside a shake, subscriptions, a lost
// connection and a login elsewhere, others' vCards and our own extension kept in our vCard.
// Every other request is accepted while logged in and logged as not carried out by this
// engine yet.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/session/notify_queue.h"
#include "platform/session/session_core.h"
#include "platform/session/session_utilities.h"
#include "platform/xmpp/stanza_reader.h"
#include "platform/xmpp/xmpp_rooms.h"
#include "platform/xmpp/xmpp_settings.h"

namespace os {
class Clock;
}

namespace platform {

namespace xmpp {
class Connection;
}

class XmppSessionCore : public SessionCore {
  public:
    XmppSessionCore(XmppSettings settings, os::Clock& clock,
                    SessionUtilities utilities = SessionUtilities());
    ~XmppSessionCore() override;
    XmppSessionCore(const XmppSessionCore&) = delete;
    XmppSessionCore& operator=(const XmppSessionCore&) = delete;

    int Init(os::Event* lostEvent, os::Event* notifyEvent, std::thread::id notifyThread) override;
    void Free() override;
    NotifyRecord* GetNotify() override;
    void FreeNotify(NotifyRecord* record) override;
    int CanUserLogin() override;
    void StopCheckMainVerUpdate() override;
    void SetCurrentUserLoginType(std::string_view loginType) override;
    int Login(std::string_view userName, std::string_view password, int userKind,
              std::string_view extraText, int flag) override;
    int Logout() override;
    int ChangePresence(std::string_view presenceWord) override;
    int GetServerPort() override;
    std::string GetCurrentUserJID() override;
    std::string GetCurrentUserNickName() override;
    std::string GetCurrentUserLimitName() override;
    std::string GetCurrentUserAccount() override;
    std::string GetCurrentUserPassword() override;
    void SetCurrentUserPassword(std::string_view password) override;
    std::string GetCurrentUserTel() override;
    std::string GetCurrentUserWorkPhone() override;
    std::string GetCurrentUserHomePhone() override;
    std::string GetCurrentUserBusinessPhone() override;
    std::string GetCurrentUserMobilePhone2() override;
    std::string GetHostName() override;
    int GetUserType(std::string_view jid) override;
    std::string GetUserLimitId(std::string_view jid) override;
    std::string GetUserJID(std::string_view account, int userType) override;
    int RefreshRoster(int mode) override;
    int RefreshTelContactTop(int mode) override;
    int CheckCacheTimeVersion(std::string_view jid, std::string_view nameSpace, int value,
                              std::string_view cacheStamp) override;
    int RequestGroupOnlineInfo(std::string_view nameSpace, std::string_view scope) override;
    int GetServersTime(std::string_view jid) override;
    int RequestGroupChildren(os::HWND owner, std::string_view pathKey, int* result, int timeoutMs,
                             os::Event* done, int mode, int flag) override;
    int RequestOrganizeList(int kind, int mode) override;
    int QueryRootOnlineInfo(std::string_view units, std::string_view children, int mode) override;
    int QueryPersonInfo(std::string_view jid, int a, int b) override;
    int QueryPersonInfo_refresh(std::string_view jid) override;
    int QueryStatusInfo(std::string_view jid) override;
    int QueryMobileVcards(std::string_view jid, int mode) override;
    int GetRootRequestCount(int tree) override;
    int SetRequestWholeTreeValue(int value) override;
    int UpdateMyExtendInfo(std::string_view extensionXml) override;
    int ModifyPersionInfo(const SlotData& info) override;
    int AddContact(std::string_view jid, std::string_view nickname,
                   std::string_view group) override;
    int ModifyContact(std::string_view jid, std::string_view nickname, std::string_view group,
                      std::string_view previousGroup) override;
    int RemoveContact(std::string_view jid, std::string_view name, std::string_view group) override;
    int SendRequestMsnContact(std::string_view address) override;
    int ConfirmSubscribe(std::string_view jid, int accept) override;
    int AddBudyGroup(std::string_view name, std::string_view name2,
                     std::string_view parent) override;
    int ModifyBuddyGroup(std::string_view oldName, std::string_view newName) override;
    int DeleteBudyGroup(std::string_view group) override;
    int AddTelGroup(std::string_view name, std::string_view name2,
                    std::string_view parent) override;
    int ModifyTelGroup(std::string_view oldName, std::string_view newName) override;
    int DeleteTelGroup(std::string_view group) override;
    int AddMobileContact(std::string_view group, std::string_view payload) override;
    int ModifyMobileContact(std::string_view group, std::string_view payload,
                            std::string_view id) override;
    int DeleteMobileContact(std::string_view group, std::string_view id) override;
    int SendChatMessage(std::string_view to, std::string_view body, std::string_view font) override;
    int SendTelMessage(std::string_view to, std::string_view text, int nickFlag,
                       int timedFlag) override;
    int SendTimerSMS(std::string_view to, std::string_view text, std::string_view sendTime,
                     int nickFlag, int receiptFlag) override;
    int BatchSendSms(std::string_view list, std::string_view text, int nickFlag,
                     int receiptFlag) override;
    int SendInputStateMessage(std::string_view from, std::string_view to,
                              std::string_view state) override;
    int QuerySmsLimitInfo(int timed) override;
    int RequestInstantRoom(std::string_view roomJid) override;
    int CreatePersistentRoom(std::string_view roomJid, std::string_view name) override;
    int DestroyRoom(std::string_view roomJid) override;
    int EnterConferenceRoom(std::string_view roomJid, std::string_view nickname) override;
    int LeaveConferenceRoom(std::string_view roomJid) override;
    int SendConferenceMessage(std::string_view roomJid, std::string_view text,
                              std::string_view font) override;
    int ConferenceInvitation(std::string_view roomJid, std::string_view inviteeJid,
                             std::string_view reason) override;
    int SetConferenceMembership(std::string_view roomJid, std::string_view userJid,
                                std::string_view affiliation) override;
    int ChangeConferenceSubject(std::string_view roomJid, std::string_view subject) override;
    int QueryConferenceMembersList(std::string_view roomJid) override;
    int QueryConferenceInfo(std::string_view roomJid) override;
    int RefreshSelfConferenceList(int flag) override;
    int GrantConferenceVoice(std::string_view roomJid, std::string_view member) override;
    int RevokeConferenceVoice(std::string_view roomJid, std::string_view member) override;
    int KickConferenceUser(std::string_view roomJid, std::string_view member) override;
    int RequestConferenceVoice(std::string_view roomJid) override;
    int SendFile(std::string_view peerJid, std::string_view filePath, std::string_view transferKey,
                 int flag) override;
    int RecvFile(std::string_view savePath, std::string_view transferKey) override;
    int DenyFile(std::string_view transferKey) override;
    int CancelFile(std::string_view transferKey) override;
    int UseOfflineFileTrans(std::string_view transferKey) override;
    std::string getFileLastSavePath() override;
    int SendMsnStatusMessage(std::string_view gatewayJid, std::string_view statusText, int priority,
                             std::string_view show) override;
    int SendLogoffMsnMessage(std::string_view gatewayJid) override;
    int QueryDefaultMailMonitors() override;
    int ChangeUserPassword(std::string_view oldPassword, std::string_view newPassword) override;
    void UpDateConfig() override;
    std::string GetINIString(std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::string_view file) override;
    int WriteINIInt(std::string_view section, std::string_view key, int value,
                    std::string_view file) override;
    void WriteLog(std::string_view text) override;
    void WriteLog2(int level, std::string_view text) override;
    bool FileExists(std::string_view path) override;
    std::string GetAppPath() override;

    const XmppSettings& Settings() const { return settings_; }

    // Set when a login has fully succeeded (the client's named "LoginEvent"). May be null.
    void SetLoginEvent(os::Event* loginEvent);

    // ---- For tests and tools ----

    // Asks the server for an echo behind everything sent so far (after a login in progress
    // has finished, or a connection that is ending has gone). Answers a ticket for
    // EchoReturned, which holds once the echo is back, so everything the server sent this
    // session before it is in the queue.
    std::uint64_t RequestEcho();
    bool EchoReturned(std::uint64_t ticket) const;
    // Cuts the connection's socket under the session, as a network failure would.
    void CutConnection();
    // Queued / issued records.
    std::size_t QueuedCount() const { return queue_.QueuedCount(); }

  private:
    friend class xmpp::Connection;

    enum class Phase { Offline, LoggingIn, LoggedIn };
    struct Contact {
        std::string jid;  // bare
        std::string name;
        std::string group;
        std::string subscription = "none";
        std::map<std::string, std::string> resources;  // available resource -> presence word
        std::string word;                              // the last word heard
        std::string nick;  // the contact's own nickname, when it sent one
    };

    // Runs `task` on the I/O thread.
    void Post(std::function<void()> task);
    void IoMain();
    bool LoggedIn() const;
    int Accepted() const { return LoggedIn() ? 1 : 0; }
    // A request this engine does not carry out yet: accepted while logged in, and logged.
    int NotCarriedOut(std::string_view request);
    void Log(int level, std::string_view text) const;
    xmpp::ReadContext ReadContextNow(const xmpp::Connection& connection) const;

    // ---- Called on the I/O thread by the connection ----
    void OnConnected();
    void OnOwnVcard(const xmpp::VcardIn& vcard);
    void OnPersonVcard(const xmpp::VcardIn& vcard);
    void AnswerTickets(const std::vector<std::uint64_t>& tickets);
    void OnLoginBarrier();
    void OnDisconnected(bool secured, bool conflict, bool endedByUs);
    void OnInbound(xmpp::InboundEvent event);
    void OnOwnPresenceElsewhere(const std::string& resource);
    ContactListData RosterList() const;  // with mutex_ held

    // ---- Rooms (xmpp_rooms_calls.cpp) ----
    // Runs a room call on the I/O thread; 0 when not logged in.
    int RoomCall(std::string_view roomJid, std::function<void(xmpp::Rooms&)> call);
    // The rooms of the connection, made when first needed; null while not logged in.
    xmpp::Rooms* RoomsNow();
    bool OnRoomStanza(xmpp_stanza_t* stanza);
    void SendOnConnection(xmpp_stanza_t* stanza);

    XmppSettings settings_;
    os::Clock& clock_;
    const SessionUtilities utilities_;
    NotifyQueue queue_;

    mutable std::mutex mutex_;  // the fields below
    bool initialised_ = false;
    Phase phase_ = Phase::Offline;
    os::Event* loginEvent_ = nullptr;
    std::string loginType_;
    std::string jid_;  // bare, of the account logged in or logging in
    std::string limitName_;
    std::string password_;
    std::string nickname_;
    std::string ownCardXml_;  // UTF-8, as the server gave it at the login
    std::string word_ = "online";
    std::map<std::string, Contact> contacts_;  // by lower-case bare JID
    std::string rosterVersion_;
    bool rosterShown_ = false;
    std::uint64_t nextTicket_ = 1;
    std::set<std::uint64_t> pendingTickets_;

    // The I/O thread's: the connection object lives and dies on it.
    std::unique_ptr<xmpp::Connection> connection_;
    std::unique_ptr<xmpp::Rooms> rooms_;  // one per connection, reset when it ends
    std::mutex tasksMutex_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    int wakeFd_ = -1;
    xmpp_ctx_t* ctx_ = nullptr;
    std::thread io_;  // last: started when everything above exists
};

}  // namespace platform
