// Feeds arbitrary requests to the simulated world's offline file service, as a client may post
// them: the first line is the method, the second the target, the third the Content-Type and
// the rest the body. The service must answer every one with a status it documents, and what
// an upload stores must come back, byte for byte, from the key it answered.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/session/sim_file_service.h"

namespace {

std::string_view Line(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view method = Line(rest);
    const std::string_view target = Line(rest);
    const std::string_view contentType = Line(rest);
    platform::SimFileService service;
    const platform::FileServiceAnswer answer = service.Handle(method, target, contentType, rest);
    switch (answer.status) {
        case 200:
        case 400:
        case 404:
        case 405:
        case 413:
            break;
        default:
            std::abort();
    }
    if (answer.status == 200 && method == "POST") {
        if (answer.body.size() != 32 || service.StoredCount() != 1) std::abort();
        const std::optional<std::string_view> part =
            platform::MultipartFilePart(contentType, rest, "file");
        if (!part || service.Stored(answer.body) != std::string(*part)) std::abort();
    } else if (service.StoredCount() != 0) {
        std::abort();
    }
    return 0;
}
