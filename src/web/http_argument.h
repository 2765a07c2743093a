#pragma once
// One field of a form request: a text field, or a file field whose value is the local path of
// the file to send.

#include <cstddef>
#include <string>

namespace web {

enum class ArgumentKind { Text = 1, File = 2 };

// The field sizes of the client's argument records, terminating NUL included: longer names
// and values are cut to fit, never in the middle of a Chinese character.
inline constexpr std::size_t kArgumentNameSize = 256;
inline constexpr std::size_t kArgumentValueSize = 1024;

struct HttpArgument {
    std::string name;
    std::string value;
    ArgumentKind kind = ArgumentKind::Text;
};

}  // namespace web
