// The codec against the glibc iconv "CP936" converter it replaced, on the same text in the
// same run: the ratio of the two is the figure to watch.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "os/text/gbk_codec.h"

namespace {

std::string SampleGbk() {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "对方不在线，消息已保存。Message saved 誠丂乚 ";
    return text;
}

// The former converter: one iconv descriptor, reset before each conversion.
bool IconvConvert(iconv_t cd, const std::string& in, std::string& out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    out.resize(out.size() - dstLeft);
    return true;
}

void BM_GbkToUtf8_Iconv(benchmark::State& state) {
    const std::string gbk = SampleGbk();
    iconv_t cd = iconv_open("UTF-8", "CP936");
    std::string out;
    for (auto _ : state) benchmark::DoNotOptimize(IconvConvert(cd, gbk, out));
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(gbk.size()));
}

void BM_GbkToUtf8_Codec(benchmark::State& state) {
    const std::string gbk = SampleGbk();
    std::string out;
    for (auto _ : state) benchmark::DoNotOptimize(os::GbkToUtf8(gbk, out));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(gbk.size()));
}

void BM_Utf8ToGbk_Iconv(benchmark::State& state) {
    std::string utf8;
    os::GbkToUtf8(SampleGbk(), utf8);
    iconv_t cd = iconv_open("CP936", "UTF-8");
    std::string out;
    for (auto _ : state) benchmark::DoNotOptimize(IconvConvert(cd, utf8, out));
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(utf8.size()));
}

void BM_Utf8ToGbk_Codec(benchmark::State& state) {
    std::string utf8;
    os::GbkToUtf8(SampleGbk(), utf8);
    std::string out;
    for (auto _ : state) benchmark::DoNotOptimize(os::Utf8ToGbk(utf8, out));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(utf8.size()));
}

BENCHMARK(BM_GbkToUtf8_Iconv);
BENCHMARK(BM_GbkToUtf8_Codec);
BENCHMARK(BM_Utf8ToGbk_Iconv);
BENCHMARK(BM_Utf8ToGbk_Codec);

}  // namespace
