#pragma once
// The key catalogue of the deployment configuration: for every key its section, name, type,
// default and the ClientConfig field it fills, in the order the loader reads them. The two
// counted lists (tool-bar positions, local network addresses) are read after the catalogue
// from their counts, which are catalogue keys themselves.

#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "config/client_config.h"

namespace config {

// Reaches one field of a ClientConfig, for writing (load) and for reading (save).
template <typename T>
struct FieldAccess {
    T& (*get)(ClientConfig&);
    const T& (*read)(const ClientConfig&);
};

// Field<&ClientConfig::Proxy, &ProxySetting::Port>() reaches config.Proxy.Port: the member
// pointers are applied in turn (a fold over .*).
// clang-format off
template <auto... path>
constexpr auto Field() {
    using T = std::remove_cvref_t<decltype((std::declval<ClientConfig&>() .* ... .* path))>;
    return FieldAccess<T>{
        [](ClientConfig& config) -> T& { return (config .* ... .* path); },
        [](const ClientConfig& config) -> const T& { return (config .* ... .* path); },
    };
}
// clang-format on

enum class KeyType { Int, String };

struct CatalogueKey {
    const char* section;
    const char* key;
    KeyType type;
    int intDefault;             // KeyType::Int
    const char* stringDefault;  // KeyType::String
    FieldAccess<int> intField;
    FieldAccess<std::string> stringField;
};

// Every key, in load order.
std::span<const CatalogueKey> Catalogue();

// The keys the settings dialog can change, in the order SaveConfig writes them.
std::span<const CatalogueKey* const> SavedKeys();

// The catalogue entry with exactly this section and key spelling, or nullptr.
const CatalogueKey* FindCatalogueKey(std::string_view section, std::string_view key);

// Sets every catalogue field to its default and empties the counted lists.
void ApplyDefaults(ClientConfig& config);

// The counted lists and the sound files, which the catalogue does not describe.
inline constexpr const char* kToolBarSection = "ToolBar Setting";
inline constexpr const char* kToolBarXKeyFormat = "X%d";
inline constexpr const char* kToolBarYKeyFormat = "Y%d";
inline constexpr int kToolBarPositionDefault = -1;
inline constexpr const char* kLocalNetIPSection = "LocalNetIP";
inline constexpr const char* kLocalNetIPKeyFormat = "IP%d";
// A count above this is no real tool bar or address list but a typing error; reading it
// would allocate and look up keys for a very long time, so the list is left empty instead.
inline constexpr int kMaxCountedEntries = 1000;

// Relative to the application folder; '/' because the folder is a Linux path.
inline constexpr const char* kWelcomeSoundFile = "sound/welcome.wav";
inline constexpr const char* kMessageSoundFile = "sound/message.wav";

}  // namespace config
