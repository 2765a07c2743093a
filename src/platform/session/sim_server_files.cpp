#include <fcntl.h>
#include <unistd.h>

#include <thread>

#include "os/sys/paths.h"
#include "platform/session/sim_file_transfers.h"
#include "platform/session/sim_world.h"

namespace platform {

struct SimFileTransfers::Transfer {
    std::string key;
    SimSessionCore* sender = nullptr;
    SimSessionCore* receiver = nullptr;
    std::string senderJid;
    std::string receiverJid;
    std::string sourcePath;
    std::string fileName;
    std::int64_t size = 0;
    std::int64_t moved = 0;
    int sourceFd = -1;
    std::unique_ptr<os::FolderFileWriter> target;
    // The part of this file a cut-short transfer left, while the offer is not yet accepted.
    std::unique_ptr<os::FolderFileWriter> resumable;
    std::string savePath;
    os::Millis nextChunk = os::kInfinite;  // kInfinite while offered

    ~Transfer() {
        if (sourceFd >= 0) ::close(sourceFd);
    }
};

namespace {

std::string LeafOf(std::string_view path) {
    const std::size_t cut = path.find_last_of('/');
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

int OpenForReading(std::string_view path) {
    const std::optional<std::filesystem::path> native = os::NativePath(path);
    if (!native) return -1;
    return ::open(native->c_str(), O_RDONLY | O_CLOEXEC);
}

}  // namespace

FileTransferData SimFileTransfers::SideOf(const Transfer& transfer, bool sending) {
    FileTransferData data;
    data.key = transfer.key;
    data.peerJid = sending ? transfer.receiverJid : transfer.senderJid;
    data.fileName = transfer.fileName;
    data.filePath = sending ? transfer.sourcePath : transfer.savePath;
    data.size = transfer.size;
    data.transferred = transfer.moved;
    data.sending = sending;
    return data;
}

SimFileTransfers::SimFileTransfers(os::Clock& clock, SimServer::Impl& world, std::mutex& mutex)
    : clock_(clock), world_(world), mutex_(mutex), manual_(dynamic_cast<os::ManualClock*>(&clock)) {
    if (manual_ != nullptr) {
        source_ = manual_->AddDeadlineSource(
            [this] {
                std::lock_guard lock(mutex_);
                return NextDeadline();
            },
            [this](os::Millis now) {
                std::lock_guard lock(mutex_);
                Step(now);
            });
    } else {
        thread_ = std::make_unique<std::thread>([this] { RunThread(); });
    }
}

SimFileTransfers::~SimFileTransfers() {
    if (manual_ != nullptr) manual_->RemoveDeadlineSource(source_);
    if (thread_) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_->join();
    }
}

void SimFileTransfers::RunThread() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const os::Millis deadline = NextDeadline();
        // A transfer that started meanwhile brings the deadline forward.
        clock_.WaitUntil(lock, wake_, deadline,
                         [&] { return stopping_ || NextDeadline() < deadline; });
        if (!stopping_) Step(clock_.Now());
    }
}

bool SimFileTransfers::Attached(const SimSessionCore* session) const {
    return std::any_of(
        world_.sessions.begin(), world_.sessions.end(), [&](const sim::SessionEntry& entry) {
            return entry.session == session && entry.state == sim::SessionState::LoggedIn;
        });
}

void SimFileTransfers::DeliverTo(SimSessionCore* session, std::uint32_t type,
                                 const Transfer& transfer, bool sending) const {
    if (session == nullptr || !Attached(session)) return;
    session->Deliver(MakeNotify(type, SideOf(transfer, sending)));
}

