#pragma once
// The library's prompter: message boxes go to the handler the host installed
// (QorvSetMessageBoxHandler); without one, a box is written to the log and answered as if the
// user had closed it (OK for an OK box, otherwise Cancel or No), so nothing is agreed to
// behind the user's back. Choosers and input prompts answer "cancelled" until the host
// program brings interactive ones; modal dialogs run on the UI loop (Prompter's default).

#include <mutex>

#include "os/prompt/prompter.h"
#include "qorvdesk/host.h"

namespace os {
class Log;
}

class HostPrompter final : public os::Prompter {
  public:
    void SetHandler(QorvMessageBoxHandler handler, void* user);
    // Where unhandled boxes are written; may stay null.
    void SetLog(os::Log* log);

    using os::Prompter::MessageBox;
    int MessageBox(const os::MessageBoxRequest& request) override;
    std::optional<std::string> OpenFile(const os::FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(const os::FileDialogRequest& request) override;
    std::optional<os::FontChoice> ChooseFont(const os::FontRequest& request) override;
    std::optional<std::string> InputText(const os::InputRequest& request) override;

  private:
    std::mutex mutex_;
    QorvMessageBoxHandler handler_ = nullptr;
    void* user_ = nullptr;
    os::Log* log_ = nullptr;
};
