#include "host_api/cache_clearing_page.h"

#include "contacts/contact_cache_files.h"
#include "core/client_context.h"
#include "core/session_flags.h"
#include "core/window_manager.h"
#include "login/login_history.h"
#include "os/controls/button.h"
#include "os/controls/check_box.h"
#include "os/prompt/prompter.h"

CCacheClearingPage::CCacheClearingPage(core::ClientContext& context)
    : os::Window(context.windows), context_(context) {}

bool CCacheClearingPage::Create(os::HWND parent, const os::Rect& rect) {
    CreateParams params;
    params.title = "清除缓存";
    params.parent = parent;
    params.rect = rect;
    params.visible = true;
    if (!os::Window::Create(params)) return false;
    AddControl(std::make_unique<os::CheckBox>(kLoginHistory, "登录用户信息"));
    AddControl(std::make_unique<os::CheckBox>(kPublicDirectories, "公共通讯录缓存"));
    AddControl(std::make_unique<os::CheckBox>(kPersonalContacts, "个人通讯录缓存"));
    AddControl(std::make_unique<os::Button>(kClear, "清除"));
    return true;
}

os::LRESULT CCacheClearingPage::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_COMMAND && static_cast<int>(wParam & 0xFFFF) == kClear) {
        OnClear();
        return 0;
    }
    return os::Window::OnMessage(message, wParam, lParam);
}

bool CCacheClearingPage::Checked(int id) const {
    const auto* box = GetControl<os::CheckBox>(id);
    return box != nullptr && box->checked();
}

void CCacheClearingPage::OnClear() {
    contacts::CacheClearChoice choice;
    choice.loginHistory = Checked(kLoginHistory);
    choice.publicDirectories = Checked(kPublicDirectories);
    choice.personalContacts = Checked(kPersonalContacts);
    const std::string labels =
        contacts::ClearCacheFiles(choice, context_, login::kLoginHistoryFile);
    if (labels.empty()) {
        context_.prompter.MessageBox("未选择缓存类别", os::kDefaultCaption, os::MB_OK, hwnd());
        return;
    }
    if (context_.hasWindowManager()) context_.windowManager().Flags().saveContactCaches = false;
    context_.prompter.MessageBox("清除:" + labels + " 成功\r\n 请重新登录，才能生效。",
                                 os::kDefaultCaption, os::MB_OK, hwnd());
}
