#include "store_test_support.h"

namespace store_test {

std::vector<std::string> Delivery::Contents() const {
    std::vector<std::string> result;
    for (const MsgFields& record : records) result.push_back(record[msg_field::kContents]);
    return result;
}

std::vector<std::string> Delivery::Ids() const {
    std::vector<std::string> result;
    for (const MsgFields& record : records) result.push_back(record[msg_field::kId]);
    return result;
}

Delivery Collect(const std::function<bool(const MsgCallback&)>& query) {
    Delivery delivery;
    delivery.ok = query([&](const MsgFields& fields) {
        if (IsMsgEndMark(fields)) {
            ++delivery.endMarks;
            delivery.endCameLast = true;
        } else {
            delivery.records.push_back(fields);
            delivery.endCameLast = false;
        }
    });
    return delivery;
}

void StoreTest::TearDown() {
    CClientDB::CloseAll();
    CClientDB::SetBusyTimeout(5000);
}

long StoreTest::Add(CClientDB& db, const char* from, const char* to, const char* contents, int type,
                    bool web, int state) {
    long id = -1;
    EXPECT_TRUE(db.AddMsg(from, to, "2026-01-05 09:00:00", contents, "", "", "", type, web, "", "",
                          state, &id))
        << db.GetErrorInfo();
    return id;
}

RawDatabase::RawDatabase(const std::string& path) {
    EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
}

RawDatabase::~RawDatabase() { sqlite3_close(db_); }

std::string RawDatabase::Text(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db_);
    std::string result;
    if (statement && sqlite3_step(statement) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        if (text) result = reinterpret_cast<const char*>(text);
    }
    sqlite3_finalize(statement);
    return result;
}

int RawDatabase::Exec(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
}

}  // namespace store_test
