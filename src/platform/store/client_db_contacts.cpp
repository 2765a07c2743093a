// CClientDB: cached vCards and phone-book cards.

#include <array>
#include <string>
#include <type_traits>

#include "platform/store/client_db.h"
#include "platform/store/client_db_session.h"
#include "platform/store/store_error.h"
#include "platform/store/store_text.h"

using store::OrEmpty;
using store::Statement;

namespace {

constexpr int kContactScope = 0;
constexpr int kOwnScope = 1;

// person_vcard's slot columns, in slot order.
constexpr std::array<const char*, CContactPersonInfo::kSlotCount> kPersonColumns = {
    "jid",          "name",          "mobile",    "work_phone",   "email",         "unit",
    "industry",     "reserved7",     "title",     "reserved9",    "duty",          "reserved11",
    "short_number", "fax",           "extension", "staff_number", "video_capable", "text1",
    "text2",        "text3",         "text4",     "text5",        "text6",         "text7",
    "text8",        "text9",         "text10",    "text11",       "text12",        "text13",
    "extra4",       "extension_xml", "flags",     "subscription", "phone3",        "phone2",
    "phone4",       "extra1",        "extra2"};
static_assert(kPersonColumns.back() != nullptr, "one column per slot");

// mobile_vcard's card columns (the group is part of the key) and the fields they hold.
struct MobileColumn {
    const char* name;
    std::string CContactMobilePersonInfo::*field;
};
constexpr MobileColumn kMobileColumns[] = {
    {"jid", &CContactMobilePersonInfo::jid},
    {"name", &CContactMobilePersonInfo::name},
    {"email", &CContactMobilePersonInfo::email},
    {"telephone", &CContactMobilePersonInfo::telephone},
    {"profession", &CContactMobilePersonInfo::profession},
    {"company", &CContactMobilePersonInfo::company},
    {"title", &CContactMobilePersonInfo::title},
    {"position", &CContactMobilePersonInfo::position},
    {"mobile", &CContactMobilePersonInfo::mobile},
    {"mobile2", &CContactMobilePersonInfo::mobile2},
    {"telephone2", &CContactMobilePersonInfo::telephone2},
    {"office_fax", &CContactMobilePersonInfo::officeFax},
    {"address", &CContactMobilePersonInfo::address},
    {"home_phone", &CContactMobilePersonInfo::homePhone},
    {"memo", &CContactMobilePersonInfo::memo},
};

template <class Columns>
std::string ColumnList(const Columns& columns) {
    std::string list;
    for (const auto& column : columns) {
        if (!list.empty()) list += ", ";
        if constexpr (std::is_same_v<std::decay_t<decltype(column)>, MobileColumn>) {
            list += column.name;
        } else {
            list += column;
        }
    }
    return list;
}

std::string Placeholders(int first, int count) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        if (i) list += ", ";
        list += "?" + std::to_string(first + i);
    }
    return list;
}

const std::string& PersonInsertSql() {
    static const std::string sql = "INSERT OR REPLACE INTO person_vcard (scope, key_jid, " +
                                   ColumnList(kPersonColumns) + ") VALUES (?1, ?2, " +
                                   Placeholders(3, CContactPersonInfo::kSlotCount) + ")";
    return sql;
}

const std::string& PersonSelectSql() {
    static const std::string sql = "SELECT " + ColumnList(kPersonColumns) +
                                   " FROM person_vcard WHERE scope = ?1 AND key_jid = ?2";
    return sql;
}

constexpr int kMobileColumnCount = static_cast<int>(std::size(kMobileColumns));

const std::string& MobileInsertSql() {
    static const std::string sql = "INSERT OR REPLACE INTO mobile_vcard (key_jid, grp, " +
                                   ColumnList(kMobileColumns) + ") VALUES (?1, ?2, " +
                                   Placeholders(3, kMobileColumnCount) + ")";
    return sql;
}

// ?1 the JID, ?2 the group or "" for any group; newest card first.
const std::string& MobileSelectSql() {
    static const std::string sql = "SELECT grp, " + ColumnList(kMobileColumns) +
                                   " FROM mobile_vcard WHERE key_jid = ?1 AND (?2 = '' OR grp = ?2)"
                                   " ORDER BY rowid DESC LIMIT 1";
    return sql;
}

// The key a card is stored under: the JID argument, or the record's own JID without one.
std::string_view CardKey(const char* jid, const std::string& recordJid) {
    std::string_view key = OrEmpty(jid);
    return key.empty() ? std::string_view(recordJid) : key;
}

}  // namespace

bool CClientDB::GetPersonVcard(int scope, const char* jid, CContactPersonInfo& info) {
    return Session::Guard(*this, [&] {
        std::string key;
        if (!store::ToDbText(OrEmpty(jid), key)) return Fail(store::DescribeInvalidText("JID"));
        Session session(*this);
        if (!session) return false;
        Statement select(session.connection(), PersonSelectSql());
        select.Bind(1, std::int64_t{scope}).Bind(2, key);
        int rc = select.Step();
        if (rc == SQLITE_DONE) return Fail("没有缓存" + std::string(OrEmpty(jid)) + "的名片");
        if (rc != SQLITE_ROW) return session.Fail(rc);
        CContactPersonInfo found;
        for (int slot = 0; slot < CContactPersonInfo::kSlotCount; ++slot) {
            if (std::string* text = found.TextSlot(slot)) {
                *text = store::FromDbText(select.Text(slot));
            } else {
                *found.IntSlot(slot) = static_cast<std::int32_t>(select.Int(slot));
            }
        }
        info = std::move(found);
        return true;
    });
}

