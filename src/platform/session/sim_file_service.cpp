#include "platform/session/sim_file_service.h"

namespace platform {
namespace {

constexpr std::string_view kUploadField = "file";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The last path component of a target and its query ("" when none).
struct Target {
    std::string_view name;
    std::string_view query;
};
Target Split(std::string_view target) {
    Target parts;
    const std::size_t question = target.find('?');
    std::string_view path = target.substr(0, question);
    if (question != std::string_view::npos) parts.query = target.substr(question + 1);
    const std::size_t slash = path.rfind('/');
    parts.name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return parts;
}

// The value of `name` in a query "a=1&key=2".
std::string_view QueryValue(std::string_view query, std::string_view name) {
    std::size_t at = 0;
    while (at <= query.size()) {
        std::size_t end = query.find('&', at);
        if (end == std::string_view::npos) end = query.size();
        const std::string_view pair = query.substr(at, end - at);
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos && pair.substr(0, equals) == name) {
            return pair.substr(equals + 1);
        }
        at = end + 1;
    }
    return {};
}

FileServiceAnswer Plain(int status, std::string body = {}) {
    FileServiceAnswer answer;
    answer.status = status;
    answer.body = std::move(body);
    answer.contentType = "text/plain";
    return answer;
}

}  // namespace

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<std::string_view> MultipartFilePart(std::string_view contentType,
                                                  std::string_view body, std::string_view field) {
    constexpr std::string_view kBoundaryKey = "boundary=";
    const std::size_t at = contentType.find(kBoundaryKey);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view boundary = contentType.substr(at + kBoundaryKey.size());
    const std::size_t end = boundary.find_first_of("; \t\r\n");
    if (end != std::string_view::npos) boundary = boundary.substr(0, end);
    if (boundary.size() >= 2 && boundary.front() == '"' && boundary.back() == '"') {
        boundary = boundary.substr(1, boundary.size() - 2);
    }
    if (boundary.empty()) return std::nullopt;
    const std::string delimiter = "--" + std::string(boundary);
    const std::string closing = "\r\n" + delimiter;
    const std::string wanted = "name=\"" + std::string(field) + "\"";

    std::size_t part = body.find(delimiter);
    while (part != std::string_view::npos) {
        const std::size_t headStart = part + delimiter.size();
        if (body.substr(headStart, 2) == "--") return std::nullopt;  // the close delimiter
        const std::size_t headEnd = body.find("\r\n\r\n", headStart);
        if (headEnd == std::string_view::npos) return std::nullopt;
        const std::size_t dataStart = headEnd + 4;
        // A delimiter is one only at the end of its line or as the close delimiter.
        std::size_t dataEnd = body.find(closing, dataStart);
        while (dataEnd != std::string_view::npos) {
            const std::string_view after = body.substr(dataEnd + closing.size(), 2);
            if (after == "\r\n" || after == "--") break;
            dataEnd = body.find(closing, dataEnd + 1);
        }
        if (dataEnd == std::string_view::npos) return std::nullopt;
        const std::string_view head = body.substr(headStart, headEnd - headStart);
        if (head.find(wanted) != std::string_view::npos) {
            return body.substr(dataStart, dataEnd - dataStart);
        }
        part = dataEnd + 2;
    }
    return std::nullopt;
}

SimFileService::SimFileService() : random_(std::random_device{}()) {}

std::string SimFileService::NewKey() {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (;;) {
        std::string key;
        for (int half = 0; half < 2; ++half) {
            std::uint64_t bits = random_();
            for (int i = 0; i < 16; ++i, bits >>= 4) key += kHex[bits & 0xF];
        }
        if (!files_.contains(key)) return key;
    }
}

std::string SimFileService::Store(std::string_view name, std::string_view bytes) {
    std::lock_guard lock(mutex_);
    std::string key = NewKey();
    files_.emplace(key, File{std::string(name), std::string(bytes)});
    return key;
}

FileServiceAnswer SimFileService::Handle(std::string_view method, std::string_view target,
                                         std::string_view contentType, std::string_view body) {
    {
        std::lock_guard lock(mutex_);
        if (failure_ == Failure::ServerError) return Plain(500);
        if (failure_ == Failure::Busy) return Plain(503);
    }
    const Target parts = Split(target);
    const std::optional<std::string> name = PercentDecoded(parts.name);
    if (!name || name->empty()) return Plain(400);
    if (method == "POST") {
        const std::optional<std::string_view> file =
            MultipartFilePart(contentType, body, kUploadField);
        if (!file) return Plain(400);
        if (file->size() > kMaxFileBytes) return Plain(413);
        return Plain(200, Store(*name, *file));
    }
    if (method != "GET") return Plain(405);
    const std::string_view key = QueryValue(parts.query, "key");
    std::lock_guard lock(mutex_);
    auto it = files_.find(key);
    if (it == files_.end() || it->second.name != *name) return Plain(404);
    FileServiceAnswer answer;
    answer.body = it->second.bytes;
    return answer;
}

void SimFileService::SetFailure(Failure failure) {
    std::lock_guard lock(mutex_);
    failure_ = failure;
}

std::optional<std::string> SimFileService::Stored(std::string_view key) const {
    std::lock_guard lock(mutex_);
    auto it = files_.find(key);
    if (it == files_.end()) return std::nullopt;
    return it->second.bytes;
}

std::size_t SimFileService::StoredCount() const {
    std::lock_guard lock(mutex_);
    return files_.size();
}

}  // namespace platform
