#pragma once
// The base of every window of the client. A dialog derives from Window, constructs itself,
// then calls Create(): the window gets its handle and WM_CREATE, never a virtual call from a
// constructor or destructor.
//
// Ownership. The C++ object is owned by whoever made it, as in MFC: a member, a unique_ptr,
// or WindowSystem::Adopt (the system deletes it after the window is destroyed). A window
// ends in one of two ways:
// - DestroyWindow(): destroys its child and owned windows first (newest first), sends it
//   WM_DESTROY while its handle is still valid, then retires the handle (IsWindow turns false,
//   its timers, hot keys and queued messages and tasks are dropped) and finally calls
//   PostNcDestroy(). PostNcDestroy may `delete this`: when the window is destroyed from inside
//   one of its own handlers, the call waits until that handler has returned.
// - Deleting a live window: its children are destroyed and its handle retired without
//   WM_DESTROY or PostNcDestroy (the derived object is already gone). Call DestroyWindow()
//   first when the handler must see WM_DESTROY.
// Create, destroy and delete a window on its owner thread. Its controls (the models behind
// it) are touched only there too: AddControl, FindControl, Controls and SetFocus on a live
// window fail loudly from another thread in a debug build (window_system.h).
//
// Controls. A window owns its control models by id. AddControl installs the control's sink,
// so its notifications reach this window's handler at once (synchronously, on the owner
// thread):
// - WM_NOTIFY (wParam = control id, lParam = const ControlNotification*) for negative codes
//   (tree, list and NM_* codes: notify::kItemExpanded, kTreeSelChanged, kListItemChanged,
//   kDoubleClick) and for the rich-edit codes 0x0700..0x07FF (notify::kLinkClicked);
// - WM_COMMAND (wParam = MAKEWPARAM(id, code), lParam = const ControlNotification*) for every
//   other code (button, edit and combo box: notify::kClicked, kEditChange, kSelChange).
// The notification behind lParam lives only for the duration of the call.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "os/controls/control.h"
#include "os/ui/geometry.h"
#include "os/ui/hwnd.h"
#include "os/ui/messages.h"
#include "os/ui/window_system.h"

namespace os {

class Window {
  public:
    struct CreateParams {
        std::string className{WindowSystem::kDialogClass};  // must be registered
        std::string title;
        HWND parent;  // a child window when set
        HWND owner;   // the owner of a top-level window (closed with it)
        Rect rect;    // as the creator's coordinates give it; not translated
        bool visible = false;
        bool enabled = true;
        // The process GetWindowThreadProcessId reports; 0 = this process. Only a test sets it,
        // to stand for a window another program made.
        std::uint32_t processId = 0;
    };

    explicit Window(WindowSystem& system);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Gives the window its handle on the calling thread and sends WM_CREATE (lParam points to
    // `params`). False, and no window, when it already has one, the class is not registered,
    // the parent or owner names no window, or the handler answers -1 to WM_CREATE (the window
    // is then destroyed again; PostNcDestroy is not called for it).
    bool Create(const CreateParams& params);
    // See the top of this file. False when it is not a window (any more).
    bool DestroyWindow();

    // The handle; stays the same after the window is destroyed (then it names no window).
    HWND hwnd() const { return hwnd_; }
    WindowSystem& system() const { return *system_; }
    bool IsWindow() const;

    // ---- State (the same as the WindowSystem functions of the same names for hwnd())
    std::string GetClassName() const;
    std::string GetWindowText() const;
    void SetWindowText(std::string_view text);
    Rect GetWindowRect() const;
    bool MoveWindow(const Rect& rect);
    bool SetWindowPos(int x, int y, int width, int height, UINT flags);
    bool ShowWindow(int command);
    bool IsWindowVisible() const;
    bool IsIconic() const;
    bool IsZoomed() const;
    bool EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    HWND GetParent() const;
    HWND GetOwner() const;

    // ---- Messages and timers for this window
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool SetTimer(std::uint64_t id, Millis periodMs);
    bool KillTimer(std::uint64_t id);

    // ---- Child controls
    // Takes the control and answers it; null when another control already has its id
    // (IDC_STATIC may repeat).
    Control* AddControl(std::unique_ptr<Control> control);
    template <typename T>
    T* AddControl(std::unique_ptr<T> control) {
        return static_cast<T*>(AddControl(std::unique_ptr<Control>(std::move(control))));
    }
    // The first control with this id, or null.
    Control* FindControl(int id) const;
    // The control with this id if it is a T, else null.
    template <typename T>
    T* GetControl(int id) const {
        return dynamic_cast<T*>(FindControl(id));
    }
    // Every control in the order added.
    std::vector<Control*> Controls() const;
    // Keyboard focus among this window's controls (0 = none). SetFocus is false for an id
    // that names no control; a hidden or disabled control cannot take the focus.
    bool SetFocus(int controlId);
    int GetFocus() const { return focusId_; }

  protected:
    // The window's handler. The default answers DefWindowProc.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Default handling: WM_CLOSE destroys the window; WM_SETTEXT sets the title from the
    // NUL-terminated text in lParam and answers 1; WM_SYSCOMMAND SC_CLOSE sends WM_CLOSE and
    // SC_MINIMIZE / SC_MAXIMIZE / SC_RESTORE show the window so; anything else answers 0.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once after the window is destroyed and its handle retired. May delete this.
    virtual void PostNcDestroy() {}

  private:
    friend class WindowSystem;

    // In a debug build, fails loudly unless the calling thread owns this live window; a
    // window without a handle passes (thread_check.h).
    void CheckThread(std::string_view call) const;
    // Calls OnMessage and runs a PostNcDestroy that was put off while a handler ran.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void RouteNotification(const ControlNotification& note);

    // Title, rectangle, shown state and the rest live in the system's registry, under its
    // lock, because other threads read them.
    WindowSystem* system_;  // null once the system has gone
    HWND hwnd_;
    bool alive_ = false;  // holds a live handle
    std::vector<std::unique_ptr<Control>> controls_;
    int focusId_ = 0;
    int dispatchDepth_ = 0;  // handler calls in progress on this object
    bool destroying_ = false;
    bool pendingNcDestroy_ = false;
};

}  // namespace os
