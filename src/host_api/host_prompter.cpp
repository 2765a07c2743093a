#include "host_api/host_prompter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "os/prompt/message_box.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace {

// The text a handler wrote into `buffer`, or nothing when it left no terminating NUL (it
// did not fit).
std::optional<std::string> Terminated(const std::vector<char>& buffer) {
    const auto end = std::find(buffer.begin(), buffer.end(), '\0');
    if (end == buffer.end()) return std::nullopt;
    return std::string(buffer.begin(), end);
}

// Copies GBK text into a fixed field, cut on a character boundary so it stays terminated.
template <std::size_t N>
void CopyField(char (&field)[N], const std::string& text) {
    const std::string fitted = os::LeftBytes(text, N - 1);
    std::memcpy(field, fitted.data(), fitted.size());
    field[fitted.size()] = '\0';
}

}  // namespace

void HostPrompter::SetHandler(QorvMessageBoxHandler handler, void* user) {
    std::lock_guard lock(mutex_);
    messageBox_ = {handler, user};
}

void HostPrompter::SetNestedLoopHandler(QorvNestedLoopHandler handler, void* user) {
    std::lock_guard lock(mutex_);
    nestedLoop_ = {handler, user};
}

void HostPrompter::SetFileChooserHandler(QorvFileChooserHandler handler, void* user) {
    std::lock_guard lock(mutex_);
    fileChooser_ = {handler, user};
}

void HostPrompter::SetFontHandler(QorvFontHandler handler, void* user) {
    std::lock_guard lock(mutex_);
    font_ = {handler, user};
}

void HostPrompter::SetInputHandler(QorvInputHandler handler, void* user) {
    std::lock_guard lock(mutex_);
    input_ = {handler, user};
}

void HostPrompter::SetLog(os::Log* log) {
    std::lock_guard lock(mutex_);
    log_ = log;
}

void HostPrompter::Log(const std::string& line) {
    os::Log* log;
    {
        std::lock_guard lock(mutex_);
        log = log_;
    }
    if (log != nullptr) log->WriteLog(line);
}

