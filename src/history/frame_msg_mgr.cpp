#include "history/frame_msg_mgr.h"

#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "history/count_per_page.h"
#include "os/controls/button.h"
#include "os/controls/combo_box.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/controls/list_control.h"
#include "os/controls/tree_control.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace history {
namespace {

namespace id = frame_control;

constexpr int kFrameWidth = 900;
constexpr int kFrameHeight = 600;

struct Command {
    int id;
    const char* text;
};
// The general toolbar, in its order.
constexpr Command kGeneralToolbar[] = {
    {id::kExportList, "导出列表中的所有消息"},
    {id::kExportSelected, "导出当前选中的消息"},
    {id::kExportAll, "导出全部消息记录"},
    {id::kDeleteSelected, "删除当前选中的消息"},
    {id::kDeleteList, "删除列表中的所有消息"},
    {id::kDeleteAll, "删除全部消息记录"},
    {id::kToggleHandled, "切换当前选中消息的处理标记"},
    {id::kFirstPage, "首页"},
    {id::kPreviousPage, "上一页"},
    {id::kNextPage, "下一页"},
    {id::kLastPage, "尾页"},
    {id::kPrintSetup, "打印设置"},
    {id::kPrintPreview, "打印预览"},
    {id::kPrint, "打印"},
};
// The view menu: each shows or hides a bar.
constexpr Command kViewMenu[] = {
    {id::kShowNavigationBar, "消息导航栏"},
    {id::kShowGeneralToolbar, "常规工具栏"},
    {id::kShowSearchToolbar, "搜索工具栏"},
};

struct Category {
    MessageSource source;
    const char* label;
};
constexpr Category kCategories[] = {
    {MessageSource::All, "所有消息"},           {MessageSource::Sent, "我发送的消息"},
    {MessageSource::Received, "我接收的消息"},  {MessageSource::Handled, "已处理的消息"},
    {MessageSource::Unhandled, "未处理的消息"},
};

}  // namespace

CFrameMsgMgr::CFrameMsgMgr(core::ClientContext& context, contacts::ContactTrees& trees)
    : os::Window(context.windows),
      context_(context),
      trees_(trees),
      printer_(context.prompter, context.shell, context.folders.commonDir + "temp/") {}

CFrameMsgMgr::~CFrameMsgMgr() = default;

bool CFrameMsgMgr::Create() {
    CreateParams params;
    params.title = kCaption;
    params.rect = os::Rect::FromSize(0, 0, kFrameWidth, kFrameHeight);
    params.visible = true;
    if (!os::Window::Create(params)) return false;
    AddControl(std::make_unique<os::TreeControl>(id::kNavigationTree));
    auto* list = AddControl(std::make_unique<os::ListControl>(id::kMessageList));
    AddControl(std::make_unique<os::Edit>(id::kSearchBox))->SetText(kSearchHint);
    AddControl(std::make_unique<os::Button>(id::kSearchButton, "查找"));
    auto* pages = AddControl(std::make_unique<os::ComboBox>(id::kPageSelector));
    auto* label = AddControl(std::make_unique<os::Label>(id::kPageLabel));
    for (const Command& command : kGeneralToolbar) {
        AddControl(std::make_unique<os::Button>(command.id, command.text));
    }
    for (const Command& command : kViewMenu) {
        AddControl(std::make_unique<os::Button>(command.id, command.text));
    }
    const std::optional<std::string> folder = context_.CurrentUserFolder();
    const int pageSize = folder ? LoadCountPerPage(*folder, context_.log) : kDefaultCountPerPage;
    view_ = std::make_unique<MessageListView>(
        context_, *list, *pages, *label, [this](const std::string& jid) { return NameOf(jid); },
        pageSize);
    BuildNavigationTree();
    view_->Load(MessageSource::All);
    return true;
}

std::string CFrameMsgMgr::NameOf(const std::string& jid) const {
    if (jid.empty()) return jid;
    if (platform::Jid::Equal(jid, context_.session.GetCurrentUserJID(), platform::JidMatch::Loose,
                             {})) {
        const std::string nickname = context_.session.GetCurrentUserNickName();
        return nickname.empty() ? jid : nickname;
    }
    if (contacts::CUser* user = trees_.FindUser(jid, platform::JidMatch::Loose)) {
        const std::string name = user->ShownName();
        if (!name.empty()) return name;
    }
    return jid;
}

