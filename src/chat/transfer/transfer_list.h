#pragma once
// The file transfers of the whole client: one record per file and chat window, found by its
// transfer key or by its file's path. The list is process-wide (every chat window sees the
// others' files, so one path is never sent twice at once) and guarded by its own lock, since
// engine callbacks may read it from other threads. A window takes its records out when it
// closes.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "os/sys/clock.h"
#include "os/ui/hwnd.h"

namespace chat {

inline constexpr int kMaxTransfersPerChat = 4;
inline constexpr std::size_t kMaxTransferPathBytes = 128;
inline constexpr std::int64_t kMaxTransferBytes = std::int64_t{1} << 31;  // sizes stay below
inline constexpr os::Millis kStallCheckMs = 1500;
inline constexpr os::Millis kStallNoticeMs = 15000;

enum class TransferDirection { Sending = 0, Receiving = 1 };

// What the window's transfer panel shows of one file.
struct TransferProgress {
    std::uint64_t total = 0;
    std::uint64_t done = 0;
    // What had arrived before this start (a resumed file): not counted in the speed.
    std::uint64_t doneAtStart = 0;
    std::uint64_t bytesPerSecond = 0;
    std::uint64_t doneAtLastCheck = 0;
    os::Millis stalledMs = 0;
    bool started = false;
    bool stallNoticeShown = false;
    os::Millis startedAt = 0;
};

struct TransferRecord {
    std::string key;       // 32 hexadecimal digits
    std::string fileName;  // as shown (a received name made safe first)
    std::string path;      // the full local path
    std::uint64_t size = 0;
    TransferDirection direction = TransferDirection::Sending;
    bool offline = false;
    // An offline file to receive: the name the file server knows it by (the peer's own).
    std::string remoteName;
    os::HWND window{};
    TransferProgress progress;
};

// A new transfer key: a random UUID (version 4) without its "-".
std::string NewTransferKey();

class TransferList {
  public:
    // False when the key is listed already.
    bool Add(TransferRecord record);
    std::optional<TransferRecord> Find(const std::string& key) const;
    bool HasPath(const std::string& path) const;
    bool Remove(const std::string& key);
    // Changes a record in place; false when the key is not listed.
    bool Update(const std::string& key, const std::function<void(TransferRecord&)>& change);
    std::vector<TransferRecord> OfWindow(os::HWND window) const;
    int CountOfWindow(os::HWND window) const;

  private:
    mutable std::mutex mutex_;
    std::vector<TransferRecord> records_;
};

// The client's one list.
TransferList& Transfers();

}  // namespace chat
