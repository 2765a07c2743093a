#include "support/http/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace testing_support {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

std::optional<std::string> RecordedRequest::Header(std::string_view name) const {
    std::size_t at = head.find("\r\n");
    while (at != std::string::npos && at + 2 < head.size()) {
        const std::size_t start = at + 2;
        std::size_t end = head.find("\r\n", start);
        if (end == std::string::npos) end = head.size();
        const std::string_view line(head.data() + start, end - start);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && EqualsIgnoringCase(line.substr(0, colon), name)) {
            std::string_view value = line.substr(colon + 1);
            while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
            return std::string(value);
        }
        at = end;
    }
    return std::nullopt;
}

LoopbackHttpServer::LoopbackHttpServer(Responder responder) : responder_(std::move(responder)) {
    if (pipe(stopPipe_) != 0) throw std::runtime_error("pipe failed");
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listenFd_, 16) != 0) {
        throw std::runtime_error("bind/listen on 127.0.0.1 failed");
    }
    socklen_t length = sizeof address;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    const char stop = 's';
    [[maybe_unused]] const ssize_t written = write(stopPipe_[1], &stop, 1);
    thread_.join();
    close(listenFd_);
    close(stopPipe_[0]);
    close(stopPipe_[1]);
}

std::string LoopbackHttpServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t LoopbackHttpServer::RequestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

std::string LoopbackHttpServer::Response(int status, std::string_view body,
                                         std::string_view extraHeaders) {
    std::string out = "HTTP/1.0 " + std::to_string(status) + " " + Reason(status) + "\r\n";
    out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    out.append(extraHeaders);
    out += "\r\n";
    out.append(body);
    return out;
}

// Blocks until `fd` can be read or the server is asked to stop (false).
bool LoopbackHttpServer::WaitReadable(int fd) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) return false;
        if (fds[1].revents != 0) return false;
        if (fds[0].revents != 0) return true;
    }
}

bool LoopbackHttpServer::SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        pollfd fds[2] = {{fd, POLLOUT, 0}, {stopPipe_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 || fds[1].revents != 0) return false;
        const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void LoopbackHttpServer::Serve() {
    while (WaitReadable(listenFd_)) {
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        HandleConnection(fd);
        close(fd);
    }
}

void LoopbackHttpServer::HandleConnection(int fd) {
    RecordedRequest request;
    char buffer[16384];
    std::size_t headEnd = std::string::npos;
    std::size_t contentLength = 0;
    for (;;) {
        if (headEnd == std::string::npos) {
            headEnd = request.raw.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                request.head = request.raw.substr(0, headEnd);
                if (auto length = request.Header("Content-Length")) {
                    contentLength = std::stoul(*length);
                }
            }
        }
        if (headEnd != std::string::npos && request.raw.size() >= headEnd + 4 + contentLength) {
            break;
        }
        if (!WaitReadable(fd)) return;
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        request.raw.append(buffer, static_cast<std::size_t>(got));
    }
    request.body = request.raw.substr(headEnd + 4, contentLength);
    const std::size_t space = request.head.find(' ');
    request.method = request.head.substr(0, space);
    const std::size_t space2 = request.head.find(' ', space + 1);
    request.target = request.head.substr(space + 1, space2 - space - 1);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const std::optional<std::string> answer = responder_(request);
    if (!answer) {
        // Hold the connection until the client gives up or the server stops.
        while (WaitReadable(fd) && recv(fd, buffer, sizeof buffer, 0) > 0) {
        }
        return;
    }
    SendAll(fd, *answer);
    shutdown(fd, SHUT_WR);
}

}  // namespace testing_support
