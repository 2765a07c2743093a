#pragma once
// CClientDB: the user's local store of messages, contact cards, organisation children and
// real-time OA notices. One SQLite database per user, "msg.db" in the user folder.
//
// A handle is cheap: construct one on the stack per operation with the account name and the
// user folder (shared client directory + account + "/"). The database is created with its
// schema on first use; open connections are cached for the whole process (see
// CloseAll), so an operation does not reopen the file.
//
// Texts are GBK at this interface; a null text argument reads as empty. Every operation
// returns false on failure and leaves the stored data as it was; GetErrorInfo then tells the
// user why. A message reported as stored is on disk (synchronous commit) and survives a
// crash. Handles may be used from any thread; one handle is meant for one thread.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/store/contact_mobile_person_info.h"
#include "platform/store/contact_person_info.h"
#include "platform/store/group_child.h"
#include "platform/store/msg_record.h"
#include "platform/store/rtoa_record.h"

class CClientDB {
  public:
    // File name of the database inside the user folder.
    static constexpr const char* kDatabaseFileName = "msg.db";

    // Message types given to AddMsg and read back in field 10.
    static constexpr int kTypeChat = 0;
    static constexpr int kTypeSms = 11;
    // Handled states given to AddMsg and read back in field 9.
    static constexpr int kStateHandled = 0;
    static constexpr int kStateUnhandled = 1;

    // `accountName` is taken in the callers' form; the user folder alone names the database.
    CClientDB(const char* accountName, const char* userFolder);
    ~CClientDB();
    CClientDB(const CClientDB&) = delete;
    CClientDB& operator=(const CClientDB&) = delete;

    // Closes every cached connection of the process (for example at log-out). Operations
    // running meanwhile finish normally; later ones reopen.
    static void CloseAll();
    // How long a write waits for a lock held by another process before it fails with the
    // "locked" message. Process-wide; 5000 ms unless set.
    static void SetBusyTimeout(int milliseconds);

    // ---- Messages ----------------------------------------------------------------------

    // Stores one message. `time` is "%4d-%02d-%02d %02d:%02d:%02d"; `type` 0 chat, 11 SMS,
    // others as the caller defines; `webConsultation` marks a message of a web visitor (see
    // GetMsgWeb); `state` is the handled state (kStateUnhandled for a new message). extra1..3
    // come back as fields 6-8; extra4 and extra5 are kept with the message. When `newId` is
    // given it receives the new record's id. True only once the message is durably stored.
    bool AddMsg(const char* from, const char* to, const char* time, const char* contents,
                const char* extra1, const char* extra2, const char* extra3, int type,
                bool webConsultation, const char* extra4, const char* extra5, int state,
                long* newId);

    // One message of AddMsgs, with AddMsg's meaning; the fields it leaves out are empty.
    struct NewMessage {
        std::string from;
        std::string to;
        std::string time;
        std::string contents;
        std::string extra1;
        int type = kTypeChat;
        int state = kStateUnhandled;
    };
    // Stores every message of `messages` in one transaction (one sync for all of them): true
    // once all are durably stored; false, and none stored, otherwise.
    bool AddMsgs(const std::vector<NewMessage>& messages);

    // The message queries call `callback` once per record, oldest first, then once with the
    // "END" record, and return true; on failure they return false, possibly after some
    // records but never with the "END" record. `count` -1 delivers every match; a count
    // n >= 0 delivers the newest n matches (still oldest first). A count below -1 is refused.

    // By sender and receiver, comparing their store keys (platform::Jid::StoreKey: resource
    // cut, ASCII case ignored, "@gover." / "@puber." read as "$gov@" / "$pub@"). Null or
    // empty means any. The same JID on both sides means the whole conversation with that
    // JID: every message it sent or received.
    bool GetMsg(const char* from, const char* to, const MsgCallback& callback, int count);
    // The messages not yet handled (true) or handled (false).
    bool GetMsg(bool unhandled, const MsgCallback& callback, int count);
    // Messages whose text (without its "FONT(...)" header), sender or receiver contains
    // `keyword` (ASCII case ignored). An empty keyword matches every message.
    bool GetMsg(const char* keyword, const MsgCallback& callback, int count);
    // Every message.
    bool GetMsg(const MsgCallback& callback, int count);
    // The messages of web visitors (stored with webConsultation = true).
    bool GetMsgWeb(const MsgCallback& callback, int count);

