#include "chat/transfer/transfer_list.h"

#include <algorithm>
#include <random>

namespace chat {

std::string NewTransferKey() {
    static std::mutex mutex;
    static std::mt19937_64 random{std::random_device{}()};
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    {
        std::lock_guard lock(mutex);
        high = random();
        low = random();
    }
    high = (high & ~std::uint64_t{0xF000}) | 0x4000;                         // version 4
    low = (low & ~(std::uint64_t{0xC} << 60)) | (std::uint64_t{0x8} << 60);  // variant 1
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string key(32, '0');
    for (int i = 0; i < 16; ++i) {
        key[15 - i] = kHex[(high >> (4 * i)) & 0xF];
        key[31 - i] = kHex[(low >> (4 * i)) & 0xF];
    }
    return key;
}

bool TransferList::Add(TransferRecord record) {
    std::lock_guard lock(mutex_);
    const bool listed = std::any_of(records_.begin(), records_.end(),
                                    [&](const TransferRecord& r) { return r.key == record.key; });
    if (listed) return false;
    records_.push_back(std::move(record));
    return true;
}

std::optional<TransferRecord> TransferList::Find(const std::string& key) const {
    std::lock_guard lock(mutex_);
    for (const TransferRecord& record : records_) {
        if (record.key == key) return record;
    }
    return std::nullopt;
}

bool TransferList::HasPath(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return std::any_of(records_.begin(), records_.end(),
                       [&](const TransferRecord& r) { return r.path == path; });
}

bool TransferList::Remove(const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto before = records_.size();
    std::erase_if(records_, [&](const TransferRecord& r) { return r.key == key; });
    return records_.size() != before;
}

bool TransferList::Update(const std::string& key,
                          const std::function<void(TransferRecord&)>& change) {
    std::lock_guard lock(mutex_);
    for (TransferRecord& record : records_) {
        if (record.key == key) {
            change(record);
            return true;
        }
    }
    return false;
}

std::vector<TransferRecord> TransferList::OfWindow(os::HWND window) const {
    std::lock_guard lock(mutex_);
    std::vector<TransferRecord> found;
    for (const TransferRecord& record : records_) {
        if (record.window == window) found.push_back(record);
    }
    return found;
}

int TransferList::CountOfWindow(os::HWND window) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::count_if(records_.begin(), records_.end(),
                      [&](const TransferRecord& r) { return r.window == window; }));
}

TransferList& Transfers() {
    static TransferList list;
    return list;
}

}  // namespace chat