bool CClientDB::SetPersonVcard(int scope, const char* jid, const CContactPersonInfo& info) {
    return Session::Guard(*this, [&] {
        std::string key;
        if (!store::ToDbText(CardKey(jid, info.jid), key))
            return Fail(store::DescribeInvalidText("JID"));
        if (key.empty()) return Fail("名片没有JID，无法保存");
        std::array<std::string, CContactPersonInfo::kSlotCount> texts;
        for (int slot = 0; slot < CContactPersonInfo::kSlotCount; ++slot) {
            const std::string* text = info.TextSlot(slot);
            if (text && !store::ToDbText(*text, texts[static_cast<std::size_t>(slot)])) {
                return Fail(store::DescribeInvalidText("名片字段" + std::to_string(slot)));
            }
        }
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        Statement insert(session.connection(), PersonInsertSql());
        insert.Bind(1, std::int64_t{scope}).Bind(2, key);
        for (int slot = 0; slot < CContactPersonInfo::kSlotCount; ++slot) {
            if (const std::int32_t* number = info.IntSlot(slot)) {
                insert.Bind(slot + 3, std::int64_t{*number});
            } else {
                insert.Bind(slot + 3, texts[static_cast<std::size_t>(slot)]);
            }
        }
        int rc = insert.Step();
        return rc == SQLITE_DONE || session.Fail(rc);
    });
}

bool CClientDB::GetContactVcard(const char* jid, CContactPersonInfo& info) {
    return GetPersonVcard(kContactScope, jid, info);
}

bool CClientDB::SetContactVcard(const char* jid, const CContactPersonInfo& info) {
    return SetPersonVcard(kContactScope, jid, info);
}

bool CClientDB::GetVcard(const char* jid, CContactPersonInfo& info) {
    return GetPersonVcard(kOwnScope, jid, info);
}

bool CClientDB::SetVcard(const char* jid, const CContactPersonInfo& info) {
    return SetPersonVcard(kOwnScope, jid, info);
}

bool CClientDB::GetContactMobileVcard(const char* jid, CContactMobilePersonInfo& info) {
    return Session::Guard(*this, [&] {
        std::string key, group;
        if (!store::ToDbText(OrEmpty(jid), key)) return Fail(store::DescribeInvalidText("JID"));
        if (!store::ToDbText(info.group, group)) return Fail(store::DescribeInvalidText("组名"));
        Session session(*this);
        if (!session) return false;
        Statement select(session.connection(), MobileSelectSql());
        select.Bind(1, key).Bind(2, group);
        int rc = select.Step();
        if (rc == SQLITE_DONE) return Fail("没有缓存" + std::string(OrEmpty(jid)) + "的电话簿名片");
        if (rc != SQLITE_ROW) return session.Fail(rc);
        CContactMobilePersonInfo found;
        found.group = store::FromDbText(select.Text(0));
        for (int column = 0; column < kMobileColumnCount; ++column) {
            found.*kMobileColumns[column].field = store::FromDbText(select.Text(column + 1));
        }
        info = std::move(found);
        return true;
    });
}

bool CClientDB::SetContactMobileVcard(const char* jid, const CContactMobilePersonInfo& info) {
    return Session::Guard(*this, [&] {
        std::string key, group;
        if (!store::ToDbText(CardKey(jid, info.jid), key))
            return Fail(store::DescribeInvalidText("JID"));
        if (key.empty()) return Fail("电话簿名片没有JID，无法保存");
        if (!store::ToDbText(info.group, group)) return Fail(store::DescribeInvalidText("组名"));
        std::array<std::string, kMobileColumnCount> texts;
        for (int column = 0; column < kMobileColumnCount; ++column) {
            if (!store::ToDbText(info.*kMobileColumns[column].field,
                                 texts[static_cast<std::size_t>(column)])) {
                return Fail(store::DescribeInvalidText(std::string("电话簿名片字段") +
                                                       kMobileColumns[column].name));
            }
        }
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        Statement insert(session.connection(), MobileInsertSql());
        insert.Bind(1, key).Bind(2, group);
        for (int column = 0; column < kMobileColumnCount; ++column) {
            insert.Bind(column + 3, texts[static_cast<std::size_t>(column)]);
        }
        int rc = insert.Step();
        return rc == SQLITE_DONE || session.Fail(rc);
    });
}

bool CClientDB::IsContactInDB(const char* jid, const char* group) {
    return Session::Guard(*this, [&] {
        std::string key, groupText;
        if (!store::ToDbText(OrEmpty(jid), key)) return Fail(store::DescribeInvalidText("JID"));
        if (!store::ToDbText(OrEmpty(group), groupText))
            return Fail(store::DescribeInvalidText("组名"));
        Session session(*this);
        if (!session) return false;
        Statement select(
            session.connection(),
            "SELECT 1 FROM mobile_vcard WHERE key_jid = ?1 AND (?2 = '' OR grp = ?2) LIMIT 1");
        select.Bind(1, key).Bind(2, groupText);
        int rc = select.Step();
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) return session.Fail(rc);
        return false;
    });
}

bool CClientDB::DeleteSingleContact(const char* jid, const char* group) {
    return Session::Guard(*this, [&] {
        std::string key, groupText;
        if (!store::ToDbText(OrEmpty(jid), key)) return Fail(store::DescribeInvalidText("JID"));
        if (!store::ToDbText(OrEmpty(group), groupText))
            return Fail(store::DescribeInvalidText("组名"));
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        Statement erase(session.connection(),
                        "DELETE FROM mobile_vcard WHERE key_jid = ?1 AND (?2 = '' OR grp = ?2)");
        erase.Bind(1, key).Bind(2, groupText);
        int rc = erase.Step();
        return rc == SQLITE_DONE || session.Fail(rc);
    });
}
