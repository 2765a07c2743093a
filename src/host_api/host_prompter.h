#pragma once
// The library's prompter: every prompt goes to the handler the host installed (qorvdesk/host.h)
// and its answer comes back in GBK. Without a handler a message box is written to the log and
// answered as if the user had closed it (OK for an OK box, otherwise Cancel or No), and a
// chooser, font dialog or input prompt is logged and answered Cancel, so nothing is agreed to
// behind the user's back. An answer that does not fit the buffer it was written to, or the
// prompt's byte limit, is Cancel too (and logged): a path cut short would name another file.
// Modal dialogs run in the host's nested loop when it installed one, else on the UI loop
// (Prompter's default).

#include <mutex>

#include "os/prompt/prompter.h"
#include "qorvdesk/host.h"

namespace os {
class Log;
}

class HostPrompter final : public os::Prompter {
  public:
    void SetHandler(QorvMessageBoxHandler handler, void* user);
    void SetNestedLoopHandler(QorvNestedLoopHandler handler, void* user);
    void SetFileChooserHandler(QorvFileChooserHandler handler, void* user);
    void SetFontHandler(QorvFontHandler handler, void* user);
    void SetInputHandler(QorvInputHandler handler, void* user);
    // Where unhandled prompts are written; may stay null.
    void SetLog(os::Log* log);

    using os::Prompter::MessageBox;
    int MessageBox(const os::MessageBoxRequest& request) override;
    std::optional<std::string> OpenFile(const os::FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(const os::FileDialogRequest& request) override;
    std::optional<os::FontChoice> ChooseFont(const os::FontRequest& request) override;
    std::optional<std::string> InputText(const os::InputRequest& request) override;

    // The longest path a file chooser may answer, in bytes.
    static constexpr std::size_t kPathCapacity = 4096;
    // The longest text an input prompt without a byte limit may answer.
    static constexpr std::size_t kInputCapacity = 65536;

  protected:
    void RunModal(os::WindowSystem& system, os::HWND dialog,
                  const std::function<bool()>& ended) override;

  private:
    template <typename Handler>
    struct Installed {
        Handler handler = nullptr;
        void* user = nullptr;
    };

    std::optional<std::string> ChooseFile(const os::FileDialogRequest& request, bool save);
    void Log(const std::string& line);

    mutable std::mutex mutex_;
    Installed<QorvMessageBoxHandler> messageBox_;
    Installed<QorvNestedLoopHandler> nestedLoop_;
    Installed<QorvFileChooserHandler> fileChooser_;
    Installed<QorvFontHandler> font_;
    Installed<QorvInputHandler> input_;
    os::Log* log_ = nullptr;
};
