// The printer writes its messages as a PDF table: a valid file with the rows' texts, as many
// pages as the rows need, on the paper chosen.

#include "platform/print/msg_print.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "os/prompt/scripted_prompter.h"
#include "os/services/recording_shell.h"
#include "os/text/gbk_codec.h"
#include "support/fontconfig_caches.h"
#include "support/temp_dir.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The text of the PDF as poppler reads it (UTF-8), and its page count.
std::string PdfText(const std::string& path) {
    std::string text;
    FILE* pipe = ::popen(("pdftotext -q '" + path + "' -").c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    ::pclose(pipe);
    return text;
}

int PdfPages(const std::string& path) {
    FILE* pipe = ::popen(("pdfinfo '" + path + "'").c_str(), "r");
    if (pipe == nullptr) return -1;
    int pages = -1;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::sscanf(line, "Pages: %d", &pages);
    }
    ::pclose(pipe);
    return pages;
}

bool IsPdf(const std::string& bytes) {
    return bytes.starts_with("%PDF-") &&
           bytes.find("%%EOF", bytes.size() > 32 ? bytes.size() - 32 : 0) != std::string::npos;
}

class MsgPrintTest : public ::testing::Test {
  protected:
    testing_support::TempDir dir_;
    os::ScriptedPrompter prompter_;
    os::RecordingShell shell_;
    CMsgPrint printer_{prompter_, shell_, dir_.str() + "temp/"};
};

TEST_F(MsgPrintTest, PrintWritesTheMessagesAsAPdfTableWhereTheUserSaysOnThePaperChosen) {
    printer_.AddMessage({"张三", "李四", "2026-01-05 09:01:02", "明天上午十点开会"});
    printer_.AddMessage({"李四", "张三", "2026-01-05 09:02:00", "好的 see you"});
    prompter_.AnswerInput("Letter");
    ASSERT_TRUE(printer_.PrintSetup({}));
    EXPECT_EQ(printer_.paper(), PaperSize::Letter);
    const std::string path = dir_.str() + "out.pdf";
    prompter_.AnswerSaveFile(path);
    ASSERT_TRUE(printer_.Print({}));

    const std::string bytes = ReadFile(path);
    EXPECT_TRUE(IsPdf(bytes));
    EXPECT_NE(bytes.find("/MediaBox [ 0 0 612 792 ]"), std::string::npos);
    EXPECT_EQ(PdfPages(path), 1);
    const std::string text = PdfText(path);
    for (const char* part : {"发送者", "内容", "张三", "李四", "明天上午十点开会", "好的 see you",
                             "2026-01-05 09:02:00"}) {
        EXPECT_NE(text.find(os::GbkToUtf8Lossy(part)), std::string::npos) << part;
    }
    ASSERT_EQ(prompter_.Records().size(), 2u);
}

TEST_F(MsgPrintTest, RowsBeyondAPageGoOnNewPagesAndALongTextIsWrapped) {
    std::string longText;
    for (int i = 0; i < 60; ++i) longText += "很长的消息内容";
    for (int i = 0; i < 120; ++i) {
        printer_.AddMessage({"发送" + std::to_string(i), "接收", "2026-01-05 09:00:00",
                             i == 0 ? longText : "第" + std::to_string(i) + "条"});
    }
    const std::string path = dir_.str() + "many.pdf";
    ASSERT_GT(CMsgPrint::WritePdf(path, printer_.messages(), PaperSize::A4), 2);
    EXPECT_EQ(PdfPages(path), CMsgPrint::WritePdf(path, printer_.messages(), PaperSize::A4));
    const std::string text = PdfText(path);
    EXPECT_NE(text.find(os::GbkToUtf8Lossy("第119条")), std::string::npos);
}

TEST_F(MsgPrintTest, PreviewWritesTheTemporaryFileAndOpensIt) {
    printer_.AddMessage({"张三", "李四", "2026-01-05 09:01:02", "预览"});
    ASSERT_TRUE(printer_.PreView({}));
    ASSERT_EQ(shell_.RequestCount(), 1u);
    const std::string file = shell_.Requests()[0].file;
    EXPECT_EQ(file, dir_.str() + "temp/" + CMsgPrint::kPreviewFileName);
    EXPECT_TRUE(IsPdf(ReadFile(file)));
    EXPECT_NE(PdfText(file).find(os::GbkToUtf8Lossy("预览")), std::string::npos);
}

TEST_F(MsgPrintTest, CancelledSaveAndUnknownPaperChangeNothing) {
    prompter_.AnswerInput("B5");
    EXPECT_FALSE(printer_.PrintSetup({}));
    EXPECT_EQ(printer_.paper(), PaperSize::A4);
    prompter_.CancelSaveFile();
    EXPECT_FALSE(printer_.Print({}));
    // A folder that cannot be written to: no file, and the print says so.
    EXPECT_EQ(CMsgPrint::WritePdf(dir_.str() + "missing/x.pdf", printer_.messages(), PaperSize::A4),
              0);
}

}  // namespace
