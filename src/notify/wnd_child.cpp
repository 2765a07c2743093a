#include "notify/wnd_child.h"

#include "contacts/directory_unit_click.h"
#include "contacts/im_tree.h"
#include "contacts/main_panel_layout.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "notify/parcel.h"
#include "notify/routes/notification_handlers.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"

CWndChild::CWndChild(core::ClientContext& context)
    : os::Window(context.windows), context_(context) {}

bool CWndChild::Create(os::HWND parent, const os::Rect& rect, bool visible) {
    CreateParams params;
    params.parent = parent;
    params.rect = rect;
    params.visible = visible;
    return os::Window::Create(params);
}

os::LRESULT CWndChild::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_SIZE) {
        contacts::LayOutMainPanelTrees(*this);
        return 0;
    }
    if (message == os::WM_HOTKEY && pickHotKeyId_ != 0 &&
        wParam == static_cast<os::WPARAM>(pickHotKeyId_)) {
        if (context_.hasWindowManager()) {
            context_.windowManager().PickNextPendingMessage(core::PickTrigger::HotKey);
        }
        return 0;
    }
    if (message == os::WM_NOTIFY) {
        const auto* note = os::FromLParam<const os::ControlNotification>(lParam);
        if (note != nullptr && note->code == os::notify::kDoubleClick) {
            auto* tree = GetControl<contacts::CIMTree>(note->controlId);
            if (tree != nullptr && contacts::OpenDirectoryUnitOnDoubleClick(
                                       context_, *tree, static_cast<os::TreeItem>(note->item))) {
                return 1;
            }
        }
    }
    if (message == core::WM_IM_NOTIFY || message == core::WM_IM_NOTIFY_COPY) {
        if (auto handlers = handlers_.lock()) {
            if (auto answer = OnNotify(*handlers, message, wParam, lParam)) return *answer;
        }
    }
    return os::Window::OnMessage(message, wParam, lParam);
}

std::optional<os::LRESULT> CWndChild::OnNotify(notify::NotificationHandlers& handlers,
                                               os::UINT message, os::WPARAM wParam,
                                               os::LPARAM lParam) {
    if (message == core::WM_IM_NOTIFY_COPY) {
        // Ours from here on: the copy handler keeps it or lets it go.
        handlers.RunCopy(notify::TakeParcel<platform::NotifyRecord>(lParam));
        return 0;
    }
    const int subcode = static_cast<int>(wParam);
    if (!notify::IsRecordSubcode(subcode)) return handlers.RunSubcode(subcode, lParam);
    if (lParam == 0) return 0;
    const auto& record = *reinterpret_cast<const platform::NotifyRecord*>(lParam);
    if (notify::RouteOf(record.type).uiSubcode != subcode) {
        context_.log.WriteLog2(2, os::Format("Notification %u came with UI subcode %d, not its "
                                             "own; passed over",
                                             record.type, subcode));
        return 0;
    }
    handlers.RunUi(record);
    return 0;
}
