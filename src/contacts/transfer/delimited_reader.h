#pragma once
// Reads the rows of a delimited GBK text: one of four separators, records ended by "\r\n",
// "\n" or "\r", fields quoted the RFC 4180 way ("a ""b"", c" holds a separator, quotes and
// line breaks). The text is walked character by character, so a separator byte that is the
// trail byte of a double-byte character ('|' is 0x7C) never splits it. A quote that is never
// closed is taken as an ordinary character, so an unmatched quote cannot swallow the rows that
// follow it. A field that begins with an apostrophe before '=', '+', '-', '@' (or before more
// apostrophes and then one of those) loses that one apostrophe: the export adds it so a
// spreadsheet shows the field as text.

#include <string>
#include <string_view>
#include <vector>

namespace contacts {

enum class ImportSeparator { Comma, FullWidthComma, Semicolon, Pipe };

// The separator's bytes in GBK ("，" is 0xA3 0xAC) and the label the import dialog shows.
std::string_view SeparatorText(ImportSeparator separator);
std::string_view SeparatorLabel(ImportSeparator separator);

struct ImportRow {
    std::string text;                 // the record as it stood in the file, without its line end
    std::vector<std::string> fields;  // unquoted, in file order
};

std::vector<ImportRow> ReadDelimitedRows(std::string_view gbk, ImportSeparator separator);

// The field without the apostrophe the export put before a leading '=', '+', '-' or '@'.
std::string StripTextMarker(std::string_view field);
// The field as the export writes it: the apostrophe added (see above), then quoted when it
// holds ',', '"', '\r' or '\n'.
std::string ExportField(std::string_view field);

}  // namespace contacts
