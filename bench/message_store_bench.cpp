// MessageStore speed: AddMsg with a handle opened per operation (as every caller does) against
// a bare SQLite insert of the same row with the same durability, and one contact's history
// read out of a large store.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <string>

#include "platform/store/bigram_tokenizer.h"
#include "platform/store/client_db.h"
#include "support/temp_dir.h"

namespace {

constexpr const char* kContents = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)你好，明天上午十点开会";

// A user folder that lives as long as the program.
const std::string& Folder(const char* user) {
    static testing_support::TempDir dir;
    static std::string alice = dir.str() + "alice/";
    static std::string bare = dir.str() + "bare/";
    static std::string big = dir.str() + "big/";
    std::string name = user;
    return name == "alice" ? alice : name == "bare" ? bare : big;
}

// Creates the store's schema in `folder` and lets go of it.
void CreateStore(const std::string& folder) {
    CClientDB db("alice", folder.c_str());
    CGroupChildList none;
    db.GetGroupChildren("", none);
    CClientDB::CloseAll();
}

void BM_AddMsgHandlePerOperation(benchmark::State& state) {
    const std::string& folder = Folder("alice");
    for (auto _ : state) {
        CClientDB db("alice", folder.c_str());
        if (!db.AddMsg("alice@h/Desk", "bob@h", "2026-01-05 09:00:00", kContents, "", "", "",
                       CClientDB::kTypeChat, false, "", "", CClientDB::kStateUnhandled, nullptr)) {
            state.SkipWithError(db.GetErrorInfo().c_str());
            break;
        }
    }
}
BENCHMARK(BM_AddMsgHandlePerOperation)->Unit(benchmark::kMicrosecond);

// The same row into the same schema through one open connection in WAL mode with
// synchronous=FULL, the store's durability: the floor that AddMsg is measured against.
void BM_BareSqliteInsert(benchmark::State& state) {
    const std::string& folder = Folder("bare");
    CreateStore(folder);
    sqlite3* db = nullptr;
    sqlite3_open((folder + CClientDB::kDatabaseFileName).c_str(), &db);
    store::RegisterBigramTokenizer(db);  // the search index's triggers use it
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO message (sender, receiver, sender_key, receiver_key, sent_time,"
                       " contents, extra1, extra2, extra3, extra4, extra5, type, web, state)"
                       " VALUES (?1, ?2, ?3, ?4, ?5, ?6, '', '', '', '', '', 0, 0, 1)",
                       -1, &insert, nullptr);
    const char8_t* utf8 = u8"FONT(宋体,134,2,180,0,0,0,0,0,0,0)你好，明天上午十点开会";
    const char* contents = reinterpret_cast<const char*>(utf8);
    for (auto _ : state) {
        sqlite3_bind_text(insert, 1, "alice@h/Desk", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, "bob@h", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, "alice@h", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, "bob@h", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 5, "2026-01-05 09:00:00", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 6, contents, -1, SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            state.SkipWithError(sqlite3_errmsg(db));
            break;
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
}
BENCHMARK(BM_BareSqliteInsert)->Unit(benchmark::kMicrosecond);

constexpr int kStoreSize = 1'000'000;
constexpr int kContactShare = 100;  // every 100th message is with the contact: 10 000 of them
constexpr const char* kContact = "target$gov@h";

// A store of a million messages among a thousand contacts, built once with bulk inserts.
const std::string& BigStore() {
    static const bool built = [] {
        const std::string& folder = Folder("big");
        CreateStore(folder);
        sqlite3* db = nullptr;
        sqlite3_open((folder + CClientDB::kDatabaseFileName).c_str(), &db);
        store::RegisterBigramTokenizer(db);
        sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO message (sender, receiver, sender_key, receiver_key,"
                           " sent_time, contents, extra1, extra2, extra3, extra4, extra5, type,"
                           " web, state) VALUES (?1, ?2, ?1, ?2, '2026-01-05 09:00:00', ?3,"
                           " '', '', '', '', '', 0, 0, 1)",
                           -1, &insert, nullptr);
        const std::string me = "me$gov@h";
        for (int i = 0; i < kStoreSize; ++i) {
            std::string peer =
                i % kContactShare == 0 ? kContact : "user" + std::to_string(i % 1000) + "$gov@h";
            bool sent = i % 2 == 0;
            std::string text = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)消息 " + std::to_string(i);
            sqlite3_bind_text(insert, 1, (sent ? me : peer).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, (sent ? peer : me).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, text.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return true;
    }();
    (void)built;
    return Folder("big");
}

void BM_GetMsgContactHistory(benchmark::State& state) {
    const std::string& folder = BigStore();
    for (auto _ : state) {
        CClientDB db("me", folder.c_str());
        int records = 0;
        bool ok = db.GetMsg(
            kContact, kContact,
            [&](const MsgFields& fields) {
                if (!IsMsgEndMark(fields)) ++records;
                benchmark::DoNotOptimize(fields[msg_field::kContents].data());
            },
            -1);
        if (!ok || records != kStoreSize / kContactShare) {
            state.SkipWithError(ok ? "wrong number of records" : db.GetErrorInfo().c_str());
            break;
        }
    }
    state.counters["records"] = kStoreSize / kContactShare;
}
BENCHMARK(BM_GetMsgContactHistory)->Unit(benchmark::kMillisecond);

}  // namespace
