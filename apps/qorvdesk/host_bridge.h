#pragma once
// The C handlers the library calls (qorvdesk/host.h), installed for the life of this object:
// messages to the host's windows, prompts, pop-up tips and the desktop's idle time. Each trampoline
// turns the C call into a call on the host's C++ objects; strings stay GBK until those objects
// convert them.

#include <cstdint>
#include <functional>

#include "desktop_idle.h"
#include "qorvdesk/host.h"

namespace host {

class Prompts;
class Notices;

class HostBridge {
  public:
    using FrameMessages =
        std::function<std::int64_t(QorvWindow, std::uint32_t, std::uint64_t, std::int64_t)>;

    HostBridge(Prompts& prompts, Notices& notices, FrameMessages frame);
    ~HostBridge();
    HostBridge(const HostBridge&) = delete;
    HostBridge& operator=(const HostBridge&) = delete;

  private:
    static std::int64_t OnHostMessage(void* user, QorvWindow window, std::uint32_t message,
                                      std::uint64_t wParam, std::int64_t lParam);
    static int OnMessageBox(void* user, const char* caption, const char* text, unsigned style);
    static int OnFileChooser(void* user, const QorvFileRequest* request, char* path,
                             size_t capacity);
    static int OnFont(void* user, QorvWindow owner, QorvFontChoice* choice);
    static int OnInput(void* user, const QorvInputRequest* request, char* text, size_t capacity);
    static void OnNotice(void* user, const char* title, const char* text);
    static std::int64_t OnIdleTime(void* user);

    Prompts& prompts_;
    Notices& notices_;
    FrameMessages frame_;
    DesktopIdle idle_;
};

}  // namespace host
