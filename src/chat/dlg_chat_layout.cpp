// Where the chat window's controls sit, top to bottom: who the messages go to, the tool bar,
// the message view (taking what room is left), the input tool bar, the input box, the SMS
// row in SMS mode, and the status line with "发送" at the bottom right.
#include <algorithm>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"

namespace {

namespace id = chat::control;

constexpr int kMargin = 8;
constexpr int kGap = 4;
constexpr int kLineHeight = 20;
constexpr int kToolHeight = 26;
constexpr int kToolWidth = 72;
constexpr int kInputHeight = 90;
constexpr int kSmsRowHeight = 24;
constexpr int kSendWidth = 80;
constexpr int kSendHeight = 28;
constexpr int kSmsHintWidth = 200;
constexpr int kTimedSmsWidth = 90;
constexpr int kSendTimeWidth = 150;
constexpr int kTransferPanelWidth = 240;
constexpr int kTransferBarHeight = 14;

}  // namespace

void CDlgChat::LayOutControls(int width, int height) {
    auto place = [this](int controlId, int x, int y, int w, int h) {
        if (os::Control* control = FindControl(controlId)) {
            control->SetRect(os::Rect::FromSize(x, y, std::max(w, 0), std::max(h, 0)));
        }
    };
    // A row of the tool buttons that are shown, left to right in id order.
    auto toolRow = [&](std::initializer_list<int> ids, int y) {
        int x = kMargin;
        for (int controlId : ids) {
            os::Control* button = FindControl(controlId);
            if (button == nullptr || !button->visible()) continue;
            place(controlId, x, y, kToolWidth, kToolHeight);
            x += kToolWidth + kGap;
        }
    };
    const int inner = width - 2 * kMargin;

    int top = kMargin;
    place(id::kHeaderLine, kMargin, top, inner, kLineHeight);
    top += kLineHeight + kGap;
    toolRow(
        {id::kSendSms, id::kSendFile, id::kAudioVideo, id::kInvite, id::kSmsHistory, id::kToBatch},
        top);
    top += kToolHeight + kGap;

    int bottom = height - kMargin;
    const int sendTop = bottom - kSendHeight;
    place(id::kSend, width - kMargin - kSendWidth, sendTop, kSendWidth, kSendHeight);
    place(id::kStatusLine, kMargin, sendTop, inner - kSendWidth - kGap, kSendHeight);
    bottom = sendTop - kGap;

    const bool smsRow = (smsHint_ != nullptr && smsHint_->visible()) ||
                        (signature_ != nullptr && signature_->visible());
    if (smsRow) {
        const int rowTop = bottom - kSmsRowHeight;
        int x = kMargin;
        place(id::kSmsHint, x, rowTop, kSmsHintWidth, kSmsRowHeight);
        x += kSmsHintWidth + kGap;
        place(id::kTimedSms, x, rowTop, kTimedSmsWidth, kSmsRowHeight);
        x += kTimedSmsWidth + kGap;
        place(id::kSendTime, x, rowTop, kSendTimeWidth, kSmsRowHeight);
        x += kSendTimeWidth + kGap;
        place(id::kSignature, x, rowTop, width - kMargin - x, kSmsRowHeight);
        bottom = rowTop - kGap;
    }

    const int inputTop = bottom - kInputHeight;
    place(id::kInput, kMargin, inputTop, inner, kInputHeight);
    const int toolsTop = inputTop - kGap - kToolHeight;
    toolRow({id::kFont, id::kFace, id::kPhrase, id::kShake, id::kScreenCapture, id::kHistory},
            toolsTop);
    // The transfer panel takes the view's right side while it shows.
    const os::Control* firstLine = FindControl(id::kTransferLine);
    const bool panel = firstLine != nullptr && firstLine->visible();
    const int viewWidth = panel ? inner - kTransferPanelWidth - kGap : inner;
    place(id::kView, kMargin, top, viewWidth, toolsTop - kGap - top);
    if (panel) {
        const int x = kMargin + viewWidth + kGap;
        int y = top;
        for (int row = 0; row < id::kTransferRows; ++row) {
            place(id::kTransferLine + row, x, y, kTransferPanelWidth, kLineHeight);
            y += kLineHeight;
            place(id::kTransferBar + row, x, y, kTransferPanelWidth, kTransferBarHeight);
            y += kTransferBarHeight + kGap;
        }
    }
}
