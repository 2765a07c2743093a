// CClientDB: storing, querying and deleting messages.

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/store/bigram_tokenizer.h"
#include "platform/store/client_db.h"
#include "platform/store/client_db_session.h"
#include "platform/store/store_error.h"
#include "platform/store/store_text.h"

using store::OrEmpty;
using store::Statement;

namespace {

constexpr const char* kInsertMessage =
    "INSERT INTO message (sender, receiver, sender_key, receiver_key, sent_time, contents,"
    " extra1, extra2, extra3, extra4, extra5, type, web, state)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)";

// The ten fields of the record, in field order.
constexpr const char* kRecordColumns =
    "id, sender, receiver, sent_time, contents, extra1, extra2, extra3, state, type";

// Filters of the query forms; ?1, ?2 are their texts.
constexpr const char* kAnyMessage = "1";
constexpr const char* kBySender = "sender_key = ?1";
constexpr const char* kByReceiver = "receiver_key = ?1";
constexpr const char* kBySenderAndReceiver = "sender_key = ?1 AND receiver_key = ?2";
constexpr const char* kByParty = "sender_key = ?1 OR receiver_key = ?1";
constexpr const char* kUnhandled = "state <> 0";
constexpr const char* kHandled = "state = 0";
constexpr const char* kWebConsultation = "web <> 0";
// Contents (without the "FONT(...)" header every chat message carries), sender or receiver
// containing a keyword, ASCII case ignored: through the search index (schema.cpp), ?1 being
// BigramMatchQuery of the keyword.
constexpr const char* kByIndexedKeyword =
    "id IN (SELECT rowid FROM message_search WHERE message_search MATCH ?1)";

// Every match oldest first; or the newest ?N matches, still delivered oldest first.
std::string SelectSql(const char* filter, bool limited, std::size_t limitParameter) {
    std::string where = std::string(" FROM message WHERE ") + filter;
    if (!limited) return std::string("SELECT ") + kRecordColumns + where + " ORDER BY id";
    return std::string("SELECT * FROM (SELECT ") + kRecordColumns + where +
           " ORDER BY id DESC LIMIT ?" + std::to_string(limitParameter) + ") ORDER BY id";
}

}  // namespace

bool CClientDB::AddMsg(const char* from, const char* to, const char* time, const char* contents,
                       const char* extra1, const char* extra2, const char* extra3, int type,
                       bool webConsultation, const char* extra4, const char* extra5, int state,
                       long* newId) {
    return Session::Guard(*this, [&] {
        struct Argument {
            const char* text;
            const char* label;
            std::string utf8;
        };
        Argument arguments[] = {
            {from, "发送者", {}},       {to, "接收者", {}},        {time, "时间", {}},
            {contents, "消息内容", {}}, {extra1, "附加信息1", {}}, {extra2, "附加信息2", {}},
            {extra3, "附加信息3", {}},  {extra4, "附加信息4", {}}, {extra5, "附加信息5", {}},
        };
        for (Argument& argument : arguments) {
            if (!store::ToDbText(OrEmpty(argument.text), argument.utf8)) {
                return Fail(store::DescribeInvalidText(argument.label));
            }
        }
        // Valid GBK, so their keys are too.
        std::string fromKey, toKey;
        store::ToDbJidKey(OrEmpty(from), fromKey);
        store::ToDbJidKey(OrEmpty(to), toKey);
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        Statement insert(session.connection(), kInsertMessage);
        insert.Bind(1, arguments[0].utf8)
            .Bind(2, arguments[1].utf8)
            .Bind(3, fromKey)
            .Bind(4, toKey)
            .Bind(5, arguments[2].utf8)
            .Bind(6, arguments[3].utf8)
            .Bind(7, arguments[4].utf8)
            .Bind(8, arguments[5].utf8)
            .Bind(9, arguments[6].utf8)
            .Bind(10, arguments[7].utf8)
            .Bind(11, arguments[8].utf8)
            .Bind(12, std::int64_t{type})
            .Bind(13, std::int64_t{webConsultation ? 1 : 0})
            .Bind(14, std::int64_t{state});
        int rc = insert.Step();
        if (rc != SQLITE_DONE) return session.Fail(rc);
        if (newId)
            *newId = static_cast<long>(sqlite3_last_insert_rowid(session.connection().handle()));
        return true;
    });
}

bool CClientDB::AddMsgs(const std::vector<NewMessage>& messages) {
    return Session::Guard(*this, [&] {
        struct Row {
            std::string from, to, fromKey, toKey, time, contents, extra1;
        };
        std::vector<Row> rows(messages.size());
        for (std::size_t i = 0; i < messages.size(); ++i) {
            const NewMessage& message = messages[i];
            Row& row = rows[i];
            const std::pair<const std::string*, std::string*> texts[] = {
                {&message.from, &row.from},     {&message.to, &row.to},
                {&message.time, &row.time},     {&message.contents, &row.contents},
                {&message.extra1, &row.extra1},
            };
            const char* labels[] = {"发送者", "接收者", "时间", "消息内容", "附加信息1"};
            for (std::size_t t = 0; t < std::size(texts); ++t) {
                if (!store::ToDbText(*texts[t].first, *texts[t].second)) {
                    return Fail(store::DescribeInvalidText(labels[t]));
                }
            }
            store::ToDbJidKey(message.from, row.fromKey);
            store::ToDbJidKey(message.to, row.toKey);
        }
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        store::Transaction transaction(session.connection());
        if (transaction.rc() != SQLITE_OK) return session.Fail(transaction.rc());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Row& row = rows[i];
            Statement insert(session.connection(), kInsertMessage);
            insert.Bind(1, row.from)
                .Bind(2, row.to)
                .Bind(3, row.fromKey)
                .Bind(4, row.toKey)
                .Bind(5, row.time)
                .Bind(6, row.contents)
                .Bind(7, row.extra1)
                .Bind(8, "")
                .Bind(9, "")
                .Bind(10, "")
                .Bind(11, "")
                .Bind(12, std::int64_t{messages[i].type})
                .Bind(13, std::int64_t{0})
                .Bind(14, std::int64_t{messages[i].state});
            const int rc = insert.Step();
            if (rc != SQLITE_DONE) return session.Fail(rc);
        }
        const int rc = transaction.Commit();
        if (rc != SQLITE_OK) return session.Fail(rc);
        return true;
    });
}

