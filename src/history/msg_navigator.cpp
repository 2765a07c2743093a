#include "history/msg_navigator.h"

#include "os/ui/messages.h"

namespace history {

MsgNavigator::MsgNavigator(core::ClientContext& context, contacts::ContactTrees& trees)
    : context_(context), trees_(trees) {}

MsgNavigator::~MsgNavigator() {
    if (frame_ && frame_->IsWindow()) frame_->DestroyWindow();
}

void MsgNavigator::OpenNavigator() {
    if (CFrameMsgMgr* open = frame()) {
        open->ShowWindow(os::SW_SHOW);
        open->listView().Reload();
        return;
    }
    frame_ = std::make_unique<CFrameMsgMgr>(context_, trees_);
    if (!frame_->Create()) frame_.reset();
}

os::HWND MsgNavigator::NavigatorWindow() {
    CFrameMsgMgr* open = frame();
    return open != nullptr ? open->hwnd() : os::HWND{};
}

CFrameMsgMgr* MsgNavigator::frame() const {
    return frame_ && frame_->IsWindow() ? frame_.get() : nullptr;
}

}  // namespace history
