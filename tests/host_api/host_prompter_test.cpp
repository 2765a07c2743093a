// The library's prompter answered by a host: modal dialogs run in the host's nested loop,
// choosers, the font dialog and input prompts answered by the host's handlers in GBK, and
// what happens without handlers or with answers that do not fit.

#include "host_api/host_prompter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "chat/dlg_face_picker.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "qorvdesk/automation.h"
#include "support/gbk_print.h"
#include "support/windows/recording_window.h"

namespace {

using qorvdesk::automation::Driver;

// A host's nested loop: pumps the library's loop, lets the "person" act once the dialog is
// on screen, and stops when the library says it is done (bounded, so a broken run fails).
struct NestedHost {
    os::WindowSystem* system = nullptr;
    std::function<void()> person;
    int calls = 0;
    int pumps = 0;
    bool sawDone = false;

    static void Run(void* user, int (*done)(void*), void* arg) {
        auto& host = *static_cast<NestedHost*>(user);
        ++host.calls;
        for (int round = 0; round < 100 && !done(arg); ++round) {
            host.system->PumpPending();
            ++host.pumps;
            if (round == 0 && host.person) host.person();
        }
        host.sawDone = done(arg) != 0;
    }
};

class HostPrompterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(owner.CreateTopLevel("chat"));
        prompter.SetLog(log.get());
        host.system = &system;
    }

    bool Logged(const char* text) const { return log->HasCaptured(text); }

    os::ManualClock clock;
    os::WindowSystem system{clock};
    std::unique_ptr<os::Log> log = os::Log::Capturing(clock);
    HostPrompter prompter;
    testing_support::RecordingWindow owner{system};
    NestedHost host;
};

TEST_F(HostPrompterTest, AModalDialogRunsInTheHostsNestedLoopUntilThePersonChooses) {
    prompter.SetNestedLoopHandler(&NestedHost::Run, &host);
    chat::CDlgFacePicker picker(system, prompter);
    ASSERT_TRUE(picker.Make(owner.hwnd()));
    Driver driver(system, &prompter);
    bool ownerDisabled = false;
    host.person = [&] {
        ownerDisabled = !system.IsWindowEnabled(owner.hwnd());
        EXPECT_TRUE(driver.Click(picker.hwnd().value(), chat::CDlgFacePicker::kFirstFaceButton + 5))
            << driver.LastError();
    };
    EXPECT_EQ(prompter.DoModal(picker), os::IDOK);
    EXPECT_EQ(host.calls, 1);
    EXPECT_TRUE(host.sawDone);
    EXPECT_TRUE(ownerDisabled) << "the owner takes no input while the dialog runs";
    EXPECT_EQ(picker.selection(), 6);
    EXPECT_TRUE(system.IsWindowEnabled(owner.hwnd()));
}

TEST_F(HostPrompterTest, AQuitAskedForEndsTheNestedRunAndStaysQueued) {
    prompter.SetNestedLoopHandler(&NestedHost::Run, &host);
    chat::CDlgFacePicker picker(system, prompter);
    ASSERT_TRUE(picker.Make(owner.hwnd()));
    host.person = [&] { system.PostQuitMessage(4); };
    EXPECT_EQ(prompter.DoModal(picker), os::IDCANCEL);
    EXPECT_TRUE(host.sawDone);
    EXPECT_LT(host.pumps, 100) << "done must answer at the quit, not let the host spin";
    EXPECT_TRUE(system.IsQuitPending()) << "the quit is the outer loop's";
}

TEST_F(HostPrompterTest, WithoutANestedLoopHandlerTheLibraryPumpsItsOwnLoop) {
    chat::CDlgFacePicker picker(system, prompter);
    ASSERT_TRUE(picker.Make(owner.hwnd()));
    system.PostTask(picker.hwnd(), [&] {
        Driver driver(system, &prompter);
        driver.Click(picker.hwnd().value(), chat::CDlgFacePicker::kFirstFaceButton + 1);
    });
    EXPECT_EQ(prompter.DoModal(picker), os::IDOK);
    EXPECT_EQ(host.calls, 0);
    EXPECT_EQ(picker.selection(), 2);
}

// ---- File choosers

struct FileHost {
    QorvFileRequest seen{};
    std::string title, filter, name, extension, folder;
    std::string answer;  // written as given; a longer one than the buffer is not terminated
    int result = 1;

