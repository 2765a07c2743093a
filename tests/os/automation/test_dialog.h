#pragma once
// A small dialog of the kind the client is made of, and the fixture that drives it only
// through the automation Driver. The dialog reacts to its controls as client code does and
// writes every notification it gets into `events` ("clicked 101", "tree-sel 301 2", ...).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "os/controls/button.h"
#include "os/controls/check_box.h"
#include "os/controls/combo_box.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/controls/list_control.h"
#include "os/controls/progress_bar.h"
#include "os/controls/rich_edit.h"
#include "os/controls/tree_control.h"
#include "os/prompt/scripted_prompter.h"
#include "os/sys/clock.h"
#include "os/ui/window.h"
#include "qorvdesk/automation.h"

namespace automation_test {

namespace id {
inline constexpr int kStatus = 100;      // label
inline constexpr int kGreet = 101;       // button: the label says hello
inline constexpr int kLocked = 102;      // disabled button
inline constexpr int kHidden = 103;      // hidden button
inline constexpr int kRemember = 104;    // check box
inline constexpr int kDelete = 105;      // button: asks, then deletes
inline constexpr int kStartTimer = 106;  // button: starts the progress timer
inline constexpr int kRename = 107;      // button: runs the rename dialog modally
inline constexpr int kName = 201;        // edit, 8 bytes at most
inline constexpr int kPassword = 202;    // password edit
inline constexpr int kNotes = 203;       // read-only edit
inline constexpr int kPresence = 204;    // drop-down list combo
inline constexpr int kAccount = 205;     // drop-down combo with an edit field
inline constexpr int kContacts = 301;    // tree
inline constexpr int kMembers = 302;     // list
inline constexpr int kView = 401;        // read-only rich edit with links
inline constexpr int kProgress = 501;    // progress bar
inline constexpr int kNewName = 601;     // the rename dialog's edit
}  // namespace id

inline constexpr std::uint64_t kProgressTimer = 1;
inline constexpr int kComboEditChange = 5;  // CBN_EDITCHANGE

// Asks for a new name; OK refuses an empty one with a message box and stays open.
class RenameDialog : public os::Window {
  public:
    RenameDialog(os::WindowSystem& system, os::Prompter& prompter)
        : Window(system), prompter_(prompter) {}

    bool Make(os::HWND owner) {
        CreateParams params;
        params.title = "修改名称";
        params.owner = owner;
        if (!Create(params)) return false;
        AddControl(std::make_unique<os::Edit>(id::kNewName));
        AddControl(std::make_unique<os::Button>(os::IDOK, "确定"));
        AddControl(std::make_unique<os::Button>(os::IDCANCEL, "取消"));
        return true;
    }

    std::string name;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        if (message == os::WM_COMMAND && os::HIWORD(wParam) == os::notify::kClicked) {
            if (os::LOWORD(wParam) == os::IDOK) {
                name = GetControl<os::Edit>(id::kNewName)->Text();
                if (name.empty()) {
                    prompter_.MessageBox("名称不能为空");
                } else {
                    prompter_.EndDialog(hwnd(), os::IDOK);
                }
                return 0;
            }
            if (os::LOWORD(wParam) == os::IDCANCEL) prompter_.EndDialog(hwnd(), os::IDCANCEL);
        }
        return DefWindowProc(message, wParam, lParam);
    }

  private:
    os::Prompter& prompter_;
};

class TestDialog : public os::Window {
  public:
    TestDialog(os::WindowSystem& system, os::Prompter& prompter)
        : Window(system), prompter_(prompter) {}

