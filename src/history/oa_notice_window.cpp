#include "history/oa_notice_window.h"

#include "config/client_config.h"
#include "core/client_context.h"
#include "history/oa_notices.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/messages.h"
#include "platform/session/session_core.h"

namespace history {
namespace {

using Arguments = std::vector<os::ScriptArgument>;

std::string TextAt(const Arguments& arguments, std::size_t i) {
    return i < arguments.size() && arguments[i].type == os::ScriptArgument::Type::Text
               ? arguments[i].text
               : std::string();
}

std::int64_t IntegerAt(const Arguments& arguments, std::size_t i) {
    if (i >= arguments.size()) return 0;
    const os::ScriptArgument& a = arguments[i];
    if (a.type == os::ScriptArgument::Type::Integer) return a.integer;
    return std::strtoll(a.text.c_str(), nullptr, 10);
}

const os::ScriptArgument kNoResult = os::ScriptArgument::Of(std::string());

}  // namespace

COANoticeWindow::COANoticeWindow(core::ClientContext& context, OaNoticeCenter& center)
    : os::Window(context.windows), context_(context), center_(center) {}

COANoticeWindow::~COANoticeWindow() = default;

os::WebView* COANoticeWindow::page() const { return GetControl<os::WebView>(kPageViewId); }

bool COANoticeWindow::Create() {
    const config::WebWindowSetting& setting = context_.config.RealTimeOA;
    CreateParams params;
    params.title = setting.Title;
    params.rect = os::Rect::FromSize(setting.X, setting.Y, setting.Cx, setting.Cy);
    params.visible = true;
    if (!os::Window::Create(params)) return false;
    auto* view = AddControl(std::make_unique<os::WebView>(kPageViewId));
    view->SetRect(os::Rect::FromSize(0, 0, setting.Cx, setting.Cy));
    view->SetPage(setting.URL);
    view->OfferScriptObject(this, os::OriginOf(setting.URL));
    return true;
}

void COANoticeWindow::RefreshPage() { page()->CallScript("refresh", {}); }

void COANoticeWindow::TellOwner(int code, os::LPARAM lParam) {
    SendMessage(kOwnerRequest, static_cast<os::WPARAM>(code), lParam);
}

std::optional<os::ScriptArgument> COANoticeWindow::Invoke(const std::string& method,
                                                          const Arguments& arguments) {
    RTOAList& list = center_.list();
    if (method == "vcfun") {
        context_.prompter.MessageBox(
            os::Format("参数:str=%s, int a=%d", TextAt(arguments, 0).c_str(),
                       static_cast<int>(IntegerAt(arguments, 1))),
            "提示");
        return kNoResult;
    }
    if (method == "vcintfun") {
        context_.prompter.MessageBox(
            os::Format("参数:int a=%d", static_cast<int>(IntegerAt(arguments, 0))), "提示");
        return kNoResult;
    }
    if (method == "setUserInfo") {
        userInfo_.clear();
        for (std::size_t i = 0; i < 8; ++i) userInfo_.push_back(TextAt(arguments, i));
        return kNoResult;
    }
    if (method == "OnDlgOK") {
        TellOwner(2);
        return kNoResult;
    }
    if (method == "getPageContent") {
        return os::ScriptArgument::Of(
            list.getPageContent(static_cast<long>(IntegerAt(arguments, 0)),
                                static_cast<long>(IntegerAt(arguments, 1))));
    }
    if (method == "getCount") return os::ScriptArgument::Of(std::int64_t{list.getCount()});
    if (method == "updateStatus") {
        center_.updateStatus(TextAt(arguments, 0));
        return kNoResult;
    }
    if (method == "deleteScheduler") {
        center_.deleteScheduler(TextAt(arguments, 0));
        return kNoResult;
    }
    if (method == "Sort") {
        list.Sort(TextAt(arguments, 0), TextAt(arguments, 1));
        return kNoResult;
    }
    if (method == "ChangeConferenceSubject") {
        // Rooms change their subject in the room window; this page has none to change.
        context_.log.WriteLog(os::Format("ChangeConferenceSubject %s %s: 此窗口没有群",
                                         TextAt(arguments, 0).c_str(),
                                         TextAt(arguments, 1).c_str()));
        return kNoResult;
    }
    if (method == "ChangeUserPassword") {
        context_.log.WriteLog(os::Format("ChangeUserPassword: %s", TextAt(arguments, 0).c_str()));
        return kNoResult;
    }
    if (method == "Close") {
        TellOwner(1);
        const std::string self = context_.session.GetCurrentUserJID();
        if (!self.empty()) context_.session.QueryPersonInfo_refresh(self);
        return kNoResult;
    }
    if (method == "SetNewPhoto") {
        std::string path = TextAt(arguments, 0);
        TellOwner(3, os::ToLParam(&path));
        return kNoResult;
    }
    if (method == "SelectContact") {
        // No contact selector is offered to this page: no one is chosen.
        context_.log.WriteLog("SelectContact: 选择群发短信的接收者 未提供");
        return os::ScriptArgument::Of(std::string());
    }
    if (method == "reply") {
        TellOwner(5, static_cast<os::LPARAM>(IntegerAt(arguments, 0)));
        return kNoResult;
    }
    return std::nullopt;
}

os::LRESULT COANoticeWindow::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == kOwnerRequest) {
        const int code = static_cast<int>(wParam);
        if (code == 1 || code == 2) {
            PostMessage(os::WM_CLOSE, 0, 0);
        } else if (code == 3) {
            if (const auto* path = os::FromLParam<const std::string>(lParam)) {
                context_.log.WriteLog(os::Format("实时OA页面: 新头像 %s", path->c_str()));
            }
        } else if (code == 5) {
            context_.log.WriteLog(os::Format("实时OA页面: 回复 %ld", static_cast<long>(lParam)));
        }
        return 0;
    }
    if (message == os::WM_COMMAND && os::LOWORD(wParam) == kPageViewId &&
        os::HIWORD(wParam) == os::WebView::kPageCallRefused) {
        if (const auto* note = os::FromLParam<const os::ControlNotification>(lParam)) {
            std::string text = note->text;
            os::Replace(text, os::WebView::kEventSeparator, ' ');
            context_.log.WriteLog2(
                1, os::Format("实时OA页面: 拒绝来自其他来源的调用 %s", text.c_str()));
        }
        return 0;
    }
    return DefWindowProc(message, wParam, lParam);
}

void COANoticeWindow::PostNcDestroy() {
    if (onDestroyed_) onDestroyed_();
}

}  // namespace history
