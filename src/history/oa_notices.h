#pragma once
// The real-time OA notices: each arrival is logged, parsed, put at the front of the list,
// stored and announced; the list is loaded from the user's store once per logged-in user and
// shown in the notice window (COANoticeWindow), whose page edits it through the centre.
// UI thread.

#include <string>
#include <string_view>

#include "core/pending_messages.h"
#include "history/rtoa_list.h"
#include "os/ui/hwnd.h"

namespace core {
class ClientContext;
}

namespace history {

class COANoticeWindow;

class OaNoticeCenter {
  public:
    explicit OaNoticeCenter(core::ClientContext& context);
    ~OaNoticeCenter();
    OaNoticeCenter(const OaNoticeCenter&) = delete;
    OaNoticeCenter& operator=(const OaNoticeCenter&) = delete;

    // A notice arrived; `message.content` is its XML body.
    void OnArrival(const core::QueuedMessage& message);
    // Opens the notice window (an open one comes forward and reads the list again).
    void OpenWindow();
    os::HWND Window() const;

    // The page's requests.
    RTOAList& list();
    void updateStatus(const std::string& ids);
    void deleteScheduler(const std::string& ids);

  private:
    void EnsureLoaded();
    void Alert(const core::QueuedMessage& message, const RTOABody& notice);

    core::ClientContext& context_;
    RTOAList list_;
    bool loaded_ = false;
    std::string loadedFor_;
    COANoticeWindow* window_ = nullptr;  // adopted by the window system
};

}  // namespace history
