#include "platform/print/msg_print.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <filesystem>
#include <string_view>

#include "os/prompt/prompter.h"
#include "os/services/shell.h"
#include "os/text/gbk_codec.h"

namespace {

constexpr const char* kFontFace = "WenQuanYi Micro Hei";
constexpr double kMargin = 36;  // points
constexpr double kFontSize = 9;
constexpr double kLineHeight = 13;
constexpr double kCellPadding = 3;
// Column shares of the usable width: sender, receiver, time, contents.
constexpr double kColumnShares[] = {0.17, 0.17, 0.18, 0.48};
constexpr const char* kHeaders[] = {"发送者", "接收者", "时间", "内容"};

struct Page {
    double width;
    double height;
};

Page PageOf(PaperSize paper) {
    return paper == PaperSize::Letter ? Page{612, 792} : Page{595.28, 841.89};
}

// The UTF-8 characters of `text` in lines no wider than `width`; line breaks in the text
// start new lines.
std::vector<std::string> WrapLines(cairo_t* cr, const std::string& utf8, double width) {
    std::vector<std::string> lines;
    std::string line;
    auto widthOf = [&](const std::string& text) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.c_str(), &extents);
        return extents.x_advance;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (i + length > utf8.size()) length = utf8.size() - i;
        const std::string character = utf8.substr(i, length);
        i += length;
        if (character == "\r") continue;
        if (character == "\n") {
            lines.push_back(std::move(line));
            line.clear();
            continue;
        }
        if (!line.empty() && widthOf(line + character) > width) {
            lines.push_back(std::move(line));
            line.clear();
        }
        line += character;
    }
    if (!line.empty() || lines.empty()) lines.push_back(std::move(line));
    return lines;
}

class TableWriter {
  public:
    TableWriter(cairo_t* cr, Page page) : cr_(cr), page_(page) {
        const double usable = page.width - 2 * kMargin;
        double x = kMargin;
        for (std::size_t c = 0; c < 4; ++c) {
            left_[c] = x;
            width_[c] = usable * kColumnShares[c];
            x += width_[c];
        }
        cairo_select_font_face(cr_, kFontFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr_, kFontSize);
        cairo_set_line_width(cr_, 0.5);
        StartPage();
    }

    void Row(const std::string (&cells)[4]) {
        std::vector<std::string> lines[4];
        std::size_t tallest = 1;
        for (std::size_t c = 0; c < 4; ++c) {
            lines[c] = WrapLines(cr_, cells[c], width_[c] - 2 * kCellPadding);
            tallest = std::max(tallest, lines[c].size());
        }
        // A row taller than a page is split over pages, line by line.
        std::size_t first = 0;
        while (first < tallest) {
            const double room = page_.height - kMargin - y_;
            std::size_t fit = static_cast<std::size_t>((room - 2 * kCellPadding) / kLineHeight);
            if (fit == 0) {
                NextPage();
                continue;
            }
            const std::size_t count = std::min(fit, tallest - first);
            DrawRow(lines, first, count);
            first += count;
            if (first < tallest) NextPage();
        }
    }

    int Finish() {
        cairo_show_page(cr_);
        return pages_;
    }

  private:
    void StartPage() {
        ++pages_;
        y_ = kMargin;
        std::vector<std::string> header[4];
        for (std::size_t c = 0; c < 4; ++c) header[c] = {os::GbkToUtf8Lossy(kHeaders[c])};
        DrawRow(header, 0, 1);
    }

    void NextPage() {
        cairo_show_page(cr_);
        StartPage();
    }

    void DrawRow(const std::vector<std::string> (&lines)[4], std::size_t first, std::size_t count) {
        const double height = count * kLineHeight + 2 * kCellPadding;
        for (std::size_t c = 0; c < 4; ++c) {
            cairo_rectangle(cr_, left_[c], y_, width_[c], height);
            cairo_stroke(cr_);
            for (std::size_t l = 0; l < count && first + l < lines[c].size(); ++l) {
                cairo_move_to(cr_, left_[c] + kCellPadding,
                              y_ + kCellPadding + (l + 1) * kLineHeight - 3);
                cairo_show_text(cr_, lines[c][first + l].c_str());
            }
        }
        y_ += height;
    }

    cairo_t* cr_;
    Page page_;
    double left_[4]{};
    double width_[4]{};
    double y_ = 0;
    int pages_ = 0;
};

}  // namespace

CMsgPrint::CMsgPrint(os::Prompter& prompter, os::Shell& shell, std::string temporaryFolder)
    : prompter_(prompter), shell_(shell), temporaryFolder_(std::move(temporaryFolder)) {}

bool CMsgPrint::PrintSetup(os::HWND owner) {
    os::InputRequest request;
    request.owner = owner;
    request.caption = kSetupCaption;
    request.prompt = kSetupPrompt;
    request.initialValue = paper_ == PaperSize::Letter ? "Letter" : "A4";
    const std::optional<std::string> answer = prompter_.InputText(request);
    if (!answer) return false;
    std::string word;
    for (char c : *answer) {
        if (c != ' ') word += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    if (word == "a4") {
        paper_ = PaperSize::A4;
        return true;
    }
    if (word == "letter") {
        paper_ = PaperSize::Letter;
        return true;
    }
    return false;
}

bool CMsgPrint::PreView(os::HWND /*owner*/) {
    std::error_code error;
    std::filesystem::create_directories(os::GbkToUtf8Lossy(temporaryFolder_), error);
    const std::string path = temporaryFolder_ + kPreviewFileName;
    if (WritePdf(path, messages_, paper_) == 0) return false;
    return shell_.ShellExecute("open", path) == os::ShellStart::Started;
}

bool CMsgPrint::Print(os::HWND owner) {
    os::FileDialogRequest request;
    request.owner = owner;
    request.title = kSaveTitle;
    request.filter = kSaveFilter;
    request.defaultName = "消息记录.pdf";
    request.defaultExtension = "pdf";
    const std::optional<std::string> path = prompter_.SaveFile(request);
    if (!path) return false;
    return WritePdf(*path, messages_, paper_) > 0;
}

int CMsgPrint::WritePdf(const std::string& path, const std::vector<CPrintMessage>& messages,
                        PaperSize paper) {
    const Page page = PageOf(paper);
    // Written beside the target and renamed, so a failed run leaves no half file behind.
    const std::string target = os::GbkToUtf8Lossy(path);
    const std::string partial = target + ".part";
    cairo_surface_t* surface = cairo_pdf_surface_create(partial.c_str(), page.width, page.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return 0;
    }
    cairo_t* cr = cairo_create(surface);
    TableWriter table(cr, page);
    for (const CPrintMessage& message : messages) {
        const std::string cells[4] = {
            os::GbkToUtf8Lossy(message.sender), os::GbkToUtf8Lossy(message.receiver),
            os::GbkToUtf8Lossy(message.time), os::GbkToUtf8Lossy(message.contents)};
        table.Row(cells);
    }
    const int pages = table.Finish();
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool written = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    std::error_code error;
    if (!written) {
        std::filesystem::remove(partial, error);
        return 0;
    }
    std::filesystem::rename(partial, target, error);
    if (error) {
        std::filesystem::remove(partial, error);
        return 0;
    }
    return pages;
}
