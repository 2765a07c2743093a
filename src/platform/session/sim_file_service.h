#pragma once
// The offline file server of the simulated world, as an HTTP service: the client posts a file
// as a multipart form to "<address>/<URL-encoded name>" and is answered the key it is stored
// under (32 hexadecimal digits); "GET <address>/<URL-encoded name>?key=<key>" answers the
// stored bytes. The service only turns requests into answers: an HTTP server in front of it
// (a loopback one in tests and in the demo) carries the bytes.
//
// Answers: 200 with the key or the bytes; 400 for a request it cannot read, 404 for a file it
// does not hold, 405 for another method, 413 for a file over kMaxFileBytes. A test switches
// the service to failing: every request is answered 500, or 503 (the server is busy).
// Thread-safe: the HTTP server's thread answers while tests and the demo read.

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace platform {

struct FileServiceAnswer {
    int status = 200;
    std::string body;
    std::string contentType = "application/octet-stream";
};

class SimFileService {
  public:
    static constexpr std::size_t kMaxFileBytes = 64u << 20;
    enum class Failure { None, ServerError, Busy };

    SimFileService();

    // One request: its method, target ("/path?query") and, for a post, its Content-Type
    // header and body.
    FileServiceAnswer Handle(std::string_view method, std::string_view target,
                             std::string_view contentType, std::string_view body);

    void SetFailure(Failure failure);
    // What the service holds under `key`, and how many files it holds.
    std::optional<std::string> Stored(std::string_view key) const;
    std::size_t StoredCount() const;
    // Stores a file as an upload would (the demo's bots and tests that play a peer); its key.
    std::string Store(std::string_view name, std::string_view bytes);

  private:
    struct File {
        std::string name;  // as decoded from the address
        std::string bytes;
    };
    std::string NewKey();

    mutable std::mutex mutex_;
    Failure failure_ = Failure::None;
    std::map<std::string, File, std::less<>> files_;
    std::mt19937_64 random_;
};

// The file part of a multipart form body: the bytes of the part named `field` under the
// boundary of `contentType`, or nothing when the body holds no such part.
std::optional<std::string_view> MultipartFilePart(std::string_view contentType,
                                                  std::string_view body, std::string_view field);

// %XX groups decoded ("+" stays); nothing when a "%" is not followed by two hex digits.
std::optional<std::string> PercentDecoded(std::string_view text);

}  // namespace platform
