#include "platform/store/schema.h"

#include <iterator>
#include <string>

#include "platform/store/store_text.h"

namespace store {
namespace {

// Version 0 -> 1: the first layout.
//  - message: sender_key/receiver_key are the keys of the JIDs that conversation queries
//    look up (in version 1 the bare, lower-cased JIDs; see version 2); AUTOINCREMENT keeps the id
//    of a deleted message from ever naming a new one, as views keep ids around. state: 0 handled,
//    non-zero not yet handled.
//  - person_vcard: scope 0 caches contacts' vCards, scope 1 the user's own; key_jid is the
//    JID a card is looked up by, then one column per slot of the vCard record.
//  - mobile_vcard: phone-book cards, one per contact and phone-book group; the newest rowid
//    of a JID is its card stored last.
//  - group_child: the children of each organisation unit, in sibling order.
//  - rtoa: real-time OA notices.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE message (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    sender TEXT NOT NULL,
    receiver TEXT NOT NULL,
    sender_key TEXT NOT NULL,
    receiver_key TEXT NOT NULL,
    sent_time TEXT NOT NULL,
    contents TEXT NOT NULL,
    extra1 TEXT NOT NULL,
    extra2 TEXT NOT NULL,
    extra3 TEXT NOT NULL,
    extra4 TEXT NOT NULL,
    extra5 TEXT NOT NULL,
    type INTEGER NOT NULL,
    web INTEGER NOT NULL,
    state INTEGER NOT NULL
);
CREATE INDEX message_by_sender ON message(sender_key);
CREATE INDEX message_by_receiver ON message(receiver_key);
CREATE INDEX message_unhandled ON message(id) WHERE state <> 0;
CREATE INDEX message_web ON message(id) WHERE web <> 0;

CREATE TABLE person_vcard (
    scope INTEGER NOT NULL,
    key_jid TEXT NOT NULL COLLATE NOCASE,
    jid TEXT NOT NULL, name TEXT NOT NULL, mobile TEXT NOT NULL, work_phone TEXT NOT NULL, email TEXT NOT NULL,
    unit TEXT NOT NULL, industry TEXT NOT NULL, reserved7 TEXT NOT NULL, title TEXT NOT NULL,
    reserved9 TEXT NOT NULL, duty TEXT NOT NULL, reserved11 TEXT NOT NULL,
    short_number TEXT NOT NULL, fax TEXT NOT NULL, extension TEXT NOT NULL,
    staff_number TEXT NOT NULL, video_capable INTEGER NOT NULL,
    text1 TEXT NOT NULL, text2 TEXT NOT NULL, text3 TEXT NOT NULL, text4 TEXT NOT NULL,
    text5 TEXT NOT NULL, text6 TEXT NOT NULL, text7 TEXT NOT NULL, text8 TEXT NOT NULL,
    text9 TEXT NOT NULL, text10 TEXT NOT NULL, text11 TEXT NOT NULL, text12 TEXT NOT NULL,
    text13 TEXT NOT NULL, extra4 TEXT NOT NULL, extension_xml TEXT NOT NULL,
    flags INTEGER NOT NULL, subscription TEXT NOT NULL, phone3 TEXT NOT NULL,
    phone2 TEXT NOT NULL, phone4 TEXT NOT NULL, extra1 TEXT NOT NULL, extra2 TEXT NOT NULL,
    PRIMARY KEY (scope, key_jid)
);

CREATE TABLE mobile_vcard (
    key_jid TEXT NOT NULL COLLATE NOCASE,
    grp TEXT NOT NULL,
    jid TEXT NOT NULL, name TEXT NOT NULL, email TEXT NOT NULL, telephone TEXT NOT NULL,
    profession TEXT NOT NULL, company TEXT NOT NULL, title TEXT NOT NULL,
    position TEXT NOT NULL, mobile TEXT NOT NULL, mobile2 TEXT NOT NULL,
    telephone2 TEXT NOT NULL, office_fax TEXT NOT NULL, address TEXT NOT NULL,
    home_phone TEXT NOT NULL, memo TEXT NOT NULL,
    PRIMARY KEY (key_jid, grp)
);

CREATE TABLE group_child (
    unit_key TEXT NOT NULL,
    position INTEGER NOT NULL,
    type INTEGER NOT NULL,
    id TEXT NOT NULL,
    name TEXT NOT NULL,
    parent_id TEXT NOT NULL,
    PRIMARY KEY (unit_key, position)
) WITHOUT ROWID;

CREATE TABLE rtoa (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    app_id TEXT NOT NULL, app_desc TEXT NOT NULL, sender_name TEXT NOT NULL,
    tip_type TEXT NOT NULL, count TEXT NOT NULL, description TEXT NOT NULL,
    jump_url TEXT NOT NULL, jump_url_param TEXT NOT NULL, display_url TEXT NOT NULL,
    send_time TEXT NOT NULL, offline_tip TEXT NOT NULL, status TEXT NOT NULL
);
)sql";

