#pragma once
// MsgPrint: printing of message lists. The printer object collects messages (AddMessage) and
// lays them out as one table, a row per message, with page breaks: PreView writes the pages
// as a PDF file into the temporary folder and opens it with the desktop's viewer; Print asks
// where to save the PDF and writes it there; PrintSetup lets the user choose the paper.
// Texts are GBK. UI thread only (it asks through the prompter).

#include <string>
#include <vector>

#include "os/ui/hwnd.h"

namespace os {
class Prompter;
class Shell;
}  // namespace os

// One message to print.
struct CPrintMessage {
    std::string sender;
    std::string receiver;
    std::string time;
    std::string contents;
};

enum class PaperSize { A4, Letter };

class CMsgPrint {
  public:
    static constexpr const char* kSetupCaption = "打印设置";
    static constexpr const char* kSetupPrompt = "纸张(A4 或 Letter):";
    static constexpr const char* kSaveTitle = "打印到文件";
    static constexpr const char* kSaveFilter = "PDF 文件(*.pdf)|*.pdf||";
    static constexpr const char* kPreviewFileName = "msgprint_preview.pdf";

    // `temporaryFolder` (GBK, ending in '/') receives the preview file.
    CMsgPrint(os::Prompter& prompter, os::Shell& shell, std::string temporaryFolder);

    // Asks for the paper; an answer that names no paper keeps the one chosen before.
    bool PrintSetup(os::HWND owner);
    // Writes the collected messages to the preview file and opens it.
    bool PreView(os::HWND owner);
    // Asks for a file name and writes the collected messages there. False when the user
    // cancelled or the file could not be written.
    bool Print(os::HWND owner);
    void ClearAll() { messages_.clear(); }
    void AddMessage(const CPrintMessage& message) { messages_.push_back(message); }

    PaperSize paper() const { return paper_; }
    const std::vector<CPrintMessage>& messages() const { return messages_; }

    // Lays `messages` out on `paper` into the PDF file at the GBK `path`. Answers the number
    // of pages written, 0 when the file could not be written.
    static int WritePdf(const std::string& path, const std::vector<CPrintMessage>& messages,
                        PaperSize paper);

  private:
    os::Prompter& prompter_;
    os::Shell& shell_;
    std::string temporaryFolder_;
    PaperSize paper_ = PaperSize::A4;
    std::vector<CPrintMessage> messages_;
};
