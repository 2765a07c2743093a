#pragma once
// The automation interface: lists the client's windows and their controls, reads their state
// and acts on them the way a person at the screen would. End-to-end tests drive the client
// through it, and so can a host (a scripting console, an accessibility bridge), so that what
// a test does is what a person can do.
//
// Threads. A Driver works on the UI thread: the thread that owns the windows it touches and
// runs their loop. It refuses (answers false or nothing) a window of another thread.
//
// Text. Every string here is GBK, like all text of the library. ToUtf8 / FromUtf8 convert for
// a host that shows or takes UTF-8.
//
// Acting. Each action goes through the control's own user operation, so the window's handler
// gets the same WM_COMMAND / WM_NOTIFY it gets from a person. An action is refused — false,
// and LastError() says why — when a person could not do it: the window is gone, hidden,
// minimised or disabled (as an owner is while a modal dialog runs), the control is hidden or
// disabled, or is not of a kind that has that operation. An action first brings the window's
// top-level window to the foreground, as a click into it does. Handlers run synchronously;
// what they post waits for Pump().
//
// Reading. Reads answer nothing (std::nullopt) when the window or control is not there or the
// control is of another kind; LastError() says which. Reads work on hidden windows too.
//
// Time. With a manual clock, time moves only through AdvanceClock: the pumps never move it,
// so a wait answers at once when nothing is left to handle.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os {
class WindowSystem;
class Prompter;
}  // namespace os

