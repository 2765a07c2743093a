// Reading a person's vCard extension from a peer: hostile lists of 1 MB and 2 MB (range(0) in
// bytes). Linear work shows as a 2 MB time about twice the 1 MB one.

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "contacts/contact_user.h"
#include "os/sys/clock.h"

namespace {

std::string Extension(std::string_view tag, std::string_view item, std::size_t bytes) {
    std::string xml = "<TYPE>jpg</TYPE><" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    while (xml.size() + item.size() + close.size() <= bytes) xml += item;
    return xml + close;
}

void Parse(benchmark::State& state, const std::string& xml) {
    os::ManualClock clock;
    contacts::CUser user(clock, "a@x", "a", "g", "both");
    for (auto _ : state) {
        user.ParseExtensionXml(xml);
        benchmark::DoNotOptimize(user.details().recentIm.size() + user.details().recentSms.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// Short recent-chat entries: one list item every 3 bytes.
void BM_ParseExtensionXmlRecentIm(benchmark::State& state) {
    Parse(state, Extension("RECENTIM", "a;", static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ParseExtensionXmlRecentIm)->Arg(1 << 20)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

// Only separators and Chinese names, so every step walks double-byte characters.
void BM_ParseExtensionXmlRecentSmsChinese(benchmark::State& state) {
    Parse(state, Extension("RECENTSMS", "张;;", static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ParseExtensionXmlRecentSmsChinese)
    ->Arg(1 << 20)
    ->Arg(2 << 20)
    ->Unit(benchmark::kMillisecond);

// Entities everywhere in the signature.
void BM_ParseExtensionXmlEscapedSignature(benchmark::State& state) {
    Parse(state, Extension("SIGNATURE", "&amp;&lt;", static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ParseExtensionXmlEscapedSignature)
    ->Arg(1 << 20)
    ->Arg(2 << 20)
    ->Unit(benchmark::kMillisecond);

}  // namespace
