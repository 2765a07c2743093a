#include "os/services/log.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "os/sys/paths.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"

namespace os {

namespace {

// One logical line: inner line breaks made visible, trailing ones dropped.
std::string OneLine(std::string_view gbk) {
    while (!gbk.empty() && (gbk.back() == '\n' || gbk.back() == '\r')) gbk.remove_suffix(1);
    std::string out;
    out.reserve(gbk.size());
    for (char c : gbk) {
        if (c == '\r') continue;
        if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string FormatLogLine(const LogLine& line) {
    char stamp[64];
    const LocalTime& t = line.time;
    snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d [%d] ", t.year, t.month,
             t.day, t.hour, t.minute, t.second, t.millisecond, line.level);
    return stamp + GbkToUtf8Lossy(OneLine(line.text));
}

std::unique_ptr<Log> Log::ToFile(Clock& clock, std::string path) {
    std::unique_ptr<Log> log(new Log(clock, Target::File, std::move(path)));
    std::lock_guard lock(log->mutex_);
    log->OpenLocked();
    return log;
}

std::unique_ptr<Log> Log::Capturing(Clock& clock) {
    return std::unique_ptr<Log>(new Log(clock, Target::Memory, {}));
}

Log::Log(Clock& clock, Target target, std::string path)
    : clock_(clock), target_(target), path_(std::move(path)) {}

Log::~Log() {
    if (fd_ >= 0) ::close(fd_);
}

bool Log::OpenLocked() {
    if (fd_ >= 0) return true;
    std::optional<std::filesystem::path> file = NativePath(path_);
    if (path_.empty() || !file) return false;
    std::error_code ignored;
    if (file->has_parent_path()) std::filesystem::create_directories(file->parent_path(), ignored);
    // O_APPEND with one write per line keeps lines whole even when two processes share a file.
    fd_ = ::open(file->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

void Log::WriteLog2(int level, std::string_view text) {
    LogLine line{clock_.LocalNow(), level, std::string(text)};
    if (target_ == Target::Memory) {
        std::lock_guard lock(mutex_);
        captured_.push_back(std::move(line));
        return;
    }
    std::string bytes = FormatLogLine(line) + "\n";
    std::lock_guard lock(mutex_);
    if (!OpenLocked()) return;
    if (!WriteAll(fd_, bytes)) {
        // The file went away or the disk is full: reopen at the next line.
        ::close(fd_);
        fd_ = -1;
    }
}

bool Log::IsOpen() const {
    std::lock_guard lock(mutex_);
    return target_ == Target::Memory || fd_ >= 0;
}

std::vector<LogLine> Log::CapturedLines() const {
    std::lock_guard lock(mutex_);
    return captured_;
}

std::vector<std::string> Log::CapturedTexts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    texts.reserve(captured_.size());
    for (const LogLine& line : captured_) texts.push_back(line.text);
    return texts;
}

bool Log::HasCaptured(std::string_view gbkText) const {
    std::lock_guard lock(mutex_);
    for (const LogLine& line : captured_) {
        if (Find(line.text, gbkText) >= 0) return true;
    }
    return false;
}

void Log::ClearCaptured() {
    std::lock_guard lock(mutex_);
    captured_.clear();
}

}  // namespace os