namespace qorvdesk::automation {

// A window handle: the same values as QorvWindow of exports.h; 0 names no window.
using WindowHandle = std::uint32_t;
// A tree item handle of a tree control; 0 names no item.
using TreeItemHandle = std::uint32_t;

// Results of message boxes and dialogs, numbered as Windows numbers them.
namespace result {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kAbort = 3;
inline constexpr int kRetry = 4;
inline constexpr int kIgnore = 5;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace result

// Windows virtual-key numbers for PressKey. Letters and digits are their ASCII codes.
namespace key {
inline constexpr std::uint32_t kBack = 0x08;
inline constexpr std::uint32_t kTab = 0x09;
inline constexpr std::uint32_t kReturn = 0x0D;
inline constexpr std::uint32_t kEscape = 0x1B;
inline constexpr std::uint32_t kSpace = 0x20;
inline constexpr std::uint32_t kEnd = 0x23;
inline constexpr std::uint32_t kHome = 0x24;
inline constexpr std::uint32_t kLeft = 0x25;
inline constexpr std::uint32_t kUp = 0x26;
inline constexpr std::uint32_t kRight = 0x27;
inline constexpr std::uint32_t kDown = 0x28;
inline constexpr std::uint32_t kDelete = 0x2E;
inline constexpr std::uint32_t kF1 = 0x70;
}  // namespace key

// Hot-key modifiers, or-ed together (the Windows MOD_* values).
namespace modifier {
inline constexpr std::uint32_t kAlt = 0x0001;
inline constexpr std::uint32_t kControl = 0x0002;
inline constexpr std::uint32_t kShift = 0x0004;
}  // namespace modifier

// The modifier key held while PressKey presses its key: the window reads it as a person's
// held key (GetKeyState), Alt also as WM_SYSKEYDOWN.
enum class KeyModifier { None, Alt, Ctrl, Shift };

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;  // just outside, as in a Windows RECT
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct WindowInfo {
    WindowHandle handle = 0;
    std::string className;
    std::string title;
    bool visible = false;  // it and every parent above it are shown
    bool enabled = false;
    bool minimized = false;
    Rect rect;
    WindowHandle parent = 0;
    WindowHandle owner = 0;
};

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

struct ControlInfo {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    std::string text;  // what the screen shows: a password edit shows one '*' per character
    bool visible = false;
    bool enabled = false;
    // Where the control sits in its window's client area, as the window lays it out; empty
    // (all 0) when the window keeps no layout for it and a view places it itself.
    Rect rect;
};

// A change to a window or a control, as a view of the client needs to hear of it.
enum class ChangeKind {
    WindowCreated,
    WindowDestroyed,
    WindowShown,
    WindowHidden,
    WindowRetitled,
    WindowMoved,    // moved or resized
    WindowEnabled,  // enabled or disabled
    ControlChanged  // its text, items, selection, check, state, rectangle or content
};

struct Change {
    ChangeKind kind = ChangeKind::ControlChanged;
    WindowHandle window = 0;
    int controlId = 0;  // ControlChanged only
};

// Names one subscription; 0 names none.
using SubscriptionId = std::uint32_t;

struct ListRow {
    std::vector<std::string> texts;  // one per column, column 0 first
    std::uint32_t data = 0;
    bool selected = false;
    bool checked = false;
    bool operator==(const ListRow&) const = default;
};

struct TreeNode {
    TreeItemHandle item = 0;
    std::string text;
    std::uint32_t data = 0;
    bool expanded = false;
    bool selected = false;
    bool checked = false;
    bool bold = false;
    int image = 0;  // the index of the picture the item shows (presence, group, unit)
    std::vector<TreeNode> children;
};

// One run of rich text in one format.
struct RichRun {
    int start = 0;  // in rich-edit positions: a character or an object is one position
    int length = 0;
    std::string text;
    std::string faceName;
    int heightTwips = 0;      // 1/20 point
    std::uint32_t color = 0;  // COLORREF 0x00BBGGRR; see autoColor
    bool autoColor = false;   // the system text colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool link = false;
    std::string linkTarget;  // where a link leads when not to its own text
    bool operator==(const RichRun&) const = default;
};

// An embedded web page: its file and the script calls made to it that a view replays.
struct ScriptValue {
    bool isInteger = false;
    std::string text;  // GBK
    std::int64_t integer = 0;
    bool operator==(const ScriptValue&) const = default;
};

struct PageScriptCall {
    std::uint64_t sequence = 0;  // grows with every call: apply only those newer than yours
    std::string method;
    std::vector<ScriptValue> arguments;
};

struct WebPage {
    std::string path;                   // GBK
    std::vector<PageScriptCall> calls;  // the latest call of each method, oldest first
    std::string selection;              // what the page reported selected last
    // The origin offered the page's script object ("" when none is offered): a view offers
    // its bridge only to a document of this origin (OriginOf) and reports its calls with
    // the calling document's origin.
    std::string scriptOrigin;
};

enum class ObjectKind { Face, Picture, PicturePlaceholder, OfflineFile, Other };

struct RichObjectInfo {
    int position = 0;
    ObjectKind kind = ObjectKind::Other;
    std::uint32_t userValue = 0;
    std::string name;  // a file or picture name, or field text
    bool operator==(const RichObjectInfo&) const = default;
};

struct RichText {
    std::string plainText;  // an object reads as one blank
    std::vector<RichRun> runs;
    std::vector<RichObjectInfo> objects;
    // The content in order, one line per run or object, for a person to read and a test to
    // compare, e.g.
    //   text "你好" 宋体 9pt #000000 bold
    //   face 12
    //   text "http://a.cn" 宋体 9pt auto link
    std::string description;
};

struct Font {
    std::string faceName = "\xCB\xCE\xCC\xE5";  // 宋体, GBK whatever the includer's charset
    int heightTwips = 180;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint32_t color = 0;  // COLORREF 0x00BBGGRR
};

enum class PromptKind { MessageBox, OpenFile, SaveFile, Font, Input, Dialog };

class Driver;

// An answer queued for a prompt that has not come yet. The first queued answer that fits a
// prompt (same kind, the caption and text it asks for, and for a message box one of its
// buttons) answers it.
struct PromptAnswer {
    // A button of a message box (result::kYes, ...).
    static PromptAnswer MessageBox(int result);
    // A file chooser: the path chosen, or nothing for Cancel.
    static PromptAnswer OpenFile(std::optional<std::string> path);
    static PromptAnswer SaveFile(std::optional<std::string> path);
    // An input prompt: the text typed and OK, or nothing for Cancel.
    static PromptAnswer Input(std::optional<std::string> text);
    static PromptAnswer ChooseFont(std::optional<Font> font);
    // A modal dialog: `act` (optional) drives the shown dialog through a Driver, as a person
    // fills it in and clicks; unless the dialog ended itself, it ends with `result`.
    static PromptAnswer Dialog(int result,
                               std::function<void(Driver&, WindowHandle dialog)> act = {});

    // Only for a prompt with exactly this caption (a dialog: its title).
    PromptAnswer& WhenCaption(std::string caption);
    // Only for a prompt whose text holds this (a dialog: its class name).
    PromptAnswer& WhenTextContains(std::string part);

