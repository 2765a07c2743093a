// Feeds arbitrary names, as a peer may send them, to the leaf-name guard: what it accepts must
// be one component the file system can hold (no separator, no control character, not "." or
// "..", at most 255 bytes as UTF-8), and guarding it again must change nothing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "os/sys/safe_leaf_name.h"
#include "os/text/gbk_chars.h"
#include "os/text/gbk_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> leaf = os::SafeLeafName(name);
    if (!leaf) return 0;
    if (leaf->empty() || *leaf == "." || *leaf == "..") std::abort();
    std::string native;
    if (!os::GbkToUtf8(*leaf, native)) std::abort();
    if (native.size() > os::kMaxLeafBytes) std::abort();
    for (char c : native) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == ':') std::abort();
    }
    if (os::SafeLeafName(*leaf) != leaf) std::abort();
    return 0;
}