int HostPrompter::MessageBox(const os::MessageBoxRequest& request) {
    Installed<QorvMessageBoxHandler> installed;
    {
        std::lock_guard lock(mutex_);
        installed = messageBox_;
    }
    const std::vector<int> results = os::MessageBoxResults(request.style);
    if (installed.handler != nullptr) {
        const int answer = installed.handler(installed.user, request.caption.c_str(),
                                             request.text.c_str(), request.style);
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
    if (installed.handler == nullptr) {
        Log(os::Format("消息框 [%s] %s", request.caption.c_str(), request.text.c_str()));
    }
    return closed;
}

std::optional<std::string> HostPrompter::ChooseFile(const os::FileDialogRequest& request,
                                                    bool save) {
    Installed<QorvFileChooserHandler> installed;
    {
        std::lock_guard lock(mutex_);
        installed = fileChooser_;
    }
    const char* kind = save ? "保存文件" : "打开文件";
    if (installed.handler == nullptr) {
        Log(os::Format("%s [%s]: 没有文件选择器，取消", kind, request.title.c_str()));
        return std::nullopt;
    }
    const QorvFileRequest asked{
        request.owner.value(),         save ? 1 : 0,
        request.title.c_str(),         request.filter.c_str(),
        request.defaultName.c_str(),   request.defaultExtension.c_str(),
        request.initialFolder.c_str(),
    };
    std::vector<char> path(kPathCapacity, '\0');
    if (installed.handler(installed.user, &asked, path.data(), path.size()) != 1) {
        return std::nullopt;
    }
    std::optional<std::string> chosen = Terminated(path);
    if (!chosen || chosen->empty()) {
        Log(os::Format("%s [%s]: 选择的路径太长或为空，取消", kind, request.title.c_str()));
        return std::nullopt;
    }
    return chosen;
}

std::optional<std::string> HostPrompter::OpenFile(const os::FileDialogRequest& request) {
    return ChooseFile(request, false);
}

std::optional<std::string> HostPrompter::SaveFile(const os::FileDialogRequest& request) {
    return ChooseFile(request, true);
}

std::optional<os::FontChoice> HostPrompter::ChooseFont(const os::FontRequest& request) {
    Installed<QorvFontHandler> installed;
    {
        std::lock_guard lock(mutex_);
        installed = font_;
    }
    if (installed.handler == nullptr) {
        Log("字体: 没有字体对话框，取消");
        return std::nullopt;
    }
    const os::FontChoice& initial = request.initial;
    QorvFontChoice choice{};
    CopyField(choice.faceName, initial.faceName);
    choice.heightTwips = initial.height;
    choice.bold = initial.bold ? 1 : 0;
    choice.italic = initial.italic ? 1 : 0;
    choice.underline = initial.underline ? 1 : 0;
    choice.strikeOut = initial.strikeOut ? 1 : 0;
    choice.color = initial.color;
    if (installed.handler(installed.user, request.owner.value(), &choice) != 1) {
        return std::nullopt;
    }
    const char* end =
        static_cast<const char*>(std::memchr(choice.faceName, '\0', sizeof choice.faceName));
    if (end == nullptr || end == choice.faceName || choice.heightTwips <= 0) {
        Log("字体: 选择的字体无效，取消");
        return std::nullopt;
    }
    os::FontChoice chosen;
    chosen.faceName.assign(static_cast<const char*>(choice.faceName), end);
    chosen.height = choice.heightTwips;
    chosen.bold = choice.bold != 0;
    chosen.italic = choice.italic != 0;
    chosen.underline = choice.underline != 0;
    chosen.strikeOut = choice.strikeOut != 0;
    chosen.color = choice.color & 0x00FFFFFFu;
    return chosen;
}

std::optional<std::string> HostPrompter::InputText(const os::InputRequest& request) {
    Installed<QorvInputHandler> installed;
    {
        std::lock_guard lock(mutex_);
        installed = input_;
    }
    if (installed.handler == nullptr) {
        Log(os::Format("输入框 [%s] %s: 没有输入框，取消", request.caption.c_str(),
                       request.prompt.c_str()));
        return std::nullopt;
    }
    const QorvInputRequest asked{request.owner.value(),  request.caption.c_str(),
                                 request.prompt.c_str(), request.initialValue.c_str(),
                                 request.maxBytes,       request.password ? 1 : 0};
    std::vector<char> text(request.maxBytes != 0 ? request.maxBytes + 1 : kInputCapacity, '\0');
    if (installed.handler(installed.user, &asked, text.data(), text.size()) != 1) {
        return std::nullopt;
    }
    std::optional<std::string> typed = Terminated(text);
    if (!typed) {
        Log(os::Format("输入框 [%s]: 输入太长，取消", request.caption.c_str()));
        return std::nullopt;
    }
    return typed;
}

void HostPrompter::RunModal(os::WindowSystem& system, os::HWND dialog,
                            const std::function<bool()>& ended) {
    Installed<QorvNestedLoopHandler> installed;
    {
        std::lock_guard lock(mutex_);
        installed = nestedLoop_;
    }
    if (installed.handler == nullptr) {
        os::Prompter::RunModal(system, dialog, ended);
        return;
    }
    struct Run {
        os::WindowSystem* system;
        const std::function<bool()>* ended;
    } run{&system, &ended};
    // The host's loop asks this after each pump: the dialog ended, or the UI loop was asked
    // to end (the WM_QUIT stays queued for the loop outside).
    auto done = [](void* arg) -> int {
        const Run& r = *static_cast<const Run*>(arg);
        try {
            return ((*r.ended)() || r.system->IsQuitPending()) ? 1 : 0;
        } catch (...) {
            return 1;  // never throw into the host; a run that cannot tell is over
        }
    };
    installed.handler(installed.user, done, &run);
}
