// Feeds arbitrary addresses to the HTTP client's URL parser: no input may crash, and what it
// accepts must be a host the transfer library reads as a host, a port in range, and a path
// that starts with '/' or is empty.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "web/transfer.h"
#include "web/url_parts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<web::UrlParts> parts = web::ParseUrl(text);
    if (!parts) return 0;
    if (parts->host.empty() || parts->port < 1 || parts->port > 65535) std::abort();
    if (!parts->path.empty() && parts->path.front() != '/') std::abort();
    if (parts->host.find_first_of("@/?# \r\n") != std::string::npos) std::abort();
    const std::string url = web::TransferUrl(*parts);
    for (char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) std::abort();
    }
    return 0;
}
