// Feeds arbitrary field texts, as a peer's "#(-3)#" notice may carry them, to the offline
// notice parser: what it accepts has exactly the five fields of the text (joined again they
// give the text back), a size below 2 GB and a key of letters and digits only.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chat/encoding/offline_notice.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view fields(reinterpret_cast<const char*>(data), size);
    const std::optional<chat::OfflineNotice> notice = chat::ParseOfflineNotice(fields);
    if (!notice) return 0;
    if (notice->fileName.empty() || notice->size >= (std::uint32_t{1} << 31)) std::abort();
    if (notice->serverKey.empty() || notice->serverKey.size() > 64) std::abort();
    for (char c : notice->serverKey) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alnum) std::abort();
    }
    // The size field as written: digits only, worth the size read.
    const std::size_t sizeStart = notice->fileName.size() + 1;
    const std::string sizeText(fields.substr(sizeStart, fields.find('|', sizeStart) - sizeStart));
    std::uint64_t value = 0;
    for (char c : sizeText) {
        if (c < '0' || c > '9') std::abort();
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (sizeText.empty() || value != notice->size) std::abort();
    const std::string joined = notice->fileName + "|" + sizeText + "|" + notice->serverKey + "|" +
                               notice->sender + "|" + notice->time;
    if (joined != fields) std::abort();
    return 0;
}
