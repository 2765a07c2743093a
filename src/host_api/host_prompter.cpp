#include "host_api/host_prompter.h"

#include <algorithm>

#include "os/prompt/message_box.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"

void HostPrompter::SetHandler(QorvMessageBoxHandler handler, void* user) {
    std::lock_guard lock(mutex_);
    handler_ = handler;
    user_ = user;
}

void HostPrompter::SetLog(os::Log* log) {
    std::lock_guard lock(mutex_);
    log_ = log;
}

int HostPrompter::MessageBox(const os::MessageBoxRequest& request) {
    QorvMessageBoxHandler handler;
    void* user;
    os::Log* log;
    {
        std::lock_guard lock(mutex_);
        handler = handler_;
        user = user_;
        log = log_;
    }
    const std::vector<int> results = os::MessageBoxResults(request.style);
    if (handler != nullptr) {
        const int answer =
            handler(user, request.caption.c_str(), request.text.c_str(), request.style);
        // An answer that is none of the box's buttons counts as closing the box.
        if (std::find(results.begin(), results.end(), answer) != results.end()) return answer;
    }
    // Closing a box: Cancel where it has one, else No, else its only button.
    int closed = results.empty() ? os::IDOK : results.back();
    for (int candidate : {os::IDCANCEL, os::IDNO}) {
        if (std::find(results.begin(), results.end(), candidate) != results.end()) {
            closed = candidate;
            break;
        }
    }
    if (handler == nullptr && log != nullptr) {
        log->WriteLog(os::Format("消息框 [%s] %s", request.caption.c_str(), request.text.c_str()));
    }
    return closed;
}

std::optional<std::string> HostPrompter::OpenFile(const os::FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> HostPrompter::SaveFile(const os::FileDialogRequest&) {
    return std::nullopt;
}

std::optional<os::FontChoice> HostPrompter::ChooseFont(const os::FontRequest&) {
    return std::nullopt;
}

std::optional<std::string> HostPrompter::InputText(const os::InputRequest&) { return std::nullopt; }
