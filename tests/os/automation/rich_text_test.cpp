// Reading rich text: plain text, format runs, objects, and the one-line-per-piece
// description.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "os/automation/rich_text_reader.h"
#include "support/gbk_print.h"
#include "test_dialog.h"

namespace automation_test {
namespace {

namespace automation = qorvdesk::automation;

TEST_F(DriverTest, RichTextReportsRunsLinksAndADescription) {
    auto content = driver.ReadRichText(window, id::kView);
    ASSERT_TRUE(content);
    EXPECT_GBK_EQ(content->plainText, "详见 http://a.cn 或 帮助");
    ASSERT_EQ(content->runs.size(), 4u);
    EXPECT_EQ(content->runs[1].start, 3);
    EXPECT_EQ(content->runs[1].length, 11);
    EXPECT_TRUE(content->runs[1].link);
    EXPECT_EQ(content->runs[3].linkTarget, "http://b.cn/help");
    EXPECT_TRUE(content->objects.empty());
    EXPECT_GBK_EQ(content->description,
                  "text \"详见 \" 宋体 9pt #000000\n"
                  "text \"http://a.cn\" 宋体 9pt #000000 link\n"
                  "text \" 或 \" 宋体 9pt #000000\n"
                  "text \"帮助\" 宋体 9pt #000000 link -> \"http://b.cn/help\"\n");
}

TEST_F(DriverTest, RichTextReportsObjectsInPlace) {
    auto* view = dialog.GetControl<os::RichEdit>(id::kView);
    view->SetText("看");
    view->SetSel(-1, -1);
    view->InsertObject({os::RichObjectKind::Face, 12, ""});
    view->InsertObject({os::RichObjectKind::Picture, 10001, "a1b2.jpg"});
    view->ReplaceSel("图");

    auto content = driver.ReadRichText(window, id::kView);
    ASSERT_TRUE(content);
    EXPECT_GBK_EQ(content->plainText, "看  图");  // each object reads as one blank
    ASSERT_EQ(content->objects.size(), 2u);
    EXPECT_EQ(content->objects[0].position, 1);
    EXPECT_EQ(content->objects[0].kind, automation::ObjectKind::Face);
    EXPECT_EQ(content->objects[0].userValue, 12u);
    EXPECT_EQ(content->objects[1].position, 2);
    EXPECT_EQ(content->objects[1].name, "a1b2.jpg");
    EXPECT_GBK_EQ(content->description,
                  "text \"看\" 宋体 9pt #000000\n"
                  "face 12\n"
                  "picture 10001 \"a1b2.jpg\"\n"
                  "text \"图\" 宋体 9pt #000000\n");
}

TEST(RichTextDescriptionTest, RunLinesShowEveryFormatField) {
    auto run = [](auto change) {
        automation::RichRun r;
        r.text = "字";
        r.faceName = "宋体";
        r.heightTwips = 180;
        change(r);
        return r;
    };
    struct Case {
        automation::RichRun run;
        const char* line;
    };
    const Case cases[] = {
        {run([](auto&) {}), "text \"字\" 宋体 9pt #000000"},
        {run([](auto& r) { r.heightTwips = 210; }), "text \"字\" 宋体 10.5pt #000000"},
        {run([](auto& r) { r.color = os::Rgb(0x12, 0x34, 0x56); }), "text \"字\" 宋体 9pt #123456"},
        {run([](auto& r) { r.autoColor = true; }), "text \"字\" 宋体 9pt auto"},
        {run([](auto& r) { r.bold = r.italic = r.underline = r.strikeOut = true; }),
         "text \"字\" 宋体 9pt #000000 bold italic underline strike"},
        {run([](auto& r) { r.faceName = "Times New Roman"; }),
         "text \"字\" \"Times New Roman\" 9pt #000000"},
        {run([](auto& r) { r.text = "a\"b\\c\r\n\x01"; }),
         "text \"a\\\"b\\\\c\\r\\n\\x01\" 宋体 9pt #000000"},
        // A GBK trail byte 0x5C is half a character, not a backslash.
        {run([](auto& r) { r.text = "\x9C\x5C"; }), "text \"\x9C\x5C\" 宋体 9pt #000000"},
    };
    for (const Case& c : cases) EXPECT_GBK_EQ(automation::DescribeRun(c.run), c.line);
}

TEST(RichTextDescriptionTest, ObjectLinesNameTheirKind) {
    using K = automation::ObjectKind;
    struct Case {
        automation::RichObjectInfo object;
        const char* line;
    };
    const Case cases[] = {
        {{0, K::Face, 3, ""}, "face 3"},
        {{0, K::Picture, 10002, "p.jpg"}, "picture 10002 \"p.jpg\""},
        {{0, K::PicturePlaceholder, 0, "q.jpg"}, "picture-pending \"q.jpg\""},
        {{0, K::OfflineFile, 0, "报告.doc"}, "offline-file \"报告.doc\""},
        {{0, K::Other, 9, "x"}, "object 9 \"x\""},
    };
    for (const Case& c : cases) EXPECT_GBK_EQ(automation::DescribeObject(c.object), c.line);
}

}  // namespace
}  // namespace automation_test
