#include "chat/dlg_contact_picker.h"

#include <algorithm>
#include <unordered_set>

#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "os/controls/button.h"
#include "os/controls/label.h"
#include "os/controls/list_control.h"
#include "os/prompt/prompter.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"

namespace {

constexpr int kPickerWidth = 460;
constexpr int kPickerHeight = 360;
constexpr int kNameColumnWidth = 90;
constexpr int kJidColumnWidth = 110;

void AddColumns(os::ListControl& list) {
    list.InsertColumn(0, "姓名", kNameColumnWidth);
    list.InsertColumn(1, "帐号", kJidColumnWidth);
}

}  // namespace

namespace chat {

std::vector<PickableContact> PickableContacts(const contacts::ContactTrees& trees,
                                              std::string_view ownJid) {
    std::vector<PickableContact> offered;
    std::unordered_set<std::string> seen;
    if (!ownJid.empty()) seen.insert(platform::Jid(ownJid).ExactKey());
    for (contacts::CIMTree* tree : trees.trees()) {
        std::vector<contacts::CUser*> users;
        tree->CollectUsers(os::kTreeRoot, users);
        for (const contacts::CUser* user : users) {
            if (tree->IsSmsRecipient(*user)) continue;
            if (!seen.insert(platform::Jid(user->GetJid()).ExactKey()).second) continue;
            offered.push_back({user->GetJid(), user->ShownName()});
        }
    }
    return offered;
}

std::optional<std::vector<ChatCommands::PickedContact>> PickContactsFromTrees(
    core::ClientContext& context, const contacts::ContactTrees* trees, const std::string& title,
    os::HWND owner) {
    std::vector<PickableContact> offered;
    if (trees != nullptr) offered = PickableContacts(*trees, context.session.GetCurrentUserJID());
    CDlgContactPicker picker(context, title, std::move(offered));
    if (!picker.Create(owner)) return std::nullopt;
    if (context.prompter.DoModal(picker) != os::IDOK) return std::nullopt;
    std::vector<ChatCommands::PickedContact> picked;
    for (const PickableContact& contact : picker.chosen()) {
        // The presence now, not when the picker opened: the trees may have moved on.
        const contacts::CUser* user =
            trees != nullptr ? trees->FindUser(contact.jid, platform::JidMatch::Exact) : nullptr;
        picked.push_back({contact.jid, contact.name,
                          user != nullptr ? std::string(user->presence()) : "offline"});
    }
    return picked;
}

}  // namespace chat

CDlgContactPicker::CDlgContactPicker(core::ClientContext& context, std::string title,
                                     std::vector<chat::PickableContact> offered)
    : os::Window(context.windows),
      context_(context),
      title_(std::move(title)),
      offered_(std::move(offered)) {}

bool CDlgContactPicker::Create(os::HWND owner) {
    CreateParams params;
    params.title = title_;
    params.owner = owner;
    params.rect = os::Rect::FromSize(0, 0, kPickerWidth, kPickerHeight);
    if (!os::Window::Create(params)) return false;
    AddControl(std::make_unique<os::Label>(os::IDC_STATIC, "联系人"));
    auto* offered = AddControl(std::make_unique<os::ListControl>(kOfferedListId));
    offered->SetSingleSelection(true);
    AddColumns(*offered);
    for (std::size_t row = 0; row < offered_.size(); ++row) {
        const int at = offered->InsertItem(static_cast<int>(row), offered_[row].name, -1,
                                           static_cast<std::uint32_t>(row));
        offered->SetItemText(at, 1, offered_[row].jid);
    }
    AddControl(std::make_unique<os::Button>(kAddButtonId, "添加"));
    AddControl(std::make_unique<os::Button>(kRemoveButtonId, "移除"));
    AddControl(std::make_unique<os::Label>(os::IDC_STATIC, "已选择的联系人"));
    auto* chosen = AddControl(std::make_unique<os::ListControl>(kChosenListId));
    chosen->SetSingleSelection(true);
    AddColumns(*chosen);
    AddControl(std::make_unique<os::Button>(os::IDOK, "确定"));
    AddControl(std::make_unique<os::Button>(os::IDCANCEL, "取消"));
    return true;
}

os::LRESULT CDlgContactPicker::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_COMMAND && os::HIWORD(wParam) == os::notify::kClicked) {
        switch (os::LOWORD(wParam)) {
            case kAddButtonId:
                AddSelected();
                return 0;
            case kRemoveButtonId:
                RemoveSelected();
                return 0;
            case os::IDOK:
                context_.prompter.EndDialog(hwnd(), os::IDOK);
                return 0;
            case os::IDCANCEL:
                context_.prompter.EndDialog(hwnd(), os::IDCANCEL);
                return 0;
            default:
                break;
        }
    }
    if (message == os::WM_NOTIFY) {
        const auto* note = os::FromLParam<const os::ControlNotification>(lParam);
        if (note != nullptr && note->controlId == kOfferedListId &&
            note->code == os::notify::kDoubleClick) {
            Choose(static_cast<int>(note->item));
            return 0;
        }
    }
    return DefWindowProc(message, wParam, lParam);
}

void CDlgContactPicker::AddSelected() {
    auto* offered = GetControl<os::ListControl>(kOfferedListId);
    Choose(offered->GetNextSelected());
}

void CDlgContactPicker::Choose(int offeredRow) {
    auto* offered = GetControl<os::ListControl>(kOfferedListId);
    if (offeredRow < 0 || offeredRow >= offered->GetItemCount()) return;
    const chat::PickableContact& contact = offered_.at(offered->GetItemData(offeredRow));
    const bool already = std::any_of(chosen_.begin(), chosen_.end(),
                                     [&](const auto& c) { return c.jid == contact.jid; });
    if (already) return;
    chosen_.push_back(contact);
    FillChosenList();
}

void CDlgContactPicker::RemoveSelected() {
    auto* chosen = GetControl<os::ListControl>(kChosenListId);
    const int row = chosen->GetNextSelected();
    if (row < 0 || row >= static_cast<int>(chosen_.size())) return;
    chosen_.erase(chosen_.begin() + row);
    FillChosenList();
}

void CDlgContactPicker::FillChosenList() {
    auto* chosen = GetControl<os::ListControl>(kChosenListId);
    chosen->DeleteAllItems();
    for (std::size_t row = 0; row < chosen_.size(); ++row) {
        const int at = chosen->InsertItem(static_cast<int>(row), chosen_[row].name);
        chosen->SetItemText(at, 1, chosen_[row].jid);
    }
}
