#include "host_bridge.h"

#include "gbk_bridge.h"
#include "notices.h"
#include "prompts.h"

namespace host {

HostBridge::HostBridge(Prompts& prompts, Notices& notices, FrameMessages frame)
    : prompts_(prompts), notices_(notices), frame_(std::move(frame)) {
    QorvSetHostHandler(&HostBridge::OnHostMessage, this);
    QorvSetMessageBoxHandler(&HostBridge::OnMessageBox, this);
    QorvSetFileChooserHandler(&HostBridge::OnFileChooser, this);
    QorvSetFontHandler(&HostBridge::OnFont, this);
    QorvSetInputHandler(&HostBridge::OnInput, this);
    QorvSetNoticeHandler(&HostBridge::OnNotice, this);
    QorvSetIdleTimeHandler(&HostBridge::OnIdleTime, this);
}

HostBridge::~HostBridge() {
    QorvSetIdleTimeHandler(nullptr, nullptr);
    QorvSetNoticeHandler(nullptr, nullptr);
    QorvSetInputHandler(nullptr, nullptr);
    QorvSetFontHandler(nullptr, nullptr);
    QorvSetFileChooserHandler(nullptr, nullptr);
    QorvSetMessageBoxHandler(nullptr, nullptr);
    QorvSetHostHandler(nullptr, nullptr);
}

std::int64_t HostBridge::OnHostMessage(void* user, QorvWindow window, std::uint32_t message,
                                       std::uint64_t wParam, std::int64_t lParam) {
    auto* self = static_cast<HostBridge*>(user);
    return self->frame_ ? self->frame_(window, message, wParam, lParam) : 0;
}

int HostBridge::OnMessageBox(void* user, const char* caption, const char* text, unsigned style) {
    return static_cast<HostBridge*>(user)->prompts_.MessageBox(caption, text, style);
}

int HostBridge::OnFileChooser(void* user, const QorvFileRequest* request, char* path,
                              size_t capacity) {
    if (request == nullptr) return 0;
    return static_cast<HostBridge*>(user)->prompts_.ChooseFile(*request, path, capacity);
}

int HostBridge::OnFont(void* user, QorvWindow, QorvFontChoice* choice) {
    if (choice == nullptr) return 0;
    return static_cast<HostBridge*>(user)->prompts_.ChooseFont(*choice);
}

int HostBridge::OnInput(void* user, const QorvInputRequest* request, char* text, size_t capacity) {
    if (request == nullptr) return 0;
    return static_cast<HostBridge*>(user)->prompts_.Input(*request, text, capacity);
}

void HostBridge::OnNotice(void* user, const char* title, const char* text) {
    static_cast<HostBridge*>(user)->notices_.Show(FromGbk(title == nullptr ? "" : title),
                                                  FromGbk(text == nullptr ? "" : text));
}

std::int64_t HostBridge::OnIdleTime(void* user) {
    return static_cast<HostBridge*>(user)->idle_.IdleMs().value_or(-1);
}

}  // namespace host
