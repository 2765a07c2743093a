#pragma once
// One HTTP exchange on libcurl. Time-outs are measured on the system's clock: the transfer
// gives up when no byte has moved (connecting, sending or receiving) for the idle time-out.
// With a manual clock, advancing it wakes the transfer at once, so a test never waits.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "os/sys/clock.h"
#include "web/url_parts.h"

namespace web {

enum class HttpVersion { Http10, Http11 };

struct TransferRequest {
    UrlParts url;
    std::string method = "GET";
    std::vector<std::string> headers;  // "Name: value" lines without CR LF
    bool hasBody = false;
    std::string body;
    HttpVersion version = HttpVersion::Http11;
    std::string userAgent;  // none when empty
    std::size_t bodyLimit = std::numeric_limits<std::size_t>::max();
    std::size_t headerLimit = std::numeric_limits<std::size_t>::max();
    // Told the bytes moved so far (sent plus received) as they change; answering false
    // abandons the transfer (a Failed result).
    std::function<bool(std::uint64_t moved)> onProgress;
};

enum class TransferFailure { None, TimedOut, Failed };

struct TransferResult {
    TransferFailure failure = TransferFailure::Failed;
    int curlCode = 0;  // libcurl's CURLcode of a failed transfer
    long status = 0;   // the last response's status code, 0 when none came
    bool headersReceived = false;
    std::string headers;  // the last response's status line and headers, CR LF each
    std::string body;     // up to bodyLimit bytes; what does not fit is not read
    bool bodyCut = false;
};

TransferResult Transfer(const TransferRequest& request, os::Clock& clock, os::Millis idleTimeout);

// The address handed to libcurl: blanks, control bytes and bytes above 0x7E of the path are
// percent-encoded (a GBK path goes through as its bytes, encoded).
std::string TransferUrl(const UrlParts& parts);

}  // namespace web
