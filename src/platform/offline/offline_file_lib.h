#pragma once
// OfflineFileLib: the offline file tasks of the client. An upload posts a file to the file
// server as a multipart form and learns the key the server stored it under; a download
// fetches a stored file and writes it inside its folder under a temporary name that takes the
// file's name only when every byte has arrived (os::FolderFileWriter). Each task runs on a
// thread of its own; its callback is called on that thread (Started, then Finished or
// Failed), so a caller hands the news to its own thread. GetCompleteCount reads a task's
// progress from any thread.
//
// The library is the client's one: it outlives every window that adds tasks, and ending it
// abandons the tasks still running and waits for their threads.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace os {
class Clock;
}

namespace platform {

enum class OfflineDirection { Upload, Download };
// The callback's events, numbered as the library's callers know them.
enum class OfflineEvent { Started = 1, Finished = 2, Failed = 3 };
// Why a task failed.
enum class OfflineFailure { None, Unreachable, Refused, Unwritable, Abandoned };

struct OfflineTask {
    std::string key;  // the transfer key the task is known by
    OfflineDirection direction = OfflineDirection::Upload;
    std::string localPath;   // upload: the file; download: folder + '/' + a safe leaf
    std::string url;         // upload: where the form goes; download: the stored file
    std::uint64_t size = 0;  // the file's bytes (what progress counts towards)
    // After the task: the key the server stored an upload under, or why it failed.
    std::string serverKey;
    OfflineFailure failure = OfflineFailure::None;
    int httpStatus = 0;
};

using OfflineCallback = std::function<void(OfflineEvent event, const OfflineTask& task)>;

class OfflineFileLib {
  public:
    explicit OfflineFileLib(os::Clock& clock);
    ~OfflineFileLib();
    OfflineFileLib(const OfflineFileLib&) = delete;
    OfflineFileLib& operator=(const OfflineFileLib&) = delete;

    // Starts the task; false when its key is running already or it names no file or address.
    bool AddOfflineFileTask(OfflineTask task, OfflineCallback callback);
    // The bytes a running (or just finished) task has moved; false for an unknown key.
    bool GetCompleteCount(std::string_view key, std::uint64_t& count) const;
    // Abandons a running task: it ends as Failed (Abandoned) and leaves no file.
    void CancelTask(std::string_view key);

  private:
    struct Running;
    void Run(const std::shared_ptr<Running>& running, OfflineCallback callback);

    os::Clock& clock_;
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Running>, std::less<>> tasks_;
    struct Worker {
        std::thread thread;
        std::shared_ptr<Running> running;
    };
    // Threads of tasks still running or not yet joined; an ended one is joined when the next
    // task is added, so a long session keeps no finished threads.
    std::vector<Worker> workers_;
};

}  // namespace platform
