// Where the composer's controls sit, top to bottom: the recipient label with the count, the
// recipient box with "选择接收者..." and "清除" beside it, the content label, the message
// box (taking what room is left), in SMS modes the counter, the signature, the receipt and
// timed rows, and "发送" / "关闭" at the bottom right.
#include <algorithm>

#include "batch/batch_controls.h"
#include "batch/dlg_batch_chat.h"
#include "os/controls/control.h"

namespace {

namespace id = batch::control;

constexpr int kMargin = 8;
constexpr int kGap = 4;
constexpr int kLineHeight = 20;
constexpr int kRecipientHeight = 60;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 26;
constexpr int kCountWidth = 80;
constexpr int kSignatureLabelWidth = 48;
constexpr int kTimedWidth = 84;
constexpr int kDateWidth = 100;
constexpr int kNumberWidth = 36;
constexpr int kUnitWidth = 18;

}  // namespace

void CDlgBatchChat::LayOutControls(int width, int height) {
    auto place = [this](int controlId, int x, int y, int w, int h) {
        if (os::Control* control = FindControl(controlId)) {
            control->SetRect(os::Rect::FromSize(x, y, std::max(w, 0), std::max(h, 0)));
        }
    };
    const bool sms = batch::IsSmsMode(mode_);
    const int inner = width - 2 * kMargin;
    int top = kMargin;
    place(id::kRecipientLabel, kMargin, top, inner - kCountWidth - kGap, kLineHeight);
    place(id::kRecipientCount, width - kMargin - kCountWidth, top, kCountWidth, kLineHeight);
    top += kLineHeight + kGap;
    const int boxWidth = inner - kButtonWidth - kGap;
    place(id::kRecipients, kMargin, top, boxWidth, kRecipientHeight);
    place(id::kPick, kMargin + boxWidth + kGap, top, kButtonWidth, kButtonHeight);
    place(id::kClear, kMargin + boxWidth + kGap, top + kButtonHeight + kGap, kButtonWidth,
          kButtonHeight);
    top += kRecipientHeight + kGap;
    place(id::kContentLabel, kMargin, top, inner, kLineHeight);
    top += kLineHeight + kGap;

    int bottom = height - kMargin;
    const int buttonsTop = bottom - kButtonHeight;
    place(id::kClose, width - kMargin - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
    place(id::kSend, width - kMargin - 2 * kButtonWidth - kGap, buttonsTop, kButtonWidth,
          kButtonHeight);
    bottom = buttonsTop - kGap;
    if (sms) {
        bottom -= kLineHeight;
        place(id::kTimeRange, kMargin, bottom, inner, kLineHeight);
        bottom -= kGap + kLineHeight;
        int x = kMargin;
        place(id::kTimed, x, bottom, kTimedWidth, kLineHeight);
        x += kTimedWidth + kGap;
        place(id::kTimedDate, x, bottom, kDateWidth, kLineHeight);
        x += kDateWidth + kGap;
        place(id::kTimedHour, x, bottom, kNumberWidth, kLineHeight);
        x += kNumberWidth;
        place(id::kHourLabel, x, bottom, kUnitWidth, kLineHeight);
        x += kUnitWidth + kGap;
        place(id::kTimedMinute, x, bottom, kNumberWidth, kLineHeight);
        x += kNumberWidth;
        place(id::kMinuteLabel, x, bottom, kUnitWidth, kLineHeight);
        bottom -= kGap + kLineHeight;
        place(id::kReceipt, kMargin, bottom, inner, kLineHeight);
        bottom -= kGap + kLineHeight;
        place(id::kSignatureLabel, kMargin, bottom, kSignatureLabelWidth, kLineHeight);
        place(id::kSignature, kMargin + kSignatureLabelWidth, bottom, inner - kSignatureLabelWidth,
              kLineHeight);
        bottom -= kGap + kLineHeight;
        place(id::kCounter, kMargin, bottom, inner, kLineHeight);
        bottom -= kGap;
    }
    place(id::kContents, kMargin, top, inner, bottom - top);
}
