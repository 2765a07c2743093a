#pragma once
// The base of every control model. A control holds its state and raises the notifications a
// Windows control would; the window that owns it installs the sink that turns them into
// messages to its handler, so window code reacts the same way to a test, the automation
// interface and the host.

#include <cstdint>
#include <functional>
#include <string>

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
    RichEdit
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

    Control(int id, ControlKind kind) : id_(id), kind_(kind) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int id() const { return id_; }
    ControlKind kind() const { return kind_; }

    bool visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // The control's window text (caption of a label or button, content of an edit).
    virtual std::string Text() const { return text_; }
    virtual void SetText(std::string text) { text_ = std::move(text); }

    void SetNotifySink(NotifySink sink) { sink_ = std::move(sink); }

  protected:
    void Notify(int code, std::int64_t item = 0, std::string text = {}) const {
        if (sink_) sink_(ControlNotification{id_, code, item, std::move(text)});
    }

    std::string text_;

  private:
    int id_;
    ControlKind kind_;
    bool visible_ = true;
    bool enabled_ = true;
    NotifySink sink_;
};

}  // namespace os