int SimFileTransfers::Offer(SimSessionCore* sender, std::string_view to, std::string_view path,
                            std::string_view key, std::optional<std::string_view> name) {
    const SimAccount* from = world_.LoggedInAccount(sender);
    if (from == nullptr || key.empty() || transfers_.contains(std::string(key))) {
        return kSendFileFailed;
    }
    auto transfer = std::make_unique<Transfer>();
    transfer->key = std::string(key);
    transfer->sender = sender;
    transfer->senderJid = from->jid;
    transfer->receiverJid = Jid(to).Bare();
    transfer->sourcePath = std::string(path);
    transfer->fileName = name ? std::string(*name) : LeafOf(path);
    transfer->sourceFd = OpenForReading(path);
    if (transfer->sourceFd < 0) return kSendFileFailed;
    const off_t size = ::lseek(transfer->sourceFd, 0, SEEK_END);
    if (size < 0) return kSendFileFailed;
    transfer->size = size;

    // The offer goes to the receiver's most recent session.
    const std::string receiverKey = Jid(to).StoreKey();
    for (const sim::SessionEntry& entry : world_.sessions) {
        if (entry.state == sim::SessionState::LoggedIn && entry.accountKey == receiverKey &&
            entry.session != sender) {
            transfer->receiver = entry.session;
        }
    }
    FileTransferData outcome;
    outcome.key = transfer->key;
    outcome.peerJid = transfer->receiverJid;
    outcome.fileName = transfer->fileName;
    outcome.filePath = transfer->sourcePath;
    outcome.size = transfer->size;
    outcome.sending = true;
    if (transfer->receiver == nullptr) {
        outcome.stage = FileStage::NegotiationFailed;
        sender->Deliver(MakeNotify(notify_type::kFileTransferProgress, std::move(outcome)));
        return 1;
    }
    TakePartial(*transfer);
    DeliverTo(transfer->receiver, notify_type::kFileOffer, *transfer, false);
    outcome.stage = FileStage::Negotiated;
    sender->Deliver(MakeNotify(notify_type::kFileTransferProgress, std::move(outcome)));
    transfers_.emplace(transfer->key, std::move(transfer));
    return 1;
}

int SimFileTransfers::Accept(SimSessionCore* receiver, std::string_view savePath,
                             std::string_view key) {
    auto it = transfers_.find(std::string(key));
    if (it == transfers_.end() || it->second->receiver != receiver || it->second->target) {
        return 0;
    }
    Transfer& transfer = *it->second;
    const std::size_t cut = savePath.find_last_of('/');
    if (cut == std::string_view::npos) return 0;
    transfer.savePath = std::string(savePath);
    if (transfer.resumable && transfer.resumable->FinalPath() == savePath) {
        // The same file into the same place: on from the bytes that arrived before.
        transfer.target = std::move(transfer.resumable);
        transfer.moved = static_cast<std::int64_t>(transfer.target->Written());
    } else {
        transfer.resumable.reset();
        transfer.moved = 0;
        transfer.target =
            os::FolderFileWriter::Begin(savePath.substr(0, cut + 1), savePath.substr(cut + 1));
    }
    if (!transfer.target) {
        Finish(transfer.key, false, kFileFailureOther);
        return 0;
    }
    transfer.nextChunk = clock_.Now() + kChunkIntervalMs;
    DeliverTo(transfer.sender, notify_type::kFileTransferStarted, transfer, true);
    DeliverTo(transfer.receiver, notify_type::kFileTransferStarted, transfer, false);
    wake_.notify_all();
    return 1;
}

int SimFileTransfers::Deny(SimSessionCore* receiver, std::string_view key) {
    auto it = transfers_.find(std::string(key));
    if (it == transfers_.end() || it->second->receiver != receiver) return 0;
    DeliverTo(it->second->sender, notify_type::kFileTransferRefused, *it->second, true);
    transfers_.erase(it);
    return 1;
}

int SimFileTransfers::Cancel(SimSessionCore* session, std::string_view key) {
    auto it = transfers_.find(std::string(key));
    if (it == transfers_.end()) return 0;
    Transfer& transfer = *it->second;
    if (session != transfer.sender && session != transfer.receiver) return 0;
    if (session == transfer.sender) {
        DeliverTo(transfer.receiver, notify_type::kFileTransferCancelled, transfer, false);
    } else {
        DeliverTo(transfer.sender, notify_type::kFileTransferCancelled, transfer, true);
    }
    transfers_.erase(it);  // the temporary file goes with its writer: a cancel keeps nothing
    return 1;
}

