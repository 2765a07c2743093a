#pragma once
// The clipboard of this process: text, a bitmap, and private formats, held together as one
// content the way one copy puts several formats on the Windows clipboard. Setting replaces
// the whole content. The desktop's own clipboard is not involved.
//
// Thread-safe.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace os {

struct ClipboardBitmap {
    std::string format;  // MIME type of `bytes`: "image/bmp", "image/png", "image/jpeg", ...
    std::vector<std::uint8_t> bytes;
};

struct ClipboardContent {
    std::optional<std::string> text;  // GBK
    std::optional<ClipboardBitmap> bitmap;
    std::map<std::string, std::string> custom;  // private format name -> bytes
};

class Clipboard {
  public:
    void Set(ClipboardContent content);
    void SetText(std::string gbkText);
    void SetBitmap(ClipboardBitmap bitmap);
    void Clear();

    ClipboardContent Get() const;
    std::optional<std::string> GetText() const;
    std::optional<ClipboardBitmap> GetBitmap() const;
    std::optional<std::string> GetCustom(const std::string& format) const;
    bool HasText() const;
    bool HasBitmap() const;
    bool IsEmpty() const;

    // Goes up by one with every change, so a reader can tell that the content changed.
    std::uint32_t SequenceNumber() const;

  private:
    mutable std::mutex mutex_;
    ClipboardContent content_;
    std::uint32_t sequence_ = 0;
};

}  // namespace os
