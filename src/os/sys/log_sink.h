#pragma once
// Where code below the log (os/services/log.h) writes its diagnostic lines: os::Log is one.
// A function that can refuse outside input takes a sink from its caller, so the line lands in
// the log of the world that asked.

#include <string_view>

namespace os {

class LogSink {
  public:
    // The level as the log has it (the system uses 0..7); `text` is GBK.
    virtual void WriteLog2(int level, std::string_view text) = 0;

  protected:
    ~LogSink() = default;
};

}  // namespace os