    // Deletes one message; true also when no message has that id (it is gone either way).
    bool DeleteMsg(long id);
    bool DeleteAllMsgs();
    // Marks a message handled (true) or not yet handled (false); false when the id is unknown.
    bool SetRead(long id, bool handled);

    // ---- Last failure ------------------------------------------------------------------

    // The text of the last failure of this handle (GBK), empty when none failed.
    const std::string& GetErrorInfo() const { return errorInfo_; }
    // The same text into a caller buffer of `capacity` bytes, always NUL-terminated, cut at
    // a whole GBK character when the buffer is too small.
    void GetErrorInfo(char* buffer, std::size_t capacity) const;

    // ---- Contact cards -----------------------------------------------------------------

    // Contacts' vCards, keyed by JID (ASCII case ignored). Set replaces the card of
    // `jid`; Get returns false when none is cached. The record's own jid field is stored as
    // given; the key is `jid`.
    bool GetContactVcard(const char* jid, CContactPersonInfo& info);
    bool SetContactVcard(const char* jid, const CContactPersonInfo& info);
    // The user's own vCard, kept apart from the contacts' cache.
    bool GetVcard(const char* jid, CContactPersonInfo& info);
    bool SetVcard(const char* jid, const CContactPersonInfo& info);
    // Phone-book cards, one per contact and phone-book group (info.group). Get looks in
    // info.group when it is set, otherwise returns the card stored last for `jid`.
    bool GetContactMobileVcard(const char* jid, CContactMobilePersonInfo& info);
    bool SetContactMobileVcard(const char* jid, const CContactMobilePersonInfo& info);
    // Whether a phone-book card of `jid` is cached in `group` (null or empty: in any group).
    // False also after a failure, which GetErrorInfo then describes.
    bool IsContactInDB(const char* jid, const char* group);
    // Removes the phone-book card of `jid` from `group` (null or empty: from every group).
    bool DeleteSingleContact(const char* jid, const char* group);

    // ---- Organisation children ---------------------------------------------------------

    // The children of the unit `unitKey`, in sibling order; empty when none are stored.
    bool GetGroupChildren(const char* unitKey, CGroupChildList& children);
    // Replaces the stored children of `unitKey` with `children`, in one transaction.
    bool RefreshGroupChildren(const char* unitKey, const CGroupChildList& children);

    // ---- Real-time OA notices ----------------------------------------------------------

    // Stores a notice; `id` receives its new id.
    bool AddRTOAInfo(const char* appId, const char* appDesc, const char* senderName,
                     const char* tipType, const char* count, const char* desc, const char* jumpUrl,
                     const char* jumpUrlParam, const char* displayUrl, const char* sendTime,
                     const char* offlineTip, const char* status, long& id);
    // Calls `callback` once per stored notice, newest first (the order of the notice list).
    bool GetAllOAMsg(const RTOACallback& callback);
    // `ids` lists decimal ids, each followed by the two characters "\t" (a tab character is
    // taken as well). Sets the status of the listed notices to `state` ('0' read, '1' unread).
    // Ids that match no notice are passed over. A malformed list changes nothing.
    bool UpdateRTOAState(const char* ids, char state);
    // Deletes the listed notices (same list form).
    bool DeleteSomeRTOAItem(const char* ids);

  private:
    class Session;
    friend class Session;

    bool Fail(std::string text);
    bool FailSql(int rc, const std::string& sqliteMessage);
    bool QueryMessages(const char* filter, const std::vector<std::string>& parameters, int count,
                       const MsgCallback& callback);
    bool GetPersonVcard(int scope, const char* jid, CContactPersonInfo& info);
    bool SetPersonVcard(int scope, const char* jid, const CContactPersonInfo& info);
    bool SetRTOAState(const char* ids, const std::string* status);

    std::string userFolder_;    // GBK, ends with '/'
    std::string databaseFile_;  // GBK
    std::string folderPath_;    // UTF-8, for the file system
    std::string databasePath_;  // UTF-8
    std::string errorInfo_;
};
