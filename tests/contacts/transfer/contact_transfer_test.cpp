// Export of a tree, the round trip of hostile fields through export and import, and whole
// imports on the simulated session.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "../loading_fixture.h"
#include "contacts/transfer/contact_export.h"
#include "contacts/transfer/contact_importer.h"
#include "contacts/transfer/import_result_file.h"
#include "os/sys/file_ops.h"
#include "platform/session/sim_session_core.h"
#include "support/gbk_print.h"

namespace {

using namespace contacts;

class ContactTransferTest : public contacts_test::LoadingTest {
  protected:
    void SetUp() override { ASSERT_TRUE(LogIn()); }
    platform::SimSessionCore& sim() { return session(); }

    // Runs the import on a thread of its own, as the dialog does; its pauses are recorded in
    // `pauses` and end at once.
    ImportSummary RunImport(const ImportRequest& request,
                            std::vector<ImportProgress>* steps = nullptr) {
        ContactImporter importer(
            context().session,
            [&](const ImportProgress& p) {
                if (steps != nullptr) steps->push_back(p);
            },
            [&](os::Millis ms, const std::stop_token&) {
                pauses.push_back(ms);
                return true;
            });
        ImportSummary summary;
        std::thread worker([&] { summary = importer.Run(request); });
        worker.join();
        return summary;
    }

    ImportRequest TextRequest(const std::string& name, const std::string& bytes) {
        ImportRequest request;
        request.path = commonDir_.str() + name;
        EXPECT_TRUE(os::WriteFileAtomically(request.path, bytes));
        request.topKind = std::string(kRosterTop);
        request.buddyListTitle = "我的好友";
        request.phoneBookTitle = "个人通讯录";
        return request;
    }

    std::vector<platform::SessionCall> Calls(std::string_view name) {
        return sim().calls().Named(name);
    }

    std::vector<os::Millis> pauses;
};

TEST_F(ContactTransferTest, ExportingAnEmptyTreeWritesOnlyTheHeader) {
    auto tree = MakeTree();
    EXPECT_GBK_EQ(ExportTreeText(*tree),
                  "用户名,用户姓名或昵称,群组,工作电话,手机,邮件,行业,单位,职称,职务,\r\n");
}

TEST_F(ContactTransferTest, ExportWritesGroupPathsAndReplacesTheUnitsCommas) {
    auto tree = MakeTree();
    const os::TreeItem top = AddGroup(*tree, "g1", "总部");
    const os::TreeItem inner = AddGroup(*tree, "g2", "研发", top, "g1");
    CUser* wang = AddUser(*tree, "wang@im.example", "王伟", inner);
    wang->EditDetails().unit = "北京,海淀";
    wang->EditDetails().mobile = "13800138000";
    AddUser(*tree, "li@im.example", "李娜", top);
    const std::string text = ExportTreeText(*tree);
    const auto rows = ReadDelimitedRows(text, ImportSeparator::Comma);
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(rows[1].fields.size(), 11u);  // ten fields, each followed by ','
    EXPECT_EQ(rows[1].fields[0], "wang@im.example");
    EXPECT_GBK_EQ(rows[1].fields[2], "总部::研发");
    EXPECT_GBK_EQ(rows[1].fields[7], "北京;海淀");
    EXPECT_EQ(rows[1].text.find('"'), std::string::npos);  // nothing needed quoting
    EXPECT_GBK_EQ(rows[2].fields[2], "总部");
}

TEST_F(ContactTransferTest, HostileFieldsSurviveExportAndImport) {
    auto tree = MakeTree();
    const os::TreeItem group = AddGroup(*tree, "g1", "同事");
    CUser* user = AddUser(*tree, "-wang@im.example", "王伟", group);
    UserDetails& details = user->EditDetails();
    details.workPhone = "=HYPERLINK(\"http://x\")";
    details.mobile = "+8613800138000";
    details.mail = "@home";
    details.industry = "a \"quoted\" word";
    details.title = "line1\r\nline2";
    details.duty = "'=kept";
    details.unit = "x|y";
    ImportRequest request = TextRequest("hostile.csv", ExportTreeText(*tree));
    std::string bytes;
    ASSERT_TRUE(os::ReadFile(request.path, bytes));
    ASSERT_NE(bytes.find("'=HYPERLINK"), std::string::npos);

    const ImportSummary summary = RunImport(request);
    EXPECT_TRUE(summary.finished) << summary.failure;
    EXPECT_EQ(summary.rows, 1);  // the export's header is no row
    ASSERT_EQ(summary.accepted, 1);
    // The result file holds the row's fields as they were, one line per row.
    std::string result;
    ASSERT_TRUE(os::ReadFile(summary.resultPath, result));
    const auto lines = ReadDelimitedRows(result, ImportSeparator::Comma);
    ASSERT_EQ(lines.size(), 2u);
    const std::vector<std::string>& f = lines[1].fields;
    ASSERT_GE(f.size(), 10u);
    EXPECT_EQ(f[0], "-wang@im.example");
    EXPECT_EQ(f[3], details.workPhone);
    EXPECT_EQ(f[4], details.mobile);
    EXPECT_EQ(f[5], details.mail);
    EXPECT_EQ(f[6], details.industry);
    EXPECT_EQ(f[7], details.unit);
    EXPECT_EQ(f[8], details.title);
    EXPECT_EQ(f[9], details.duty);
    const auto added = Calls("AddContact");
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].args, (std::vector<std::string>{"-wang@im.example", "王伟", "同事"}));
}

