#pragma once
// The user's common phrases ("CUWords.dat" in the user folder): canned replies the chat window
// inserts with one click. An ordered list of at most 100 distinct phrases of at most 100 bytes
// each (50 Chinese characters); the file holds one phrase per line and is rewritten whole.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace config {

inline constexpr const char* kPhraseFile = "CUWords.dat";
inline constexpr std::size_t kMaxPhrases = 100;
inline constexpr std::size_t kMaxPhraseBytes = 100;
// What a store that would otherwise be empty holds.
inline constexpr const char* kDefaultPhrases[] = {"您好!", "对不起，现在忙，一会儿和您联系..."};

// What Load skipped.
struct PhraseLoadReport {
    bool opened = true;
    int duplicates = 0;  // lines equal to a phrase already in the store
    int tooLong = 0;     // lines over kMaxPhraseBytes
};

// The texts to show the user about what Load skipped, in order (none when nothing was).
std::vector<std::string> PhraseLoadMessages(const PhraseLoadReport& report);

class PhraseStore {
  public:
    // Starts with the two default phrases.
    PhraseStore();

    // Reads a file of one phrase per line (a "\r\n" line end too). `keepExisting` false
    // empties the store first. Empty lines are skipped; lines equal to a phrase in the store
    // and lines over 100 bytes are skipped and counted; reading stops at 100 phrases. A store
    // left empty (also when the file cannot be opened) gets the two default phrases.
    PhraseLoadReport Load(std::string_view path, bool keepExisting);
    // The same from the file's bytes.
    PhraseLoadReport LoadFromText(std::string_view bytes, bool keepExisting);
    // Writes every phrase and "\n", in order, replacing the file atomically.
    bool Save(std::string_view path) const;

    // Whether `text` can be a phrase at all: not empty, at most 100 bytes, one line.
    static bool IsUsablePhrase(std::string_view text);

    // Appends while the store holds fewer than 100 phrases and the text is usable and not
    // there yet.
    bool Add(std::string_view text);
    // False for an index outside the list, and for a text that is not usable or equals
    // another phrase (the list keeps its rules).
    bool Replace(int index, std::string_view text);
    bool Remove(int index);
    // The phrase's new index: the first stays first, the last stays last; -1 for an index
    // outside the list.
    int MoveUp(int index);
    int MoveDown(int index);

    int Count() const { return static_cast<int>(phrases_.size()); }
    // The phrase at `index`; empty outside the list.
    std::string At(int index) const;
    const std::vector<std::string>& Phrases() const { return phrases_; }
    void Clear() { phrases_.clear(); }
    // Back to the two default phrases only (a user without a phrase file).
    void ResetToDefaults() {
        phrases_.clear();
        AddDefaultsWhenEmpty();
    }

  private:
    bool Contains(std::string_view text) const;
    bool InRange(int index) const { return index >= 0 && index < Count(); }
    void AddDefaultsWhenEmpty();

    std::vector<std::string> phrases_;
};

}  // namespace config
