// DoModal: the dialog shown, its owner disabled while it runs, the end by EndDialog or by
// closing, the window destroyed afterwards; with the scripted prompter and with the pumping
// loop every interactive prompter inherits.

#include <gtest/gtest.h>

#include <thread>

#include "os/controls/button.h"
#include "os/controls/edit.h"
#include "os/prompt/scripted_prompter.h"
#include "support/gbk_print.h"
#include "support/wait_for.h"

namespace {

constexpr int kNameEdit = 1001;

// A small dialog as the client writes them: OK takes the typed name and ends with IDOK.
class NameDialog : public os::Window {
  public:
    NameDialog(os::WindowSystem& system, os::Prompter& prompter)
        : Window(system), prompter_(prompter) {}

    bool Make(os::HWND owner, std::string title = "修改组群名称") {
        CreateParams params;
        params.title = std::move(title);
        params.owner = owner;
        if (!Create(params)) return false;
        AddControl(std::make_unique<os::Edit>(kNameEdit));
        AddControl(std::make_unique<os::Button>(os::IDOK, "确定"));
        AddControl(std::make_unique<os::Button>(os::IDCANCEL, "取消"));
        return true;
    }

    std::string name;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        if (message == os::WM_COMMAND && os::HIWORD(wParam) == os::notify::kClicked) {
            int id = os::LOWORD(wParam);
            if (id == os::IDOK) {
                name = GetControl<os::Edit>(kNameEdit)->Text();
                if (name.empty()) {
                    prompter_.MessageBox("组名不能为空");  // stays open, as the client's do
                    return 0;
                }
                prompter_.EndDialog(hwnd(), os::IDOK);
                return 0;
            }
            if (id == os::IDCANCEL) {
                prompter_.EndDialog(hwnd(), os::IDCANCEL);
                return 0;
            }
        }
        return DefWindowProc(message, wParam, lParam);
    }

  private:
    os::Prompter& prompter_;
};

class Owner : public os::Window {
  public:
    using Window::Window;
};

class ModalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        os::Window::CreateParams params;
        params.title = "main";
        params.visible = true;
        ASSERT_TRUE(owner.Create(params));
    }
    void Click(os::Window& dialog, int id) { dialog.GetControl<os::Button>(id)->Click(); }

    os::ManualClock clock;
    os::WindowSystem system{clock};
    std::vector<os::PromptRecord> unanswered;
    os::ScriptedPrompter prompter{[this](const os::PromptRecord& r) { unanswered.push_back(r); }};
    Owner owner{system};
};

TEST_F(ModalTest, ActionFillsTheDialogAndItsOwnButtonEndsIt) {
    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make(owner.hwnd()));
    bool sawShown = false, sawOwnerEnabled = true, sawModal = false;
    prompter.AnswerDialog(os::IDCANCEL, [&](os::Window& shown) {
        sawShown = shown.IsWindowVisible();
        sawOwnerEnabled = owner.IsWindowEnabled();
        sawModal = prompter.IsModal(shown.hwnd());
        shown.GetControl<os::Edit>(kNameEdit)->TypeText("新的组名");
        Click(shown, os::IDOK);
    });
    os::HWND hwnd = dialog.hwnd();

    EXPECT_EQ(prompter.DoModal(dialog), os::IDOK);  // the dialog's own end, not the fallback
    EXPECT_TRUE(sawShown);
    EXPECT_FALSE(sawOwnerEnabled);
    EXPECT_TRUE(sawModal);
    EXPECT_GBK_EQ(dialog.name, "新的组名");
    EXPECT_FALSE(system.IsWindow(hwnd));
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_FALSE(prompter.IsModal(hwnd));

    auto records = prompter.RecordsOf(os::PromptKind::Dialog);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_GBK_EQ(records[0].caption, "修改组群名称");
    EXPECT_EQ(records[0].text, "#32770");
    EXPECT_EQ(records[0].owner, owner.hwnd());
    EXPECT_EQ(records[0].result, os::IDOK);
    EXPECT_TRUE(unanswered.empty());
}

TEST_F(ModalTest, WithoutAnActionTheAnswerEndsIt) {
    for (int result : {os::IDOK, os::IDCANCEL, 42}) {
        NameDialog dialog(system, prompter);
        ASSERT_TRUE(dialog.Make(owner.hwnd()));
        prompter.AnswerDialog(result);
        EXPECT_EQ(prompter.DoModal(dialog), result);
        EXPECT_FALSE(dialog.IsWindow());
    }
}

TEST_F(ModalTest, ClosingTheDialogCancelsIt) {
    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make(owner.hwnd()));
    prompter.AnswerDialog(os::IDOK, [](os::Window& shown) { shown.SendMessage(os::WM_CLOSE); });
    EXPECT_EQ(prompter.DoModal(dialog), os::IDCANCEL);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(prompter.Records().at(0).result, os::IDCANCEL);
}

TEST_F(ModalTest, PromptsRaisedInsideTheDialogAreAnsweredAndRecordedAfterIt) {
    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make(owner.hwnd(), "新建组群"));
    prompter.AnswerMessageBox(os::IDOK, {.textContains = "不能为空"});
    prompter.AnswerDialog(os::IDCANCEL, [&](os::Window& shown) {
        Click(shown, os::IDOK);  // empty name: a message box, the dialog stays
        EXPECT_TRUE(prompter.IsModal(shown.hwnd()));
        shown.GetControl<os::Edit>(kNameEdit)->TypeText("同事");
        Click(shown, os::IDOK);
    });
    EXPECT_EQ(prompter.DoModal(dialog), os::IDOK);
    auto records = prompter.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].kind, os::PromptKind::Dialog);
    EXPECT_GBK_EQ(records[1].text, "组名不能为空");
    EXPECT_TRUE(unanswered.empty());
}

