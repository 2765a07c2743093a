#pragma once
// The base of every control model. A control holds its state and raises the notifications a
// Windows control would; the window that owns it installs the sink that turns them into
// messages to its handler, so window code reacts the same way to a test, the automation
// interface and the host.
//
// Every change to what a person sees (text, items, selection, check, state, enabled, shown,
// rectangle, content) is reported to the change sink, which the owning window also installs:
// a view of the window redraws that control. Reporting costs one call when nobody watches.

#include <cstdint>
#include <functional>
#include <string>

#include "os/controls/geometry.h"

namespace os {

enum class ControlKind {
    Label,
    Edit,
    Button,
    CheckBox,
    ComboBox,
    ProgressBar,
    List,
    Tree,
    RichEdit,
    WebView
};

// Notification codes, numbered as Windows numbers them where a window handler may compare.
namespace notify {
inline constexpr int kClicked = 0;             // BN_CLICKED
inline constexpr int kEditChange = 0x0300;     // EN_CHANGE
inline constexpr int kSelChange = 1;           // CBN_SELCHANGE
inline constexpr int kItemExpanded = -406;     // TVN_ITEMEXPANDED
inline constexpr int kTreeSelChanged = -402;   // TVN_SELCHANGED
inline constexpr int kListItemChanged = -101;  // LVN_ITEMCHANGED
inline constexpr int kDoubleClick = -3;        // NM_DBLCLK
inline constexpr int kLinkClicked = 0x070B;    // EN_LINK
}  // namespace notify

struct ControlNotification {
    int controlId = 0;
    int code = 0;
    std::int64_t item = 0;  // the item concerned (tree item handle, list row, char position)
    std::string text;       // extra text where the notification carries one (a link target)
};

class Control {
  public:
    using NotifySink = std::function<void(const ControlNotification&)>;
    // Called with the control's id after a change a person would see.
    using ChangeSink = std::function<void(int)>;

    Control(int id, ControlKind kind) : id_(id), kind_(kind) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int id() const { return id_; }
    ControlKind kind() const { return kind_; }

    bool visible() const { return visible_; }
    void SetVisible(bool visible) {
        if (visible_ == visible) return;
        visible_ = visible;
        Changed();
    }
    bool enabled() const { return enabled_; }
    void SetEnabled(bool enabled) {
        if (enabled_ == enabled) return;
        enabled_ = enabled;
        Changed();
    }

    // Where the control sits in its window's client area; empty until the window lays it out.
    const Rect& rect() const { return rect_; }
    void SetRect(const Rect& rect) {
        if (rect_ == rect) return;
        rect_ = rect;
        Changed();
    }

    // The control's window text (caption of a label or button, content of an edit).
    virtual std::string Text() const { return text_; }
    virtual void SetText(std::string text) {
        if (text_ == text) return;
        text_ = std::move(text);
        Changed();
    }

    void SetNotifySink(NotifySink sink) { sink_ = std::move(sink); }
    void SetChangeSink(ChangeSink sink) { changeSink_ = std::move(sink); }

  protected:
    // Reports a change a person would see.
    void Changed() const {
        if (changeSink_) changeSink_(id_);
    }

    void Notify(int code, std::int64_t item = 0, std::string text = {}) const {
        if (sink_) sink_(ControlNotification{id_, code, item, std::move(text)});
    }

    std::string text_;

  private:
    int id_;
    ControlKind kind_;
    bool visible_ = true;
    bool enabled_ = true;
    Rect rect_;
    NotifySink sink_;
    ChangeSink changeSink_;
};

}  // namespace os
