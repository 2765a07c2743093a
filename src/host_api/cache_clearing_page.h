#pragma once
// The cache page of the settings dialog: three check boxes ("登录用户信息", "公共通讯录缓存",
// "个人通讯录缓存") and a button that deletes the chosen files. After a clearing the caches are
// no longer written at this session's log-out, so a deleted cache stays deleted until the
// next login. A child window of the settings dialog; UI thread only.

#include "os/ui/window.h"

namespace core {
class ClientContext;
}

class CCacheClearingPage final : public os::Window {
  public:
    static constexpr int kLoginHistory = 1421;
    static constexpr int kPublicDirectories = 1422;
    static constexpr int kPersonalContacts = 1423;
    static constexpr int kClear = 1424;

    explicit CCacheClearingPage(core::ClientContext& context);

    // Creates the page inside `parent` (or as a window of its own without one).
    bool Create(os::HWND parent, const os::Rect& rect);

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    void OnClear();
    bool Checked(int id) const;

    core::ClientContext& context_;
};