void CFrameMsgMgr::BuildNavigationTree() {
    auto* tree = GetControl<os::TreeControl>(id::kNavigationTree);
    tree->DeleteAllItems();
    targets_.clear();
    const os::TreeItem contacts = tree->InsertItem(kContactsRoot);
    AddContactSections(contacts);
    const os::TreeItem categories = tree->InsertItem(kCategoriesRoot);
    for (const Category& category : kCategories) {
        targets_.push_back({category.source, {}});
        const os::TreeItem node = tree->InsertItem(category.label, 0, 0, categories);
        tree->SetItemData(node, static_cast<std::uint32_t>(targets_.size()));
    }
    // Opened all the way down: every node is one click away.
    std::vector<os::TreeItem> nodes;
    tree->ForEachItem([&](os::TreeItem item, int) { nodes.push_back(item); });
    for (os::TreeItem node : nodes) tree->Expand(node, os::ExpandAction::Expand);
}

void CFrameMsgMgr::AddContactSections(os::TreeItem root) {
    auto* tree = GetControl<os::TreeControl>(id::kNavigationTree);
    auto addUser = [&](os::TreeItem parent, const std::string& name, const std::string& jid) {
        targets_.push_back({MessageSource::Contact, jid});
        const os::TreeItem node = tree->InsertItem(name, 0, 0, parent);
        tree->SetItemData(node, static_cast<std::uint32_t>(targets_.size()));
    };
    for (contacts::CIMTree* section : trees_.trees()) {
        for (os::TreeItem group = section->GetChild(os::kTreeRoot); group != 0;
             group = section->GetNextSibling(group)) {
            const std::string title = section->GetItemText(group);
            const os::TreeItem copy = tree->InsertItem(title, 0, 0, root);
            std::vector<contacts::CUser*> users;
            section->CollectUsers(group, users);
            for (contacts::CUser* user : users) addUser(copy, user->ShownName(), user->GetJid());
            if (title.starts_with(kDutyRoomSection)) AddVisitors(copy);
        }
    }
}

void CFrameMsgMgr::AddVisitors(os::TreeItem dutyRoom) {
    std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    if (db == nullptr) return;
    std::vector<std::string> senders;
    const bool ok = db->GetMsgWeb(
        [&](const MsgFields& fields) {
            if (IsMsgEndMark(fields)) return;
            const std::string& sender = fields[msg_field::kFrom];
            for (const std::string& known : senders) {
                if (platform::Jid::Equal(known, sender, platform::JidMatch::Loose, {})) return;
            }
            senders.push_back(sender);
        },
        -1);
    if (!ok) {
        context_.log.WriteLog("CFrameMsgMgr: 读取访客消息失败 " + db->GetErrorInfo());
        return;
    }
    auto* tree = GetControl<os::TreeControl>(id::kNavigationTree);
    const os::TreeItem visitors = tree->InsertItem(kVisitorNode, 0, 0, dutyRoom);
    for (const std::string& sender : senders) {
        targets_.push_back({MessageSource::Contact, sender});
        const os::TreeItem node = tree->InsertItem(sender, 0, 0, visitors);
        tree->SetItemData(node, static_cast<std::uint32_t>(targets_.size()));
    }
}

os::TreeItem CFrameMsgMgr::CategoryNode(MessageSource source) const {
    const auto* tree = GetControl<os::TreeControl>(id::kNavigationTree);
    os::TreeItem found = 0;
    tree->ForEachItem([&](os::TreeItem item, int) {
        const std::uint32_t data = tree->GetItemData(item);
        if (found == 0 && data > 0 && data <= targets_.size() &&
            targets_[data - 1].source == source && source != MessageSource::Contact) {
            found = item;
        }
    });
    return found;
}

os::TreeItem CFrameMsgMgr::ContactNode(const std::string& jid) const {
    const auto* tree = GetControl<os::TreeControl>(id::kNavigationTree);
    os::TreeItem found = 0;
    tree->ForEachItem([&](os::TreeItem item, int) {
        const std::uint32_t data = tree->GetItemData(item);
        if (found == 0 && data > 0 && data <= targets_.size() &&
            targets_[data - 1].source == MessageSource::Contact &&
            platform::Jid::Equal(targets_[data - 1].jid, jid, platform::JidMatch::Loose, {})) {
            found = item;
        }
    });
    return found;
}

void CFrameMsgMgr::OnNodeSelected(os::TreeItem node) {
    const std::uint32_t data = GetControl<os::TreeControl>(id::kNavigationTree)->GetItemData(node);
    if (data == 0 || data > targets_.size()) return;
    const NodeTarget target = targets_[data - 1];
    view_->Load(target.source, target.jid);
}

