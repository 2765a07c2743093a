// CDlgLogin: the panel's controls, messages, progress display and keys.
#include "login/dlg_login.h"

#include <algorithm>
#include <array>

#include "core/window_manager.h"
#include "core/window_messages.h"
#include "login/login_state_word.h"
#include "os/controls/button.h"
#include "os/controls/check_box.h"
#include "os/controls/combo_box.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/controls/progress_bar.h"
#include "os/sys/event.h"
#include "os/sys/named_objects.h"
#include "platform/session/session_core.h"

namespace {

// The input fields in the order Tab walks them.
constexpr std::array<int, 4> kTabOrder = {CDlgLogin::kAccountId, CDlgLogin::kPasswordId,
                                          CDlgLogin::kUserKindId, CDlgLogin::kExtraTextId};

// What the user types into and clicks before a login; hidden while an attempt runs.
constexpr std::array<int, 8> kInputControls = {
    CDlgLogin::kAccountId,   CDlgLogin::kPasswordId,          CDlgLogin::kUserKindId,
    CDlgLogin::kExtraTextId, CDlgLogin::kLoginButtonId,       CDlgLogin::kRememberPasswordId,
    CDlgLogin::kAutoLoginId, CDlgLogin::kOrganisationButtonId};

}  // namespace

static_assert(CDlgLogin::kLoginButtonId == core::IDC_LOGIN);

CDlgLogin::CDlgLogin(core::ClientContext& context)
    : os::Window(context.windows),
      context_(context),
      loginEvent_(os::OpenNamedEvent(context.namedObjects, "LoginEvent", context.clock,
                                     os::EventReset::Auto, /*initiallySet=*/false)),
      initResultEvent_(os::OpenNamedEvent(context.namedObjects, "InitResultEvent", context.clock,
                                          os::EventReset::Manual, /*initiallySet=*/false)),
      stateWord_(std::make_shared<login::LoginStateWord>(context.namedObjects, context.clock)),
      history_(context.folders.commonDir + login::kLoginHistoryFile, login::HistoryLayout::Full),
      mobileHistory_(context.folders.commonDir + login::kMobileLoginHistoryFile,
                     login::HistoryLayout::Mobile),
      reconnect_(std::make_shared<login::ReconnectState>(context.clock)) {
    AddControls();
}

CDlgLogin::~CDlgLogin() {
    // The threads post to this window only; once it is gone their posts are dropped. They use
    // the world's collaborators too, so each attempt waits for its threads as it goes.
    attempt_.reset();
    stoppedAttempts_.clear();
}

void CDlgLogin::AddControls() {
    AddControl(std::make_unique<os::ComboBox>(kAccountId, os::ComboStyle::DropDown));
    auto password = std::make_unique<os::Edit>(kPasswordId);
    password->SetPassword(true);
    AddControl(std::move(password));
    auto kind = std::make_unique<os::ComboBox>(kUserKindId);
    kind->AddString("政府用户");
    kind->AddString("公众用户");
    kind->SetCurSel(0);
    AddControl(std::move(kind));
    AddControl(std::make_unique<os::Edit>(kExtraTextId));
    AddControl(std::make_unique<os::Button>(kLoginButtonId, "登录"));
    AddControl(std::make_unique<os::CheckBox>(kRememberPasswordId, "记住我的密码"));
    AddControl(std::make_unique<os::CheckBox>(kAutoLoginId, "自动为我登录"));
    AddControl(std::make_unique<os::Button>(kOrganisationButtonId, "选择组织"));
    AddControl(std::make_unique<os::Label>(kOrganisationLabelId));
    auto label = std::make_unique<os::Label>(kProgressLabelId);
    label->SetVisible(false);
    AddControl(std::move(label));
    auto bar = std::make_unique<os::ProgressBar>(kProgressBarId);
    bar->SetVisible(false);
    AddControl(std::move(bar));
    for (const auto& [id, text] :
         {std::pair{kReconnectNowId, "立即重连"}, std::pair{kCancelReconnectId, "取消重连"}}) {
        auto link = std::make_unique<os::Button>(id, text);
        link->SetVisible(false);
        AddControl(std::move(link));
    }
}