    PromptKind kind = PromptKind::MessageBox;
    int result = result::kOk;
    std::optional<std::string> value;
    std::optional<Font> font;
    std::function<void(Driver&, WindowHandle)> act;
    std::optional<std::string> caption;
    std::optional<std::string> textContains;
};

// A prompt the client made, as it was asked and answered.
struct PromptInfo {
    PromptKind kind = PromptKind::MessageBox;
    WindowHandle owner = 0;
    // Message box: caption and text. File chooser: title and default name. Font: the initial
    // face name as text. Input: caption and question. Dialog: title and class name.
    std::string caption;
    std::string text;
    std::uint32_t style = 0;  // a message box's MB_* buttons and icon
    bool answered = false;
    int result = result::kCancel;
    std::optional<std::string> value;  // the path chosen or the text typed
};

class Driver {
  public:
    // Works on `system`'s windows. Prompts can be answered when `prompter` is the scripted
    // prompter of tests; with another prompter (or none) the prompt calls answer false.
    // `system` and `prompter` must outlive the Driver.
    explicit Driver(os::WindowSystem& system, os::Prompter* prompter = nullptr);
    ~Driver();
    Driver(Driver&&) noexcept;
    Driver& operator=(Driver&&) noexcept;
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Why the last refused action or empty read failed ("" after a success).
    const std::string& LastError() const;

    // ---- Windows
    std::vector<WindowInfo> TopLevelWindows() const;  // in creation order, hidden ones too
    std::vector<WindowInfo> Children(WindowHandle window) const;
    std::optional<WindowInfo> Describe(WindowHandle window) const;
    bool IsWindow(WindowHandle window) const;
    // The first top-level window with this exact title / this class (ASCII case ignored),
    // shown or not; 0 when there is none.
    WindowHandle FindWindowByTitle(std::string_view title) const;
    WindowHandle FindWindowByClass(std::string_view className) const;
    // Pumps until a shown top-level window has this title and answers it, or 0 when
    // `timeoutMs` passed (a manual clock: when nothing is left to handle).
    WindowHandle WaitForWindow(std::string_view title, std::int64_t timeoutMs);

    // ---- Controls: reading
    std::vector<ControlInfo> Controls(WindowHandle window);  // in the order the window made them
    std::optional<ControlInfo> DescribeControl(WindowHandle window, int controlId);
    // What the control shows (see ControlInfo::text).
    std::optional<std::string> Text(WindowHandle window, int controlId);
    std::optional<bool> IsChecked(WindowHandle window, int controlId);  // check box
    std::optional<std::vector<std::string>> ComboItems(WindowHandle window, int controlId);
    std::optional<int> ComboSelection(WindowHandle window, int controlId);  // -1: none
    std::optional<std::vector<std::string>> ListColumns(WindowHandle window, int controlId);
    std::optional<std::vector<ListRow>> ListRows(WindowHandle window, int controlId);
    std::optional<std::vector<TreeNode>> TreeItems(WindowHandle window, int controlId);
    // The first item, depth first, with this text; or the item reached by `path` of texts
    // from the top level down. 0 when there is none.
    TreeItemHandle FindTreeItem(WindowHandle window, int controlId, std::string_view text);
    TreeItemHandle FindTreeItemByPath(WindowHandle window, int controlId,
                                      const std::vector<std::string>& path);
    std::optional<RichText> ReadRichText(WindowHandle window, int controlId);
    std::optional<int> ProgressPosition(WindowHandle window, int controlId);
    std::optional<WebPage> ReadWebPage(WindowHandle window, int controlId);
    // The control that has the keyboard focus in the window (0: none).
    std::optional<int> FocusedControl(WindowHandle window);

