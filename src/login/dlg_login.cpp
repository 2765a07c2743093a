#include "login/dlg_login.h"

#include <array>

#include "core/window_manager.h"
#include "core/window_messages.h"
#include "os/controls/button.h"
#include "os/controls/combo_box.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/controls/progress_bar.h"

namespace {

// The input fields in the order Tab walks them.
constexpr std::array<int, 4> kTabOrder = {CDlgLogin::kAccountId, CDlgLogin::kPasswordId,
                                          CDlgLogin::kUserKindId, CDlgLogin::kExtraTextId};

}  // namespace

static_assert(CDlgLogin::kLoginButtonId == core::IDC_LOGIN);

CDlgLogin::CDlgLogin(core::ClientContext& context)
    : os::Window(context.windows), context_(context) {
    AddControls();
}

void CDlgLogin::AddControls() {
    AddControl(std::make_unique<os::ComboBox>(kAccountId, os::ComboStyle::DropDown));
    auto password = std::make_unique<os::Edit>(kPasswordId);
    AddControl(std::move(password));
    auto kind = std::make_unique<os::ComboBox>(kUserKindId);
    kind->AddString("政府用户");
    kind->AddString("公众用户");
    kind->SetCurSel(0);
    AddControl(std::move(kind));
    AddControl(std::make_unique<os::Edit>(kExtraTextId));
    AddControl(std::make_unique<os::Button>(kLoginButtonId, "登录"));
    auto label = std::make_unique<os::Label>(kProgressLabelId);
    label->SetVisible(false);
    AddControl(std::move(label));
    auto bar = std::make_unique<os::ProgressBar>(kProgressBarId);
    bar->SetVisible(false);
    AddControl(std::move(bar));
}

bool CDlgLogin::Create(os::HWND parent, const os::Rect& rect, bool visible) {
    CreateParams params;
    params.parent = parent;
    params.rect = rect;
    params.visible = visible;
    return os::Window::Create(params);
}

void CDlgLogin::Begin() {
    if (hooks.begin) hooks.begin();
}

void CDlgLogin::StartAutoRelogin() {
    if (hooks.startAutoRelogin) hooks.startAutoRelogin();
}

void CDlgLogin::ReleaseResources() {
    if (hooks.releaseResources) hooks.releaseResources();
}

bool CDlgLogin::EndTimeoutWatch() {
    return hooks.endTimeoutWatch ? hooks.endTimeoutWatch() : false;
}

void CDlgLogin::FocusNextField() {
    // From the focused field to the next one that can take the focus, round the end.
    std::size_t start = kTabOrder.size() - 1;
    for (std::size_t i = 0; i < kTabOrder.size(); ++i) {
        if (kTabOrder[i] == GetFocus()) start = i;
    }
    for (std::size_t step = 1; step <= kTabOrder.size(); ++step) {
        if (SetFocus(kTabOrder[(start + step) % kTabOrder.size()])) return;
    }
}

bool CDlgLogin::PreTranslateMessage(os::Msg& message) {
    return hooks.preTranslateMessage ? hooks.preTranslateMessage(message) : false;
}

void CDlgLogin::ShowProgress(std::string text) {
    progressLabel().SetText(std::move(text));
    progressLabel().SetVisible(true);
    progressBar().SetMarquee(true);
    progressBar().SetVisible(true);
}

void CDlgLogin::HideProgress() {
    progressBar().SetMarquee(false);
    progressBar().SetVisible(false);
    progressLabel().SetVisible(false);
}

os::Label& CDlgLogin::progressLabel() const { return *GetControl<os::Label>(kProgressLabelId); }

os::ProgressBar& CDlgLogin::progressBar() const {
    return *GetControl<os::ProgressBar>(kProgressBarId);
}

bool CDlgLogin::IsLoggingIn() const {
    return context_.hasWindowManager() && context_.windowManager().Flags().loggingIn.load();
}

void CDlgLogin::SetLoggingIn(bool loggingIn) {
    if (context_.hasWindowManager()) context_.windowManager().Flags().loggingIn = loggingIn;
}

os::LRESULT CDlgLogin::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_COMMAND && os::LOWORD(wParam) == kLoginButtonId) {
        ++loginCommands_;
        if (hooks.loginPressed) hooks.loginPressed();
        return 0;
    }
    return os::Window::OnMessage(message, wParam, lParam);
}
