#include "web/browser_form_poster.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "os/services/shell.h"
#include "os/sys/paths.h"

namespace web {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string FormDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

std::vector<FormField> ParseFormBody(std::string_view body) {
    std::vector<FormField> fields;
    while (!body.empty()) {
        const std::size_t amp = body.find('&');
        const std::string_view part = body.substr(0, amp);
        body = amp == std::string_view::npos ? std::string_view{} : body.substr(amp + 1);
        if (part.empty()) continue;
        const std::size_t eq = part.find('=');
        FormField field;
        field.name = FormDecode(part.substr(0, eq));
        if (eq != std::string_view::npos) field.value = FormDecode(part.substr(eq + 1));
        fields.push_back(std::move(field));
    }
    return fields;
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    out += "&#" + std::to_string(static_cast<unsigned char>(c)) + ";";
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string FormAction(std::string_view url) {
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '"' || c == '\'' || c == '<' || c == '>' ||
            c == '\\') {
            return {};
        }
    }
    if (StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://")) {
        if (url.size() == url.find("//") + 2) return {};  // no host
        return std::string(url);
    }
    if (StartsWithNoCase(url, "www.")) return "http://" + std::string(url);
    return {};
}

std::string FormPage(std::string_view action, const std::vector<FormField>& fields) {
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\"><title>Qorvdesk</title></head>\n"
        "<body onload=\"document.forms[0].submit()\">\n<form method=\"post\" "
        "enctype=\"application/x-www-form-urlencoded\" action=\"";
    page += EscapeHtml(action);
    page += "\">\n";
    for (const FormField& field : fields) {
        page += "<input type=\"hidden\" name=\"";
        page += EscapeHtml(field.name);
        page += "\" value=\"";
        page += EscapeHtml(field.value);
        page += "\">\n";
    }
    page += "<noscript><input type=\"submit\" value=\"Continue\"></noscript>\n</form>\n";
    page += "</body></html>\n";
    return page;
}

BrowserFormPoster::BrowserFormPoster(os::Shell& shell, std::string baseFolder)
    : shell_(shell), baseFolder_(std::move(baseFolder)) {
    if (!baseFolder_.empty() && baseFolder_.back() != '/') baseFolder_ += '/';
}

BrowserFormPoster::~BrowserFormPoster() {
    if (folder_.empty()) return;
    std::error_code ignored;
    for (const std::string& page : pages_) {
        if (auto native = os::NativePath(page)) std::filesystem::remove(*native, ignored);
    }
    if (auto native = os::NativePath(folder_)) std::filesystem::remove(*native, ignored);
}

bool BrowserFormPoster::MakeFolder() {
    if (!folder_.empty()) return true;
    const std::optional<std::filesystem::path> base = os::NativePath(baseFolder_);
    if (!base) return false;
    std::string pattern = (*base / "qorv-forms-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return false;  // made with mode 0700
    const std::optional<std::string> gbk = os::GbkPathFromNative(pattern);
    if (!gbk) {
        ::rmdir(pattern.c_str());
        return false;
    }
    folder_ = *gbk + "/";
    return true;
}

PostOutcome BrowserFormPoster::Post(std::string_view url, std::string_view formBody) {
    const std::string action = FormAction(url);
    if (action.empty()) return PostOutcome::RefusedTarget;
    if (!MakeFolder()) return PostOutcome::WriteFailed;
    const std::optional<std::filesystem::path> folder = os::NativePath(folder_);
    if (!folder) return PostOutcome::WriteFailed;
    std::string name = (*folder / "form-XXXXXX.html").string();
    // mkstemps: a new file of mode 0600, made with O_EXCL, so no link is followed.
    const int fd = ::mkstemps(name.data(), 5);
    if (fd < 0) return PostOutcome::WriteFailed;
    const bool written = WriteAll(fd, FormPage(action, ParseFormBody(formBody)));
    const bool closed = ::close(fd) == 0;
    const std::optional<std::string> page = os::GbkPathFromNative(name);
    if (!written || !closed || !page) {
        ::unlink(name.c_str());
        return PostOutcome::WriteFailed;
    }
    pages_.push_back(*page);
    lastPage_ = *page;
    const os::ShellStart started = shell_.ShellExecute("open", *page);
    return started == os::ShellStart::Started ? PostOutcome::Opened : PostOutcome::NotStarted;
}

}  // namespace web
