// Reading controls.

#include <algorithm>

#include "os/automation/driver_impl.h"
#include "os/automation/rich_text_reader.h"
#include "os/automation/tree_snapshot.h"
#include "os/controls/check_box.h"
#include "os/controls/combo_box.h"
#include "os/controls/list_control.h"
#include "os/controls/progress_bar.h"
#include "os/controls/rich_edit.h"
#include "os/controls/tree_control.h"
#include "os/controls/web_view.h"

namespace qorvdesk::automation {

namespace {

ControlInfo InfoOf(const os::Control& control) {
    ControlInfo info;
    info.id = control.id();
    info.kind = PublicKind(control.kind());
    info.text = ShownText(control);
    info.visible = control.visible();
    info.enabled = control.enabled();
    const os::Rect& r = control.rect();
    info.rect = Rect{r.left, r.top, r.right, r.bottom};
    return info;
}

}  // namespace

std::vector<ControlInfo> Driver::Controls(WindowHandle window) {
    std::vector<ControlInfo> list;
    os::Window* object = impl_->WindowToRead(window);
    if (!object) return list;
    for (const os::Control* control : object->Controls()) list.push_back(InfoOf(*control));
    impl_->Succeed();
    return list;
}

std::optional<ControlInfo> Driver::DescribeControl(WindowHandle window, int controlId) {
    const os::Control* control = impl_->ControlToRead(window, controlId);
    if (!control) return std::nullopt;
    impl_->Succeed();
    return InfoOf(*control);
}

std::optional<std::string> Driver::Text(WindowHandle window, int controlId) {
    const os::Control* control = impl_->ControlToRead(window, controlId);
    if (!control) return std::nullopt;
    impl_->Succeed();
    return ShownText(*control);
}

std::optional<bool> Driver::IsChecked(WindowHandle window, int controlId) {
    const auto* box = impl_->Read<os::CheckBox>(window, controlId, "a check box");
    if (!box) return std::nullopt;
    impl_->Succeed();
    return box->checked();
}

std::optional<std::vector<std::string>> Driver::ComboItems(WindowHandle window, int controlId) {
    const auto* combo = impl_->Read<os::ComboBox>(window, controlId, "a combo box");
    if (!combo) return std::nullopt;
    std::vector<std::string> items;
    for (int i = 0; i < combo->GetCount(); ++i) items.push_back(combo->GetLBText(i));
    impl_->Succeed();
    return items;
}

std::optional<int> Driver::ComboSelection(WindowHandle window, int controlId) {
    const auto* combo = impl_->Read<os::ComboBox>(window, controlId, "a combo box");
    if (!combo) return std::nullopt;
    impl_->Succeed();
    return combo->GetCurSel();
}

std::optional<std::vector<std::string>> Driver::ListColumns(WindowHandle window, int controlId) {
    const auto* list = impl_->Read<os::ListControl>(window, controlId, "a list");
    if (!list) return std::nullopt;
    std::vector<std::string> headers;
    for (int i = 0; i < list->GetColumnCount(); ++i) headers.push_back(list->GetColumn(i).header);
    impl_->Succeed();
    return headers;
}

std::optional<std::vector<ListRow>> Driver::ListRows(WindowHandle window, int controlId) {
    const auto* list = impl_->Read<os::ListControl>(window, controlId, "a list");
    if (!list) return std::nullopt;
    // A list without inserted columns still shows column 0.
    const int columns = std::max(1, list->GetColumnCount());
    std::vector<ListRow> rows;
    rows.reserve(static_cast<std::size_t>(list->GetItemCount()));
    for (int r = 0; r < list->GetItemCount(); ++r) {
        ListRow row;
        for (int c = 0; c < columns; ++c) row.texts.push_back(list->GetItemText(r, c));
        row.data = list->GetItemData(r);
        row.selected = list->IsSelected(r);
        row.checked = list->GetCheck(r);
        rows.push_back(std::move(row));
    }
    impl_->Succeed();
    return rows;
}

std::optional<std::vector<TreeNode>> Driver::TreeItems(WindowHandle window, int controlId) {
    const auto* tree = impl_->Read<os::TreeControl>(window, controlId, "a tree");
    if (!tree) return std::nullopt;
    impl_->Succeed();
    return SnapshotTree(*tree);
}

TreeItemHandle Driver::FindTreeItem(WindowHandle window, int controlId, std::string_view text) {
    const auto* tree = impl_->Read<os::TreeControl>(window, controlId, "a tree");
    if (!tree) return 0;
    os::TreeItem item = FindItemByText(*tree, text);
    if (item == os::kNoTreeItem) {
        impl_->Fail("no item of the tree has the text asked for");
        return 0;
    }
    impl_->Succeed();
    return item;
}

TreeItemHandle Driver::FindTreeItemByPath(WindowHandle window, int controlId,
                                          const std::vector<std::string>& path) {
    const auto* tree = impl_->Read<os::TreeControl>(window, controlId, "a tree");
    if (!tree) return 0;
    os::TreeItem item = FindItemByPath(*tree, path);
    if (item == os::kNoTreeItem) {
        impl_->Fail("the path leads to no item of the tree");
        return 0;
    }
    impl_->Succeed();
    return item;
}

std::optional<RichText> Driver::ReadRichText(WindowHandle window, int controlId) {
    const auto* edit = impl_->Read<os::RichEdit>(window, controlId, "a rich edit");
    if (!edit) return std::nullopt;
    impl_->Succeed();
    return ReadRichEdit(*edit);
}

std::optional<int> Driver::ProgressPosition(WindowHandle window, int controlId) {
    const auto* bar = impl_->Read<os::ProgressBar>(window, controlId, "a progress bar");
    if (!bar) return std::nullopt;
    impl_->Succeed();
    return bar->GetPos();
}

std::optional<WebPage> Driver::ReadWebPage(WindowHandle window, int controlId) {
    const auto* view = impl_->Read<os::WebView>(window, controlId, "a web view");
    if (!view) return std::nullopt;
    WebPage page{view->page(), {}, view->selection(), view->scriptOrigin()};
    for (const os::ScriptCall& call : view->calls()) {
        PageScriptCall& out = page.calls.emplace_back();
        out.sequence = call.sequence;
        out.method = call.method;
        for (const os::ScriptArgument& argument : call.arguments) {
            out.arguments.push_back({argument.type == os::ScriptArgument::Type::Integer,
                                     argument.text, argument.integer});
        }
    }
    impl_->Succeed();
    return page;
}

std::optional<int> Driver::FocusedControl(WindowHandle window) {
    const os::Window* object = impl_->WindowToRead(window);
    if (!object) return std::nullopt;
    impl_->Succeed();
    return object->GetFocus();
}

}  // namespace qorvdesk::automation