    // ---- Controls: acting
    // Clicks a button or a check box (which toggles).
    bool Click(WindowHandle window, int controlId);
    // Puts the focus in an edit, a rich edit or a drop-down combo's edit field, selects all
    // and types `text` over it. True when all of it went in: a limit cuts the rest, as the
    // control would (false then, with the part that fitted typed). A read-only field refuses.
    bool TypeText(WindowHandle window, int controlId, std::string_view text);
    // The same, typing at the end of what is there.
    bool AppendText(WindowHandle window, int controlId, std::string_view text);
    // Chooses a combo box item by index or by its exact text.
    bool ChooseCombo(WindowHandle window, int controlId, int index);
    bool ChooseCombo(WindowHandle window, int controlId, std::string_view text);
    // Tree items: a person sees only items whose parents are all expanded, and acts only on
    // those. Expanding needs children; expanding an expanded item (or collapsing a collapsed
    // one) is refused.
    bool SelectTreeItem(WindowHandle window, int controlId, TreeItemHandle item);
    bool ExpandTreeItem(WindowHandle window, int controlId, TreeItemHandle item);
    bool CollapseTreeItem(WindowHandle window, int controlId, TreeItemHandle item);
    // Selects the item (the first click), then double-clicks it: WM_NOTIFY NM_DBLCLK. When
    // the handler answers 0 and the item has children, it toggles open or shut, as a tree
    // does by default; a handler answers non-zero to keep it as it is.
    bool DoubleClickTreeItem(WindowHandle window, int controlId, TreeItemHandle item);
    // Selects one row of a list (a plain click), or double-clicks it.
    bool SelectListRow(WindowHandle window, int controlId, int row);
    bool DoubleClickListRow(WindowHandle window, int controlId, int row);
    // Clicks a link of a rich edit: at a character position, or the first link whose text
    // is exactly `linkText`.
    bool ClickLink(WindowHandle window, int controlId, int position);
    bool ClickLink(WindowHandle window, int controlId, std::string_view linkText);
    // Presses a key in the window: a key message queued to it, which the message hooks see
    // when the loop takes it. Pump() to have it handled.
    bool PressKey(WindowHandle window, std::uint32_t virtualKey,
                  KeyModifier modifier = KeyModifier::None);
    // Presses a registered hot key (modifier:: bits); its WM_HOTKEY is queued to the
    // registrant. False when no one registered the combination.
    bool PressHotKey(std::uint32_t modifiers, std::uint32_t virtualKey);
    // Clicks the window's close box: WM_SYSCOMMAND SC_CLOSE, which the default handling
    // turns into WM_CLOSE. True when the window handled it (it may stay open).
    bool Close(WindowHandle window);

    // Drops files on a window, as a person drags them from the file manager: WM_DROPFILES
    // to it with the paths (GBK). Refused like any action.
    bool DropFiles(WindowHandle window, const std::vector<std::string>& paths);

    // What a person did in an embedded page, as the page reports it: "selection" with the
    // selected records' ids joined by ';', "key" with a key name, "command" with a command
    // name. The window hears it as a notification and may answer by calling the page.
    bool ReportPageEvent(WindowHandle window, int controlId, std::string_view name,
                         std::string_view value);
    // The page calls a method of the script object its window offers, from a document of
    // `callerOrigin`: the method's result (an empty text for a method without one), or
    // nothing when the call is refused (another origin, no object, no such method).
    std::optional<ScriptValue> CallPageObject(WindowHandle window, int controlId,
                                              std::string_view callerOrigin,
                                              std::string_view method,
                                              const std::vector<ScriptValue>& arguments);

    // ---- Watching
    // Calls `observer` for every change of any window of the system and its controls, right
    // after it happened, on the thread that made it (almost always the UI thread). The
    // observer must be short and must not act on the windows from inside the call: a view
    // notes what changed and redraws it later. Changes stop with Unsubscribe or when the
    // Driver goes.
    SubscriptionId Subscribe(std::function<void(const Change&)> observer);
    void Unsubscribe(SubscriptionId subscription);

    // ---- Prompts (the scripted prompter only)
    bool QueueAnswer(PromptAnswer answer);
    std::vector<PromptInfo> Prompts() const;
    // Answers queued and not used yet.
    std::size_t QueuedAnswers() const;

    // ---- The loop and the clock
    // Handles everything queued, including what handling it queued, until the queue is
    // idle; answers the number of messages handled.
    int Pump();
    // Pumps until `condition` is true (true), or false after `timeoutMs` of the clock (a
    // manual clock: as soon as nothing is left to handle).
    bool PumpUntil(const std::function<bool()>& condition, std::int64_t timeoutMs);
    // Moves a manual clock forward by `ms`, firing the timers that fall due on the way, in
    // order, and handling what they set going. False with any other clock.
    bool AdvanceClock(std::int64_t ms);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The origin of a web address ("scheme://host[:port]", lower case, default port left out), or
// "" when it is no http(s) address: the rule by which a view offers a page's script object.
std::string OriginOf(std::string_view url);

// GBK to UTF-8 for showing; a byte that is not GBK shows as '?'.
std::string ToUtf8(std::string_view gbk);
// UTF-8 to GBK; nothing when the text is not UTF-8 or holds a character GBK lacks.
std::optional<std::string> FromUtf8(std::string_view utf8);

}  // namespace qorvdesk::automation
