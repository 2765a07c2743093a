#pragma once
// Pictures the user puts into the input box (a pasted bitmap, a screen capture) become JPEG
// files in the temp folder, named by a new key: "<32 hex digits>.jpg".

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace chat {

// Decodes `bitmap` (BMP, PNG or JPEG bytes), writes it as JPEG into `tempDir` (made when
// missing) and answers the file's name; nothing when the bytes are no picture or the file
// cannot be written. No partial file ever carries the name.
std::optional<std::string> SaveBitmapAsJpeg(std::span<const std::uint8_t> bitmap,
                                            const std::string& tempDir);

}  // namespace chat
