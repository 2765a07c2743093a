// Keyword search in a store of a million messages: GetMsg(keyword) through the search index
// against the plain LIKE scan of the same texts over the same database, for keywords of two,
// three and six characters. The store is built once per run.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <random>
#include <string>
#include <vector>

#include "os/text/gbk_codec.h"
#include "platform/store/bigram_tokenizer.h"
#include "platform/store/client_db.h"
#include "support/temp_dir.h"

namespace {

constexpr int kStoreSize = 1'000'000;

// Keywords by length, GBK; each is planted in one message of `kPlantEvery`.
constexpr int kPlantEvery = 500;
const char* const kKeywords[] = {"会签", "季度会", "第三季度预算"};

// The plain scan the index replaces: header-less contents, sender or receiver, LIKE.
constexpr const char* kScanSql =
    "SELECT id, sender, receiver, sent_time, contents FROM message WHERE"
    " (CASE WHEN instr(contents, 'FONT(') > 0 THEN substr(contents, instr(contents, ')') + 1)"
    " ELSE contents END) LIKE ?1 ESCAPE '\\' OR sender LIKE ?1 ESCAPE '\\'"
    " OR receiver LIKE ?1 ESCAPE '\\' ORDER BY id";

// A sentence of everyday words, so that every pair of characters is common.
std::string Sentence(std::mt19937& random) {
    static const std::vector<std::string> words = [] {
        const std::string characters =
            "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工"
            "也能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小"
            "物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形"
            "相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建";
        std::vector<std::string> out;
        // Two GBK characters a word.
        for (std::size_t i = 0; i + 4 <= characters.size(); i += 4) {
            out.push_back(characters.substr(i, 4));
        }
        return out;
    }();
    std::uniform_int_distribution<std::size_t> word(0, words.size() - 1);
    std::uniform_int_distribution<int> length(4, 10);
    std::string sentence;
    for (int i = length(random); i > 0; --i) sentence += words[word(random)];
    return sentence;
}

// The million messages, built once with bulk inserts (the index's triggers run as they do
// for every stored message).
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
        store::RegisterBigramTokenizer(db);
        sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO message (sender, receiver, sender_key, receiver_key,"
                           " sent_time, contents, extra1, extra2, extra3, extra4, extra5, type,"
                           " web, state) VALUES (?1, ?2, ?1, ?2, '2026-01-05 09:00:00', ?3,"
                           " '', '', '', '', '', 0, 0, 1)",
                           -1, &insert, nullptr);
        std::mt19937 random(42);
        const std::string me = "me$gov@h";
        std::string utf8;
        for (int i = 0; i < kStoreSize; ++i) {
            std::string peer = "user" + std::to_string(i % 1000) + "$gov@h";
            std::string text = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)" + Sentence(random);
            if (i % kPlantEvery == 0) text += kKeywords[(i / kPlantEvery) % 3];
            os::GbkToUtf8(text, utf8);
            const bool sent = i % 2 == 0;
            sqlite3_bind_text(insert, 1, (sent ? me : peer).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, (sent ? peer : me).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, utf8.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
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

// How many messages the scan finds, for checking the index's answer.
int ScanOnce(sqlite3_stmt* scan, const std::string& pattern) {
    sqlite3_bind_text(scan, 1, pattern.c_str(), -1, SQLITE_TRANSIENT);
    int rows = 0;
    while (sqlite3_step(scan) == SQLITE_ROW) {
        benchmark::DoNotOptimize(sqlite3_column_text(scan, 4));
        ++rows;
    }
    sqlite3_reset(scan);
    return rows;
}

std::string LikePattern(const char* gbkKeyword) {
    std::string utf8;
    os::GbkToUtf8(gbkKeyword, utf8);
    return "%" + utf8 + "%";
}

void BM_KeywordSearchIndexed(benchmark::State& state) {
    const std::string& folder = BigStore();
    const char* keyword = kKeywords[state.range(0)];
    int records = 0;
    for (auto _ : state) {
        CClientDB db("me", folder.c_str());
        records = 0;
        bool ok = db.GetMsg(
            keyword,
            [&](const MsgFields& fields) {
                if (!IsMsgEndMark(fields)) ++records;
                benchmark::DoNotOptimize(fields[msg_field::kContents].data());
            },
            -1);
        if (!ok) {
            state.SkipWithError(db.GetErrorInfo().c_str());
            return;
        }
    }
    sqlite3* raw = nullptr;
    sqlite3_open((folder + CClientDB::kDatabaseFileName).c_str(), &raw);
    sqlite3_stmt* scan = nullptr;
    sqlite3_prepare_v2(raw, kScanSql, -1, &scan, nullptr);
    const int expected = ScanOnce(scan, LikePattern(keyword));
    sqlite3_finalize(scan);
    sqlite3_close(raw);
    if (records != expected) state.SkipWithError("the index and the scan disagree");
    state.counters["records"] = records;
    state.counters["characters"] = static_cast<double>(state.range(0) == 0   ? 2
                                                       : state.range(0) == 1 ? 3
                                                                             : 6);
}
BENCHMARK(BM_KeywordSearchIndexed)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The reference: the LIKE scan over the same file through one open connection.
void BM_KeywordSearchLikeScan(benchmark::State& state) {
    const std::string& folder = BigStore();
    sqlite3* raw = nullptr;
    sqlite3_open((folder + CClientDB::kDatabaseFileName).c_str(), &raw);
    sqlite3_stmt* scan = nullptr;
    sqlite3_prepare_v2(raw, kScanSql, -1, &scan, nullptr);
    const std::string pattern = LikePattern(kKeywords[state.range(0)]);
    int rows = 0;
    for (auto _ : state) rows = ScanOnce(scan, pattern);
    sqlite3_finalize(scan);
    sqlite3_close(raw);
    state.counters["records"] = rows;
}
BENCHMARK(BM_KeywordSearchLikeScan)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
