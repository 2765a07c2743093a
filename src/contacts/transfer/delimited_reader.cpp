#include "contacts/transfer/delimited_reader.h"

#include <cstddef>

#include "os/text/gbk_chars.h"

namespace contacts {
namespace {

bool IsFormulaStart(char c) { return c == '=' || c == '+' || c == '-' || c == '@'; }

// Bytes of the character at `pos` (1 at the end of a cut-off pair, so a walk always moves).
std::size_t CharAt(std::string_view text, std::size_t pos) {
    const int length = os::GbkCharLength(text, pos);
    return length > 0 ? static_cast<std::size_t>(length) : 1;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Moves past the line end at `pos` ("\r\n" counts once).
std::size_t SkipLineEnd(std::string_view text, std::size_t pos) {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return pos + 2;
    return pos + 1;
}

// The position of the quote that closes a quoted field whose opening quote is at `open`, or
// npos when none does.
std::size_t ClosingQuote(std::string_view text, std::size_t open) {
    for (std::size_t pos = open + 1; pos < text.size();) {
        if (text[pos] == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') {
                pos += 2;
                continue;
            }
            return pos;
        }
        pos += CharAt(text, pos);
    }
    return std::string_view::npos;
}

}  // namespace

std::string_view SeparatorText(ImportSeparator separator) {
    switch (separator) {
        case ImportSeparator::Comma:
            return ",";
        case ImportSeparator::FullWidthComma:
            return "，";
        case ImportSeparator::Semicolon:
            return ";";
        case ImportSeparator::Pipe:
            return "|";
    }
    return ",";
}

std::string_view SeparatorLabel(ImportSeparator separator) {
    switch (separator) {
        case ImportSeparator::Comma:
            return ",( 逗号 )";
        case ImportSeparator::FullWidthComma:
            return "，( 全角逗号 )";
        case ImportSeparator::Semicolon:
            return ";( 分号 )";
        case ImportSeparator::Pipe:
            return "|( 管道符 )";
    }
    return ",( 逗号 )";
}

std::string StripTextMarker(std::string_view field) {
    const std::size_t first = field.find_first_not_of('\'');
    if (first == 0 || first == std::string_view::npos || !IsFormulaStart(field[first])) {
        return std::string(field);
    }
    return std::string(field.substr(1));
}

std::string ExportField(std::string_view field) {
    std::string value;
    const std::size_t first = field.find_first_not_of('\'');
    if (first != std::string_view::npos && IsFormulaStart(field[first])) value += '\'';
    value += field;
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string quoted = "\"";
    for (const char c : value) {
        // '"' is never a GBK trail byte, so doubling it byte-wise keeps every character whole.
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::vector<ImportRow> ReadDelimitedRows(std::string_view text, ImportSeparator separator) {
    const std::string_view sep = SeparatorText(separator);
    std::vector<ImportRow> rows;
    std::size_t pos = 0;
    while (pos < text.size()) {
        ImportRow row;
        const std::size_t rowStart = pos;
        std::string field;
        bool rowEnded = false;
        while (!rowEnded) {
            // At the start of a field.
            field.clear();
            if (pos < text.size() && text[pos] == '"') {
                const std::size_t close = ClosingQuote(text, pos);
                if (close != std::string_view::npos) {
                    for (std::size_t i = pos + 1; i < close; ++i) {
                        if (text[i] == '"') ++i;  // the first of a doubled quote
                        field += text[i];
                    }
                    pos = close + 1;
                }
            }
            // The rest of the field (all of it when unquoted) runs to a separator or line end.
            while (pos < text.size()) {
                if (IsLineEnd(text[pos])) break;
                if (text.compare(pos, sep.size(), sep) == 0) break;
                const std::size_t length = CharAt(text, pos);
                field.append(text.substr(pos, length));
                pos += length;
            }
            row.fields.push_back(StripTextMarker(field));
            if (pos < text.size() && !IsLineEnd(text[pos])) {
                pos += sep.size();  // at a separator: another field follows
                continue;
            }
            row.text.assign(text.substr(rowStart, pos - rowStart));
            if (pos < text.size()) pos = SkipLineEnd(text, pos);
            rowEnded = true;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace contacts