int SimFileTransfers::SwitchToOffline(SimSessionCore* sender, std::string_view key) {
    auto it = transfers_.find(std::string(key));
    if (it == transfers_.end() || it->second->sender != sender || it->second->target) return 0;
    DeliverTo(it->second->receiver, notify_type::kOfflineFileSwitch, *it->second, false);
    transfers_.erase(it);
    return 1;
}

void SimFileTransfers::EndSession(SimSessionCore* session) {
    for (auto it = transfers_.begin(); it != transfers_.end();) {
        Transfer& transfer = *it->second;
        if (transfer.sender == session) {
            DeliverTo(transfer.receiver, notify_type::kFileTransferCancelled, transfer, false);
        } else if (transfer.receiver == session) {
            DeliverTo(transfer.sender, notify_type::kFileTransferCancelled, transfer, true);
        } else {
            ++it;
            continue;
        }
        KeepPartial(transfer);
        it = transfers_.erase(it);
    }
}

os::Millis SimFileTransfers::NextDeadline() const {
    os::Millis next = os::kInfinite;
    for (const auto& [key, transfer] : transfers_) next = std::min(next, transfer->nextChunk);
    return next;
}

void SimFileTransfers::Step(os::Millis now) {
    if (stalled_) {
        // Nothing moves; the chunks that were due wait for the network to come back.
        for (auto& [key, transfer] : transfers_) {
            if (transfer->nextChunk <= now) transfer->nextChunk = now + kChunkIntervalMs;
        }
        return;
    }
    std::vector<std::string> done;
    std::string buffer;
    for (auto& [key, transfer] : transfers_) {
        while (transfer->target && transfer->nextChunk <= now && transfer->moved < transfer->size) {
            const auto want = static_cast<std::size_t>(
                std::min<std::int64_t>(kChunkBytes, transfer->size - transfer->moved));
            buffer.resize(want);
            const ssize_t got = ::pread(transfer->sourceFd, buffer.data(), want, transfer->moved);
            if (got <= 0 || !transfer->target->Write(std::string_view(buffer.data(), got))) {
                transfer->nextChunk = os::kInfinite;
                done.push_back(key);
                break;
            }
            transfer->moved += got;
            transfer->nextChunk += kChunkIntervalMs;
            DeliverTo(transfer->sender, notify_type::kFileTransferProgress, *transfer, true);
            DeliverTo(transfer->receiver, notify_type::kFileTransferProgress, *transfer, false);
        }
        if (transfer->target && transfer->moved >= transfer->size &&
            std::find(done.begin(), done.end(), key) == done.end()) {
            done.push_back(key);
        }
    }
    for (const std::string& key : done) {
        Transfer& transfer = *transfers_.at(key);
        const bool complete =
            transfer.moved >= transfer.size && transfer.target->Commit(os::ExistingEntry::kReplace);
        Finish(key, complete, complete ? kFileFailureOther : kFileFailureNetwork);
    }
}

void SimFileTransfers::Finish(const std::string& key, bool success, int reason) {
    auto it = transfers_.find(key);
    if (it == transfers_.end()) return;
    Transfer& transfer = *it->second;
    const std::uint32_t type =
        success ? notify_type::kFileTransferSucceeded : notify_type::kFileTransferFailed;
    for (const bool sending : {true, false}) {
        SimSessionCore* session = sending ? transfer.sender : transfer.receiver;
        if (session == nullptr || !Attached(session)) continue;
        FileTransferData data = SideOf(transfer, sending);
        data.reason = reason;
        session->Deliver(MakeNotify(type, std::move(data)));
    }
    if (!success) KeepPartial(transfer);
    transfers_.erase(it);
}

void SimFileTransfers::CutStarted() {
    std::vector<std::string> started;
    for (const auto& [key, transfer] : transfers_) {
        if (transfer->target) started.push_back(key);
    }
    for (const std::string& key : started) Finish(key, false, kFileFailureNetwork);
}

namespace {

bool SameFile(std::string_view senderJid, std::string_view receiverJid, std::string_view sourcePath,
              std::string_view fileName, std::int64_t size, std::string_view otherSender,
              std::string_view otherReceiver, std::string_view otherSource,
              std::string_view otherName, std::int64_t otherSize) {
    return size == otherSize && sourcePath == otherSource && fileName == otherName &&
           Jid(senderJid).StoreKey() == Jid(otherSender).StoreKey() &&
           Jid(receiverJid).StoreKey() == Jid(otherReceiver).StoreKey();
}

}  // namespace

