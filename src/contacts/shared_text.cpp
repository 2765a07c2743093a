#include "contacts/shared_text.h"

#include <array>
#include <cstring>
#include <new>

namespace contacts {

namespace {

// The presence words a user's presence is almost always one of.
constexpr std::array<std::string_view, 8> kWords = {"offline", "online", "away", "xa",
                                                    "dnd",     "busy",   "chat", "available"};

}  // namespace

SharedText::Rep* SharedText::Make(std::string_view text) {
    if (text.empty()) return nullptr;
    // The header and the text in one block.
    void* block = ::operator new(sizeof(Rep) + text.size() + 1);
    char* chars = static_cast<char*>(block) + sizeof(Rep);
    std::memcpy(chars, text.data(), text.size());
    chars[text.size()] = '\0';
    return new (block) Rep{{1}, static_cast<std::uint32_t>(text.size()), chars};
}

SharedText::SharedText(std::string_view text) : rep_(Make(text)) {}

SharedText::SharedText(const SharedText& other) noexcept : rep_(other.rep_) {
    if (rep_ != nullptr && rep_->refs.load(std::memory_order_relaxed) != kForever) {
        rep_->refs.fetch_add(1, std::memory_order_relaxed);
    }
}

SharedText& SharedText::operator=(const SharedText& other) noexcept {
    if (rep_ != other.rep_) {
        SharedText copy(other);
        std::swap(rep_, copy.rep_);
    }
    return *this;
}

SharedText& SharedText::operator=(SharedText&& other) noexcept {
    if (this != &other) {
        Release();
        rep_ = other.rep_;
        other.rep_ = nullptr;
    }
    return *this;
}

SharedText& SharedText::operator=(std::string_view text) {
    if (view() == text) return *this;
    Rep* made = Make(text);
    Release();
    rep_ = made;
    return *this;
}

void SharedText::Release() noexcept {
    if (rep_ == nullptr) return;
    if (rep_->refs.load(std::memory_order_relaxed) != kForever &&
        rep_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        rep_->~Rep();
        ::operator delete(static_cast<void*>(rep_));
    }
    rep_ = nullptr;
}

SharedText SharedText::Word(std::string_view text) {
    static Rep words[kWords.size()] = {{{kForever}, 7, "offline"}, {{kForever}, 6, "online"},
                                       {{kForever}, 4, "away"},    {{kForever}, 2, "xa"},
                                       {{kForever}, 3, "dnd"},     {{kForever}, 4, "busy"},
                                       {{kForever}, 4, "chat"},    {{kForever}, 9, "available"}};
    for (std::size_t i = 0; i < kWords.size(); ++i) {
        if (kWords[i] == text) return SharedText(&words[i]);
    }
    return SharedText(text);
}

SharedText RecentTexts::Share(std::string_view text) {
    if (text.empty()) return SharedText();
    for (const SharedText& kept : kept_) {
        if (kept == text) return kept;
    }
    SharedText& slot = kept_[next_];
    next_ = (next_ + 1) % kKept;
    slot = SharedText(text);
    return slot;
}

}  // namespace contacts
