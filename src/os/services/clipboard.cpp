#include "os/services/clipboard.h"

namespace os {

void Clipboard::Set(ClipboardContent content) {
    std::lock_guard lock(mutex_);
    content_ = std::move(content);
    ++sequence_;
}

void Clipboard::SetText(std::string gbkText) {
    ClipboardContent content;
    content.text = std::move(gbkText);
    Set(std::move(content));
}

void Clipboard::SetBitmap(ClipboardBitmap bitmap) {
    ClipboardContent content;
    content.bitmap = std::move(bitmap);
    Set(std::move(content));
}

void Clipboard::Clear() { Set({}); }

ClipboardContent Clipboard::Get() const {
    std::lock_guard lock(mutex_);
    return content_;
}

std::optional<std::string> Clipboard::GetText() const {
    std::lock_guard lock(mutex_);
    return content_.text;
}

std::optional<ClipboardBitmap> Clipboard::GetBitmap() const {
    std::lock_guard lock(mutex_);
    return content_.bitmap;
}

std::optional<std::string> Clipboard::GetCustom(const std::string& format) const {
    std::lock_guard lock(mutex_);
    auto it = content_.custom.find(format);
    if (it == content_.custom.end()) return std::nullopt;
    return it->second;
}

bool Clipboard::HasText() const {
    std::lock_guard lock(mutex_);
    return content_.text.has_value();
}

bool Clipboard::HasBitmap() const {
    std::lock_guard lock(mutex_);
    return content_.bitmap.has_value();
}

bool Clipboard::IsEmpty() const {
    std::lock_guard lock(mutex_);
    return !content_.text && !content_.bitmap && content_.custom.empty();
}

std::uint32_t Clipboard::SequenceNumber() const {
    std::lock_guard lock(mutex_);
    return sequence_;
}

}  // namespace os
