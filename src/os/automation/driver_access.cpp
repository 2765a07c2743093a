#include <string>

#include "os/automation/driver_impl.h"
#include "os/automation/tree_snapshot.h"
#include "os/controls/edit.h"

namespace qorvdesk::automation {

namespace {

std::string HandleText(WindowHandle window) { return "window " + std::to_string(window); }

}  // namespace

const char* KindName(os::ControlKind kind) {
    switch (kind) {
        case os::ControlKind::Label:
            return "label";
        case os::ControlKind::Edit:
            return "edit";
        case os::ControlKind::Button:
            return "button";
        case os::ControlKind::CheckBox:
            return "check box";
        case os::ControlKind::ComboBox:
            return "combo box";
        case os::ControlKind::ProgressBar:
            return "progress bar";
        case os::ControlKind::List:
            return "list";
        case os::ControlKind::Tree:
            return "tree";
        case os::ControlKind::RichEdit:
            return "rich edit";
        case os::ControlKind::WebView:
            return "web view";
    }
    return "control";
}

ControlKind PublicKind(os::ControlKind kind) {
    switch (kind) {
        case os::ControlKind::Label:
            return ControlKind::Label;
        case os::ControlKind::Edit:
            return ControlKind::Edit;
        case os::ControlKind::Button:
            return ControlKind::Button;
        case os::ControlKind::CheckBox:
            return ControlKind::CheckBox;
        case os::ControlKind::ComboBox:
            return ControlKind::ComboBox;
        case os::ControlKind::ProgressBar:
            return ControlKind::ProgressBar;
        case os::ControlKind::List:
            return ControlKind::List;
        case os::ControlKind::Tree:
            return ControlKind::Tree;
        case os::ControlKind::RichEdit:
            return ControlKind::RichEdit;
        case os::ControlKind::WebView:
            return ControlKind::WebView;
    }
    return ControlKind::Label;
}

std::string ShownText(const os::Control& control) {
    if (const auto* edit = dynamic_cast<const os::Edit*>(&control)) return edit->DisplayText();
    return control.Text();
}

std::string Driver::Impl::Describe(const os::Control& control) {
    return "control " + std::to_string(control.id()) + " (" + KindName(control.kind()) + ")";
}

bool Driver::Impl::Fail(std::string why) {
    lastError = std::move(why);
    return false;
}

WindowInfo Driver::Impl::InfoOf(os::HWND hwnd) const {
    WindowInfo info;
    info.handle = hwnd.value();
    info.className = system->GetClassName(hwnd);
    info.title = system->GetWindowText(hwnd);
    info.visible = system->IsWindowVisible(hwnd);
    info.enabled = system->IsWindowEnabled(hwnd);
    info.minimized = system->IsIconic(hwnd);
    os::Rect rect = system->GetWindowRect(hwnd);
    info.rect = Rect{rect.left, rect.top, rect.right, rect.bottom};
    info.parent = system->GetParent(hwnd).value();
    info.owner = system->GetOwner(hwnd).value();
    return info;
}

os::Window* Driver::Impl::WindowToRead(WindowHandle window) {
    os::HWND hwnd(window);
    if (!system->IsWindow(hwnd)) {
        Fail(HandleText(window) + " does not exist");
        return nullptr;
    }
    // Another thread may destroy its window at any moment; only its own thread may look in.
    if (!system->IsOwnedByCallingThread(hwnd)) {
        Fail(HandleText(window) + " belongs to another thread");
        return nullptr;
    }
    os::Window* object = system->FromHandle(hwnd);
    if (!object) Fail(HandleText(window) + " does not exist");
    return object;
}

os::Window* Driver::Impl::WindowToActOn(WindowHandle window) {
    os::Window* object = WindowToRead(window);
    if (!object) return nullptr;
    os::HWND hwnd(window);
    if (!system->IsWindowVisible(hwnd)) {
        Fail(HandleText(window) + " is hidden");
        return nullptr;
    }
    for (os::HWND at = hwnd; at; at = system->GetParent(at)) {
        if (!system->IsWindowEnabled(at)) {
            Fail(at == hwnd ? HandleText(window) + " is disabled"
                            : HandleText(window) + " sits in disabled " + HandleText(at.value()));
            return nullptr;
        }
        if (system->IsIconic(at)) {
            Fail(HandleText(window) + " is minimised");
            return nullptr;
        }
    }
    return object;
}

void Driver::Impl::BringToFront(WindowHandle window) {
    system->SetForegroundWindow(os::HWND(window));  // it climbs to the top-level window
}

os::Control* Driver::Impl::ControlToRead(WindowHandle window, int id) {
    os::Window* object = WindowToRead(window);
    if (!object) return nullptr;
    os::Control* control = object->FindControl(id);
    if (!control) Fail(HandleText(window) + " has no control " + std::to_string(id));
    return control;
}

os::Control* Driver::Impl::ControlToActOn(WindowHandle window, int id) {
    os::Control* control = ControlToRead(window, id);
    if (!control) return nullptr;
    if (!control->visible()) {
        Fail(Describe(*control) + " is hidden");
        return nullptr;
    }
    if (!control->enabled()) {
        Fail(Describe(*control) + " is disabled");
        return nullptr;
    }
    if (!WindowToActOn(window)) return nullptr;
    return control;
}

os::TreeControl* Driver::Impl::TreeToActOn(WindowHandle window, int id, TreeItemHandle item) {
    auto* tree = ActOn<os::TreeControl>(window, id, "a tree");
    if (!tree) return nullptr;
    if (!tree->IsValid(item)) {
        Fail(Describe(*tree) + " has no item " + std::to_string(item));
        return nullptr;
    }
    if (!IsItemShown(*tree, item)) {
        Fail("item " + std::to_string(item) + " of " + Describe(*tree) +
             " is inside a collapsed parent");
        return nullptr;
    }
    return tree;
}

}  // namespace qorvdesk::automation