TEST_F(ContactTransferTest, TenThousandRowsEachGetAResultLine) {
    std::string text;
    int expectedGood = 0;
    for (int i = 0; i < 10000; ++i) {
        switch (i % 5) {
            case 0:
                text += "user" + std::to_string(i) + "@im.example,用户,组" + std::to_string(i % 7) +
                        ",\r\n";
                ++expectedGood;
                break;
            case 1:
                text += std::to_string(13800000000LL + i) + ",短信,组1\r\n";
                ++expectedGood;
                break;
            case 2:
                text += "bad" + std::to_string(i) + ",坏,组1\r\n";
                break;  // no '@'
            case 3:
                text += "user" + std::to_string(i - 3) + "@im.example,重,组1\r\n";
                break;  // repeated
            case 4:
                text += "x\r\n";
                break;  // too short
        }
    }
    const ImportSummary summary = RunImport(TextRequest("many.csv", text));
    ASSERT_TRUE(summary.finished) << summary.failure;
    EXPECT_EQ(summary.rows, 10000);
    EXPECT_EQ(summary.accepted, expectedGood);
    EXPECT_EQ(summary.accepted + summary.rejected, summary.rows);
    EXPECT_EQ(summary.contactsAdded, expectedGood);
    std::string result;
    ASSERT_TRUE(os::ReadFile(summary.resultPath, result));
    const auto lines = ReadDelimitedRows(result, ImportSeparator::Comma);
    ASSERT_EQ(lines.size(), 10001u);
    int ok = 0, repeated = 0, invalid = 0, incomplete = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& last = lines[i].text;
        const std::size_t marker = last.rfind(kResultMarker);
        ASSERT_NE(marker, std::string::npos) << "line " << i;
        const std::string reason = last.substr(marker + kResultMarker.size());
        ok += reason == kRowAccepted;
        repeated += reason == kUserIdRepeated;
        invalid += reason == kUserIdInvalid;
        incomplete += reason == kRowIncomplete;
    }
    EXPECT_EQ(ok, expectedGood);
    EXPECT_EQ(repeated, 2000);
    EXPECT_EQ(invalid, 2000);
    EXPECT_EQ(incomplete, 2000);
    // Groups 组0..组6 are created once each, before any contact.
    EXPECT_EQ(summary.groupsCreated, 7);
    EXPECT_EQ(Calls("AddBudyGroup").size(), 7u);
}

