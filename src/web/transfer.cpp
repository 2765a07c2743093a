#include "web/transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace web {
namespace {

void InitialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TransferState {
    const TransferRequest* request = nullptr;
    os::Clock* clock = nullptr;
    TransferResult* result = nullptr;
    CURL* easy = nullptr;
    std::atomic<os::Millis> lastActivity{0};
    curl_off_t bytesMoved = 0;

    void Moved() { lastActivity.store(clock->Now()); }
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& state = *static_cast<TransferState*>(user);
    const std::size_t bytes = size * count;
    std::string& body = state.result->body;
    const std::size_t room = state.request->bodyLimit - body.size();
    state.Moved();
    if (bytes > room) {
        // The buffer is full: keep what fits and stop reading.
        body.append(data, room);
        state.result->bodyCut = true;
        return room;
    }
    body.append(data, bytes);
    return bytes;
}

// At the end of a header block: room for the announced body (up to the limit), so a large
// download is not copied again and again as it grows.
void ReserveForBody(TransferState& state) {
    curl_off_t length = -1;
    if (curl_easy_getinfo(state.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK ||
        length <= 0) {
        return;
    }
    constexpr curl_off_t kMostReserved = curl_off_t{1} << 30;
    const auto wanted = static_cast<std::size_t>(std::min(length, kMostReserved));
    state.result->body.reserve(std::min(wanted, state.request->bodyLimit));
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& state = *static_cast<TransferState*>(user);
    const std::size_t bytes = size * count;
    std::string& headers = state.result->headers;
    state.Moved();
    // A new status line starts the block of the next response (after a redirect or an
    // interim "100 Continue"); only the last response's block is kept.
    if (bytes >= 5 && std::string_view(data, 5) == "HTTP/") headers.clear();
    if (bytes == 2 && data[0] == '\r' && data[1] == '\n') ReserveForBody(state);
    const std::size_t room =
        state.request->headerLimit - std::min(headers.size(), state.request->headerLimit);
    headers.append(data, std::min(bytes, room));
    state.result->headersReceived = true;
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
    auto& state = *static_cast<TransferState*>(user);
    if (downloaded + uploaded != state.bytesMoved) {
        state.bytesMoved = downloaded + uploaded;
        state.Moved();
        if (state.request->onProgress &&
            !state.request->onProgress(static_cast<std::uint64_t>(state.bytesMoved))) {
            return 1;  // abandoned by its owner
        }
    }
    return 0;
}

struct CurlHandles {
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    curl_slist* headers = nullptr;
    ~CurlHandles() {
        if (multi != nullptr && easy != nullptr) curl_multi_remove_handle(multi, easy);
        if (easy != nullptr) curl_easy_cleanup(easy);
        if (multi != nullptr) curl_multi_cleanup(multi);
        curl_slist_free_all(headers);
    }
};

// A manual clock's steps wake the transfer loop, which then looks at the new time.
class ClockWake {
  public:
    ClockWake(os::Clock& clock, CURLM* multi, const std::atomic<os::Millis>& lastActivity,
              os::Millis idleTimeout)
        : manual_(dynamic_cast<os::ManualClock*>(&clock)) {
        if (manual_ == nullptr) return;
        source_ = manual_->AddDeadlineSource(
            [&lastActivity, idleTimeout] { return lastActivity.load() + idleTimeout; },
            [multi](os::Millis) { curl_multi_wakeup(multi); });
    }
    ~ClockWake() {
        if (manual_ != nullptr) manual_->RemoveDeadlineSource(source_);
    }
    ClockWake(const ClockWake&) = delete;
    ClockWake& operator=(const ClockWake&) = delete;
    bool Manual() const { return manual_ != nullptr; }

  private:
    os::ManualClock* manual_;
    os::ManualClock::DeadlineSource source_ = 0;
};

}  // namespace

std::string TransferUrl(const UrlParts& parts) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url =
        (UsesTls(parts) ? "https://" : "http://") + parts.host + ":" + std::to_string(parts.port);
    if (parts.path.empty()) url += '/';
    for (char ch : parts.path) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F) {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0x0F];
        } else {
            url += ch;
        }
    }
    return url;
}

TransferResult Transfer(const TransferRequest& request, os::Clock& clock, os::Millis idleTimeout) {
    InitialiseCurlOnce();
    TransferResult result;
    CurlHandles handles;
    if (handles.easy == nullptr || handles.multi == nullptr) return result;

    TransferState state;
    state.request = &request;
    state.clock = &clock;
    state.result = &result;
    state.easy = handles.easy;
    state.lastActivity.store(clock.Now());

    CURL* easy = handles.easy;
    const std::string url = TransferUrl(request.url);
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Large receive blocks, as the curl command uses: fewer callbacks on big downloads.
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 102400L);
    curl_easy_setopt(
        easy, CURLOPT_HTTP_VERSION,
        request.version == HttpVersion::Http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    if (!request.userAgent.empty()) {
        curl_easy_setopt(easy, CURLOPT_USERAGENT, request.userAgent.c_str());
    }
    for (const std::string& line : request.headers) {
        handles.headers = curl_slist_append(handles.headers, line.c_str());
    }
    // No "Expect: 100-continue" round trip before a body.
    handles.headers = curl_slist_append(handles.headers, "Expect:");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, handles.headers);
    if (request.hasBody) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
    }
    curl_easy_setopt(
        easy, CURLOPT_CUSTOMREQUEST,
        request.method == (request.hasBody ? "POST" : "GET") ? nullptr : request.method.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &state);

    if (curl_multi_add_handle(handles.multi, easy) != CURLM_OK) return result;
    const ClockWake wake(clock, handles.multi, state.lastActivity, idleTimeout);
    bool timedOut = false;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(handles.multi, &running) != CURLM_OK) break;
        if (running == 0) break;
        const os::Millis idleFor = clock.Now() - state.lastActivity.load();
        if (idleFor >= idleTimeout) {
            timedOut = true;
            break;
        }
        // A real clock bounds the wait by the time-out; a manual one wakes the loop itself.
        const os::Millis left = wake.Manual() ? 1000 : idleTimeout - idleFor;
        curl_multi_poll(handles.multi, nullptr, 0,
                        static_cast<int>(std::min<os::Millis>(left, 1000)), nullptr);
    }

    CURLcode code = CURLE_OK;
    int queued = 0;
    bool finished = false;
    while (CURLMsg* message = curl_multi_info_read(handles.multi, &queued)) {
        if (message->msg == CURLMSG_DONE) {
            code = message->data.result;
            finished = true;
        }
    }
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.status);
    if (timedOut) {
        result.failure = TransferFailure::TimedOut;
        result.curlCode = CURLE_OPERATION_TIMEDOUT;
    } else if (finished && (code == CURLE_OK || (code == CURLE_WRITE_ERROR && result.bodyCut))) {
        result.failure = TransferFailure::None;
    } else {
        result.curlCode = finished ? static_cast<int>(code) : static_cast<int>(CURLE_FAILED_INIT);
    }
    return result;
}

}  // namespace web
