#include "os/sys/named_objects.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "os/sys/named_presence.h"

namespace os {

namespace {

std::uint64_t Fnv1a(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string Hex16(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

bool KeptAsIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

// File names are at most 255 bytes; keep well below with the prefix and kind added.
constexpr std::size_t kMaxEncodedName = 160;

std::string EncodeName(std::string_view name) {
    std::string encoded;
    for (unsigned char c : name) {
        if (KeptAsIs(c)) {
            encoded += static_cast<char>(c);
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            encoded += escape;
        }
    }
    if (encoded.size() > kMaxEncodedName) {
        encoded.resize(kMaxEncodedName - 17);
        encoded += "~" + Hex16(Fnv1a(name));
    }
    return encoded;
}

// The user's runtime folder when it is private, else a private folder of ours in /dev/shm
// (made and checked when an object is first acquired).
std::string ObjectFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr) {
        std::string folder(runtime);
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        if (folder.starts_with('/') && folder.size() > 1 && IsPrivateFolder(folder, false)) {
            return folder;
        }
    }
    return "/dev/shm/qorv-" + std::to_string(geteuid());
}

}  // namespace

NamedObjectSpace::NamedObjectSpace(std::string sharedDir) {
    while (sharedDir.size() > 1 && sharedDir.back() == '/') sharedDir.pop_back();
    // The user id keeps two users of one machine apart, as Windows sessions would.
    prefix_ = "qorv-" + std::to_string(getuid()) + "-" + Hex16(Fnv1a(sharedDir));
    folder_ = ObjectFolder();
}

std::string NamedObjectSpace::Path(std::string_view kind, std::string_view name) const {
    return folder_ + SystemName(kind, name);
}

std::string NamedObjectSpace::SystemName(std::string_view kind, std::string_view name) const {
    return "/" + prefix_ + "-" + std::string(kind) + "-" + EncodeName(name);
}

std::string NamedObjectSpace::LocalKey(std::string_view kind, std::string_view name) const {
    return prefix_ + "/" + std::string(kind) + "/" + std::string(name);
}

// ---- named events

namespace {

struct EventRegistry {
    std::mutex mutex;
    std::map<std::string, std::weak_ptr<Event>> events;
};

EventRegistry& Events() {
    static EventRegistry registry;
    return registry;
}

}  // namespace

std::shared_ptr<Event> OpenNamedEvent(const NamedObjectSpace& space, std::string_view name,
                                      Clock& clock, EventReset reset, bool initiallySet,
                                      bool* alreadyExisted) {
    EventRegistry& registry = Events();
    std::lock_guard guard(registry.mutex);
    std::erase_if(registry.events, [](const auto& entry) { return entry.second.expired(); });
    std::weak_ptr<Event>& slot = registry.events[space.LocalKey("event", name)];
    std::shared_ptr<Event> event = slot.lock();
    if (alreadyExisted) *alreadyExisted = event != nullptr;
    if (!event) {
        event = std::make_shared<Event>(clock, reset, initiallySet);
        slot = event;
    }
    return event;
}

}  // namespace os
