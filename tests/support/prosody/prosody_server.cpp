#include "support/prosody/prosody_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace testing_support {
namespace {

constexpr char kProsody[] = "/usr/bin/prosody";
constexpr char kProsodyctl[] = "/usr/bin/prosodyctl";

// A port nobody listens on now.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<unsigned short>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// Runs a program with its output in `logFile`; answers its pid, or -1.
pid_t Spawn(const std::vector<std::string>& args, const std::string& logFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

bool RunToEnd(const std::vector<std::string>& args, const std::string& logFile) {
    const pid_t pid = Spawn(args, logFile);
    if (pid < 0) return false;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A Lua string literal.
std::string Lua(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\%03d", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The file name Prosody gives a user's or host's data: every byte but letters and digits as %xx.
std::string Encoded(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        if (std::isalnum(c)) {
            out += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02x", c);
            out += escaped;
        }
    }
    return out;
}

bool WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

bool ProsodyServer::Installed() {
    return ::access(kProsody, X_OK) == 0 && ::access(kProsodyctl, X_OK) == 0 &&
           ::access("/usr/bin/openssl", X_OK) == 0;
}

std::string ProsodyServer::ConfigPath() const { return dir_.str() + "prosody.cfg.lua"; }
std::string ProsodyServer::caFile() const { return dir_.str() + "cert.pem"; }

std::string ProsodyServer::StoreFile(const std::string& store, const std::string& localPart) const {
    return dir_.str() + "data/" + Encoded(domain_) + "/" + store + "/" + Encoded(localPart) +
           ".dat";
}

ProsodyServer::ProsodyServer() {
    const std::string folder = dir_.str();
    std::filesystem::create_directories(folder + "data");
    if (!RunToEnd({"/usr/bin/openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                   "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", folder + "key.pem", "-out",
                   folder + "cert.pem", "-days", "2", "-subj", "/CN=" + domain_, "-addext",
                   "subjectAltName=DNS:" + domain_ + ",DNS:conference." + domain_},
                  folder + "openssl.log")) {
        error_ = "openssl could not make the certificate";
        return;
    }
    port_ = FreePort();
    std::ostringstream config;
    // Prosody runs as the test's own user (root in a container): no switch of user.
    if (::getuid() == 0) config << "prosody_user = \"root\"\nprosody_group = \"root\"\n";
    config << "run_as_root = true\n"
           << "daemonize = false\n"
           << "pidfile = " << Lua(folder + "prosody.pid") << "\n"
           << "data_path = " << Lua(folder + "data") << "\n"
           << "interfaces = { \"127.0.0.1\" }\n"
           << "c2s_ports = { " << port_ << " }\n"
           << "c2s_direct_tls_ports = { }\n"
           << "s2s_ports = { }\n"
           << "c2s_require_encryption = true\n"
           << "authentication = \"internal_hashed\"\n"
           << "log = { debug = " << Lua(folder + "prosody.log") << " }\n"
           << "modules_enabled = { \"roster\"; \"saslauth\"; \"tls\"; \"disco\"; \"private\"; "
              "\"vcard\"; \"ping\"; \"offline\"; \"smacks\"; \"posix\" }\n"
           << "modules_disabled = { \"s2s\" }\n"
           << "ssl = { key = " << Lua(folder + "key.pem")
           << "; certificate = " << Lua(folder + "cert.pem") << " }\n"
           << "VirtualHost " << Lua(domain_) << "\n"
           << "Component " << Lua("conference." + domain_) << " \"muc\"\n";
    if (!WriteText(ConfigPath(), config.str())) {
        error_ = "the configuration could not be written";
        return;
    }
    pid_ = Spawn({kProsody, "--config", ConfigPath()}, folder + "prosody.out");
    if (pid_ < 0) {
        error_ = "prosody could not be started";
        return;
    }
}

bool ProsodyServer::Ready() {
    for (const auto& [pid, account] : registrations_) {
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            if (error_.empty()) error_ = "prosodyctl could not register " + account;
        }
    }
    registrations_.clear();
    if (!error_.empty() || listening_) return error_.empty();
    // Bounded: the server takes connections within moments, or has died.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!Accepts(port_)) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "prosody ended at its start:\n" + ReadLog();
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error_ = "prosody did not take connections in 60 s:\n" + ReadLog();
            return false;
        }
        std::this_thread::yield();
    }
    listening_ = true;
    return true;
}

ProsodyServer::~ProsodyServer() {
    for (const auto& registration : registrations_) ::waitpid(registration.first, nullptr, 0);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::string ProsodyServer::ReadLog() const {
    std::ifstream in(dir_.str() + "prosody.log");
    std::ostringstream text;
    text << in.rdbuf();
    std::ifstream out(dir_.str() + "prosody.out");
    text << out.rdbuf();
    return text.str();
}

void ProsodyServer::Register(const std::string& localPart, const std::string& password) {
    const pid_t pid =
        Spawn({kProsodyctl, "--config", ConfigPath(), "register", localPart, domain_, password},
              dir_.str() + "prosodyctl.log");
    if (pid < 0) {
        error_ = "prosodyctl could not be started";
        return;
    }
    registrations_.emplace_back(pid, localPart);
}

bool ProsodyServer::SetNickname(const std::string& localPart, const std::string& nickname) {
    return WriteText(StoreFile("vcard", localPart),
                     "return { name = \"vCard\"; attr = { xmlns = \"vcard-temp\" }; { name = "
                     "\"NICKNAME\"; attr = {}; " +
                         Lua(nickname) + " } };\n");
}

bool ProsodyServer::SetRoster(const std::string& localPart,
                              const std::vector<ProsodyRosterItem>& items) {
    std::ostringstream roster;
    roster << "return {\n  [false] = { version = 1; pending = {} };\n";
    for (const ProsodyRosterItem& item : items) {
        roster << "  [" << Lua(item.jid) << "] = { subscription = " << Lua(item.subscription)
               << "; name = " << Lua(item.name) << "; groups = { ";
        if (!item.group.empty()) roster << "[" << Lua(item.group) << "] = true ";
        roster << "} };\n";
    }
    roster << "};\n";
    return WriteText(StoreFile("roster", localPart), roster.str());
}

}  // namespace testing_support
