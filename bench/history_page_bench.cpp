// The message manager opening a contact's history in a store of a million messages: the
// whole conversation read into the manager's list (the callback rules: names, peers, the
// shake note), the paging recounted and the page of 200 written as JSON, as a node selection
// does. The reference is a plain SELECT of the same 200 newest rows of the same store.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "history/message_categories.h"
#include "history/page_json.h"
#include "history/paging.h"
#include "history/record_collector.h"
#include "platform/store/bigram_tokenizer.h"
#include "platform/store/client_db.h"
#include "support/temp_dir.h"

namespace {

constexpr int kStoreSize = 1'000'000;
constexpr int kContactShare = 100;  // every 100th message is with the contact: 10 000 of them
constexpr const char* kContact = "target$gov@h";
constexpr const char* kMe = "me$gov@h";
constexpr int kPageSize = 200;

// A store of a million messages among a thousand contacts, built once with bulk inserts.
const std::string& BigStore() {
    static testing_support::TempDir dir;
    static const std::string folder = dir.str() + "big/";
    static const bool built = [] {
        {
            CClientDB db("me", folder.c_str());
            CGroupChildList none;
            db.GetGroupChildren("", none);
            CClientDB::CloseAll();
        }
        sqlite3* db = nullptr;
        sqlite3_open((folder + CClientDB::kDatabaseFileName).c_str(), &db);
        // The search index's triggers run on every insert and need its tokenizer.
        store::RegisterBigramTokenizer(db);
        sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO message (sender, receiver, sender_key, receiver_key,"
                           " sent_time, contents, extra1, extra2, extra3, extra4, extra5, type,"
                           " web, state) VALUES (?1, ?2, ?1, ?2, '2026-01-05 09:00:00', ?3,"
                           " '', '', '', '', '', 0, 0, 1)",
                           -1, &insert, nullptr);
        const std::string me = kMe;
        for (int i = 0; i < kStoreSize; ++i) {
            const std::string peer =
                i % kContactShare == 0 ? kContact : "user" + std::to_string(i % 1000) + "$gov@h";
            const bool sent = i % 2 == 0;
            const std::string text =
                "FONT(宋体,134,2,180,0,0,0,0,0,0,0)消息 \"" + std::to_string(i) + "\"\r\n第二行";
            sqlite3_bind_text(insert, 1, (sent ? me : peer).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, (sent ? peer : me).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, text.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(insert) != SQLITE_DONE) {
                std::fprintf(stderr, "building the store failed: %s\n", sqlite3_errmsg(db));
                std::abort();
            }
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return true;
    }();
    (void)built;
    return folder;
}

history::SenderNaming Naming() {
    history::SenderNaming naming;
    naming.displayName = [](std::string_view jid) {
        return jid == kContact ? std::string("对方") : std::string();
    };
    naming.ownJid = kMe;
    naming.hostName = "h";
    naming.governmentUser = true;
    return naming;
}

void BM_OpenHistoryPageOf200(benchmark::State& state) {
    const std::string& folder = BigStore();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::vector<history::HistoryRecord> records;
        history::RecordCollector collect(records, history::kAllTypes, Naming());
        CClientDB db("me", folder.c_str());
        if (!db.GetMsg(kContact, kContact, std::ref(collect), -1)) {
            state.SkipWithError(db.GetErrorInfo().c_str());
            break;
        }
        history::Paging paging;
        paging.perPage = kPageSize;
        paging.Recompute(static_cast<int>(records.size()), history::PageChoice::Reset);
        paging.currentPage = 1;  // the newest 200, as the reference reads them
        const std::string json = history::BuildPageJson(records, paging);
        bytes = json.size();
        benchmark::DoNotOptimize(json.data());
    }
    state.counters["records"] = kStoreSize / kContactShare;
    state.counters["json_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_OpenHistoryPageOf200)->Unit(benchmark::kMillisecond);

// The floor: the same 200 rows straight out of SQLite through one open connection.
void BM_PlainSelectOf200Rows(benchmark::State& state) {
    const std::string& folder = BigStore();
    sqlite3* db = nullptr;
    sqlite3_open((folder + CClientDB::kDatabaseFileName).c_str(), &db);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT id, sender, receiver, sent_time, contents, type FROM message"
                       " WHERE sender_key = ?1 OR receiver_key = ?1 ORDER BY id DESC LIMIT ?2",
                       -1, &select, nullptr);
    for (auto _ : state) {
        sqlite3_bind_text(select, 1, kContact, -1, SQLITE_STATIC);
        sqlite3_bind_int(select, 2, kPageSize);
        int rows = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(select, 4));
            ++rows;
        }
        sqlite3_reset(select);
        if (rows != kPageSize) {
            state.SkipWithError("wrong number of rows");
            break;
        }
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}
BENCHMARK(BM_PlainSelectOf200Rows)->Unit(benchmark::kMillisecond);

}  // namespace
