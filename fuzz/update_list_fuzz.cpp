// Feeds arbitrary bytes to the file-update list reader, as a server's "updatelist.txt" would
// arrive. No input may crash or hang; every record read must be written and read back as
// itself, and the paths it names must be either refused or inside their folder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "update/file_update_list.h"
#include "update/update_paths.h"

namespace {

struct NullLog final : os::LogSink {
    void WriteLog2(int, std::string_view) override {}
};

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NullLog log;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const update::FileUpdateRecord& record : update::ParseUpdateList(text, log)) {
        const std::string line = update::FormatUpdateRecord(record);
        const auto again = update::ParseUpdateLine(line, log);
        Check(again.has_value());
        Check(update::FormatUpdateRecord(*again) == line);
        if (const auto path = update::SafeRelativePath(record.localName)) {
            Check(!path->empty() && path->front() != '/');
            std::size_t start = 0;
            while (true) {
                const std::size_t end = path->find('/', start);
                const std::string step = path->substr(start, end - start);
                Check(!step.empty() && step != "." && step != "..");
                if (end == std::string::npos) break;
                start = end + 1;
            }
        }
        if (const auto name = update::DownloadName(record.remotePath)) {
            Check(name->find('/') == std::string::npos && *name != "." && *name != "..");
        }
    }
    return 0;
}