TEST_F(ContactTransferTest, CreatesOnlyMissingLevelsUnderTheirParents) {
    ImportRequest request = TextRequest("levels.csv",
                                        "a@im.example,甲,总部::研发\r\n"
                                        "b@im.example,乙,总部::市场\r\n"
                                        "c@im.example,丙,总部\r\n");
    request.existingGroups = {{"", "总部"}};
    std::vector<ImportProgress> steps;
    const ImportSummary summary = RunImport(request, &steps);
    ASSERT_TRUE(summary.finished) << summary.failure;
    const auto groups = Calls("AddBudyGroup");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].args, (std::vector<std::string>{"研发", "研发", "总部"}));
    EXPECT_EQ(groups[1].args, (std::vector<std::string>{"市场", "市场", "总部"}));
    // The steps in their order, the server's whole-tree flag around them.
    std::vector<std::string> texts;
    for (const ImportProgress& p : steps) {
        if (texts.empty() || texts.back() != p.text) texts.push_back(p.text);
    }
    ASSERT_GE(texts.size(), 5u);
    EXPECT_GBK_EQ(texts[0], "正在读取导入文件...");
    EXPECT_GBK_EQ(texts[1], "与服务器同步 我的好友...");
    EXPECT_GBK_EQ(texts[2], "与服务器同步 个人通讯录...");
    EXPECT_GBK_EQ(texts[3], "正在匹配/创建组...");
    EXPECT_GBK_EQ(texts[4], "正在添加组 研发");
    EXPECT_EQ(steps.back().done, steps.back().total);
    const auto flags = Calls("SetRequestWholeTreeValue");
    ASSERT_EQ(flags.size(), 2u);
    EXPECT_EQ(flags[0].args[0], "1");
    EXPECT_EQ(flags[1].args[0], "0");
    EXPECT_EQ(Calls("RefreshRoster").at(0).args[0], "2");
    EXPECT_EQ(Calls("RefreshTelContactTop").at(0).args[0], "2");
    // Half a second after reading, a second after each list's refresh.
    EXPECT_EQ(pauses, (std::vector<os::Millis>{500, 1000, 1000}));
}

TEST_F(ContactTransferTest, AGroupTheServerRefusesEndsTheImportBeforeAnyContact) {
    ImportRequest request = TextRequest("refused.csv", "a@im.example,甲,新组\r\n");
    // A session that has logged out refuses every request, the group's among them.
    sim().Logout();
    std::vector<ImportProgress> steps;
    const ImportSummary summary = RunImport(request, &steps);
    EXPECT_FALSE(summary.finished);
    EXPECT_GBK_EQ(summary.failure, "导入失败---创建组织失败!");
    ASSERT_FALSE(steps.empty());
    EXPECT_GBK_EQ(steps.back().text, "导入失败---创建组织失败!");
    EXPECT_EQ(summary.groupsCreated, 0);
    EXPECT_EQ(Calls("AddBudyGroup").size(), 1u);
    EXPECT_TRUE(Calls("AddContact").empty());
    // The message stays three seconds; the whole-tree flag is reset.
    EXPECT_EQ(pauses.back(), 3000);
    EXPECT_EQ(Calls("SetRequestWholeTreeValue").back().args[0], "0");
}

TEST_F(ContactTransferTest, PhoneBookImportSendsPayloadsUnderUngroupedWhenNoLevelIsLeft) {
    ImportRequest request = TextRequest("phones.csv", "13800138000,<b>王,::,010,,m@x.cn\r\n");
    request.topKind = std::string(kPhoneBookTop);
    const ImportSummary summary = RunImport(request);
    ASSERT_TRUE(summary.finished) << summary.failure;
    const auto added = Calls("AddMobileContact");
    ASSERT_EQ(added.size(), 1u);
    EXPECT_GBK_EQ(added[0].args[0], "未分组");
    EXPECT_NE(added[0].args[1].find("<name>&lt;b&gt;王</name>"), std::string::npos);
    EXPECT_NE(added[0].args[1].find("<mobile>13800138000</mobile>"), std::string::npos);
    EXPECT_NE(added[0].args[1].find("<telephone>010</telephone>"), std::string::npos);
}

TEST_F(ContactTransferTest, AnUnreadableFileEndsTheImportBeforeAnyServerCall) {
    ImportRequest request = TextRequest("bad.csv", std::string("\xFF\xFE"
                                                               "abc",
                                                               5));
    ImportRequest missing = request;
    missing.path = commonDir_.str() + "absent.csv";
    for (const ImportRequest& r : {request, missing}) {
        const ImportSummary summary = RunImport(r);
        EXPECT_FALSE(summary.finished);
        EXPECT_FALSE(summary.failure.empty());
    }
    EXPECT_TRUE(Calls("SetRequestWholeTreeValue").empty());
    EXPECT_TRUE(Calls("RefreshRoster").empty());
}

TEST_F(ContactTransferTest, ColumnOrderMapsSourceColumnsToExportColumns) {
    // The file holds nickname, group, id; the order reads id from column 2.
    ImportRequest request = TextRequest("order.csv", "王伟,同事,wang@im.example\r\n");
    request.columnOrder = {2, 0, 1};
    const ImportSummary summary = RunImport(request);
    ASSERT_EQ(summary.accepted, 1) << summary.failure;
    EXPECT_EQ(Calls("AddContact").at(0).args,
              (std::vector<std::string>{"wang@im.example", "王伟", "同事"}));
}

}  // namespace
