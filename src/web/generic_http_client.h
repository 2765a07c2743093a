#pragma once
// The client's small HTTP client: form and multipart requests to the deployment's web
// servers, the picture upload of the rooms, and downloads to files. One request at a time;
// its response stays readable until the next one.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "os/prompt/prompter.h"
#include "os/sys/clock.h"
#include "web/http_argument.h"
#include "web/mime_table.h"
#include "web/transfer.h"

namespace web {

// 1 (and any value other than 2 and 3) is a GET.
enum class RequestKind { Get = 1, FormPost = 2, MultipartPost = 3 };
RequestKind RequestKindOf(int kind);

inline constexpr std::size_t kResponseBodySize = 100000;
inline constexpr std::size_t kResponseHeaderSize = 100000;
inline constexpr const char* kUnableToOpenFile = "Unable to open the file.";
// The user agent the client names itself with (requests of its own and downloads).
inline constexpr const char* kClientUserAgent = "Qorvdesk";

// Why the last call failed.
enum class HttpFailure { None, BadUrl, FileUnreadable, TimedOut, Transfer, NoResponse, SaveFailed };

struct HttpClientSettings {
    os::Clock* clock = nullptr;        // required
    os::Prompter* prompter = nullptr;  // where "Unable to open the file." is shown; none: not shown
    const MimeTable* mimeTypes = nullptr;  // none: the system's table
    os::Millis idleTimeout = 30000;        // no byte moved for this long ends a request
};

class GenericHttpClient {
  public:
    explicit GenericHttpClient(HttpClientSettings settings);

    // Names and values are cut to their record sizes (255 and 1023 bytes).
    void AddArgument(std::string_view name, std::string_view value, ArgumentKind kind);
    void ClearArguments() { arguments_.clear(); }
    const std::vector<HttpArgument>& Arguments() const { return arguments_; }

    // Sends one request of `kind` with the arguments and reads the response. True when the
    // response's headers came and at least one body byte arrived (whatever its status).
    bool Request(std::string_view url, RequestKind kind, std::string_view agent);
    bool Request(std::string_view url, int kind, std::string_view agent) {
        return Request(url, RequestKindOf(kind), agent);
    }

    // Posts a picture as the rooms' upload form; answers the response's status code, or 0 when
    // nothing was sent or no answer came.
    int UploadPicture(std::string_view serverUrl, std::string_view localFile);

    // Fetches `url` into `localFile`: the bytes go to a temporary file beside it that replaces
    // it only when the whole body (of a 2xx answer) has arrived.
    bool Download(std::string_view url, std::string_view localFile);
    // Fetches `url` and hands the whole body of a 2xx answer to `save` (false from it is a
    // SaveFailed failure), for callers that write the file their own way.
    bool Download(std::string_view url, const std::function<bool(std::string_view)>& save);

    // Told the bytes moved so far during each later request; answering false abandons it.
    void SetProgressHandler(std::function<bool(std::uint64_t moved)> handler) {
        progress_ = std::move(handler);
    }

    // The last response: body (at most kResponseBodySize bytes), raw header block (status
    // line and headers, CR LF each; at most kResponseHeaderSize bytes) and status.
    const std::string& Body() const { return body_; }
    const std::string& Headers() const { return headers_; }
    long StatusCode() const { return status_; }
    HttpFailure LastFailure() const { return failure_; }
    // libcurl's code of the last failed transfer, 0 when none.
    int LastErrorCode() const { return errorCode_; }

  private:
    void Reset();
    // Sets the request's address from `url`; false (a BadUrl failure) when it does not parse.
    bool RequestTo(std::string_view url, TransferRequest& request);
    bool Run(TransferRequest request);

    HttpClientSettings settings_;
    std::vector<HttpArgument> arguments_;
    std::string body_;
    std::string headers_;
    long status_ = 0;
    HttpFailure failure_ = HttpFailure::None;
    int errorCode_ = 0;
    std::function<bool(std::uint64_t)> progress_;
};

}  // namespace web
