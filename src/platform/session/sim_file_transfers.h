#pragma once
// Files between the sessions of the simulated server. The sender's SendFile offers the file
// (the receiver gets type 32 with the key, the sender's name, the leaf of the path and the
// size; the sender a type-27 record saying whether the peer was reached); the receiver's
// RecvFile starts it (type 26 to both), DenyFile refuses it (type 28 to the sender), either
// side's CancelFile ends it (type 29 to the other side); the sender's UseOfflineFileTrans
// ends an offer not yet started and tells the receiver (type 104) that the file comes offline. A
// started file moves kChunkBytes per kChunkIntervalMs of the server's clock, each chunk a type-27
// record to both sides, until type 30 (or 31 with its reason) ends it. The bytes go to a temporary
// file in the receiver's folder that takes its name only when complete: nothing partial ever
// carries the final name. A session that logs out or loses its connection cancels its transfers.
//
// Resuming: a started file cut short by the network or by either side leaving keeps its
// temporary file (kMaxPartials at most, the oldest let go first). When the same sender offers
// the same file (path, name and size) to the same receiver again, the offer's `transferred`
// says how much arrived; accepted into the same save path it goes on from there, into another
// path it starts again and the part is removed. A refusal or a cancel from either side is a
// decision, not an accident: it removes the part.
//
// With a manual clock the chunks move inside ManualClock::Advance (a deadline source), in
// order with the other timed work; with any other clock a thread of the server moves them.
// Every call runs under the server's lock.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "os/sys/clock.h"
#include "os/sys/folder_file_writer.h"
#include "platform/session/sim_server.h"

namespace platform {

class SimFileTransfers {
  public:
    static constexpr std::uint64_t kChunkBytes = 1u << 20;
    static constexpr os::Millis kChunkIntervalMs = 100;

    // `world` and `mutex` are the server's; the transfers move under `mutex`.
    SimFileTransfers(os::Clock& clock, SimServer::Impl& world, std::mutex& mutex);
    ~SimFileTransfers();
    SimFileTransfers(const SimFileTransfers&) = delete;
    SimFileTransfers& operator=(const SimFileTransfers&) = delete;

    // The server's transfers, made on first use.
    static SimFileTransfers& Of(std::unique_ptr<SimFileTransfers>& files, os::Clock& clock,
                                SimServer::Impl& world, std::mutex& mutex);

    // `name`: the name the receiver is told; the leaf of the path without one.
    int Offer(SimSessionCore* sender, std::string_view to, std::string_view path,
              std::string_view key, std::optional<std::string_view> name = std::nullopt);
    int Accept(SimSessionCore* receiver, std::string_view savePath, std::string_view key);
    int Deny(SimSessionCore* receiver, std::string_view key);
    int Cancel(SimSessionCore* session, std::string_view key);
    // The sender switches a file it offered, not yet started, to the offline route.
    int SwitchToOffline(SimSessionCore* sender, std::string_view key);
    void EndSession(SimSessionCore* session);
    void SetStalled(bool stalled) { stalled_ = stalled; }
    // Fails every started file as a network failure would.
    void CutStarted();

    static constexpr std::size_t kMaxPartials = 16;

  private:
    struct Transfer;
    // The received part of a file cut short, waiting for the file to be offered again.
    struct Partial {
        std::string senderJid;
        std::string receiverJid;
        std::string sourcePath;
        std::string fileName;
        std::int64_t size = 0;
        std::unique_ptr<os::FolderFileWriter> writer;  // its temporary file holds the bytes
    };

    // Keeps what the receiver has of `transfer` (started or offered for resuming).
    void KeepPartial(Transfer& transfer);
    // Gives `transfer` the part kept of its file, if any.
    void TakePartial(Transfer& transfer);

    // What one side of a transfer hears of it: the sender its source, the receiver its save
    // path.
    static FileTransferData SideOf(const Transfer& transfer, bool sending);

    // Moves every chunk that is due at `now`.
    void Step(os::Millis now);
    os::Millis NextDeadline() const;
    void Finish(const std::string& key, bool success, int reason);
    void DeliverTo(SimSessionCore* session, std::uint32_t type, const Transfer& transfer,
                   bool sending) const;
    bool Attached(const SimSessionCore* session) const;
    void RunThread();

    os::Clock& clock_;
    SimServer::Impl& world_;
    std::mutex& mutex_;
    std::map<std::string, std::unique_ptr<Transfer>> transfers_;
    std::vector<Partial> partials_;  // oldest first
    os::ManualClock* manual_ = nullptr;
    os::ManualClock::DeadlineSource source_ = 0;
    // The mover thread of a clock that is not manual.
    std::condition_variable wake_;
    bool stopping_ = false;
    bool stalled_ = false;
    std::unique_ptr<std::thread> thread_;
};

}  // namespace platform