    static int Choose(void* user, const QorvFileRequest* request, char* path, size_t capacity) {
        auto& host = *static_cast<FileHost*>(user);
        host.seen = *request;
        host.title = request->title;
        host.filter = request->filter;
        host.name = request->defaultName;
        host.extension = request->defaultExtension;
        host.folder = request->initialFolder;
        std::memcpy(path, host.answer.data(), std::min(capacity, host.answer.size()));
        if (host.answer.size() < capacity) path[host.answer.size()] = '\0';
        return host.result;
    }
};

TEST_F(HostPrompterTest, FileChoosersAreAnsweredByTheHostInGbk) {
    FileHost files;
    files.answer = "/home/李四/文档/报告.txt";
    prompter.SetFileChooserHandler(&FileHost::Choose, &files);
    os::FileDialogRequest request;
    request.owner = owner.hwnd();
    request.title = "选择要发送的文件";
    request.filter = "文本文件 (*.txt)|*.txt|所有文件 (*.*)|*.*||";
    request.defaultName = "常用语.txt";
    request.defaultExtension = "txt";
    request.initialFolder = "/home/李四";

    EXPECT_GBK_EQ(prompter.OpenFile(request).value_or("(cancel)"), files.answer);
    EXPECT_EQ(files.seen.save, 0);
    EXPECT_EQ(files.seen.owner, owner.hwnd().value());
    EXPECT_GBK_EQ(files.title, request.title);
    EXPECT_GBK_EQ(files.filter, request.filter);
    EXPECT_GBK_EQ(files.name, request.defaultName);
    EXPECT_EQ(files.extension, "txt");
    EXPECT_GBK_EQ(files.folder, request.initialFolder);

    EXPECT_TRUE(prompter.SaveFile(request).has_value());
    EXPECT_EQ(files.seen.save, 1);
}

struct ChooserCase {
    const char* name;
    std::string answer;
    int result;
    bool chosen;
    const char* logged;  // in the log when not chosen (empty: nothing to say)
};

class HostFileAnswerTest : public HostPrompterTest,
                           public ::testing::WithParamInterface<ChooserCase> {};

