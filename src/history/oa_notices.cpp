#include "history/oa_notices.h"

#include <cstdlib>

#include "config/client_config.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "history/oa_notice_window.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace history {

OaNoticeCenter::OaNoticeCenter(core::ClientContext& context)
    : context_(context), list_(context.log) {}

OaNoticeCenter::~OaNoticeCenter() {
    if (window_ != nullptr) {
        window_->SetDestroyHandler({});
        if (window_->IsWindow()) window_->DestroyWindow();
        window_ = nullptr;
    }
}

RTOAList& OaNoticeCenter::list() {
    EnsureLoaded();
    return list_;
}

os::HWND OaNoticeCenter::Window() const {
    return window_ != nullptr ? window_->hwnd() : os::HWND{};
}

void OaNoticeCenter::EnsureLoaded() {
    const std::string user = context_.session.GetCurrentUserJID();
    if (loaded_ && loadedFor_ == user) return;
    std::vector<RTOABody> stored;
    if (std::unique_ptr<CClientDB> db = context_.OpenUserStore()) {
        if (!db->GetAllOAMsg([&](const RTOARecord& notice) { stored.push_back(notice); })) {
            context_.log.WriteLog2(2, "读取实时OA数据失败: " + db->GetErrorInfo());
        }
    }
    list_.Load(std::move(stored));
    loaded_ = true;
    loadedFor_ = user;
}

void OaNoticeCenter::OnArrival(const core::QueuedMessage& message) {
    const std::string& body = message.content;
    context_.log.WriteLog(os::Format("收到实时OA消息:%s", body.c_str()));
    EnsureLoaded();
    if (body == kShowNoticeWindowBody) {
        OpenWindow();
        return;
    }
    if (IsDroppedOaBody(body)) return;
    RTOABody notice = ParseRTOABody(body);
    std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    long id = 0;
    if (db == nullptr ||
        !db->AddRTOAInfo(notice.appId.c_str(), notice.appDesc.c_str(), notice.senderName.c_str(),
                         notice.tipType.c_str(), notice.count.c_str(), notice.desc.c_str(),
                         notice.jumpUrl.c_str(), notice.jumpUrlParam.c_str(),
                         notice.displayUrl.c_str(), notice.sendTime.c_str(),
                         notice.offlineTip.c_str(), notice.status.c_str(), id)) {
        context_.log.WriteLog(os::Format("实时提醒OA数据入库失败%s", body.c_str()));
    } else {
        notice.id = id;
    }
    list_.PushFront(notice);
    if (window_ != nullptr) window_->RefreshPage();
    Alert(message, notice);
}

void OaNoticeCenter::Alert(const core::QueuedMessage& message, const RTOABody& notice) {
    const unsigned long tipType = std::strtoul(notice.tipType.c_str(), nullptr, 16);
    if ((tipType & 1U) != 0) {
        context_.noticePop.ShowOATip(0, notice.jumpUrl + "?" + notice.jumpUrlParam, notice.desc, 1);
    } else if (context_.config.RTOAArrivedTipType == 0) {
        OpenWindow();
    } else {
        // Kept for the tray: picking it opens the notice window.
        core::IWindowManager& manager = context_.windowManager();
        core::QueuedMessage queued = message;
        queued.type = core::kQueuedOaNoticeType;
        manager.PendingMessages().Push(std::move(queued));
        context_.windows.PostMessage(manager.HostMainWnd(), core::WM_HOST_TRAY, 1, 0);
        context_.noticePop.ShowTip(notice.desc);
    }
}

void OaNoticeCenter::OpenWindow() {
    EnsureLoaded();
    if (window_ == nullptr) {
        auto window = std::make_unique<COANoticeWindow>(context_, *this);
        if (!window->Create()) return;
        window->SetDestroyHandler([this] { window_ = nullptr; });
        window_ = context_.windows.Adopt(std::move(window));
    } else {
        window_->ShowWindow(window_->IsIconic() ? os::SW_RESTORE : os::SW_SHOW);
        window_->RefreshPage();
    }
    context_.windows.SetForegroundWindow(window_->hwnd());
}

void OaNoticeCenter::updateStatus(const std::string& ids) {
    list().updateStatus(ids);
    std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    if (db == nullptr || !db->UpdateRTOAState(ids.c_str(), '0')) {
        context_.log.WriteLog2(2, "更新实时OA状态失败: " + ids);
    }
}

void OaNoticeCenter::deleteScheduler(const std::string& ids) {
    list().deleteScheduler(ids);
    std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    if (db == nullptr || !db->DeleteSomeRTOAItem(ids.c_str())) {
        context_.log.WriteLog2(2, "删除实时OA记录失败: " + ids);
    }
}

}  // namespace history
