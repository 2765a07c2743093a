#include "config/desktop_entry.h"

namespace config {
namespace {

// The desktop-file escapes for a string value.
std::string EscapeStringValue(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 8);
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

std::string QuoteExecArgument(std::string_view argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '%') {
            quoted += "%%";
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return EscapeStringValue(quoted);
}

std::string AutostartEntry(std::string_view executable) {
    std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Qorvdesk\n"
        "Exec=";
    entry += QuoteExecArgument(executable);
    entry +=
        "\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n";
    return entry;
}

}  // namespace config
