#pragma once
// The file updates: the run after login that fetches the server's list, merges it into the
// client's own and downloads what is newer into "update/fileupdate/", and the step at the
// next start that puts the downloaded files in place.
//
// A record writes only inside its own folder (update_paths.h): one that tries to leave it is
// refused and logged. Every file is written under a temporary name, flushed and renamed, so
// an interrupted copy leaves the old file or the new one, never half of one; the list is
// rewritten the same way. A download that does not match the size or SHA-256 its record
// gives is discarded, and a pending file is checked again before it replaces anything.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/sys/clock.h"
#include "os/sys/log_sink.h"
#include "update/file_update_list.h"

namespace update {

struct UpdateFolders {
    std::string commonDir;                  // the shared client directory, ending in '/'
    std::string appDir;                     // the application directory, ending in '/'
    std::optional<std::string> userFolder;  // the user folder, ending in '/'; none: no user
};

// commonDir + "update/" and + "update/fileupdate/".
std::string UpdateRoot(const UpdateFolders& folders);
std::string FileUpdateFolder(const UpdateFolders& folders);
// The local folder of a dirType, or nothing for an unknown one (or no user folder).
std::optional<std::string> LocalFolder(const UpdateFolders& folders, int dirType);

// Merges the server's records into `current`: a record of the same id with a greater
// version takes the server's localName (and its size and checksum) and is marked changed; a
// new id is appended, marked changed. Answers, per changed record, the version to take over
// once its download succeeds (same order as the changed records in `current`).
struct MergeResult {
    std::vector<std::size_t> changedIndexes;
    std::vector<double> serverVersions;
};
MergeResult MergeServerList(std::vector<FileUpdateRecord>& current,
                            const std::vector<FileUpdateRecord>& server);

struct FileUpdateSettings {
    UpdateFolders folders;
    std::string remotedir;
    std::string updatelisturl;
    os::Clock* clock = nullptr;
    const std::atomic<bool>* stop = nullptr;  // set: abandon the run between and in downloads
};

// The run after login. Answers how many downloaded files wait for the next start (changed
// and pending), or nothing when the run ended early (no addresses, no list).
std::optional<int> RunFileUpdate(const FileUpdateSettings& settings, os::LogSink& log);

// "下载配置文件%d个,下次生效".
std::string PendingFilesNotice(int count);

// Puts every pending file in place; answers how many were replaced. `step`, when set, is told
// each step as it is reached ("copy", "written", "replaced", "list"), for tests that stop the
// process in the middle.
int ApplyPendingFiles(const UpdateFolders& folders, os::LogSink& log,
                      const std::function<void(std::string_view step)>& step = {});

}  // namespace update
