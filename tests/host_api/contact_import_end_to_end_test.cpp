// Contact import and export through the contact door that ClientSubsystems plugs in: the file
// chooser, the import dialog and its worker, the simulated server's roster.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "contacts/transfer/contact_importer.h"
#include "contacts/transfer/contact_transfer_flows.h"
#include "contacts/transfer/dlg_import_contacts.h"
#include "contacts/transfer/import_row_validator.h"
#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "os/services/recording_shell.h"
#include "os/sys/file_ops.h"
#include "subsystems_fixture.h"

namespace host_api_test {
namespace {

class ContactImportEndToEndTest : public SubsystemsTest {
  protected:
    core::ContactService& door() { return *context.doors().contacts; }

    // Writes `text` as the import file, answers the file chooser with it and opens the import
    // dialog of the buddy list through the door.
    contacts::CDlgImportContacts* OpenImport(const std::string& text) {
        file = commonDir.str() + "import.csv";
        EXPECT_TRUE(os::WriteFileAtomically(file, text));
        world.prompter().AnswerOpenFile(file);
        door().ShowImportAddressList(false);
        return subsystems->contactService().transfer().importDialog();
    }

    // Until the worker waits for the dialog's pace timer, or has ended.
    ::testing::AssertionResult PumpToPauseOrEnd(contacts::CDlgImportContacts& dialog) {
        return testing_support::PumpUntil(
            world.windows(), [&] { return dialog.pacing() || !dialog.running(); },
            "the import's next pause or its end");
    }

    // Moves the manual clock through each pause of the import (the dialog's pace timer) until
    // its worker has ended, then handles what the worker posted last.
    ::testing::AssertionResult FinishImport(contacts::CDlgImportContacts& dialog) {
        // Four pauses at most: after reading, after each refresh, after a failure.
        for (int pause = 0; pause <= 4; ++pause) {
            auto reached = PumpToPauseOrEnd(dialog);
            if (!reached || !dialog.running()) break;
            // The clock's steps handle this thread's messages too: the next pause may begin
            // before Advance returns, so the pauses are counted, not the pacing flag.
            const int ended = dialog.pausesEnded();
            world.clock().Advance(contacts::kAfterFailurePauseMs);
            auto resumed = testing_support::PumpUntil(
                world.windows(), [&] { return dialog.pausesEnded() > ended; },
                "the pace timer's end");
            if (!resumed) return resumed;
        }
        if (dialog.running())
            return ::testing::AssertionFailure() << "more pauses than an import has";
        while (world.windows().PumpPending() > 0) {
        }
        if (!dialog.summary()) return ::testing::AssertionFailure() << "the worker left no summary";
        return ::testing::AssertionSuccess();
    }

    std::optional<std::string> Status(qorvdesk::automation::Driver& driver,
                                      qorvdesk::automation::WindowHandle window) {
        return driver.Text(window, contacts::CDlgImportContacts::kStatusLabelId);
    }

    std::string file;
};

TEST_F(ContactImportEndToEndTest, ImportsRowsIntoTheServersRosterAndListsEveryRow) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    contacts::CDlgImportContacts* dialog = OpenImport("alice@" + world.simSession().GetHostName() +
                                                      ",Alice,朋友\r\n"
                                                      "@bad,坏,朋友\r\n"
                                                      "13800138000,短信,手机\r\n");
    ASSERT_NE(dialog, nullptr);
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    const qorvdesk::automation::WindowHandle window = dialog->hwnd().value();
    ASSERT_TRUE(driver.Click(window, os::IDOK)) << driver.LastError();
    ASSERT_TRUE(FinishImport(*dialog));

