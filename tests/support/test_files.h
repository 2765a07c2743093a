#pragma once
// File helpers shared by the tests: raw bytes in and out, UTF-8 literals, and a simulated
// full disk.

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace testing_support {

// UTF-8 bytes of a u8 literal (plain literals are GBK in this build).
inline std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The whole file as bytes ("" when it cannot be read).
inline std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces the file with `bytes`.
inline void Put(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every write past `bytes` fails (EFBIG) while this lives, as on a full disk; it stops root
// too, whom read-only folders do not.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    sighandler_t oldHandler_;
};

}  // namespace testing_support