    bool Make(std::string title = "测试对话框") {
        CreateParams params;
        params.title = std::move(title);
        params.rect = os::Rect::FromSize(10, 20, 300, 200);
        params.visible = true;
        if (!Create(params)) return false;
        AddControl(std::make_unique<os::Label>(id::kStatus, "就绪"));
        AddControl(std::make_unique<os::Button>(id::kGreet, "问候"));
        AddControl(std::make_unique<os::Button>(id::kLocked, "锁定"))->SetEnabled(false);
        AddControl(std::make_unique<os::Button>(id::kHidden, "隐藏"))->SetVisible(false);
        AddControl(std::make_unique<os::CheckBox>(id::kRemember, "记住密码"));
        AddControl(std::make_unique<os::Button>(id::kDelete, "删除"));
        AddControl(std::make_unique<os::Button>(id::kStartTimer, "开始"));
        AddControl(std::make_unique<os::Button>(id::kRename, "改名"));
        AddControl(std::make_unique<os::Edit>(id::kName))->LimitText(8);
        AddControl(std::make_unique<os::Edit>(id::kPassword))->SetPassword(true);
        auto* notes = AddControl(std::make_unique<os::Edit>(id::kNotes));
        notes->SetText("只读");
        notes->SetReadOnly(true);
        auto* presence = AddControl(std::make_unique<os::ComboBox>(id::kPresence));
        for (const char* word : {"在线", "离开", "忙碌"}) presence->AddString(word);
        presence->SetCurSel(0);
        auto* account =
            AddControl(std::make_unique<os::ComboBox>(id::kAccount, os::ComboStyle::DropDown));
        account->AddString("zhang");
        account->AddString("li");
        MakeTree();
        MakeList();
        MakeView();
        AddControl(std::make_unique<os::ProgressBar>(id::kProgress))->SetStep(25);
        events.clear();  // filling the controls raised some; the tests start from here
        return true;
    }