    const contacts::ImportSummary summary = *dialog->summary();
    EXPECT_TRUE(summary.finished) << summary.failure;
    EXPECT_EQ(summary.rows, 3);
    EXPECT_EQ(summary.accepted, 2);
    EXPECT_EQ(summary.contactsAdded, 2);
    // The groups the tree lacked were created; "同事" (Bob's) was there already.
    const auto groups = world.simSession().calls().Named("AddBudyGroup");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_GBK_EQ(groups[0].args[0], "朋友");
    EXPECT_GBK_EQ(groups[1].args[0], "手机");
    // The server's roster holds both new contacts beside Bob.
    int found = 0;
    for (const platform::SimRosterItem& item : world.server().Roster(me)) {
        if (item.jid == "alice@" + world.simSession().GetHostName()) {
            ++found;
            EXPECT_GBK_EQ(item.group, "朋友");
        }
        if (item.jid == "13800138000@sms." + world.simSession().GetHostName()) ++found;
    }
    EXPECT_EQ(found, 2);
    // The progress bar reached its end and the last step is shown.
    EXPECT_EQ(driver.ProgressPosition(window, contacts::CDlgImportContacts::kProgressId), 100);
    EXPECT_GBK_EQ(Status(driver, window).value_or(""), "正在处理数据请稍候...");
    std::string result;
    ASSERT_TRUE(os::ReadFile(file + ".bak.csv", result));
    EXPECT_NE(result.find("@bad,坏,朋友,!~!第一列用户名不合法,\n"), std::string::npos);
}

// The pauses are the dialog's timer on the one clock: the next step waits for it to run out,
// and closing the dialog in a pause stops the worker before it adds anyone.
TEST_F(ContactImportEndToEndTest, StepsWaitForThePaceTimerAndClosingInAPauseStopsTheImport) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    contacts::CDlgImportContacts* dialog =
        OpenImport("alice@" + world.simSession().GetHostName() + ",Alice,朋友\r\n");
    ASSERT_NE(dialog, nullptr);
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    const qorvdesk::automation::WindowHandle window = dialog->hwnd().value();
    ASSERT_TRUE(driver.Click(window, os::IDOK)) << driver.LastError();

    ASSERT_TRUE(PumpToPauseOrEnd(*dialog));
    ASSERT_TRUE(dialog->pacing());
    EXPECT_GBK_EQ(Status(driver, window).value_or(""), "正在读取导入文件...");
    world.clock().Advance(contacts::kAfterReadingPauseMs - 1);
    world.windows().PumpPending();
    EXPECT_TRUE(dialog->pacing());
    EXPECT_EQ(dialog->pausesEnded(), 0);
    EXPECT_GBK_EQ(Status(driver, window).value_or(""), "正在读取导入文件...");
    world.clock().Advance(1);
    ASSERT_TRUE(testing_support::PumpUntil(
        world.windows(), [&] { return dialog->pausesEnded() == 1 && dialog->pacing(); }));
    EXPECT_GBK_EQ(Status(driver, window).value_or(""), "与服务器同步 buddy...");

    ASSERT_TRUE(driver.Click(window, os::IDCANCEL)) << driver.LastError();
    ASSERT_TRUE(testing_support::PumpUntil(world.windows(), [&] { return !dialog->running(); }));
    ASSERT_TRUE(dialog->summary().has_value());
    EXPECT_FALSE(dialog->summary()->finished);
    EXPECT_TRUE(world.simSession().calls().Named("AddBudyGroup").empty());
    EXPECT_TRUE(world.simSession().calls().Named("AddContact").empty());
    const auto flags = world.simSession().calls().Named("SetRequestWholeTreeValue");
    ASSERT_FALSE(flags.empty());
    EXPECT_EQ(flags.back().args[0], "0");
}

TEST_F(ContactImportEndToEndTest, ExportWritesTheBuddyListAndOpensIt) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    const std::string file = commonDir.str() + "out.csv";
    world.prompter().AnswerSaveFile(file);
    world.prompter().AnswerMessageBox(os::IDOK);
    door().ShowExportAddressList(false);
    std::string text;
    ASSERT_TRUE(os::ReadFile(file, text));
    EXPECT_GBK_EQ(text, "用户名,用户姓名或昵称,群组,工作电话,手机,邮件,行业,单位,职称,职务,\r\n" +
                            bob + ",Bob,同事,,,,,,,,\r\n");
    ASSERT_EQ(world.shell().RequestCount(), 1u);
    EXPECT_EQ(world.shell().Requests()[0].file, file);
}

TEST_F(ContactImportEndToEndTest, ExportToAFolderThatCannotHoldTheFileSaysSo) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    world.prompter().AnswerSaveFile(commonDir.str() + "missing/folder/out.csv");
    world.prompter().AnswerMessageBox(os::IDOK, {.textContains = contacts::kExportFailed});
    door().ShowExportAddressList(false);
    EXPECT_EQ(world.shell().RequestCount(), 0u);
}

}  // namespace
}  // namespace host_api_test