void CFrameMsgMgr::Search() {
    auto* box = GetControl<os::Edit>(id::kSearchBox);
    const std::string keyword = box->Text();
    if (keyword.empty() || keyword == kSearchHint) {
        box->SetText(kSearchHint);
        return;
    }
    view_->Load(MessageSource::Search, keyword);
}

void CFrameMsgMgr::Export(int command) {
    std::vector<std::size_t> indexes;
    if (command == id::kExportSelected) {
        indexes = view_->SelectedIndexes();
        if (indexes.empty()) return;
    } else if (command == id::kExportList) {
        for (std::size_t i = 0; i < view_->rows().size(); ++i) indexes.push_back(i);
    }
    os::FileDialogRequest request;
    request.owner = hwnd();
    request.filter = "消息文件(*.txt)|*.txt||";
    request.defaultExtension = "txt";
    request.defaultName = context_.session.GetCurrentUserNickName() + "消息记录.txt";
    const std::optional<std::string> path = context_.prompter.SaveFile(request);
    if (!path) return;
    if (command == id::kExportAll) {
        view_->ExportAllMessages(*path);
    } else {
        view_->ExportRows(*path, indexes);
    }
}

void CFrameMsgMgr::PrintCommand(int command) {
    if (command == id::kPrintSetup) {
        printer_.PrintSetup(hwnd());
        return;
    }
    printer_.ClearAll();
    for (const CPrintMessage& message : view_->RowsToPrint()) printer_.AddMessage(message);
    if (command == id::kPrintPreview) {
        printer_.PreView(hwnd());
    } else {
        printer_.Print(hwnd());
    }
    printer_.ClearAll();
}

void CFrameMsgMgr::ToggleBar(int command) {
    std::vector<int> bar;
    if (command == id::kShowNavigationBar) bar = {id::kNavigationTree};
    if (command == id::kShowSearchToolbar) bar = {id::kSearchBox, id::kSearchButton};
    if (command == id::kShowGeneralToolbar) {
        for (const Command& entry : kGeneralToolbar) bar.push_back(entry.id);
    }
    for (int control : bar) {
        os::Control* found = FindControl(control);
        found->SetVisible(!found->visible());
    }
}

void CFrameMsgMgr::OnCommand(int command) {
    switch (command) {
        case id::kSearchButton:
            Search();
            return;
        case id::kExportList:
        case id::kExportSelected:
        case id::kExportAll:
            Export(command);
            return;
        case id::kDeleteSelected:
            view_->DeleteSelected(hwnd());
            return;
        case id::kDeleteList:
            view_->DeleteList(hwnd());
            return;
        case id::kDeleteAll:
            view_->DeleteAll(hwnd());
            return;
        case id::kToggleHandled:
            view_->ToggleHandled(hwnd());
            return;
        case id::kFirstPage:
            view_->ShowPage(1);
            return;
        case id::kPreviousPage:
            view_->ShowPage(view_->currentPage() - 1);
            return;
        case id::kNextPage:
            view_->ShowPage(view_->currentPage() + 1);
            return;
        case id::kLastPage:
            view_->ShowPage(view_->pageCount());
            return;
        case id::kPrintSetup:
        case id::kPrintPreview:
        case id::kPrint:
            PrintCommand(command);
            return;
        case id::kShowNavigationBar:
        case id::kShowGeneralToolbar:
        case id::kShowSearchToolbar:
            ToggleBar(command);
            return;
        default:
            return;
    }
}

os::LRESULT CFrameMsgMgr::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_COMMAND) {
        const int control = os::LOWORD(wParam);
        const int code = os::HIWORD(wParam);
        if (control == id::kPageSelector && code == os::notify::kSelChange) {
            view_->ShowPage(GetControl<os::ComboBox>(id::kPageSelector)->GetCurSel() + 1);
            return 0;
        }
        if (code == os::notify::kClicked && view_) {
            OnCommand(control);
            return 0;
        }
    }
    if (message == os::WM_NOTIFY) {
        const auto* note = os::FromLParam<const os::ControlNotification>(lParam);
        if (note != nullptr && note->controlId == id::kNavigationTree &&
            note->code == os::notify::kTreeSelChanged && view_) {
            OnNodeSelected(static_cast<os::TreeItem>(note->item));
            return 0;
        }
    }
    return DefWindowProc(message, wParam, lParam);
}

}  // namespace history