    os::TreeItem friends = 0, zhang = 0, li = 0, strangers = 0, wang = 0;
    std::vector<std::string> events;
    std::vector<os::UINT> keys;  // WM_KEYDOWN / WM_SYSKEYDOWN virtual keys, as handled
    // Per handled key: "C" for Ctrl, "A" for Alt, "S" for Shift as the keyboard's state tells.
    std::vector<std::string> heldWithKeys;
    int timerTicks = 0;
    std::string renamedTo;
    int renameResult = 0;
    // NM_DBLCLK on the tree answers this (non-zero keeps the tree's own handling out).
    os::LRESULT treeDoubleClickAnswer = 0;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        switch (message) {
            case os::WM_COMMAND:
                OnCommand(os::LOWORD(wParam), os::HIWORD(wParam));
                return 0;
            case os::WM_NOTIFY: {
                const auto* note = os::FromLParam<const os::ControlNotification>(lParam);
                Record(*note);
                if (note->controlId == id::kContacts && note->code == os::notify::kDoubleClick)
                    return treeDoubleClickAnswer;
                return 0;
            }
            case os::WM_TIMER:
                if (wParam == kProgressTimer) {
                    ++timerTicks;
                    GetControl<os::ProgressBar>(id::kProgress)->StepIt();
                    if (timerTicks == 3) KillTimer(kProgressTimer);
                }
                return 0;
            case os::WM_KEYDOWN:
            case os::WM_SYSKEYDOWN:
                keys.push_back(static_cast<os::UINT>(wParam));
                heldWithKeys.push_back(std::string(system().IsKeyHeld(os::VK_CONTROL) ? "C" : "") +
                                       (system().IsKeyHeld(os::VK_MENU) ? "A" : "") +
                                       (system().IsKeyHeld(os::VK_SHIFT) ? "S" : ""));
                return 0;
            default:
                return DefWindowProc(message, wParam, lParam);
        }
    }

  private:
    static const char* CodeName(int code) {
        switch (code) {
            case os::notify::kClicked:
                return "clicked";
            case os::notify::kEditChange:
                return "edit-change";
            case os::notify::kSelChange:
                return "sel-change";
            case kComboEditChange:
                return "edit-text-change";
            case os::notify::kItemExpanded:
                return "expanded";
            case os::notify::kTreeSelChanged:
                return "tree-sel";
            case os::notify::kListItemChanged:
                return "list-changed";
            case os::notify::kDoubleClick:
                return "double-click";
            case os::notify::kLinkClicked:
                return "link";
            default:
                return "other";
        }
    }

    void Record(const os::ControlNotification& note) {
        std::string line = std::string(CodeName(note.code)) + " " + std::to_string(note.controlId);
        const bool hasItem =
            note.code == os::notify::kItemExpanded || note.code == os::notify::kTreeSelChanged ||
            note.code == os::notify::kListItemChanged || note.code == os::notify::kDoubleClick ||
            note.code == os::notify::kLinkClicked || note.code == os::notify::kSelChange;
        if (hasItem) line += " " + std::to_string(note.item);
        if (!note.text.empty()) line += " " + note.text;
        events.push_back(line);
    }

    void OnCommand(int controlId, int code) {
        os::ControlNotification note{controlId, code, 0, {}};
        if (code == os::notify::kSelChange) note.item = Combo(controlId)->GetCurSel();
        Record(note);
        if (code != os::notify::kClicked) return;
        auto* status = FindControl(id::kStatus);
        switch (controlId) {
            case id::kGreet:
                status->SetText("你好");
                break;
            case id::kLocked:
            case id::kHidden:
                status->SetText("不该发生");
                break;
            case id::kDelete:
                if (prompter_.MessageBox("确定删除吗？", "删除", os::MB_YESNO, hwnd()) == os::IDYES)
                    status->SetText("已删除");
                break;
            case id::kStartTimer:
                SetTimer(kProgressTimer, 1000);
                break;
            case id::kRename: {
                RenameDialog dialog(system(), prompter_);
                if (!dialog.Make(hwnd())) return;
                renameResult = prompter_.DoModal(dialog);
                if (renameResult == os::IDOK) renamedTo = dialog.name;
                break;
            }
            default:
                break;
        }
    }

    os::ComboBox* Combo(int controlId) const { return GetControl<os::ComboBox>(controlId); }

    void MakeTree() {
        auto* tree = AddControl(std::make_unique<os::TreeControl>(id::kContacts));
        friends = tree->InsertItem("我的好友");
        zhang = tree->InsertItem("张三", 1, 1, friends);
        li = tree->InsertItem("李四", 1, 1, friends);
        tree->SetItemData(li, 42);
        strangers = tree->InsertItem("陌生人");
        wang = tree->InsertItem("王五", 1, 1, strangers);
        tree->Expand(friends, os::ExpandAction::Expand);
    }

    void MakeList() {
        auto* list = AddControl(std::make_unique<os::ListControl>(id::kMembers));
        list->InsertColumn(0, "姓名", 80);
        list->InsertColumn(1, "部门", 120);
        list->InsertItem(0, "张三", -1, 7);
        list->SetItemText(0, 1, "办公室");
        list->InsertItem(1, "李四", -1, 8);
        list->SetItemText(1, 1, "信息中心");
    }

    void MakeView() {
        // "详见 http://a.cn 或 帮助": a link that is its own target at 3..13, and "帮助" at
        // 17..18 leading elsewhere.
        auto* view = AddControl(std::make_unique<os::RichEdit>(id::kView));
        view->SetReadOnly(true);
        auto append = [view](const char* text, bool link, const char* target = "") {
            os::CharFormat format;
            format.mask = os::char_mask::kLink;
            format.effects = link ? os::char_effect::kLink : 0;
            format.linkTarget = target;
            view->SetSel(-1, -1);
            view->SetSelectionCharFormat(format);
            view->ReplaceSel(text);
        };
        append("详见 ", false);
        append("http://a.cn", true);
        append(" 或 ", false);
        append("帮助", true, "http://b.cn/help");
    }

    os::Prompter& prompter_;
};

// A fresh world per test: manual clock, window system, scripted prompter, the dialog and a
// Driver. Unanswered prompts are collected, not fatal, so tests can check them.
class DriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.Make());
        window = dialog.hwnd().value();
    }

    os::ManualClock clock;
    os::WindowSystem system{clock};
    std::vector<os::PromptRecord> unanswered;
    os::ScriptedPrompter prompter{[this](const os::PromptRecord& r) { unanswered.push_back(r); }};
    TestDialog dialog{system, prompter};
    qorvdesk::automation::Driver driver{system, &prompter};
    qorvdesk::automation::WindowHandle window = 0;
};

}  // namespace automation_test
