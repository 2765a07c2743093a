#pragma once
// The parts of a request address: scheme, host, port and the object path, as the HTTP client
// takes them apart before connecting.

#include <optional>
#include <string>
#include <string_view>

namespace web {

struct UrlParts {
    std::string scheme;  // "http" when the text names none
    std::string host;
    int port = 80;
    std::string path;  // from the first '/' after the host, or empty

    bool operator==(const UrlParts&) const = default;
};

// The scheme is the text before the first ':' when a '/' follows it; otherwise the whole text
// is host and path under "http". The host runs to the next '/'; a ':' in it gives the port
// (decimal), else 443 for "https" and 80 for any other scheme. Answers nothing when there is
// no host, the host is not a plain name or bracketed IPv6 address, or the port is not a number
// from 1 to 65535.
std::optional<UrlParts> ParseUrl(std::string_view url);

// Whether the connection is made with TLS (scheme "https", in any case).
bool UsesTls(const UrlParts& parts);

}  // namespace web