TEST_F(ModalTest, PostedWorkIsHandledBeforeTheFallbackEnd) {
    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make(owner.hwnd()));
    prompter.AnswerDialog(os::IDCANCEL, [](os::Window& shown) {
        shown.GetControl<os::Edit>(kNameEdit)->TypeText("posted");
        shown.PostMessage(os::WM_COMMAND, os::MAKEWPARAM(os::IDOK, os::notify::kClicked));
    });
    EXPECT_EQ(prompter.DoModal(dialog), os::IDOK);
    EXPECT_EQ(dialog.name, "posted");
}

TEST_F(ModalTest, UnansweredDialogIsCancelledAndReported) {
    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make(owner.hwnd(), "系统设置"));
    EXPECT_EQ(prompter.DoModal(dialog), os::IDCANCEL);
    ASSERT_EQ(unanswered.size(), 1u);
    EXPECT_EQ(unanswered[0].kind, os::PromptKind::Dialog);
    EXPECT_GBK_EQ(unanswered[0].caption, "系统设置");
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(ModalTest, DialogsAreMatchedByTitle) {
    prompter.AnswerDialog(os::IDCANCEL, {}, {.caption = "群设置"});
    prompter.AnswerDialog(os::IDOK, {}, {.caption = "添加联系人"});
    NameDialog add(system, prompter);
    ASSERT_TRUE(add.Make(owner.hwnd(), "添加联系人"));
    EXPECT_EQ(prompter.DoModal(add), os::IDOK);
    EXPECT_EQ(prompter.Remaining(), 1u);
}

TEST_F(ModalTest, RefusesWhatCannotRunModally) {
    NameDialog notCreated(system, prompter);
    EXPECT_EQ(prompter.DoModal(notCreated), -1);

    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make(owner.hwnd()));
    int inner = 0;
    prompter.AnswerDialog(os::IDOK, [&](os::Window& shown) { inner = prompter.DoModal(shown); });
    EXPECT_EQ(prompter.DoModal(dialog), os::IDOK);
    EXPECT_EQ(inner, -1);  // already running

    NameDialog other(system, prompter);
    ASSERT_TRUE(other.Make(owner.hwnd()));
    int fromAnotherThread = 0;
    std::thread([&] { fromAnotherThread = prompter.DoModal(other); }).join();
    EXPECT_EQ(fromAnotherThread, -1);
    EXPECT_FALSE(prompter.EndDialog(other.hwnd(), os::IDOK));  // not running
    EXPECT_TRUE(other.IsWindow());
    EXPECT_TRUE(unanswered.empty());
}

TEST_F(ModalTest, AnOwnerDisabledBeforeStaysDisabled) {
    owner.EnableWindow(false);
    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make(owner.hwnd()));
    prompter.AnswerDialog(os::IDOK);
    prompter.DoModal(dialog);
    EXPECT_FALSE(owner.IsWindowEnabled());
}

// ---- The pumping loop of interactive prompters

// Asks nothing itself: only its modal loop is under test.
class PumpingPrompter final : public os::Prompter {
  public:
    using Prompter::MessageBox;
    int MessageBox(const os::MessageBoxRequest&) override { return os::IDCANCEL; }
    std::optional<std::string> OpenFile(const os::FileDialogRequest&) override { return {}; }
    std::optional<std::string> SaveFile(const os::FileDialogRequest&) override { return {}; }
    std::optional<os::FontChoice> ChooseFont(const os::FontRequest&) override { return {}; }
    std::optional<std::string> InputText(const os::InputRequest&) override { return {}; }
};

TEST(PumpingModalLoop, RunsUntilTheDialogEndsItself) {
    os::ManualClock clock;
    os::WindowSystem system(clock);
    PumpingPrompter prompter;
    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make({}));
    dialog.GetControl<os::Edit>(kNameEdit)->TypeText("abc");
    // The user's click, waiting in the queue when the loop starts.
    dialog.PostMessage(os::WM_COMMAND, os::MAKEWPARAM(os::IDOK, os::notify::kClicked));
    EXPECT_EQ(prompter.DoModal(dialog), os::IDOK);
    EXPECT_EQ(dialog.name, "abc");
    EXPECT_FALSE(dialog.IsWindow());
}

TEST(PumpingModalLoop, EndDialogFromAnotherThreadWakesTheLoop) {
    os::RealClock clock;
    os::WindowSystem system(clock);
    PumpingPrompter prompter;
    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make({}));
    os::HWND hwnd = dialog.hwnd();
    std::thread ender([&] {
        EXPECT_TRUE(
            testing_support::WaitFor([&] { return prompter.IsModal(hwnd); }, "the modal loop"));
        prompter.EndDialog(hwnd, os::IDYES);
    });
    EXPECT_EQ(prompter.DoModal(dialog), os::IDYES);
    ender.join();
}

TEST(PumpingModalLoop, GivesUpWhenTheLoopIsAskedToQuit) {
    os::RealClock clock;
    os::WindowSystem system(clock);
    PumpingPrompter prompter;
    NameDialog dialog(system, prompter);
    ASSERT_TRUE(dialog.Make({}));
    system.PostQuitMessage(7);
    EXPECT_EQ(prompter.DoModal(dialog), os::IDCANCEL);
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_EQ(system.Run(), 7);  // the quit is still there for the outer loop
}

}  // namespace