void SimFileTransfers::KeepPartial(Transfer& transfer) {
    std::unique_ptr<os::FolderFileWriter> writer =
        transfer.target ? std::move(transfer.target) : std::move(transfer.resumable);
    // Only a clean part: every byte counted was written, and some are still missing.
    if (!writer || writer->Written() == 0 ||
        writer->Written() != static_cast<std::uint64_t>(transfer.moved) ||
        transfer.moved >= transfer.size) {
        return;
    }
    std::erase_if(partials_, [&](const Partial& partial) {
        return SameFile(partial.senderJid, partial.receiverJid, partial.sourcePath,
                        partial.fileName, partial.size, transfer.senderJid, transfer.receiverJid,
                        transfer.sourcePath, transfer.fileName, transfer.size);
    });
    partials_.push_back(Partial{transfer.senderJid, transfer.receiverJid, transfer.sourcePath,
                                transfer.fileName, transfer.size, std::move(writer)});
    if (partials_.size() > kMaxPartials) partials_.erase(partials_.begin());
}

void SimFileTransfers::TakePartial(Transfer& transfer) {
    auto it = std::find_if(partials_.begin(), partials_.end(), [&](const Partial& partial) {
        return SameFile(partial.senderJid, partial.receiverJid, partial.sourcePath,
                        partial.fileName, partial.size, transfer.senderJid, transfer.receiverJid,
                        transfer.sourcePath, transfer.fileName, transfer.size);
    });
    if (it == partials_.end()) return;
    transfer.moved = static_cast<std::int64_t>(it->writer->Written());
    transfer.resumable = std::move(it->writer);
    partials_.erase(it);
}

// ---- SimServer's file requests ----

SimFileTransfers& SimFileTransfers::Of(std::unique_ptr<SimFileTransfers>& files, os::Clock& clock,
                                       SimServer::Impl& world, std::mutex& mutex) {
    if (!files) files = std::make_unique<SimFileTransfers>(clock, world, mutex);
    return *files;
}

int SimServer::SendFile(SimSessionCore* session, std::string_view to, std::string_view path,
                        std::string_view key) {
    std::lock_guard lock(mutex_);
    return SimFileTransfers::Of(files_, clock_, *impl_, mutex_).Offer(session, to, path, key);
}

int SimServer::OfferFileNamed(SimSessionCore& sender, std::string_view to, std::string_view path,
                              std::string_view key, std::string_view offeredName) {
    std::lock_guard lock(mutex_);
    return SimFileTransfers::Of(files_, clock_, *impl_, mutex_)
        .Offer(&sender, to, path, key, offeredName);
}

void SimServer::StallFileTransfers(bool stalled) {
    std::lock_guard lock(mutex_);
    SimFileTransfers::Of(files_, clock_, *impl_, mutex_).SetStalled(stalled);
}

void SimServer::CutFileTransfers() {
    std::lock_guard lock(mutex_);
    SimFileTransfers::Of(files_, clock_, *impl_, mutex_).CutStarted();
}

int SimServer::RecvFile(SimSessionCore* session, std::string_view savePath, std::string_view key) {
    std::lock_guard lock(mutex_);
    return SimFileTransfers::Of(files_, clock_, *impl_, mutex_).Accept(session, savePath, key);
}

int SimServer::DenyFile(SimSessionCore* session, std::string_view key) {
    std::lock_guard lock(mutex_);
    return SimFileTransfers::Of(files_, clock_, *impl_, mutex_).Deny(session, key);
}

int SimServer::CancelFile(SimSessionCore* session, std::string_view key) {
    std::lock_guard lock(mutex_);
    return SimFileTransfers::Of(files_, clock_, *impl_, mutex_).Cancel(session, key);
}

int SimServer::UseOfflineFileTrans(SimSessionCore* session, std::string_view key) {
    std::lock_guard lock(mutex_);
    return SimFileTransfers::Of(files_, clock_, *impl_, mutex_).SwitchToOffline(session, key);
}

}  // namespace platform
