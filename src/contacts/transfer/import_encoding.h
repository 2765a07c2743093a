#pragma once
// Brings the bytes of an import file to the system's GBK. A file saved as UTF-8 (with or
// without a byte-order mark) or UTF-16 (little or big endian, with a mark, or without one
// when its zero bytes give it away) is converted; a file that is neither GBK nor one of those,
// or that holds a character GBK cannot write, is refused with a message saying so.

#include <string>
#include <string_view>

namespace contacts {

enum class ImportEncoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

struct DecodedImportText {
    bool ok = false;
    ImportEncoding encoding = ImportEncoding::Gbk;
    std::string gbk;      // the text, when ok
    std::string message;  // why the file was refused, when not ok
};

DecodedImportText DecodeImportText(std::string_view bytes);

}  // namespace contacts
