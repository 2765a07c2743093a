#pragma once
// A small HTTP server on 127.0.0.1 and an ephemeral port, for tests and benchmarks of the
// HTTP client: it records every request's raw bytes and answers with the bytes its responder
// gives (status line, headers and body, exactly as written). One connection at a time; each
// is closed after its answer. The destructor stops the server thread and closes everything,
// also a connection held open without an answer.

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace testing_support {

struct RecordedRequest {
    std::string raw;     // every byte received: request line, headers, blank line, body
    std::string head;    // request line and headers, up to and without the blank line
    std::string body;    // the Content-Length bytes after the blank line
    std::string target;  // the request line's target ("/path?query")
    std::string method;

    // The value of the first header `name` (any case), or nothing.
    std::optional<std::string> Header(std::string_view name) const;
};

class LoopbackHttpServer {
  public:
    // Raw response bytes for a request, or nothing to hold the connection without answering.
    using Responder = std::function<std::optional<std::string>(const RecordedRequest&)>;

    explicit LoopbackHttpServer(Responder responder);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" + path.
    std::string Url(std::string_view path) const;

    std::vector<RecordedRequest> Requests() const;
    std::size_t RequestCount() const;

    // "HTTP/1.0 <status> <reason>\r\nContent-Length: <n>\r\n<extra>\r\n<body>".
    static std::string Response(int status, std::string_view body,
                                std::string_view extraHeaders = "");

  private:
    void Serve();
    void HandleConnection(int fd);
    bool WaitReadable(int fd);
    bool SendAll(int fd, std::string_view bytes);

    Responder responder_;
    int listenFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
    std::thread thread_;
};

}  // namespace testing_support
