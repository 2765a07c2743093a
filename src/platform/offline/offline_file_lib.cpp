#include "platform/offline/offline_file_lib.h"

#include <atomic>

#include "os/sys/folder_file_writer.h"
#include "web/generic_http_client.h"

namespace platform {

struct OfflineFileLib::Running {
    OfflineTask task;
    std::atomic<std::uint64_t> moved{0};
    std::atomic<bool> abandoned{false};
    std::atomic<bool> done{false};
    std::atomic<bool> ended{false};  // the thread has nothing left to do
};

namespace {

std::string Trimmed(std::string text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool Upload(web::GenericHttpClient& http, OfflineTask& task) {
    http.AddArgument("key", task.key, web::ArgumentKind::Text);
    http.AddArgument("file", task.localPath, web::ArgumentKind::File);
    const bool answered =
        http.Request(task.url, web::RequestKind::MultipartPost, web::kClientUserAgent);
    task.httpStatus = static_cast<int>(http.StatusCode());
    if (!answered) {
        // A server that answered with nothing but a status refused the file all the same.
        if (http.LastFailure() == web::HttpFailure::FileUnreadable) {
            task.failure = OfflineFailure::Unwritable;
        } else if (task.httpStatus != 0) {
            task.failure = OfflineFailure::Refused;
        } else {
            task.failure = OfflineFailure::Unreachable;
        }
        return false;
    }
    task.serverKey = Trimmed(http.Body());
    if (task.httpStatus < 200 || task.httpStatus > 299 || task.serverKey.empty()) {
        task.failure = OfflineFailure::Refused;
        return false;
    }
    return true;
}

bool Download(web::GenericHttpClient& http, OfflineTask& task, const std::atomic<bool>& abandoned) {
    const std::size_t cut = task.localPath.find_last_of('/');
    if (cut == std::string::npos) {
        task.failure = OfflineFailure::Unwritable;
        return false;
    }
    const std::string folder = task.localPath.substr(0, cut + 1);
    const std::string leaf = task.localPath.substr(cut + 1);
    const bool fetched = http.Download(task.url, [&](std::string_view bytes) {
        if (abandoned) return false;
        std::unique_ptr<os::FolderFileWriter> writer = os::FolderFileWriter::Begin(folder, leaf);
        // The user was asked before a file of that name is replaced.
        return writer && writer->Write(bytes) && writer->Commit(os::ExistingEntry::kReplace);
    });
    task.httpStatus = static_cast<int>(http.StatusCode());
    if (fetched) return true;
    if (http.LastFailure() == web::HttpFailure::SaveFailed) {
        task.failure = OfflineFailure::Unwritable;
    } else if (task.httpStatus != 0) {
        task.failure = OfflineFailure::Refused;
    } else {
        task.failure = OfflineFailure::Unreachable;
    }
    return false;
}

}  // namespace

OfflineFileLib::OfflineFileLib(os::Clock& clock) : clock_(clock) {}

OfflineFileLib::~OfflineFileLib() {
    std::vector<Worker> workers;
    {
        std::lock_guard lock(mutex_);
        for (auto& [key, running] : tasks_) running->abandoned = true;
        workers.swap(workers_);
    }
    for (Worker& worker : workers) worker.thread.join();
}

bool OfflineFileLib::AddOfflineFileTask(OfflineTask task, OfflineCallback callback) {
    if (task.key.empty() || task.localPath.empty() || task.url.empty()) return false;
    auto running = std::make_shared<Running>();
    running->task = std::move(task);
    std::lock_guard lock(mutex_);
    auto it = tasks_.find(running->task.key);
    if (it != tasks_.end() && !it->second->done) return false;
    for (auto worker = workers_.begin(); worker != workers_.end();) {
        if (!worker->running->ended) {
            ++worker;
            continue;
        }
        worker->thread.join();
        worker = workers_.erase(worker);
    }
    tasks_[running->task.key] = running;
    workers_.push_back(Worker{
        std::thread([this, running, callback = std::move(callback)] { Run(running, callback); }),
        running});
    return true;
}

void OfflineFileLib::Run(const std::shared_ptr<Running>& running, OfflineCallback callback) {
    OfflineTask& task = running->task;
    if (callback) callback(OfflineEvent::Started, task);
    web::GenericHttpClient http(web::HttpClientSettings{&clock_});
    http.SetProgressHandler([&running](std::uint64_t moved) {
        // An upload's request counts the form around the file too: never more than the file.
        running->moved = std::min(moved, running->task.size);
        return !running->abandoned.load();
    });
    bool ok = task.direction == OfflineDirection::Upload ? Upload(http, task)
                                                         : Download(http, task, running->abandoned);
    if (running->abandoned) {
        ok = false;
        task.failure = OfflineFailure::Abandoned;
    }
    if (ok) running->moved = task.size;
    running->done = true;
    if (callback) callback(ok ? OfflineEvent::Finished : OfflineEvent::Failed, task);
    running->ended = true;
}

bool OfflineFileLib::GetCompleteCount(std::string_view key, std::uint64_t& count) const {
    std::lock_guard lock(mutex_);
    auto it = tasks_.find(key);
    if (it == tasks_.end()) return false;
    count = it->second->moved;
    return true;
}

void OfflineFileLib::CancelTask(std::string_view key) {
    std::lock_guard lock(mutex_);
    auto it = tasks_.find(key);
    if (it != tasks_.end()) it->second->abandoned = true;
}

}  // namespace platform
