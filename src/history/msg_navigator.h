#pragma once
// MsgNavigator: opens the message navigation frame (CFrameMsgMgr) through the history door
// (core::HistoryService::OpenNavigator) and owns it: one frame at a time, brought forward
// and loaded afresh when it is open already. UI thread only.

#include <memory>

#include "core/doors/history_service.h"
#include "history/frame_msg_mgr.h"

namespace history {

class MsgNavigator : public core::HistoryService {
  public:
    MsgNavigator(core::ClientContext& context, contacts::ContactTrees& trees);
    ~MsgNavigator() override;

    void OpenNavigator() override;
    os::HWND NavigatorWindow() override;

    // The open frame, or null.
    CFrameMsgMgr* frame() const;

  private:
    core::ClientContext& context_;
    contacts::ContactTrees& trees_;
    std::unique_ptr<CFrameMsgMgr> frame_;
};

}  // namespace history
