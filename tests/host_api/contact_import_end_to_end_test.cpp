// Contact import and export through the contact door that ClientSubsystems plugs in: the file
// chooser, the import dialog and its worker, the simulated server's roster.
#include <gtest/gtest.h>

#include <string>

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

    // Moves the manual clock through the import's pauses until its worker has ended. The
    // client's own threads wait on the clock too: the worker's pause is a waiter beyond the
    // `idleWaiters` counted before the import started.
    ::testing::AssertionResult FinishImport(contacts::CDlgImportContacts& dialog, int idleWaiters) {
        for (int pause = 0; pause < 12; ++pause) {
            auto paused = testing_support::PumpUntil(world.windows(), [&] {
                return dialog.summary().has_value() || world.clock().WaiterCount() > idleWaiters;
            });
            if (!paused) return paused;
            if (dialog.summary()) break;
            world.clock().Advance(3000);
        }
        return testing_support::PumpUntil(world.windows(),
                                          [&] { return dialog.summary().has_value(); });
    }
};

TEST_F(ContactImportEndToEndTest, DISABLED_ImportsRowsIntoTheServersRosterAndListsEveryRow) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    const std::string file = commonDir.str() + "import.csv";
    ASSERT_TRUE(os::WriteFileAtomically(file,
                                        "alice@" + world.simSession().GetHostName() +
                                            ",Alice,朋友\r\n"
                                            "@bad,坏,朋友\r\n"
                                            "13800138000,短信,手机\r\n"));
    world.prompter().AnswerOpenFile(file);
    door().ShowImportAddressList(false);
    contacts::CDlgImportContacts* dialog = subsystems->contactService().transfer().importDialog();
    ASSERT_NE(dialog, nullptr);
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    const qorvdesk::automation::WindowHandle window = dialog->hwnd().value();
    const int idleWaiters = world.clock().WaiterCount();
    ASSERT_TRUE(driver.Click(window, os::IDOK)) << driver.LastError();
    ASSERT_TRUE(FinishImport(*dialog, idleWaiters));

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
    std::string result;
    ASSERT_TRUE(os::ReadFile(file + ".bak.csv", result));
    EXPECT_NE(result.find("@bad,坏,朋友,!~!第一列用户名不合法,\n"), std::string::npos);
}

TEST_F(ContactImportEndToEndTest, ExportWritesTheBuddyListAndOpensIt) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    const std::string file = commonDir.str() + "out.csv";
    world.prompter().AnswerSaveFile(file);
    world.prompter().AnswerMessageBox(os::IDOK);
    door().ShowExportAddressList(false);
    std::string text;
    ASSERT_TRUE(os::ReadFile(file, text));
    EXPECT_GBK_EQ(text,
                  "用户名,用户姓名或昵称,群组,工作电话,手机,邮件,行业,单位,职称,职务,\r\n" +
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