TEST_P(HostFileAnswerTest, AnAnswerThatCannotNameTheFileIsCancel) {
    FileHost files;
    files.answer = GetParam().answer;
    files.result = GetParam().result;
    prompter.SetFileChooserHandler(&FileHost::Choose, &files);
    const auto chosen = prompter.OpenFile({.title = "导入"});
    EXPECT_EQ(chosen.has_value(), GetParam().chosen);
    if (GetParam().chosen) {
        EXPECT_EQ(*chosen, GetParam().answer);
    }
    if (*GetParam().logged) {
        EXPECT_TRUE(Logged(GetParam().logged));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HostFileAnswerTest,
    ::testing::Values(ChooserCase{"Chosen", "/tmp/a.txt", 1, true, ""},
                      ChooserCase{"CancelledByThePerson", "/tmp/a.txt", 0, false, ""},
                      ChooserCase{"AnythingButOneIsCancel", "/tmp/a.txt", 2, false, ""},
                      ChooserCase{"EmptyPath", "", 1, false, "太长或为空"},
                      ChooserCase{"TooLongForTheBuffer",
                                  std::string(HostPrompter::kPathCapacity, 'x'), 1, false,
                                  "太长或为空"},
                      ChooserCase{"JustFits",
                                  "/" + std::string(HostPrompter::kPathCapacity - 2, 'y'), 1, true,
                                  ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostPrompterTest, WithoutHandlersEveryChooserAndPromptIsCancelAndLogged) {
    EXPECT_FALSE(prompter.OpenFile({.title = "导入常用语"}).has_value());
    EXPECT_FALSE(prompter.SaveFile({.title = "导出常用语"}).has_value());
    EXPECT_FALSE(prompter.ChooseFont({}).has_value());
    EXPECT_FALSE(prompter.InputText({.caption = "新常用语", .prompt = "请输入"}).has_value());
    for (const char* expected :
         {"打开文件 [导入常用语]", "保存文件 [导出常用语]", "字体", "输入框 [新常用语]"}) {
        EXPECT_TRUE(Logged(expected)) << testing_support::DisplayGbk(expected);
    }
}

// ---- The font dialog

struct FontHost {
    QorvFontChoice seen{};
    QorvWindow owner = 0;
    std::function<void(QorvFontChoice&)> change;
    int result = 1;
    static int Choose(void* user, QorvWindow owner, QorvFontChoice* choice) {
        auto& host = *static_cast<FontHost*>(user);
        host.seen = *choice;
        host.owner = owner;
        if (host.change) host.change(*choice);
        return host.result;
    }
};

TEST_F(HostPrompterTest, TheFontDialogStartsFromTheGivenFontAndAnswersTheChosenOne) {
    FontHost fonts;
    fonts.change = [](QorvFontChoice& c) {
        std::strcpy(c.faceName, "黑体");
        c.heightTwips = 240;
        c.bold = 1;
        c.underline = 1;
        c.color = 0xFF0000FFu;  // a stray high byte is no part of a COLORREF
    };
    prompter.SetFontHandler(&FontHost::Choose, &fonts);
    os::FontRequest request;
    request.owner = owner.hwnd();
    request.initial.faceName = "宋体";
    request.initial.height = 180;
    request.initial.italic = true;
    request.initial.color = 0x00123456;

    const auto chosen = prompter.ChooseFont(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_GBK_EQ(fonts.seen.faceName, "宋体");
    EXPECT_EQ(fonts.seen.heightTwips, 180);
    EXPECT_EQ(fonts.seen.italic, 1);
    EXPECT_EQ(fonts.seen.color, 0x00123456u);
    EXPECT_EQ(fonts.owner, owner.hwnd().value());
    os::FontChoice expected;
    expected.faceName = "黑体";
    expected.height = 240;
    expected.bold = true;
    expected.italic = true;
    expected.underline = true;
    expected.color = 0x000000FF;
    EXPECT_EQ(*chosen, expected);
}

TEST_F(HostPrompterTest, AFontWithoutATerminatedNameOrAHeightIsCancel) {
    FontHost fonts;
    prompter.SetFontHandler(&FontHost::Choose, &fonts);
    fonts.change = [](QorvFontChoice& c) { std::memset(c.faceName, 'A', sizeof c.faceName); };
    EXPECT_FALSE(prompter.ChooseFont({}).has_value());
    fonts.change = [](QorvFontChoice& c) { c.heightTwips = 0; };
    EXPECT_FALSE(prompter.ChooseFont({}).has_value());
    fonts.change = {};
    fonts.result = 0;
    EXPECT_FALSE(prompter.ChooseFont({}).has_value());
}

TEST_F(HostPrompterTest, ALongFaceNameIsCutOnACharacterBoundaryOnTheWayOut) {
    FontHost fonts;
    fonts.result = 0;
    prompter.SetFontHandler(&FontHost::Choose, &fonts);
    os::FontRequest request;
    request.initial.faceName = "A";
    for (int i = 0; i < 40; ++i) request.initial.faceName += "字";  // 81 bytes
    prompter.ChooseFont(request);
    const std::string seen = fonts.seen.faceName;
    EXPECT_EQ(seen.size(), 63u);
    EXPECT_EQ(seen, request.initial.faceName.substr(0, 63));
}

// ---- Input prompts

struct InputHost {
    QorvInputRequest seen{};
    std::string caption, prompt, initial;
    std::string answer;
    size_t capacity = 0;
    static int Ask(void* user, const QorvInputRequest* request, char* text, size_t capacity) {
        auto& host = *static_cast<InputHost*>(user);
        host.seen = *request;
        host.caption = request->caption;
        host.prompt = request->prompt;
        host.initial = request->initialValue;
        host.capacity = capacity;
        std::memcpy(text, host.answer.data(), std::min(capacity, host.answer.size()));
        if (host.answer.size() < capacity) text[host.answer.size()] = '\0';
        return 1;
    }
};

TEST_F(HostPrompterTest, InputPromptsAreAnsweredWithinTheirByteLimit) {
    InputHost input;
    prompter.SetInputHandler(&InputHost::Ask, &input);
    os::InputRequest request;
    request.owner = owner.hwnd();
    request.caption = "验证码";
    request.prompt = "请输入短信验证码";
    request.initialValue = "12";
    request.maxBytes = 6;
    request.password = true;

    input.answer = "你好";
    EXPECT_GBK_EQ(prompter.InputText(request).value_or("(cancel)"), "你好");
    EXPECT_GBK_EQ(input.caption, "验证码");
    EXPECT_GBK_EQ(input.prompt, "请输入短信验证码");
    EXPECT_EQ(input.initial, "12");
    EXPECT_EQ(input.seen.maxBytes, 6u);
    EXPECT_EQ(input.seen.password, 1);
    EXPECT_EQ(input.capacity, 7u);

    input.answer = "1234567";  // one byte over the limit
    EXPECT_FALSE(prompter.InputText(request).has_value());
    EXPECT_TRUE(Logged("输入太长"));

    request.maxBytes = 0;
    input.answer = std::string(1000, 'z');
    EXPECT_EQ(prompter.InputText(request).value_or(""), input.answer);
}

}  // namespace