bool CClientDB::QueryMessages(const char* filter, const std::vector<std::string>& parameters,
                              int count, const MsgCallback& callback) {
    return Session::Guard(*this, [&] {
        if (count < -1) return Fail("读取消息的条数" + std::to_string(count) + "无效");
        if (!callback) return Fail("读取消息时没有给出回调函数");
        Session session(*this);
        if (!session) return false;
        bool limited = count >= 0;
        Statement select(session.connection(), SelectSql(filter, limited, parameters.size() + 1));
        int index = 1;
        for (const std::string& parameter : parameters) select.Bind(index++, parameter);
        if (limited) select.Bind(index, std::int64_t{count});

        MsgFields fields;
        int rc;
        while ((rc = select.Step()) == SQLITE_ROW) {
            fields[msg_field::kId] = std::to_string(select.Int(0));
            for (int column = 1; column <= 7; ++column) {
                fields[static_cast<std::size_t>(column)] = store::FromDbText(select.Text(column));
            }
            fields[msg_field::kState] = std::to_string(select.Int(8));
            fields[msg_field::kType] = std::to_string(select.Int(9));
            callback(fields);
        }
        if (rc != SQLITE_DONE) return session.Fail(rc);
        MsgFields end;
        end[msg_field::kId] = kMsgEndMark;
        callback(end);
        return true;
    });
}

bool CClientDB::GetMsg(const char* from, const char* to, const MsgCallback& callback, int count) {
    std::string fromKey, toKey;
    if (!store::ToDbJidKey(OrEmpty(from), fromKey))
        return Fail(store::DescribeInvalidText("发送者"));
    if (!store::ToDbJidKey(OrEmpty(to), toKey)) return Fail(store::DescribeInvalidText("接收者"));
    // An empty text means any; a blank one is a JID whose key happens to be empty.
    const bool anySender = OrEmpty(from).empty();
    const bool anyReceiver = OrEmpty(to).empty();
    if (anySender && anyReceiver) return QueryMessages(kAnyMessage, {}, count, callback);
    if (anyReceiver) return QueryMessages(kBySender, {fromKey}, count, callback);
    if (anySender) return QueryMessages(kByReceiver, {toKey}, count, callback);
    if (fromKey == toKey) return QueryMessages(kByParty, {fromKey}, count, callback);
    return QueryMessages(kBySenderAndReceiver, {fromKey, toKey}, count, callback);
}

bool CClientDB::GetMsg(bool unhandled, const MsgCallback& callback, int count) {
    return QueryMessages(unhandled ? kUnhandled : kHandled, {}, count, callback);
}

bool CClientDB::GetMsg(const char* keyword, const MsgCallback& callback, int count) {
    std::string text;
    if (!store::ToDbText(OrEmpty(keyword), text)) return Fail(store::DescribeInvalidText("关键字"));
    if (text.empty()) return QueryMessages(kAnyMessage, {}, count, callback);
    return QueryMessages(kByIndexedKeyword, {store::BigramMatchQuery(text)}, count, callback);
}

bool CClientDB::GetMsg(const MsgCallback& callback, int count) {
    return QueryMessages(kAnyMessage, {}, count, callback);
}

bool CClientDB::GetMsgWeb(const MsgCallback& callback, int count) {
    return QueryMessages(kWebConsultation, {}, count, callback);
}

bool CClientDB::DeleteMsg(long id) {
    return Session::Guard(*this, [&] {
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        Statement erase(session.connection(), "DELETE FROM message WHERE id = ?1");
        erase.Bind(1, std::int64_t{id});
        int rc = erase.Step();
        return rc == SQLITE_DONE || session.Fail(rc);
    });
}

bool CClientDB::DeleteAllMsgs() {
    return Session::Guard(*this, [&] {
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        Statement erase(session.connection(), "DELETE FROM message");
        int rc = erase.Step();
        return rc == SQLITE_DONE || session.Fail(rc);
    });
}

bool CClientDB::SetRead(long id, bool handled) {
    return Session::Guard(*this, [&] {
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        Statement update(session.connection(), "UPDATE message SET state = ?1 WHERE id = ?2");
        update.Bind(1, std::int64_t{handled ? kStateHandled : kStateUnhandled})
            .Bind(2, std::int64_t{id});
        int rc = update.Step();
        if (rc != SQLITE_DONE) return session.Fail(rc);
        if (sqlite3_changes(session.connection().handle()) == 0) {
            return Fail("消息记录" + std::to_string(id) + "不存在，无法修改处理标记");
        }
        return true;
    });
}
