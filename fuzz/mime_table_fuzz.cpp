// Feeds arbitrary texts to the media-type table's reader: no input may crash, and every type
// it answers must be fit for a Content-Type header (printable ASCII without blanks).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "web/mime_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const web::MimeTable table = web::MimeTable::Parse(text);
    // Ask for every word of the input as an extension and as a file name.
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of(" \t\n", at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view word = text.substr(at, end - at);
        for (const std::string& type : {table.TypeOfExtension(word), table.TypeOfFile(word)}) {
            if (type.empty()) std::abort();
            for (char c : type) {
                if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
                    std::abort();
            }
        }
        at = end + 1;
    }
    return 0;
}