bool CDlgLogin::Create(os::HWND parent, const os::Rect& rect, bool visible) {
    CreateParams params;
    params.parent = parent;
    params.rect = rect;
    params.visible = visible;
    if (!os::Window::Create(params)) return false;
    LayOutControls(rect.Width(), rect.Height());
    return true;
}

void CDlgLogin::ReleaseResources() { StopLogin(); }

bool CDlgLogin::EndTimeoutWatch() { return attempt_ && attempt_->EndWatch(); }

void CDlgLogin::StopLogin() {
    RetireAttempt();
    SetLoggingIn(false);
}

void CDlgLogin::RetireAttempt() {
    if (attempt_ && !attempt_->Stop(kStopWaitMs)) stoppedAttempts_.push_back(std::move(attempt_));
    attempt_.reset();
    std::erase_if(stoppedAttempts_, [](const auto& attempt) { return !attempt->Running(); });
}

bool CDlgLogin::LoginThreadsRunning() const {
    if (attempt_ && attempt_->Running()) return true;
    return std::any_of(stoppedAttempts_.begin(), stoppedAttempts_.end(),
                       [](const auto& attempt) { return attempt->Running(); });
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
    if (message.message != os::WM_KEYDOWN || message.hwnd != hwnd()) return false;
    if (message.wParam == os::VK_RETURN) {
        SendMessage(os::WM_COMMAND, os::MAKEWPARAM(kLoginButtonId, 0), 0);
        return true;
    }
    return message.wParam == os::VK_ESCAPE;
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

void CDlgLogin::ShowInputs(bool show) {
    for (int id : kInputControls) FindControl(id)->SetVisible(show);
}

bool CDlgLogin::IsLoggingIn() const {
    return context_.hasWindowManager() && context_.windowManager().Flags().loggingIn.load();
}

void CDlgLogin::SetLoggingIn(bool loggingIn) {
    if (context_.hasWindowManager()) context_.windowManager().Flags().loggingIn = loggingIn;
}

std::string CDlgLogin::Text(int controlId) const { return FindControl(controlId)->Text(); }

void CDlgLogin::SetText(int controlId, std::string text) {
    FindControl(controlId)->SetText(std::move(text));
}

bool CDlgLogin::Checked(int controlId) const {
    return GetControl<os::CheckBox>(controlId)->checked();
}

void CDlgLogin::SetChecked(int controlId, bool checked) {
    GetControl<os::CheckBox>(controlId)->SetCheck(checked);
}

os::LRESULT CDlgLogin::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    switch (message) {
        case os::WM_SIZE:
            LayOutControls(os::LOWORD(static_cast<os::WPARAM>(lParam)),
                           os::HIWORD(static_cast<os::WPARAM>(lParam)));
            return 0;
        case os::WM_COMMAND: {
            const int id = os::LOWORD(wParam);
            const int code = os::HIWORD(wParam);
            if (id == kLoginButtonId && code == os::notify::kClicked) {
                ++loginCommands_;
                OnLoginPressed(LoginKind::Normal);
                return 0;
            }
            if (id == kOrganisationButtonId && code == os::notify::kClicked) {
                OnChooseOrganisation();
                return 0;
            }
            if (id == kMobileLoginCommand) {
                OnLoginPressed(LoginKind::Mobile);
                return 0;
            }
            if ((id == kReconnectNowId || id == kCancelReconnectId) &&
                code == os::notify::kClicked) {
                SendMessage(kReconnectChoice, static_cast<os::WPARAM>(id), 0);
                return 0;
            }
            if (id == kAccountId && code == os::notify::kSelChange) {
                OnAccountChosen();
                return 0;
            }
            break;
        }
        case kShowLoginFailure:
            OnShowLoginFailure(wParam);
            return 0;
        case kNicknameTaken:
            OnNicknameTaken();
            return 0;
        case kReconnectChoice:
            OnReconnectChoice(wParam);
            return 0;
        case os::WM_TIMER:
            if (wParam == kSmsQuotaTimerId) {
                KillTimer(kSmsQuotaTimerId);
                context_.session.QuerySmsLimitInfo(1);
                return 0;
            }
            if (wParam == kCountdownTimerId) {
                OnCountdownTick();
                return 0;
            }
            if (wParam == kNetworkWatchTimerId) {
                OnNetworkWatch();
                return 0;
            }
            break;
        default:
            break;
    }
    return os::Window::OnMessage(message, wParam, lParam);
}
