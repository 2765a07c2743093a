#pragma once
// NoticePop: the small pop-up notices near the tray ("信息已提交！", "%s 上线了", new mail, a
// real-time OA notice). The client starts the tip manager with the host's main window at
// InitWindows and frees it at FreeWindows.
//
// Two implementations: RecordingNoticePop for tests (every call recorded with its texts) and
// LoggingNoticePop (each tip written to the log, and handed to a display the host may plug
// in). Both are built on NoticePopCalls, which turns every call into one TipCall record.
//
// Namespace `platform`: the stand-ins for the client's imported libraries live there.

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "os/services/log.h"
#include "os/ui/hwnd.h"

namespace platform {

class NoticePop {
  public:
    virtual ~NoticePop() = default;

    virtual void InitTipManager(os::HWND hostWnd) = 0;
    virtual void FreeTipManager() = 0;

    // A plain notice.
    virtual void ShowTip(const std::string& text) = 0;
    // A message arrived while no window shows it: who sent it and a one-line summary.
    virtual void ShowNewMsgTip(const std::string& sender, const std::string& summary) = 0;
    // A contact's presence changed ("%s 刚登录", "%s 上线了").
    virtual void ShowStatusTip(const std::string& text) = 0;
    // A real-time OA notice: the page to open and its title. The client passes 0 and 1 for
    // the two numbers, which are handed on as they are.
    virtual void ShowOATip(int kind, const std::string& url, const std::string& title,
                           int flags) = 0;
    // New mail arrived; `count` unread messages.
    virtual void ShowNewMailTip(int count) = 0;
};

// One call, as recorded and logged: the call's name ("ShowTip", "ShowOATip", ...), its
// texts and its numbers in argument order, and the window for InitTipManager.
struct TipCall {
    std::string call;
    std::vector<std::string> texts;
    std::vector<int> numbers;
    os::HWND window;
};

// "ShowOATip 0 \"http://...\" \"标题\" 1": the call in one line of GBK text.
std::string DescribeTipCall(const TipCall& call);

// Implements every call by handing one TipCall to OnCall.
class NoticePopCalls : public NoticePop {
  public:
    void InitTipManager(os::HWND hostWnd) override;
    void FreeTipManager() override;
    void ShowTip(const std::string& text) override;
    void ShowNewMsgTip(const std::string& sender, const std::string& summary) override;
    void ShowStatusTip(const std::string& text) override;
    void ShowOATip(int kind, const std::string& url, const std::string& title, int flags) override;
    void ShowNewMailTip(int count) override;

  protected:
    virtual void OnCall(const TipCall& call) = 0;
};

class RecordingNoticePop final : public NoticePopCalls {
  public:
    std::vector<TipCall> Calls() const;
    // The calls named `call`, in order.
    std::vector<TipCall> CallsNamed(const std::string& call) const;
    // The text of every tip shown (each Show* call's texts joined by "|"), in order.
    std::vector<std::string> TipTexts() const;
    bool initialised() const;
    void Clear();

  protected:
    void OnCall(const TipCall& call) override;

  private:
    mutable std::mutex mutex_;
    std::vector<TipCall> calls_;
    bool initialised_ = false;
};

// Writes each call to the log as "NoticePop <call>". While the tip manager is started, tips
// also go to `display` (optional; the host's way of showing them). Thread-safe.
class LoggingNoticePop final : public NoticePopCalls {
  public:
    using Display = std::function<void(const TipCall&)>;
    explicit LoggingNoticePop(os::Log& log, Display display = {});
    // Replaces the display (an empty one: tips are only logged). Any thread.
    void SetDisplay(Display display);

  protected:
    void OnCall(const TipCall& call) override;

  private:
    os::Log& log_;
    Display display_;
    std::mutex mutex_;
    bool initialised_ = false;
};

}  // namespace platform
