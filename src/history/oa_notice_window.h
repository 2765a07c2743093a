#pragma once
// The notice window: an embedded page served from the configured "RealTime OA" address, at
// its position, size and title. The page reads and edits the notice list through the script
// object the window offers it, to the origin of that address only. The object tells its
// owner (this window) through kOwnerRequest with a code in wParam: 1 close (the page's
// Close), 2 done (OnDlgOK), 3 a new photo (lParam a std::string path), 5 a reply (lParam the
// number). UI thread.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "os/controls/web_view.h"
#include "os/ui/window.h"

namespace core {
class ClientContext;
}

namespace history {

class OaNoticeCenter;

class COANoticeWindow final : public os::Window, private os::PageScriptObject {
  public:
    static constexpr int kPageViewId = 1001;
    static constexpr os::UINT kOwnerRequest = os::WM_USER + 0x1A0;

    COANoticeWindow(core::ClientContext& context, OaNoticeCenter& center);
    ~COANoticeWindow() override;

    bool Create();
    os::WebView* page() const;
    // Asks the page to read the list again (its "refresh" method).
    void RefreshPage();
    void SetDestroyHandler(std::function<void()> handler) { onDestroyed_ = std::move(handler); }

    // The personal details the last setUserInfo call carried (eight texts).
    const std::vector<std::string>& userInfo() const { return userInfo_; }

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;
    void PostNcDestroy() override;

  private:
    std::optional<os::ScriptArgument> Invoke(
        const std::string& method, const std::vector<os::ScriptArgument>& arguments) override;
    void TellOwner(int code, os::LPARAM lParam = 0);

    core::ClientContext& context_;
    OaNoticeCenter& center_;
    std::vector<std::string> userInfo_;
    std::function<void()> onDestroyed_;
};

}  // namespace history
