#include "config/phrase_store.h"

#include <algorithm>
#include <utility>

#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"

namespace config {

std::vector<std::string> PhraseLoadMessages(const PhraseLoadReport& report) {
    std::vector<std::string> messages;
    if (report.duplicates > 0) {
        messages.push_back(
            os::Format("文件中 %d 条常用语已经存在于列表中，未予导入", report.duplicates));
    }
    if (report.tooLong > 0) {
        messages.push_back(os::Format("文件中 %d 条常用语长度超过%d个英文字母，未予导入",
                                      report.tooLong, static_cast<int>(kMaxPhraseBytes)));
    }
    return messages;
}

PhraseStore::PhraseStore() { AddDefaultsWhenEmpty(); }

PhraseLoadReport PhraseStore::Load(std::string_view path, bool keepExisting) {
    std::string bytes;
    const bool opened = os::ReadFile(path, bytes);
    PhraseLoadReport report = LoadFromText(bytes, keepExisting);
    report.opened = opened;
    return report;
}

PhraseLoadReport PhraseStore::LoadFromText(std::string_view bytes, bool keepExisting) {
    PhraseLoadReport report;
    if (!keepExisting) phrases_.clear();
    std::size_t start = 0;
    while (start < bytes.size() && phrases_.size() < kMaxPhrases) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty()) continue;
        if (Contains(line)) {
            ++report.duplicates;
        } else if (line.size() > kMaxPhraseBytes) {
            ++report.tooLong;
        } else if (IsUsablePhrase(line)) {
            phrases_.emplace_back(line);
        }
    }
    AddDefaultsWhenEmpty();
    return report;
}

bool PhraseStore::Save(std::string_view path) const {
    std::string bytes;
    for (const std::string& phrase : phrases_) {
        bytes += phrase;
        bytes += '\n';
    }
    return os::WriteFileAtomically(path, bytes);
}

bool PhraseStore::IsUsablePhrase(std::string_view text) {
    return !text.empty() && text.size() <= kMaxPhraseBytes &&
           text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool PhraseStore::Add(std::string_view text) {
    if (phrases_.size() >= kMaxPhrases || !IsUsablePhrase(text) || Contains(text)) return false;
    phrases_.emplace_back(text);
    return true;
}

bool PhraseStore::Replace(int index, std::string_view text) {
    if (!InRange(index) || !IsUsablePhrase(text)) return false;
    for (int i = 0; i < Count(); ++i) {
        if (i != index && phrases_[i] == text) return false;
    }
    phrases_[index] = std::string(text);
    return true;
}

bool PhraseStore::Remove(int index) {
    if (!InRange(index)) return false;
    phrases_.erase(phrases_.begin() + index);
    return true;
}

int PhraseStore::MoveUp(int index) {
    if (!InRange(index)) return -1;
    if (index == 0) return 0;
    std::swap(phrases_[index], phrases_[index - 1]);
    return index - 1;
}

int PhraseStore::MoveDown(int index) {
    if (!InRange(index)) return -1;
    if (index == Count() - 1) return index;
    std::swap(phrases_[index], phrases_[index + 1]);
    return index + 1;
}

std::string PhraseStore::At(int index) const { return InRange(index) ? phrases_[index] : ""; }

bool PhraseStore::Contains(std::string_view text) const {
    return std::find(phrases_.begin(), phrases_.end(), text) != phrases_.end();
}

void PhraseStore::AddDefaultsWhenEmpty() {
    if (!phrases_.empty()) return;
    for (const char* phrase : kDefaultPhrases) phrases_.emplace_back(phrase);
}

}  // namespace config
