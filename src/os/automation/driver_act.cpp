// Acting on controls as a person does. Every control operation here may run the window's
// handler, which may change or destroy the window, so nothing found before such a call is
// touched after it: a later step looks the window and control up again.

#include "os/automation/driver_impl.h"
#include "os/controls/button.h"
#include "os/controls/check_box.h"
#include "os/controls/combo_box.h"
#include "os/controls/edit.h"
#include "os/controls/list_control.h"
#include "os/controls/rich_edit.h"
#include "os/controls/tree_control.h"
#include "os/controls/web_view.h"

namespace qorvdesk::automation {

namespace {

// CBN_EDITCHANGE: a person changed the text in a drop-down combo's edit field.
constexpr int kComboEditChange = 5;

}  // namespace

bool Driver::Click(WindowHandle window, int controlId) {
    os::Control* control = impl_->ControlToActOn(window, controlId);
    if (!control) return false;
    auto* button = dynamic_cast<os::Button*>(control);
    auto* box = dynamic_cast<os::CheckBox*>(control);
    if (!button && !box) return impl_->Fail(Impl::Describe(*control) + " cannot be clicked");
    impl_->Succeed();
    impl_->BringToFront(window);
    return button ? button->Click() : box->Click();
}

bool Driver::TypeText(WindowHandle window, int controlId, std::string_view text) {
    return impl_->Type(window, controlId, text, Impl::TypeAt::ReplaceAll);
}

bool Driver::AppendText(WindowHandle window, int controlId, std::string_view text) {
    return impl_->Type(window, controlId, text, Impl::TypeAt::End);
}

// Typing into an edit, a rich edit or a drop-down combo's edit field, after a click into it.
bool Driver::Impl::Type(WindowHandle window, int controlId, std::string_view text, TypeAt at) {
    os::Control* control = ControlToActOn(window, controlId);
    if (!control) return false;
    const std::string name = Describe(*control);
    auto* edit = dynamic_cast<os::Edit*>(control);
    auto* rich = dynamic_cast<os::RichEdit*>(control);
    auto* combo = dynamic_cast<os::ComboBox*>(control);
    if ((edit && edit->readOnly()) || (rich && rich->readOnly())) {
        return Fail(name + " is read-only");
    }
    if (combo && combo->style() != os::ComboStyle::DropDown) {
        return Fail(name + " has no edit field: choose one of its items");
    }
    if (!edit && !rich && !combo) return Fail(name + " does not take typing");

    Succeed();
    BringToFront(window);
    system->FromHandle(os::HWND(window))->SetFocus(controlId);
    bool whole = true;
    if (edit) {
        const int end = edit->GetTextLength();
        at == TypeAt::ReplaceAll ? edit->SetSel(0, -1) : edit->SetSel(end, end);
        whole = edit->TypeText(text);
    } else if (rich) {
        at == TypeAt::ReplaceAll ? rich->SetSel(0, -1) : rich->SetSel(-1, -1);
        whole = rich->TypeText(text);
    } else {
        std::string content =
            at == TypeAt::ReplaceAll ? std::string(text) : combo->Text() + std::string(text);
        combo->SetText(std::move(content));
        // The model raises nothing when its text is set; a person's typing does.
        os::ControlNotification note{controlId, kComboEditChange, 0, {}};
        system->SendMessage(os::HWND(window), os::WM_COMMAND,
                            os::MAKEWPARAM(static_cast<std::uint32_t>(controlId), kComboEditChange),
                            os::ToLParam(&note));
    }
    if (!whole) return Fail(name + " took only the part of the text within its limit");
    return true;
}

bool Driver::ChooseCombo(WindowHandle window, int controlId, int index) {
    auto* combo = impl_->ActOn<os::ComboBox>(window, controlId, "a combo box");
    if (!combo) return false;
    if (index < 0 || index >= combo->GetCount()) {
        return impl_->Fail(Impl::Describe(*combo) + " has no item " + std::to_string(index));
    }
    impl_->Succeed();
    impl_->BringToFront(window);
    return combo->Select(index);
}

bool Driver::ChooseCombo(WindowHandle window, int controlId, std::string_view text) {
    auto* combo = impl_->ActOn<os::ComboBox>(window, controlId, "a combo box");
    if (!combo) return false;
    for (int i = 0; i < combo->GetCount(); ++i) {
        if (combo->GetLBText(i) == text) {
            impl_->Succeed();
            impl_->BringToFront(window);
            return combo->Select(i);
        }
    }
    return impl_->Fail(Impl::Describe(*combo) + " has no item with the text asked for");
}

bool Driver::SelectTreeItem(WindowHandle window, int controlId, TreeItemHandle item) {
    os::TreeControl* tree = impl_->TreeToActOn(window, controlId, item);
    if (!tree) return false;
    impl_->Succeed();
    impl_->BringToFront(window);
    // A click on an item gives its tree the keyboard focus.
    impl_->system->FromHandle(os::HWND(window))->SetFocus(controlId);
    return tree->Select(item);
}

// Expanding or collapsing by a click on the item's button: only an item with children has
// one, and it shows the action that changes the item.
bool Driver::Impl::ExpandOrCollapse(WindowHandle window, int controlId, TreeItemHandle item,
                                    os::ExpandAction action) {
    os::TreeControl* tree = TreeToActOn(window, controlId, item);
    if (!tree) return false;
    const std::string name = "item " + std::to_string(item) + " of " + Describe(*tree);
    if (!tree->ItemHasChildren(item)) return Fail(name + " has no children");
    const bool expand = action == os::ExpandAction::Expand;
    if (tree->IsExpanded(item) == expand) {
        return Fail(name + (expand ? " is already expanded" : " is already collapsed"));
    }
    Succeed();
    BringToFront(window);
    return tree->Expand(item, action);
}

bool Driver::ExpandTreeItem(WindowHandle window, int controlId, TreeItemHandle item) {
    return impl_->ExpandOrCollapse(window, controlId, item, os::ExpandAction::Expand);
}

bool Driver::CollapseTreeItem(WindowHandle window, int controlId, TreeItemHandle item) {
    return impl_->ExpandOrCollapse(window, controlId, item, os::ExpandAction::Collapse);
}

bool Driver::DoubleClickTreeItem(WindowHandle window, int controlId, TreeItemHandle item) {
    os::TreeControl* tree = impl_->TreeToActOn(window, controlId, item);
    if (!tree) return false;
    impl_->BringToFront(window);
    tree->Select(item);  // the first click
    // Its handler may have closed the window or changed the tree.
    if (!impl_->TreeToActOn(window, controlId, item)) return false;
    os::ControlNotification note{
        controlId, os::notify::kDoubleClick, static_cast<std::int64_t>(item), {}};
    const os::LRESULT kept = impl_->system->SendMessage(
        os::HWND(window), os::WM_NOTIFY,
        static_cast<os::WPARAM>(static_cast<std::int64_t>(controlId)), os::ToLParam(&note));
    impl_->Succeed();
    if (kept != 0) return true;
    // The tree's own handling of a double click: open or shut an item with children.
    tree = impl_->Read<os::TreeControl>(window, controlId, "a tree");  // null once closed
    impl_->Succeed();
    if (tree && tree->IsValid(item) && tree->ItemHasChildren(item)) {
        tree->Expand(item, os::ExpandAction::Toggle);
    }
    return true;
}

bool Driver::SelectListRow(WindowHandle window, int controlId, int row) {
    auto* list = impl_->ActOn<os::ListControl>(window, controlId, "a list");
    if (!list) return false;
    if (row < 0 || row >= list->GetItemCount()) {
        return impl_->Fail(Impl::Describe(*list) + " has no row " + std::to_string(row));
    }
    impl_->Succeed();
    impl_->BringToFront(window);
    return list->SelectRow(row, os::SelectAction::Replace);
}

bool Driver::DoubleClickListRow(WindowHandle window, int controlId, int row) {
    if (!SelectListRow(window, controlId, row)) return false;
    auto* list = impl_->ActOn<os::ListControl>(window, controlId, "a list");
    if (!list) return false;
    if (row >= list->GetItemCount()) {
        return impl_->Fail(Impl::Describe(*list) + " has no row " + std::to_string(row));
    }
    impl_->Succeed();
    return list->DoubleClick(row);
}

bool Driver::ClickLink(WindowHandle window, int controlId, int position) {
    auto* edit = impl_->ActOn<os::RichEdit>(window, controlId, "a rich edit");
    if (!edit) return false;
    if (!edit->LinkAt(position)) {
        return impl_->Fail(Impl::Describe(*edit) + " has no link at position " +
                           std::to_string(position));
    }
    impl_->Succeed();
    impl_->BringToFront(window);
    return edit->ClickAt(position);
}

bool Driver::ClickLink(WindowHandle window, int controlId, std::string_view linkText) {
    auto* edit = impl_->ActOn<os::RichEdit>(window, controlId, "a rich edit");
    if (!edit) return false;
    std::optional<int> found;
    edit->ForEachSegment(0, -1, [&](const os::RichSegment& segment) {
        if (found || !segment.format.Has(os::char_effect::kLink)) return;
        std::optional<os::LinkRange> link = edit->LinkAt(segment.start);
        if (link && link->text == linkText) found = link->start;
    });
    if (!found) return impl_->Fail(Impl::Describe(*edit) + " has no link with the text asked for");
    impl_->Succeed();
    impl_->BringToFront(window);
    return edit->ClickAt(*found);
}

bool Driver::ReportPageEvent(WindowHandle window, int controlId, std::string_view name,
                             std::string_view value) {
    auto* view = impl_->ActOn<os::WebView>(window, controlId, "a web view");
    if (!view) return false;
    impl_->Succeed();
    view->ReportFromPage(std::string(name), std::string(value));
    return true;
}

std::optional<ScriptValue> Driver::CallPageObject(WindowHandle window, int controlId,
                                                  std::string_view callerOrigin,
                                                  std::string_view method,
                                                  const std::vector<ScriptValue>& arguments) {
    auto* view = impl_->ActOn<os::WebView>(window, controlId, "a web view");
    if (!view) return std::nullopt;
    impl_->Succeed();
    std::vector<os::ScriptArgument> in;
    for (const ScriptValue& value : arguments) {
        in.push_back(value.isInteger ? os::ScriptArgument::Of(value.integer)
                                     : os::ScriptArgument::Of(value.text));
    }
    std::optional<os::ScriptArgument> out =
        view->CallFromPage(callerOrigin, std::string(method), in);
    if (!out) return std::nullopt;
    return ScriptValue{out->type == os::ScriptArgument::Type::Integer, out->text, out->integer};
}

bool Driver::PressKey(WindowHandle window, std::uint32_t virtualKey, KeyModifier modifier) {
    if (!impl_->WindowToActOn(window)) return false;
    impl_->Succeed();
    impl_->BringToFront(window);
    os::UINT held = 0;
    switch (modifier) {
        case KeyModifier::None:
            break;
        case KeyModifier::Alt:
            held = os::MOD_ALT;
            break;
        case KeyModifier::Ctrl:
            held = os::MOD_CONTROL;
            break;
        case KeyModifier::Shift:
            held = os::MOD_SHIFT;
            break;
    }
    return impl_->system->PostKey(os::HWND(window), virtualKey, held);
}

bool Driver::PressHotKey(std::uint32_t modifiers, std::uint32_t virtualKey) {
    if (!impl_->system->PressHotKey(modifiers, virtualKey)) {
        return impl_->Fail("no hot key is registered for that key combination");
    }
    impl_->Succeed();
    return true;
}

bool Driver::Close(WindowHandle window) {
    if (!impl_->WindowToActOn(window)) return false;
    impl_->Succeed();
    impl_->BringToFront(window);
    impl_->system->SendMessage(os::HWND(window), os::WM_SYSCOMMAND, os::SC_CLOSE);
    return true;
}

std::string OriginOf(std::string_view url) { return os::OriginOf(url); }

}  // namespace qorvdesk::automation
