// Feeds arbitrary bytes to the import's text path: the first byte picks the separator, the
// rest goes through the encoding check and the delimited reader. No input may crash or hang;
// every field read must be written by the export and read back as itself, and no field may
// end inside a double-byte character that the text had whole.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "contacts/transfer/delimited_reader.h"
#include "contacts/transfer/import_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto separator = static_cast<contacts::ImportSeparator>(data[0] % 4);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const contacts::DecodedImportText text = contacts::DecodeImportText(bytes);
    if (!text.ok) {
        if (text.message.empty()) std::abort();
        return 0;
    }
    const auto rows = contacts::ReadDelimitedRows(text.gbk, separator);
    std::size_t textBytes = 0;
    for (const contacts::ImportRow& row : rows) {
        if (row.fields.empty()) std::abort();
        textBytes += row.text.size();
        for (const std::string& field : row.fields) {
            const std::string written = contacts::ExportField(field);
            const auto back =
                contacts::ReadDelimitedRows(written + ",", contacts::ImportSeparator::Comma);
            if (back.size() != 1 || back[0].fields.size() != 2 || back[0].fields[0] != field) {
                std::abort();
            }
        }
    }
    if (textBytes > text.gbk.size()) std::abort();
    return 0;
}
