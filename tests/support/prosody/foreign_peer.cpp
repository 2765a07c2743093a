#include "support/prosody/foreign_peer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/prosody/foreign_peer_script.h"

extern char** environ;

namespace testing_support {
namespace {

constexpr char kPython[] = "/usr/bin/python3";

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Unhex(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
    return out;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        if (!part.empty()) parts.push_back(part);
    return parts;
}

}  // namespace

bool ForeignPeer::Received::Has(const std::string& tag) const {
    for (const std::string& child : children)
        if (child == tag) return true;
    return false;
}

bool ForeignPeer::Installed() {
    if (::access(kPython, X_OK) != 0) return false;
    const std::string command = std::string(kPython) + " -c 'import slixmpp' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

ForeignPeer::ForeignPeer(const std::string& jid, const std::string& password, int port,
                         const std::string& caFile, int lifetimeSeconds) {
    const std::string script = dir_.str() + "foreign_peer.py";
    std::ofstream(script) << kForeignPeerScript;
    int input[2], output[2];
    if (::pipe2(input, O_CLOEXEC) != 0) return;
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    const std::string errors = dir_.str() + "stderr.log";
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT, 0600);
    const std::string portText = std::to_string(port);
    const std::string lifetime = std::to_string(lifetimeSeconds);
    std::vector<std::string> args{kPython, script, jid, password, portText, caFile, lifetime};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, kPython, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    toPeer_ = input[1];
    fromPeer_ = output[0];
    ::fcntl(fromPeer_, F_SETFL, ::fcntl(fromPeer_, F_GETFL) | O_NONBLOCK);
    // A peer that has ended must not end the test with SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
}

ForeignPeer::~ForeignPeer() {
    if (toPeer_ >= 0) ::close(toPeer_);
    if (fromPeer_ >= 0) ::close(fromPeer_);
    if (pid_ <= 0) return;
    // Bounded: it logs out within moments of its input closing.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            return;
        }
        std::this_thread::yield();
    }
}

void ForeignPeer::ReadAvailable() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fromPeer_, buffer, sizeof buffer);
        if (n <= 0) break;
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
        const std::vector<std::string> words = Split(pending_.substr(0, end), ' ');
        pending_.erase(0, end + 1);
        if (words.size() == 1 && words[0] == "ready") ready_ = true;
        if (words.size() >= 3 && words[0] == "message") {
            Received message;
            message.from = words[1];
            if (words[2] != "-") message.body = Unhex(words[2]);
            if (words.size() >= 4) message.children = Split(words[3], ',');
            messages_.push_back(std::move(message));
        }
    }
}

bool ForeignPeer::Ready() {
    ReadAvailable();
    return ready_;
}

const std::vector<ForeignPeer::Received>& ForeignPeer::Messages() {
    ReadAvailable();
    return messages_;
}

std::string ForeignPeer::ErrorOutput() const {
    std::ifstream in(dir_.str() + "stderr.log");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void ForeignPeer::Command(const std::string& line) {
    const std::string text = line + "\n";
    if (toPeer_ >= 0) (void)!::write(toPeer_, text.data(), text.size());
}

void ForeignPeer::SendChat(const std::string& to, const std::string& body) {
    Command("send " + to + " " + Hex(body));
}
void ForeignPeer::SendComposing(const std::string& to) { Command("composing " + to); }
void ForeignPeer::SendAttention(const std::string& to) { Command("attention " + to); }

}  // namespace testing_support
