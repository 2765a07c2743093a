#include "platform/session/sim_session_core.h"

#include "os/sys/event.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"

namespace platform {
namespace {

std::string Text(std::string_view text) { return std::string(text); }
std::string Number(long long value) { return std::to_string(value); }

// The folder part of a path, with its closing '/'.
std::string FolderOf(std::string_view path) {
    const int slash = std::max(os::ReverseFind(path, '/'), os::ReverseFind(path, '\\'));
    return slash < 0 ? std::string() : os::Left(path, slash + 1);
}

}  // namespace

SimSessionCore::SimSessionCore(std::shared_ptr<SimServer> server, SessionUtilities utilities)
    : server_(std::move(server)), utilities_(std::move(utilities)) {
    server_->Attach(this);
}

SimSessionCore::~SimSessionCore() { server_->Detach(this); }

// ---- Life cycle and notifications ----

int SimSessionCore::Init(os::Event* lostEvent, os::Event* notifyEvent,
                         std::thread::id notifyThread) {
    calls_.Record("Init", {});
    {
        std::lock_guard lock(mutex_);
        initialised_ = true;
        notifyThread_ = notifyThread;
    }
    queue_.SetEvents(lostEvent, notifyEvent);
    return 1;
}

void SimSessionCore::Free() {
    calls_.Record("Free", {});
    server_->Logout(this);
    {
        std::lock_guard lock(mutex_);
        initialised_ = false;
        notifyThread_ = {};
    }
    queue_.SetEvents(nullptr, nullptr);
    queue_.DiscardQueued();
}

NotifyRecord* SimSessionCore::GetNotify() { return queue_.Take(); }

void SimSessionCore::FreeNotify(NotifyRecord* record) { queue_.GiveBack(record); }

std::thread::id SimSessionCore::NotifyThread() const {
    std::lock_guard lock(mutex_);
    return notifyThread_;
}

void SimSessionCore::Deliver(NotifyRecord record, OnGiveBack onGiveBack) {
    queue_.Push(std::move(record), onGiveBack);
    std::lock_guard lock(mutex_);
    if (deliveryHook_) deliveryHook_();
}

void SimSessionCore::SetDeliveryHook(std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    deliveryHook_ = std::move(hook);
}

void SimSessionCore::SignalLoginSucceeded() {
    std::lock_guard lock(mutex_);
    if (loginEvent_ != nullptr) loginEvent_->Set();
}

// ---- Test hooks ----

void SimSessionCore::SetDirectoryStore(DirectoryStore store) {
    std::lock_guard lock(mutex_);
    directoryStore_ = std::move(store);
}

void SimSessionCore::HoldDirectoryAnswers(bool held) {
    std::lock_guard lock(mutex_);
    directoryHeld_ = held;
}

void SimSessionCore::SetNextLoginNeverAnswers() {
    std::lock_guard lock(mutex_);
    nextLoginSilent_ = true;
}

void SimSessionCore::SetCanUserLoginAnswer(std::optional<int> answer) {
    std::lock_guard lock(mutex_);
    canLoginAnswer_ = answer;
}

void SimSessionCore::Inject(NotifyRecord record) { queue_.Push(std::move(record)); }

bool SimSessionCore::DropConnection() { return server_->DropConnection(this); }

void SimSessionCore::SetLoginEvent(os::Event* loginEvent) {
    std::lock_guard lock(mutex_);
    loginEvent_ = loginEvent;
}

bool SimSessionCore::LoggedIn() const {
    SimAccount account;
    return server_->CurrentAccount(this, account);
}

template <typename Field>
std::string SimSessionCore::AccountText(Field field) const {
    SimAccount account;
    if (!server_->CurrentAccount(this, account)) return {};
    return account.*field;
}

// ---- Session ----

int SimSessionCore::CanUserLogin() {
    calls_.Record("CanUserLogin", {});
    std::lock_guard lock(mutex_);
    return canLoginAnswer_.value_or(kCanLoginYes);
}

void SimSessionCore::StopCheckMainVerUpdate() { calls_.Record("StopCheckMainVerUpdate", {}); }

void SimSessionCore::SetCurrentUserLoginType(std::string_view loginType) {
    calls_.Record("SetCurrentUserLoginType", {Text(loginType)});
    std::lock_guard lock(mutex_);
    loginType_ = std::string(loginType);
}

int SimSessionCore::Login(std::string_view userName, std::string_view password, int userKind,
                          std::string_view extraText, int flag) {
    // The password is left out of the call log, like out of any log.
    calls_.Record("Login", {Text(userName), Number(userKind), Text(extraText), Number(flag)});
    bool answer = true;
    bool byMobile = false;
    {
        std::lock_guard lock(mutex_);
        if (!initialised_ || userName.empty()) return 0;
        answer = !std::exchange(nextLoginSilent_, false);
        byMobile = os::EqualsNoCase(loginType_, "MOBILE");
        passwordOverride_.reset();
        loginPassword_ = std::string(password);
    }
    // The server calls back into this session (Deliver), so no lock of ours is held here.
    return server_->Login(this, userName, password, byMobile, answer);
}

int SimSessionCore::Logout() {
    calls_.Record("Logout", {});
    return server_->Logout(this);
}

int SimSessionCore::ChangePresence(std::string_view presenceWord) {
    calls_.Record("ChangePresence", {Text(presenceWord)});
    return server_->ChangePresence(this, presenceWord);
}

int SimSessionCore::GetServerPort() { return server_->Port(); }

// ---- The current user ----

std::string SimSessionCore::GetCurrentUserJID() { return AccountText(&SimAccount::jid); }
std::string SimSessionCore::GetCurrentUserNickName() { return AccountText(&SimAccount::nickname); }
std::string SimSessionCore::GetCurrentUserLimitName() {
    return AccountText(&SimAccount::limitName);
}
std::string SimSessionCore::GetCurrentUserAccount() {
    return AccountText(&SimAccount::accountName);
}
std::string SimSessionCore::GetCurrentUserTel() { return AccountText(&SimAccount::tel); }
std::string SimSessionCore::GetCurrentUserWorkPhone() {
    return AccountText(&SimAccount::workPhone);
}
std::string SimSessionCore::GetCurrentUserHomePhone() {
    return AccountText(&SimAccount::homePhone);
}
std::string SimSessionCore::GetCurrentUserBusinessPhone() {
    return AccountText(&SimAccount::businessPhone);
}
std::string SimSessionCore::GetCurrentUserMobilePhone2() {
    return AccountText(&SimAccount::mobile2);
}

std::string SimSessionCore::GetCurrentUserPassword() {
    if (!LoggedIn()) return {};
    std::lock_guard lock(mutex_);
    return passwordOverride_.value_or(loginPassword_);
}

void SimSessionCore::SetCurrentUserPassword(std::string_view password) {
    calls_.Record("SetCurrentUserPassword", {});
    std::lock_guard lock(mutex_);
    passwordOverride_ = std::string(password);
}

std::string SimSessionCore::GetHostName() { return server_->HostName(); }

int SimSessionCore::GetUserType(std::string_view jid) { return Jid(jid).UserType(); }

std::string SimSessionCore::GetUserLimitId(std::string_view jid) {
    std::string known = server_->LimitNameOf(jid);
    return known.empty() ? Jid(jid).UserId() : known;
}

std::string SimSessionCore::GetUserJID(std::string_view account, int userType) {
    return Jid::ForAccount(account, userType, server_->HostName()).text();
}

// ---- Directory, roster and phone book ----
// The lists and a unit's children come from the server; cache checks, online counts and
// vCards are accepted and recorded.

int SimSessionCore::RefreshRoster(int mode) {
    calls_.Record("RefreshRoster", {Number(mode)});
    return server_->SendContactList(this, kRosterNameSpace) ? 1 : 0;
}

int SimSessionCore::RefreshTelContactTop(int mode) {
    calls_.Record("RefreshTelContactTop", {Number(mode)});
    return server_->SendContactList(this, kPhoneBookNameSpace) ? 1 : 0;
}

int SimSessionCore::CheckCacheTimeVersion(std::string_view jid, std::string_view nameSpace,
                                          int value, std::string_view cacheStamp) {
    calls_.Record("CheckCacheTimeVersion",
                  {Text(jid), Text(nameSpace), Number(value), Text(cacheStamp)});
    return Accepted();
}

int SimSessionCore::RequestGroupOnlineInfo(std::string_view nameSpace, std::string_view scope) {
    calls_.Record("RequestGroupOnlineInfo", {Text(nameSpace), Text(scope)});
    // The buddy list's online contacts answer again, now that the client holds the list.
    if (nameSpace == kRosterNameSpace) return server_->RosterPresence(this);
    return Accepted();
}

int SimSessionCore::GetServersTime(std::string_view jid) {
    calls_.Record("GetServersTime", {Text(jid)});
    return Accepted();
}

int SimSessionCore::RequestGroupChildren(os::HWND owner, std::string_view pathKey, int* result,
                                         int timeoutMs, os::Event* done, int mode, int flag) {
    calls_.Record("RequestGroupChildren", {Number(owner.value()), Text(pathKey), Number(timeoutMs),
                                           Number(mode), Number(flag)});
    int answer = Accepted();
    if (answer != 0 && timeoutMs > 0) {
        DirectoryStore store;
        {
            std::lock_guard lock(mutex_);
            if (directoryHeld_) {
                if (result != nullptr) *result = answer;
                return answer;
            }
            store = directoryStore_;
        }
        if (store) answer = store(pathKey, server_->DirectoryChildren(pathKey)) ? 1 : 0;
    }
    if (result != nullptr) *result = answer;
    // The children are stored before this call returns, so the caller's wait ends at once.
    if (done != nullptr) done->Set();
    return answer;
}

int SimSessionCore::RequestOrganizeList(int kind, int mode) {
    calls_.Record("RequestOrganizeList", {Number(kind), Number(mode)});
    const int accepted = Accepted();
    if (accepted != 0) {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(rootRequests_.begin(), rootRequests_.end(),
                               [&](const auto& entry) { return entry.first == kind; });
        if (it == rootRequests_.end()) {
            rootRequests_.emplace_back(kind, 1);
        } else {
            ++it->second;
        }
    }
    return accepted;
}

int SimSessionCore::GetRootRequestCount(int tree) {
    std::lock_guard lock(mutex_);
    for (const auto& [kind, count] : rootRequests_) {
        if (kind == tree) return count;
    }
    return 0;
}

int SimSessionCore::QueryRootOnlineInfo(std::string_view units, std::string_view children,
                                        int mode) {
    calls_.Record("QueryRootOnlineInfo", {Text(units), Text(children), Number(mode)});
    return Accepted();
}

int SimSessionCore::QueryPersonInfo(std::string_view jid, int a, int b) {
    calls_.Record("QueryPersonInfo", {Text(jid), Number(a), Number(b)});
    return Accepted();
}

int SimSessionCore::QueryPersonInfo_refresh(std::string_view jid) {
    calls_.Record("QueryPersonInfo_refresh", {Text(jid)});
    return Accepted();
}

int SimSessionCore::QueryStatusInfo(std::string_view jid) {
    calls_.Record("QueryStatusInfo", {Text(jid)});
    return server_->QueryStatus(this, jid);
}

int SimSessionCore::QueryMobileVcards(std::string_view jid, int mode) {
    calls_.Record("QueryMobileVcards", {Text(jid), Number(mode)});
    return Accepted();
}

int SimSessionCore::SetRequestWholeTreeValue(int value) {
    calls_.Record("SetRequestWholeTreeValue", {Number(value)});
    std::lock_guard lock(mutex_);
    wholeTreeValue_ = value;
    return 1;
}

int SimSessionCore::UpdateMyExtendInfo(std::string_view extensionXml) {
    calls_.Record("UpdateMyExtendInfo", {Text(extensionXml)});
    return server_->UpdateExtension(this, extensionXml);
}

int SimSessionCore::ModifyPersionInfo(const SlotData& info) {
    std::string joined;
    for (const std::string& slot : info.slots) joined += slot + "|";
    calls_.Record("ModifyPersionInfo", {joined});
    return Accepted();
}

// ---- Contacts and groups ----
// AddContact and ConfirmSubscribe are carried out; the roster pushes that answer the other
// edits come with the contact-editing work.

int SimSessionCore::AddContact(std::string_view jid, std::string_view nickname,
                               std::string_view group) {
    calls_.Record("AddContact", {Text(jid), Text(nickname), Text(group)});
    return server_->AddContact(this, jid, nickname, group);
}

int SimSessionCore::ModifyContact(std::string_view jid, std::string_view nickname,
                                  std::string_view group, std::string_view previousGroup) {
    calls_.Record("ModifyContact", {Text(jid), Text(nickname), Text(group), Text(previousGroup)});
    return Accepted();
}

int SimSessionCore::RemoveContact(std::string_view jid, std::string_view name,
                                  std::string_view group) {
    calls_.Record("RemoveContact", {Text(jid), Text(name), Text(group)});
    return Accepted();
}

int SimSessionCore::SendRequestMsnContact(std::string_view address) {
    calls_.Record("SendRequestMsnContact", {Text(address)});
    return Accepted();
}

int SimSessionCore::ConfirmSubscribe(std::string_view jid, int accept) {
    calls_.Record("ConfirmSubscribe", {Text(jid), Number(accept)});
    return server_->ConfirmSubscribe(this, jid, accept != 0);
}

int SimSessionCore::AddBudyGroup(std::string_view name, std::string_view name2,
                                 std::string_view parent) {
    calls_.Record("AddBudyGroup", {Text(name), Text(name2), Text(parent)});
    return Accepted();
}

int SimSessionCore::ModifyBuddyGroup(std::string_view oldName, std::string_view newName) {
    calls_.Record("ModifyBuddyGroup", {Text(oldName), Text(newName)});
    return Accepted();
}

int SimSessionCore::DeleteBudyGroup(std::string_view group) {
    calls_.Record("DeleteBudyGroup", {Text(group)});
    return Accepted();
}

int SimSessionCore::AddTelGroup(std::string_view name, std::string_view name2,
                                std::string_view parent) {
    calls_.Record("AddTelGroup", {Text(name), Text(name2), Text(parent)});
    return Accepted();
}

int SimSessionCore::ModifyTelGroup(std::string_view oldName, std::string_view newName) {
    calls_.Record("ModifyTelGroup", {Text(oldName), Text(newName)});
    return Accepted();
}

int SimSessionCore::DeleteTelGroup(std::string_view group) {
    calls_.Record("DeleteTelGroup", {Text(group)});
    return Accepted();
}

int SimSessionCore::AddMobileContact(std::string_view group, std::string_view payload) {
    calls_.Record("AddMobileContact", {Text(group), Text(payload)});
    return Accepted();
}

int SimSessionCore::ModifyMobileContact(std::string_view group, std::string_view payload,
                                        std::string_view id) {
    calls_.Record("ModifyMobileContact", {Text(group), Text(payload), Text(id)});
    return Accepted();
}

int SimSessionCore::DeleteMobileContact(std::string_view group, std::string_view id) {
    calls_.Record("DeleteMobileContact", {Text(group), Text(id)});
    return Accepted();
}

// ---- Messages and SMS ----
// Chat, typing and the SMS gateway with its quotas are carried out by the server.

int SimSessionCore::SendChatMessage(std::string_view to, std::string_view body,
                                    std::string_view font) {
    calls_.Record("SendChatMessage", {Text(to), Text(body), Text(font)});
    return server_->SendChat(this, to, body, font);
}

int SimSessionCore::SendTelMessage(std::string_view to, std::string_view text, int nickFlag,
                                   int timedFlag) {
    calls_.Record("SendTelMessage", {Text(to), Text(text), Number(nickFlag), Number(timedFlag)});
    return server_->SendSms(this, to, text, {}, nickFlag, timedFlag);
}

int SimSessionCore::SendTimerSMS(std::string_view to, std::string_view text,
                                 std::string_view sendTime, int nickFlag, int receiptFlag) {
    calls_.Record("SendTimerSMS",
                  {Text(to), Text(text), Text(sendTime), Number(nickFlag), Number(receiptFlag)});
    // A timed SMS without a time would go at once: that is not what was asked for.
    if (sendTime.empty()) return 0;
    return server_->SendSms(this, to, text, sendTime, nickFlag, receiptFlag);
}

int SimSessionCore::BatchSendSms(std::string_view list, std::string_view text, int nickFlag,
                                 int receiptFlag) {
    calls_.Record("BatchSendSms", {Text(list), Text(text), Number(nickFlag), Number(receiptFlag)});
    return server_->BatchSendSms(this, list, text, nickFlag, receiptFlag);
}

int SimSessionCore::SendInputStateMessage(std::string_view from, std::string_view to,
                                          std::string_view state) {
    calls_.Record("SendInputStateMessage", {Text(from), Text(to), Text(state)});
    return server_->SendTyping(this, to, state);
}

int SimSessionCore::QuerySmsLimitInfo(int timed) {
    calls_.Record("QuerySmsLimitInfo", {Number(timed)});
    return server_->QuerySmsLimit(this, timed);
}

// ---- Rooms ----
// Recorded, then carried out by the server's rooms (sim_server_rooms.cpp).

int SimSessionCore::RequestInstantRoom(std::string_view roomJid) {
    calls_.Record("RequestInstantRoom", {Text(roomJid)});
    return server_->RequestInstantRoom(this, roomJid);
}

int SimSessionCore::CreatePersistentRoom(std::string_view roomJid, std::string_view name) {
    calls_.Record("CreatePersistentRoom", {Text(roomJid), Text(name)});
    return server_->CreatePersistentRoom(this, roomJid, name);
}

int SimSessionCore::DestroyRoom(std::string_view roomJid) {
    calls_.Record("DestroyRoom", {Text(roomJid)});
    return server_->DestroyRoom(this, roomJid);
}

int SimSessionCore::EnterConferenceRoom(std::string_view roomJid, std::string_view nickname) {
    calls_.Record("EnterConferenceRoom", {Text(roomJid), Text(nickname)});
    return server_->EnterRoom(this, roomJid, nickname);
}

int SimSessionCore::LeaveConferenceRoom(std::string_view roomJid) {
    calls_.Record("LeaveConferenceRoom", {Text(roomJid)});
    return server_->LeaveRoom(this, roomJid);
}

int SimSessionCore::SendConferenceMessage(std::string_view roomJid, std::string_view text,
                                          std::string_view font) {
    calls_.Record("SendConferenceMessage", {Text(roomJid), Text(text), Text(font)});
    return server_->SendRoomMessage(this, roomJid, text, font);
}

int SimSessionCore::ConferenceInvitation(std::string_view roomJid, std::string_view inviteeJid,
                                         std::string_view reason) {
    calls_.Record("ConferenceInvitation", {Text(roomJid), Text(inviteeJid), Text(reason)});
    return server_->InviteToRoom(this, roomJid, inviteeJid, reason);
}

int SimSessionCore::SetConferenceMembership(std::string_view roomJid, std::string_view userJid,
                                            std::string_view affiliation) {
    calls_.Record("SetConferenceMembership", {Text(roomJid), Text(userJid), Text(affiliation)});
    return server_->SetRoomMembership(this, roomJid, userJid, affiliation);
}

int SimSessionCore::ChangeConferenceSubject(std::string_view roomJid, std::string_view subject) {
    calls_.Record("ChangeConferenceSubject", {Text(roomJid), Text(subject)});
    return server_->ChangeRoomSubject(this, roomJid, subject);
}

int SimSessionCore::QueryConferenceMembersList(std::string_view roomJid) {
    calls_.Record("QueryConferenceMembersList", {Text(roomJid)});
    return server_->QueryRoomMembers(this, roomJid);
}

int SimSessionCore::QueryConferenceInfo(std::string_view roomJid) {
    calls_.Record("QueryConferenceInfo", {Text(roomJid)});
    return server_->QueryRoomInfo(this, roomJid);
}

int SimSessionCore::RefreshSelfConferenceList(int flag) {
    calls_.Record("RefreshSelfConferenceList", {Number(flag)});
    return server_->RefreshOwnRooms(this, flag);
}

int SimSessionCore::GrantConferenceVoice(std::string_view roomJid, std::string_view member) {
    calls_.Record("GrantConferenceVoice", {Text(roomJid), Text(member)});
    return server_->SetRoomVoice(this, roomJid, member, true);
}

int SimSessionCore::RevokeConferenceVoice(std::string_view roomJid, std::string_view member) {
    calls_.Record("RevokeConferenceVoice", {Text(roomJid), Text(member)});
    return server_->SetRoomVoice(this, roomJid, member, false);
}

int SimSessionCore::KickConferenceUser(std::string_view roomJid, std::string_view member) {
    calls_.Record("KickConferenceUser", {Text(roomJid), Text(member)});
    return server_->KickFromRoom(this, roomJid, member);
}

int SimSessionCore::RequestConferenceVoice(std::string_view roomJid) {
    calls_.Record("RequestConferenceVoice", {Text(roomJid)});
    return server_->RequestRoomVoice(this, roomJid);
}

// ---- Files ----
// Accepted and recorded; offers, progress and results come with the file-transfer work.

int SimSessionCore::SendFile(std::string_view peerJid, std::string_view filePath,
                             std::string_view transferKey, int flag) {
    calls_.Record("SendFile", {Text(peerJid), Text(filePath), Text(transferKey), Number(flag)});
    if (!LoggedIn()) return kSendFileFailed;
    return server_->SendFile(this, peerJid, filePath, transferKey);
}

int SimSessionCore::RecvFile(std::string_view savePath, std::string_view transferKey) {
    calls_.Record("RecvFile", {Text(savePath), Text(transferKey)});
    const int accepted = LoggedIn() ? server_->RecvFile(this, savePath, transferKey) : 0;
    if (accepted != 0) {
        std::lock_guard lock(mutex_);
        lastSaveFolder_ = FolderOf(savePath);
    }
    return accepted;
}

int SimSessionCore::DenyFile(std::string_view transferKey) {
    calls_.Record("DenyFile", {Text(transferKey)});
    return LoggedIn() ? server_->DenyFile(this, transferKey) : 0;
}

int SimSessionCore::CancelFile(std::string_view transferKey) {
    calls_.Record("CancelFile", {Text(transferKey)});
    return LoggedIn() ? server_->CancelFile(this, transferKey) : 0;
}

int SimSessionCore::UseOfflineFileTrans(std::string_view transferKey) {
    calls_.Record("UseOfflineFileTrans", {Text(transferKey)});
    return LoggedIn() ? server_->UseOfflineFileTrans(this, transferKey) : 0;
}

std::string SimSessionCore::getFileLastSavePath() {
    std::lock_guard lock(mutex_);
    return lastSaveFolder_;
}

// ---- Gateways, mail, password ----
// Accepted and recorded; gateway sessions, mail monitors and password changes come with the
// work that uses them.

int SimSessionCore::SendMsnStatusMessage(std::string_view gatewayJid, std::string_view statusText,
                                         int priority, std::string_view show) {
    calls_.Record("SendMsnStatusMessage",
                  {Text(gatewayJid), Text(statusText), Number(priority), Text(show)});
    return Accepted();
}

int SimSessionCore::SendLogoffMsnMessage(std::string_view gatewayJid) {
    calls_.Record("SendLogoffMsnMessage", {Text(gatewayJid)});
    return Accepted();
}

int SimSessionCore::QueryDefaultMailMonitors() {
    calls_.Record("QueryDefaultMailMonitors", {});
    return Accepted();
}

int SimSessionCore::ChangeUserPassword(std::string_view oldPassword, std::string_view newPassword) {
    // Passwords stay out of the call log.
    static_cast<void>(oldPassword);
    static_cast<void>(newPassword);
    calls_.Record("ChangeUserPassword", {});
    return Accepted();
}

// ---- Configuration and utilities ----

void SimSessionCore::UpDateConfig() { calls_.Record("UpDateConfig", {}); }

std::string SimSessionCore::GetINIString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue, std::string_view file) {
    return utilities_.GetINIString(section, key, defaultValue, file);
}

int SimSessionCore::WriteINIInt(std::string_view section, std::string_view key, int value,
                                std::string_view file) {
    return utilities_.WriteINIInt(section, key, value, file);
}

void SimSessionCore::WriteLog(std::string_view text) { utilities_.WriteLog(text); }

void SimSessionCore::WriteLog2(int level, std::string_view text) {
    utilities_.WriteLog2(level, text);
}

bool SimSessionCore::FileExists(std::string_view path) { return utilities_.FileExists(path); }

std::string SimSessionCore::GetAppPath() { return utilities_.GetAppPath(); }

}  // namespace platform
