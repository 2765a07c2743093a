#include "os/automation/rich_text_reader.h"

#include <cstdio>

namespace qorvdesk::automation {

namespace {

ObjectKind PublicObjectKind(os::RichObjectKind kind) {
    switch (kind) {
        case os::RichObjectKind::Face:
            return ObjectKind::Face;
        case os::RichObjectKind::Picture:
            return ObjectKind::Picture;
        case os::RichObjectKind::PicturePlaceholder:
            return ObjectKind::PicturePlaceholder;
        case os::RichObjectKind::OfflineFile:
            return ObjectKind::OfflineFile;
        case os::RichObjectKind::Other:
            return ObjectKind::Other;
    }
    return ObjectKind::Other;
}

// A text in double quotes with control characters, quotes and backslashes escaped, so each
// description stays on one line and reads back unambiguously. GBK pairs pass unchanged (a
// trail byte may be 0x5C, the backslash, and must not be escaped).
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) {
            out += text[i];
            out += text[++i];
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// Twips as points: "9pt", "10.5pt".
std::string Points(int twips) {
    char text[32];
    if (twips % 20 == 0) {
        std::snprintf(text, sizeof text, "%dpt", twips / 20);
    } else {
        std::snprintf(text, sizeof text, "%gpt", twips / 20.0);
    }
    return text;
}

// COLORREF 0x00BBGGRR as the familiar #RRGGBB.
std::string Color(std::uint32_t colorRef) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colorRef & 0xFF, (colorRef >> 8) & 0xFF,
                  (colorRef >> 16) & 0xFF);
    return text;
}

// A face name as is, unless a blank would make the line ambiguous.
std::string FaceName(const std::string& name) {
    if (name.empty() || name.find(' ') != std::string::npos) return Quoted(name);
    return name;
}

RichRun RunOf(const os::RichSegment& segment) {
    const os::CharFormat& format = segment.format;
    RichRun run;
    run.start = segment.start;
    run.length = segment.length;
    run.text = segment.text;
    run.faceName = format.faceName;
    run.heightTwips = format.height;
    run.color = format.color;
    run.autoColor = format.Has(os::char_effect::kAutoColor);
    run.bold = format.Has(os::char_effect::kBold);
    run.italic = format.Has(os::char_effect::kItalic);
    run.underline = format.Has(os::char_effect::kUnderline);
    run.strikeOut = format.Has(os::char_effect::kStrikeOut);
    run.link = format.Has(os::char_effect::kLink);
    if (run.link) run.linkTarget = format.linkTarget;
    return run;
}

}  // namespace

std::string DescribeRun(const RichRun& run) {
    std::string line = "text " + Quoted(run.text) + " " + FaceName(run.faceName) + " " +
                       Points(run.heightTwips) + " " + (run.autoColor ? "auto" : Color(run.color));
    if (run.bold) line += " bold";
    if (run.italic) line += " italic";
    if (run.underline) line += " underline";
    if (run.strikeOut) line += " strike";
    if (run.link) {
        line += " link";
        if (!run.linkTarget.empty()) line += " -> " + Quoted(run.linkTarget);
    }
    return line;
}

std::string DescribeObject(const RichObjectInfo& object) {
    switch (object.kind) {
        case ObjectKind::Face:
            return "face " + std::to_string(object.userValue);
        case ObjectKind::Picture:
            return "picture " + std::to_string(object.userValue) + " " + Quoted(object.name);
        case ObjectKind::PicturePlaceholder:
            return "picture-pending " + Quoted(object.name);
        case ObjectKind::OfflineFile:
            return "offline-file " + Quoted(object.name);
        case ObjectKind::Other:
            break;
    }
    return "object " + std::to_string(object.userValue) + " " + Quoted(object.name);
}

RichText ReadRichEdit(const os::RichEdit& edit) {
    RichText content;
    content.plainText = edit.GetText();
    edit.ForEachSegment(0, -1, [&](const os::RichSegment& segment) {
        if (segment.type == os::RichSegment::Type::Object) {
            RichObjectInfo object;
            object.position = segment.start;
            object.kind = PublicObjectKind(segment.object.kind);
            object.userValue = segment.object.userValue;
            object.name = segment.object.name;
            content.description += DescribeObject(object) + "\n";
            content.objects.push_back(std::move(object));
        } else {
            RichRun run = RunOf(segment);
            content.description += DescribeRun(run) + "\n";
            content.runs.push_back(std::move(run));
        }
    });
    return content;
}

}  // namespace qorvdesk::automation
