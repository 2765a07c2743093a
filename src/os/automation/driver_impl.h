#pragma once
// The inside of automation::Driver, shared by its source files: what it is bound to, its last
// error, and the lookups every read and action starts with.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "os/controls/control.h"
#include "os/controls/tree_control.h"
#include "os/prompt/prompter.h"
#include "os/prompt/scripted_prompter.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"
#include "qorvdesk/automation.h"

namespace qorvdesk::automation {

struct Driver::Impl {
    Impl(os::WindowSystem& system, os::Prompter* prompter)
        : system(&system),
          prompter(prompter),
          scripted(dynamic_cast<os::ScriptedPrompter*>(prompter)) {}

    os::WindowSystem* system;
    os::Prompter* prompter;
    os::ScriptedPrompter* scripted;  // null unless the prompter is the scripted one
    std::string lastError;
    // The window system's observers this driver installed (Subscribe), removed when it goes.
    std::vector<std::pair<SubscriptionId, os::WindowSystem::ObserverId>> subscriptions;
    SubscriptionId nextSubscription = 1;
    ~Impl();

    // Records why the call failed; answers false so a caller can `return Fail(...)`.
    bool Fail(std::string why);
    void Succeed() { lastError.clear(); }

    // The window object, for reading: it exists and belongs to the calling thread.
    os::Window* WindowToRead(WindowHandle window);
    // The same, and a person could act on it now: shown, not minimised, and neither it nor a
    // parent above it disabled. These lookups change nothing, so a refused action leaves no
    // trace.
    os::Window* WindowToActOn(WindowHandle window);
    // What a click into the window does first: its top-level window comes to the foreground.
    void BringToFront(WindowHandle window);

    // The control `id` of the window, for reading.
    os::Control* ControlToRead(WindowHandle window, int id);
    // The same, shown and enabled, in a window a person can act on.
    os::Control* ControlToActOn(WindowHandle window, int id);

    // As above, and of type T (a Button, an Edit, ...); `wanted` names T in the error.
    template <typename T>
    T* Read(WindowHandle window, int id, std::string_view wanted) {
        return As<T>(ControlToRead(window, id), wanted);
    }
    template <typename T>
    T* ActOn(WindowHandle window, int id, std::string_view wanted) {
        return As<T>(ControlToActOn(window, id), wanted);
    }

    // A tree a person can act on, holding `item` where a person sees it (every parent above
    // it expanded).
    os::TreeControl* TreeToActOn(WindowHandle window, int id, TreeItemHandle item);

    // Shared steps of the actions (driver_act.cpp).
    enum class TypeAt { ReplaceAll, End };
    bool Type(WindowHandle window, int id, std::string_view text, TypeAt at);
    bool ExpandOrCollapse(WindowHandle window, int id, TreeItemHandle item,
                          os::ExpandAction action);

    template <typename T>
    T* As(os::Control* control, std::string_view wanted) {
        if (!control) return nullptr;
        if (T* typed = dynamic_cast<T*>(control)) return typed;
        Fail(Describe(*control) + " is not " + std::string(wanted));
        return nullptr;
    }

    // "control 1001 (edit)", for messages.
    static std::string Describe(const os::Control& control);
    WindowInfo InfoOf(os::HWND hwnd) const;
};

const char* KindName(os::ControlKind kind);
ControlKind PublicKind(os::ControlKind kind);
// What the screen shows of a control: a password edit shows stars.
std::string ShownText(const os::Control& control);

}  // namespace qorvdesk::automation
