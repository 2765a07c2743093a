#pragma once
// The client's diagnostic log. Every WriteLog(text) and WriteLog2(level, text) of the system
// ends here: one UTF-8 line per call, stamped with local time from the given clock and the
// level, appended to a file in the shared client directory. Tests use capture mode, which
// keeps the lines in memory as the system's own GBK text and writes nothing to disk.
//
// Thread-safe: the notification thread, the login worker and the UI thread all log.

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "os/sys/clock.h"
#include "os/sys/log_sink.h"

namespace os {

// Name of the log file inside the shared client directory.
inline constexpr const char* kLogFileName = "qorvdesk.log";

// Level given to WriteLog(text), which carries none. The system uses 0..7.
inline constexpr int kDefaultLogLevel = 3;

struct LogLine {
    LocalTime time;
    int level = kDefaultLogLevel;
    std::string text;  // GBK, as the caller wrote it
};

// "2026-01-05 09:00:00.000 [3] text" without the line end, in UTF-8. Line breaks inside the
// text become the two characters "\n" ("\r" is dropped), trailing ones are cut, so one call is
// always one line; bytes that are not GBK become '?'.
std::string FormatLogLine(const LogLine& line);

class Log final : public LogSink {
  public:
    // Appends to the file at `path` (GBK), creating its folder and the file when missing. A
    // file that cannot be opened is tried again at the next line; lines meanwhile are lost.
    static std::unique_ptr<Log> ToFile(Clock& clock, std::string path);
    // Keeps every line in memory; nothing touches the disk.
    static std::unique_ptr<Log> Capturing(Clock& clock);

    virtual ~Log();
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    void WriteLog(std::string_view text) { WriteLog2(kDefaultLogLevel, text); }
    void WriteLog2(int level, std::string_view text) override;

    // Whether the file is open (always true in capture mode).
    bool IsOpen() const;
    // The file's path as given (empty in capture mode).
    const std::string& path() const { return path_; }

    // Capture mode: the lines so far, oldest first (empty in file mode).
    std::vector<LogLine> CapturedLines() const;
    std::vector<std::string> CapturedTexts() const;
    // Whether some captured line's text contains `gbkText` (as whole GBK characters).
    bool HasCaptured(std::string_view gbkText) const;
    void ClearCaptured();

  private:
    enum class Target { File, Memory };
    Log(Clock& clock, Target target, std::string path);
    bool OpenLocked();

    Clock& clock_;
    const Target target_;
    const std::string path_;
    mutable std::mutex mutex_;
    int fd_ = -1;
    std::vector<LogLine> captured_;
};

}  // namespace os