// Version 1 -> 2: sender_key/receiver_key become the store key of platform::Jid, which also
// reads "@gover." / "@puber." as "$gov@" / "$pub@" and drops leading blanks, so the two
// spellings of one directory user are one conversation. Every row is re-keyed from its own
// sender and receiver texts (ids, texts and states stay as they are); a text that is not
// GBK, which this store never wrote, keeps its key. Keys of plain JIDs do not change.
constexpr const char* kRekeyMessages = R"sql(
UPDATE message
   SET sender_key = coalesce(qorv_jid_store_key(sender), sender_key),
       receiver_key = coalesce(qorv_jid_store_key(receiver), receiver_key)
 WHERE sender_key IS NOT coalesce(qorv_jid_store_key(sender), sender_key)
    OR receiver_key IS NOT coalesce(qorv_jid_store_key(receiver), receiver_key);
)sql";

// qorv_jid_store_key(text): DbJidKeyOfDbText, or NULL when the text has no key of its own.
void JidStoreKeyFunction(sqlite3_context* context, int /*argc*/, sqlite3_value** argv) {
    const unsigned char* text = sqlite3_value_text(argv[0]);
    if (text == nullptr) {
        sqlite3_result_null(context);
        return;
    }
    const std::string_view utf8(reinterpret_cast<const char*>(text),
                                static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
    std::string key;
    if (!DbJidKeyOfDbText(utf8, key)) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_text(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

int RekeyMessages(Connection& connection) {
    sqlite3* db = connection.handle();
    int rc =
        sqlite3_create_function_v2(db, "qorv_jid_store_key", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   nullptr, JidStoreKeyFunction, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
    rc = connection.Exec(kRekeyMessages);
    // The function is the migration's alone. After a failure the connection is dropped, and
    // its message must stay for the report.
    if (rc == SQLITE_OK) {
        rc = sqlite3_create_function_v2(db, "qorv_jid_store_key", 1, SQLITE_UTF8, nullptr, nullptr,
                                        nullptr, nullptr, nullptr);
    }
    return rc;
}

// Version 2 -> 3: the keyword search index. message_search_text is what the keyword search
// looks at: the contents without their "FONT(...)" header (as the search reads it: from
// the first ')' on when the text holds "FONT("), the sender and the receiver. The index
// reads its texts from that view (a row leaves the index with the texts it was indexed
// with, read before the row changes) and is kept in step with the messages by triggers; the
// version step builds it from the messages already stored.
constexpr const char* kMessageSearch = R"sql(
CREATE VIEW message_search_text AS
SELECT id,
       CASE WHEN instr(contents, 'FONT(') > 0 THEN substr(contents, instr(contents, ')') + 1)
            ELSE contents END AS body,
       sender, receiver
  FROM message;
CREATE VIRTUAL TABLE message_search USING fts5(
    body, sender, receiver,
    content = 'message_search_text', content_rowid = 'id',
    tokenize = 'qorv_bigram'
);
CREATE TRIGGER message_search_insert AFTER INSERT ON message BEGIN
    INSERT INTO message_search (rowid, body, sender, receiver)
    SELECT id, body, sender, receiver FROM message_search_text WHERE id = new.id;
END;
CREATE TRIGGER message_search_delete BEFORE DELETE ON message BEGIN
    INSERT INTO message_search (message_search, rowid, body, sender, receiver)
    SELECT 'delete', id, body, sender, receiver FROM message_search_text WHERE id = old.id;
END;
CREATE TRIGGER message_search_unindex BEFORE UPDATE OF contents, sender, receiver ON message
BEGIN
    INSERT INTO message_search (message_search, rowid, body, sender, receiver)
    SELECT 'delete', id, body, sender, receiver FROM message_search_text WHERE id = old.id;
END;
CREATE TRIGGER message_search_reindex AFTER UPDATE OF contents, sender, receiver ON message
BEGIN
    INSERT INTO message_search (rowid, body, sender, receiver)
    SELECT id, body, sender, receiver FROM message_search_text WHERE id = new.id;
END;
INSERT INTO message_search (message_search) VALUES ('rebuild');
)sql";

// One step: SQL to run, or a function where SQL alone cannot do it.
struct Step {
    const char* sql;
    int (*run)(Connection& connection);
};

// kSteps[v] brings version v to v + 1.
constexpr Step kSteps[] = {
    {kVersion1, nullptr},
    {nullptr, RekeyMessages},
    {kMessageSearch, nullptr},
};
static_assert(std::size(kSteps) == kSchemaVersion);

}  // namespace

int MigrateSchema(Connection& connection, std::int64_t& foundVersion) {
    int rc = connection.QueryInt("PRAGMA user_version", foundVersion);
    if (rc != SQLITE_OK) return rc;
    if (foundVersion == kSchemaVersion) return SQLITE_OK;
    if (foundVersion > kSchemaVersion || foundVersion < 0) return SQLITE_ERROR;

    Transaction transaction(connection);
    if (transaction.rc() != SQLITE_OK) return transaction.rc();
    // Another process may have migrated while this one waited for the write lock.
    rc = connection.QueryInt("PRAGMA user_version", foundVersion);
    if (rc != SQLITE_OK) return rc;
    if (foundVersion > kSchemaVersion || foundVersion < 0) return SQLITE_ERROR;
    for (std::int64_t version = foundVersion; version < kSchemaVersion; ++version) {
        const Step& step = kSteps[version];
        rc = step.run != nullptr ? step.run(connection) : connection.Exec(step.sql);
        if (rc != SQLITE_OK) return rc;
    }
    std::string setVersion = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
    rc = connection.Exec(setVersion.c_str());
    if (rc != SQLITE_OK) return rc;
    return transaction.Commit();
}

}  // namespace store
