// Where the room window's controls sit: on the left, top to bottom, the message view (taking
// what room is left), the tool row, the input box, and "举手" / "发送" at the bottom right; on
// the right the member caption, the member tree, the member commands in two columns and, but
// for temporary rooms, the notice caption and page.
#include <algorithm>

#include "os/controls/control.h"
#include "rooms/dlg_room.h"
#include "rooms/room_controls.h"

namespace {

namespace id = rooms::control;

constexpr int kMargin = 8;
constexpr int kGap = 4;
constexpr int kLineHeight = 20;
constexpr int kToolHeight = 26;
constexpr int kToolWidth = 64;
constexpr int kInputHeight = 80;
constexpr int kButtonWidth = 72;
constexpr int kButtonHeight = 26;
constexpr int kPanelWidth = 200;
constexpr int kNoticeHeight = 100;

}  // namespace

void CDlgRoom::LayOutControls(int width, int height) {
    auto place = [this](int controlId, int x, int y, int w, int h) {
        if (os::Control* control = FindControl(controlId)) {
            control->SetRect(os::Rect::FromSize(x, y, std::max(w, 0), std::max(h, 0)));
        }
    };
    const int panelLeft = width - kMargin - kPanelWidth;
    const int leftWidth = panelLeft - kGap - kMargin;

    // The conversation side.
    int bottom = height - kMargin;
    const int buttonsTop = bottom - kButtonHeight;
    place(id::kSend, panelLeft - kGap - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
    place(id::kRaiseHand, panelLeft - 2 * (kGap + kButtonWidth), buttonsTop, kButtonWidth,
          kButtonHeight);
    bottom = buttonsTop - kGap;
    const int inputTop = bottom - kInputHeight;
    place(id::kInput, kMargin, inputTop, leftWidth, kInputHeight);
    const int toolTop = inputTop - kGap - kToolHeight;
    int x = kMargin;
    for (int toolId :
         {id::kFontTool, id::kFaceTool, id::kPhraseTool, id::kCaptureTool, id::kHistoryTool}) {
        place(toolId, x, toolTop, kToolWidth, kToolHeight);
        x += kToolWidth + kGap;
    }
    place(id::kView, kMargin, kMargin, leftWidth, toolTop - kGap - kMargin);

    // The member side.
    int top = kMargin;
    place(id::kMemberCaption, panelLeft, top, kPanelWidth, kLineHeight);
    top += kLineHeight + kGap;
    const bool notice = FindControl(id::kNotice) != nullptr && FindControl(id::kNotice)->visible();
    const int commands[] = {id::kAddMembers,  id::kDeleteMember, id::kGrantVoice,
                            id::kRevokeVoice, id::kKick,         id::kSubject,
                            id::kBatchSms,    id::kProperties,   id::kRoomLog};
    int shown = 0;
    for (int commandId : commands) {
        if (const os::Control* control = FindControl(commandId); control && control->visible()) {
            ++shown;
        }
    }
    const int commandRows = (shown + 1) / 2;
    const int commandsHeight = commandRows * (kButtonHeight + kGap);
    const int noticeHeight = notice ? kLineHeight + kGap + kNoticeHeight + kGap : 0;
    const int treeHeight = height - kMargin - top - commandsHeight - noticeHeight - kGap;
    place(id::kMembers, panelLeft, top, kPanelWidth, treeHeight);
    top += treeHeight + kGap;
    const int half = (kPanelWidth - kGap) / 2;
    int index = 0;
    for (int commandId : commands) {
        const os::Control* control = FindControl(commandId);
        if (control == nullptr || !control->visible()) continue;
        const int row = index / 2;
        const int column = index % 2;
        place(commandId, panelLeft + column * (half + kGap), top + row * (kButtonHeight + kGap),
              half, kButtonHeight);
        ++index;
    }
    top += commandsHeight;
    if (notice) {
        place(id::kNoticeCaption, panelLeft, top, kPanelWidth, kLineHeight);
        top += kLineHeight + kGap;
        place(id::kNotice, panelLeft, top, kPanelWidth, kNoticeHeight);
    }
}
