// Downloading 10 MB from a server on 127.0.0.1: GenericHttpClient::Download against the curl
// command on the same URL, in the same run. Target: the client's bytes per second at least
// 0.8 times the curl command's (compare the two bytes_per_second figures).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "os/sys/clock.h"
#include "support/http/loopback_http_server.h"
#include "support/temp_dir.h"
#include "web/generic_http_client.h"

namespace {

constexpr std::size_t kSize = 10 * 1024 * 1024;

// Talk to the loopback server directly, whatever proxy the machine names.
void ClearProxies() {
    for (const char* name :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        unsetenv(name);
    }
}

class Fixture {
  public:
    Fixture()
        : content_(kSize, 'z'),
          response_(testing_support::LoopbackHttpServer::Response(200, content_)),
          server_([this](const testing_support::RecordedRequest&) { return response_; }) {
        ClearProxies();
    }
    std::string Url() const { return server_.Url("/ten-megabytes.bin"); }
    std::string Target() const { return folder_.str() + "download.bin"; }

  private:
    std::string content_;
    std::string response_;
    testing_support::LoopbackHttpServer server_;
    testing_support::TempDir folder_;
};

void BM_DownloadWithClient(benchmark::State& state) {
    Fixture fixture;
    os::RealClock clock;
    web::GenericHttpClient client(web::HttpClientSettings{&clock, nullptr, nullptr, 30000});
    for (auto _ : state) {
        if (!client.Download(fixture.Url(), fixture.Target())) {
            state.SkipWithError("download failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_DownloadWithClient)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DownloadWithCurlCommand(benchmark::State& state) {
    Fixture fixture;
    const std::string command = "curl -s -f -o '" + fixture.Target() + "' '" + fixture.Url() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("curl failed (is the curl command installed?)");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_DownloadWithCurlCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
