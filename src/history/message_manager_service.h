#pragma once
// The message manager behind the history door: opens CFrameMessageManager (one window at a
// time; an open one is brought forward), filtered on a contact when asked, answers its keys
// while it is the foreground window and forgets it when it goes. It keeps the process's page
// size choice, read from the user's "CountOfMsgRecordPerPage" (a value that is not one of the
// choices is reset to 30). The real-time OA notices are the notice centre's. UI thread.

#include <memory>
#include <string>

#include "core/doors/history_service.h"
#include "history/frame_message_manager.h"
#include "history/msg_navigator.h"
#include "history/oa_notices.h"

namespace core {
class ClientContext;
}
namespace contacts {
class ContactTrees;
class MainPanelTrees;
}  // namespace contacts

namespace history {

class MessageManagerService final : public core::HistoryService {
  public:
    // The navigation frame's calls of the door go on to `navigator`.
    MessageManagerService(core::ClientContext& context, contacts::ContactTrees& contactTrees,
                          contacts::MainPanelTrees& panelTrees, MsgNavigator& navigator);
    ~MessageManagerService() override;

    os::HWND Window() override;
    int OnKeyDown(int key, int flags) override;
    void Open(const std::string& filterJid) override;
    void Forget() override;
    void OpenNavigator() override { navigator_.OpenNavigator(); }
    os::HWND NavigatorWindow() override { return navigator_.NavigatorWindow(); }
    void ShowOaNotice(const core::QueuedMessage& /*notice*/) override { oaNotices_.OpenWindow(); }
    void OnOaNotice(const core::QueuedMessage& notice) override { oaNotices_.OnArrival(notice); }

    // The open window, or null.
    CFrameMessageManager* window() const { return frame_; }
    OaNoticeCenter& oaNotices() { return oaNotices_; }

  private:
    core::ClientContext& context_;
    contacts::ContactTrees& contactTrees_;
    contacts::MainPanelTrees& panelTrees_;
    MsgNavigator& navigator_;
    PageSizeChoice pageSize_;
    CFrameMessageManager* frame_ = nullptr;  // adopted by the window system
    OaNoticeCenter oaNotices_;
};

}  // namespace history
