// Feeds arbitrary bytes to the readers of the user's own files: the common phrases and the
// settings file. No input may crash, and what is read must keep the files' rules.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "config/phrase_store.h"
#include "config/user_settings.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "os/sys/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);

    config::PhraseStore store;
    store.LoadFromText(bytes, size % 2 == 0);
    const std::vector<std::string>& phrases = store.Phrases();
    if (phrases.empty() || phrases.size() > config::kMaxPhrases) std::abort();
    std::set<std::string> seen;
    for (const std::string& phrase : phrases) {
        if (!config::PhraseStore::IsUsablePhrase(phrase)) std::abort();
        if (!seen.insert(phrase).second) std::abort();
    }

    os::ManualClock clock;
    std::unique_ptr<os::Log> log = os::Log::Capturing(clock);
    const config::UserSettings settings =
        config::ReadUserSettings(os::IniFile::Parse(bytes), "/u/", *log);
    if (!config::IsUsableMessageFont(settings.MessageFont)) std::abort();
    if (settings.hiddenTabs.size() > 1000) std::abort();
    return 0;
}
