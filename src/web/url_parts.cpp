#include "web/url_parts.h"

#include <cstddef>

namespace web {
namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::optional<int> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    int port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

// Host names and addresses only: anything else ('@', '?', '#', blanks, bytes above 0x7F)
// would be read by the transfer library as another part of the address.
bool IsPlainHost(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        for (char c : host.substr(1, host.size() - 2)) {
            const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
                            (c >= 'A' && c <= 'F') || c == ':' || c == '.';
            if (!ok) return false;
        }
        return host.size() > 2;
    }
    for (char c : host) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                        (c >= 'A' && c <= 'Z') || c == '-' || c == '.' || c == '_';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

std::optional<UrlParts> ParseUrl(std::string_view url) {
    UrlParts parts;
    std::string_view rest = url;
    const std::size_t colon = url.find(':');
    if (colon != std::string_view::npos && colon + 1 < url.size() && url[colon + 1] == '/') {
        parts.scheme = std::string(url.substr(0, colon));
        rest = url.substr(colon + 1);
        // "://" in the usual form; a single '/' ("http:/host") is taken the same way.
        for (int slashes = 0; slashes < 2 && !rest.empty() && rest.front() == '/'; ++slashes) {
            rest.remove_prefix(1);
        }
    } else {
        parts.scheme = "http";
    }

    const std::size_t slash = rest.find('/');
    std::string_view hostPort = rest.substr(0, slash);
    if (slash != std::string_view::npos) parts.path = std::string(rest.substr(slash));

    // The port follows the last ':' (an IPv6 address in brackets has colons of its own).
    const std::size_t portColon = hostPort.rfind(':');
    const bool colonInBrackets = portColon != std::string_view::npos && !hostPort.empty() &&
                                 hostPort.front() == '[' && hostPort.find(']') > portColon;
    if (portColon != std::string_view::npos && !colonInBrackets) {
        const std::optional<int> port = ParsePort(hostPort.substr(portColon + 1));
        if (!port) return std::nullopt;
        parts.port = *port;
        hostPort = hostPort.substr(0, portColon);
    } else {
        parts.port = UsesTls(parts) ? 443 : 80;
    }
    if (hostPort.empty() || !IsPlainHost(hostPort)) return std::nullopt;
    parts.host = std::string(hostPort);
    return parts;
}

bool UsesTls(const UrlParts& parts) { return EqualsIgnoringAsciiCase(parts.scheme, "https"); }

}  // namespace web
