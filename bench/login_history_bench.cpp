// Loading the login history ("user.dat") from a file that is hostile: 1 MB and 2 MB (range(0)
// in bytes) of the shapes that cost the parser most. The time shown is Load's; `xRead` is Load
// over a plain read of the same file in the same iterations, so the parsing's own cost shows
// beside the disk's. Linear work shows as a 2 MB time about twice the 1 MB one.

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <thread>

#include "login/login_history.h"
#include "os/sys/file_ops.h"
#include "support/temp_dir.h"

namespace {

// Repeats `line(i)` until the text holds `bytes`.
template <typename Line>
std::string Lines(std::size_t bytes, Line line) {
    std::string text;
    text.reserve(bytes + 256);
    for (std::size_t i = 0; text.size() < bytes; ++i) text += line(i);
    return text;
}

void Load(benchmark::State& state, const std::string& text) {
    testing_support::TempDir dir;
    const std::string path = dir.str() + login::kLoginHistoryFile;
    if (!os::WriteFileAtomically(path, text)) {
        state.SkipWithError("cannot write the file");
        return;
    }
    using Steady = std::chrono::steady_clock;
    Steady::duration loading{};
    Steady::duration reading{};
    std::size_t accounts = 0;
    for (auto _ : state) {
        const auto start = Steady::now();
        std::string bytes;
        benchmark::DoNotOptimize(os::ReadFile(path, bytes, login::kHistoryReadLimit));
        const auto read = Steady::now();
        login::LoginHistory history(path, login::HistoryLayout::Full);
        benchmark::DoNotOptimize(history.Load());
        accounts = history.accounts().size();
        const auto loaded = Steady::now();
        reading += read - start;
        loading += loaded - read;
        state.SetIterationTime(std::chrono::duration<double>(loaded - read).count());
    }
    state.counters["xRead"] = std::chrono::duration<double>(loading).count() /
                              std::chrono::duration<double>(reading).count();
    state.counters["accounts"] = static_cast<double>(accounts);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

std::size_t Bytes(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

// Every line a new account: the set of names taken grows with the file.
void BM_LoginHistoryLoadDistinctNames(benchmark::State& state) {
    Load(state, Lines(Bytes(state),
                      [](std::size_t i) { return "user" + std::to_string(i) + ";;1;;;;;;\r\n"; }));
}

// One name in ever-changing cases: every line after the first is a duplicate to refuse.
void BM_LoginHistoryLoadOneNameInManyCases(benchmark::State& state) {
    Load(state, Lines(Bytes(state), [](std::size_t i) {
             std::string name = "account";
             for (std::size_t bit = 0; bit < name.size(); ++bit) {
                 if ((i >> bit) & 1) name[bit] = static_cast<char>(name[bit] - 'a' + 'A');
             }
             return name + ";;2;extra;group;a1;a2;a3;\r\n";
         }));
}

// A single line of separators: one field per byte.
void BM_LoginHistoryLoadOneLineOfSeparators(benchmark::State& state) {
    Load(state, "name" + std::string(Bytes(state), ';'));
}

// Lines whose fields are nothing but escapes, and Chinese text between them.
void BM_LoginHistoryLoadEscapes(benchmark::State& state) {
    Load(state, Lines(Bytes(state), [](std::size_t i) {
             std::string field;
             for (int k = 0; k < 40; ++k) field += "%3B%25张%0D%0A";
             return "n" + std::to_string(i) + field + ";;1;" + field + ";" + field + ";" + field +
                    ";;;\r\n";
         }));
}

// One password field as long as the file: the unscrambler sees it all.
void BM_LoginHistoryLoadLongPassword(benchmark::State& state) {
    Load(state, "a;" + std::string(Bytes(state), 'A') + ";1;;;;;;\r\n");
}

#define QORV_HISTORY_BENCH(name) \
    BENCHMARK(name)->Arg(1 << 20)->Arg(2 << 20)->UseManualTime()->Unit(benchmark::kMillisecond)

QORV_HISTORY_BENCH(BM_LoginHistoryLoadDistinctNames);
QORV_HISTORY_BENCH(BM_LoginHistoryLoadOneNameInManyCases);
QORV_HISTORY_BENCH(BM_LoginHistoryLoadOneLineOfSeparators);
QORV_HISTORY_BENCH(BM_LoginHistoryLoadEscapes);
QORV_HISTORY_BENCH(BM_LoginHistoryLoadLongPassword);

}  // namespace
