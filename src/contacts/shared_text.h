#pragma once
// SharedText: an immutable text whose copies share one buffer (a reference count), for the
// fields that many users of one tree hold alike: the group key and group id of the users of
// one unit, the presence word, the subscription state. A directory of 100 000 users holds a
// few hundred distinct such texts; each user holds an 8-byte handle to its own.
//
// Copies are cheap and thread-safe (the count is atomic); the text never changes in place:
// assigning a new text makes a new buffer (or shares none when it is empty). The empty text
// holds no buffer. A few well-known words (the presence words) are kept once for the whole
// process: Word() hands out a handle to one without allocating.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace contacts {

class SharedText {
  public:
    SharedText() = default;
    explicit SharedText(std::string_view text);
    SharedText(const SharedText& other) noexcept;
    SharedText(SharedText&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    SharedText& operator=(const SharedText& other) noexcept;
    SharedText& operator=(SharedText&& other) noexcept;
    // The same text again keeps the buffer (and whoever shares it).
    SharedText& operator=(std::string_view text);
    SharedText& operator=(const std::string& text) { return *this = std::string_view(text); }
    SharedText& operator=(const char* text) { return *this = std::string_view(text); }
    void clear() noexcept { Release(); }
    ~SharedText() { Release(); }

    // A handle to `text` shared process-wide when it is one of the presence words, else a
    // new buffer.
    static SharedText Word(std::string_view text);

    const char* c_str() const { return rep_ != nullptr ? rep_->text : ""; }
    const char* data() const { return c_str(); }
    std::size_t size() const { return rep_ != nullptr ? rep_->size : 0; }
    std::size_t length() const { return size(); }
    bool empty() const { return rep_ == nullptr; }
    std::string_view view() const { return {c_str(), size()}; }
    operator std::string_view() const { return view(); }
    std::string str() const { return std::string(view()); }
    operator std::string() const { return str(); }
    // Whether both share one buffer (not only equal texts).
    bool SharesWith(const SharedText& other) const { return rep_ == other.rep_; }

    friend bool operator==(const SharedText& a, const SharedText& b) {
        return a.rep_ == b.rep_ || a.view() == b.view();
    }
    friend bool operator==(const SharedText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const SharedText& a, const char* b) {
        return a.view() == std::string_view(b);
    }
    friend bool operator==(const SharedText& a, const std::string& b) {
        return a.view() == std::string_view(b);
    }

  private:
    struct Rep {
        std::atomic<std::uint32_t> refs;  // kForever: a process-wide word, never counted
        std::uint32_t size;
        const char* text;  // NUL-terminated
    };
    static constexpr std::uint32_t kForever = 0xFFFFFFFFu;

    explicit SharedText(Rep* rep) : rep_(rep) {}
    void Release() noexcept;
    static Rep* Make(std::string_view text);

    Rep* rep_ = nullptr;
};

// The last few texts a loader made, so that the users it builds one after another share
// theirs: the users of one unit arrive together, with the unit's key and id.
class RecentTexts {
  public:
    // A handle to `text`: one of the recent ones when equal, else a new one that is kept.
    SharedText Share(std::string_view text);

  private:
    static constexpr std::size_t kKept = 8;
    SharedText kept_[kKept];
    std::size_t next_ = 0;
};

}  // namespace contacts
