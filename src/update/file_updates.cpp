#include "update/file_updates.h"

#include <algorithm>
#include <map>

#include "os/sys/file_ops.h"
#include "os/sys/folder_file_writer.h"
#include "os/text/cstring_ops.h"
#include "update/sha256.h"
#include "update/update_paths.h"
#include "web/generic_http_client.h"

namespace update {
namespace {

constexpr int kLogLevel = 3;
constexpr std::size_t kListReadLimit = 4u << 20;

void Log(os::LogSink& log, const std::string& text) { log.WriteLog2(kLogLevel, text); }

// A missing list is empty; an unreadable one is logged and empty.
std::vector<FileUpdateRecord> ReadList(const std::string& path, os::LogSink& log) {
    std::string text;
    const os::ReadResult read = os::ReadFileChecked(path, text, kListReadLimit);
    if (read != os::ReadResult::kRead) {
        if (read != os::ReadResult::kCannotOpen || os::FileExists(path))
            Log(log, os::Format("打开更新文件失败:%s", path.c_str()));
        return {};
    }
    return ParseUpdateList(text, log);
}

bool WriteList(const std::string& path, const std::vector<FileUpdateRecord>& records,
               os::LogSink& log) {
    if (os::WriteFileAtomically(path, FormatUpdateList(records))) return true;
    Log(log, os::Format("写文件时打开失败:%s", path.c_str()));
    return false;
}

// Whether the bytes are what the record says they are (a record without size and checksum
// takes any bytes).
bool Matches(const FileUpdateRecord& record, std::string_view bytes) {
    if (record.size && *record.size != bytes.size()) return false;
    if (!record.sha256.empty() && Sha256Hex(bytes) != record.sha256) return false;
    return true;
}

void Refuse(os::LogSink& log, const FileUpdateRecord& record) {
    Log(log, os::Format("更新文件路径越出其目录,已拒绝:%s", FormatUpdateRecord(record).c_str()));
}

// The folder part of a relative path ("" for a plain name) and its last step.
std::pair<std::string, std::string> SplitLeaf(const std::string& relative) {
    const std::size_t slash = relative.rfind('/');
    if (slash == std::string::npos) return {"", relative};
    return {relative.substr(0, slash + 1), relative.substr(slash + 1)};
}

// `written`, when set, is called with the bytes flushed to the temporary file, before the
// rename gives them the name.
bool WriteInFolder(const std::string& folder, const std::string& leaf, std::string_view bytes,
                   const std::function<void()>& written = {}) {
    auto writer = os::FolderFileWriter::Begin(folder, leaf);
    if (!writer || !writer->Write(bytes)) return false;
    if (written) written();
    return writer->Commit(os::ExistingEntry::kReplace);
}

}  // namespace

std::string UpdateRoot(const UpdateFolders& folders) { return folders.commonDir + "update/"; }

std::string FileUpdateFolder(const UpdateFolders& folders) {
    return UpdateRoot(folders) + "fileupdate/";
}

std::optional<std::string> LocalFolder(const UpdateFolders& folders, int dirType) {
    switch (static_cast<DirType>(dirType)) {
        case DirType::kSharedDir:
            return folders.commonDir;
        case DirType::kAppDir:
            return folders.appDir;
        case DirType::kUserFolder:
            return folders.userFolder;
    }
    return std::nullopt;
}

MergeResult MergeServerList(std::vector<FileUpdateRecord>& current,
                            const std::vector<FileUpdateRecord>& server) {
    std::map<std::size_t, double> taken;
    for (const FileUpdateRecord& offered : server) {
        auto found = std::find_if(current.begin(), current.end(),
                                  [&](const FileUpdateRecord& r) { return r.id == offered.id; });
        if (found == current.end()) {
            FileUpdateRecord added = offered;
            added.changed = true;
            added.pending = false;
            current.push_back(std::move(added));
            taken[current.size() - 1] = offered.version;
        } else if (offered.version > found->version) {
            found->localName = offered.localName;
            found->size = offered.size;
            found->sha256 = offered.sha256;
            found->changed = true;
            taken[static_cast<std::size_t>(found - current.begin())] = offered.version;
        }
    }
    MergeResult result;
    for (std::size_t i = 0; i < current.size(); ++i) {
        if (!current[i].changed) continue;
        result.changedIndexes.push_back(i);
        const auto version = taken.find(i);
        result.serverVersions.push_back(version == taken.end() ? current[i].version
                                                               : version->second);
    }
    return result;
}

std::optional<int> RunFileUpdate(const FileUpdateSettings& settings, os::LogSink& log) {
    if (settings.remotedir == "NONE" || settings.updatelisturl == "NONE") {
        Log(log, "文件更新地址未配置,更新线程退出");
        return std::nullopt;
    }
    const auto stopped = [&] { return settings.stop && settings.stop->load(); };
    const std::string folder = FileUpdateFolder(settings.folders);
    os::CreateDirectories(folder);
    const std::string currentPath = folder + kCurrentListFile;
    std::vector<FileUpdateRecord> current = ReadList(currentPath, log);
    Log(log, os::Format("成功读取%d条文件更新记录", static_cast<int>(current.size())));

    web::GenericHttpClient client(web::HttpClientSettings{settings.clock, nullptr, nullptr});
    client.SetProgressHandler([&](std::uint64_t) { return !stopped(); });
    const std::string serverPath = folder + kServerListFile;
    if (!client.Download(settings.updatelisturl, serverPath)) {
        Log(log, os::Format("下载更新列表文件失败:服务器地址:%s,本地保存地址:%s ",
                            settings.updatelisturl.c_str(), serverPath.c_str()));
        return std::nullopt;
    }
    Log(log, os::Format("成功下载更新列表文件: %s ", settings.updatelisturl.c_str()));
    const MergeResult merged = MergeServerList(current, ReadList(serverPath, log));

    for (std::size_t n = 0; n < merged.changedIndexes.size() && !stopped(); ++n) {
        FileUpdateRecord& record = current[merged.changedIndexes[n]];
        const auto name = DownloadName(record.remotePath);
        if (!name || !SafeRelativePath(record.localName)) {
            Refuse(log, record);
            continue;
        }
        const std::string url = settings.remotedir + record.remotePath;
        const std::string target = folder + *name;
        bool mismatch = false;
        const bool saved = client.Download(url, [&](std::string_view bytes) {
            if (!Matches(record, bytes)) {
                mismatch = true;
                return false;
            }
            return WriteInFolder(folder, *name, bytes);
        });
        if (saved) {
            record.version = merged.serverVersions[n];
            record.pending = true;
            Log(log, os::Format("成功下载更新文件: %s ", url.c_str()));
        } else if (mismatch) {
            Log(log, os::Format("下载的更新文件与列表的大小或校验值不符,已丢弃:%s", url.c_str()));
        } else {
            Log(log, os::Format("下载更新文件失败:服务器地址:%s,本地保存地址:%s ", url.c_str(),
                                target.c_str()));
        }
    }
    WriteList(currentPath, current, log);

    int ready = 0;
    for (const FileUpdateRecord& record : current) ready += record.changed && record.pending;
    return ready;
}

std::string PendingFilesNotice(int count) { return os::Format("下载配置文件%d个,下次生效", count); }

int ApplyPendingFiles(const UpdateFolders& folders, os::LogSink& log,
                      const std::function<void(std::string_view)>& step) {
    const auto reach = [&](std::string_view name) {
        if (step) step(name);
    };
    const std::string folder = FileUpdateFolder(folders);
    const std::string listPath = folder + kCurrentListFile;
    std::vector<FileUpdateRecord> records = ReadList(listPath, log);
    int replaced = 0;
    bool listChanged = false;
    for (FileUpdateRecord& record : records) {
        if (!record.pending) continue;
        const auto base = LocalFolder(folders, record.dirType);
        if (!base) {
            Log(log, os::Format("更新文件本地目录类型错误,类型=%d", record.dirType));
            continue;
        }
        const auto name = DownloadName(record.remotePath);
        const auto relative = SafeRelativePath(record.localName);
        if (!name || !relative || !PathStaysInside(*base, *relative, true)) {
            Refuse(log, record);
            continue;
        }
        const std::string source = folder + *name;
        const std::string target = *base + *relative;
        reach("copy");
        std::string bytes;
        const auto [subfolder, leaf] = SplitLeaf(*relative);
        const bool done = os::ReadFileChecked(source, bytes) == os::ReadResult::kRead &&
                          Matches(record, bytes) &&
                          WriteInFolder(*base + subfolder, leaf, bytes, [&] { reach("written"); });
        if (!done) {
            Log(log,
                os::Format("更新文件失败:源文件:%s,目标文件:%s", source.c_str(), target.c_str()));
            continue;
        }
        reach("replaced");
        record.pending = false;
        record.changed = false;
        listChanged = true;
        ++replaced;
        Log(log, os::Format("更新文件成功:源文件:%s,目标文件:%s", source.c_str(), target.c_str()));
    }
    if (replaced == 0) Log(log, "文件更新替换0个");
    if (listChanged) {
        reach("list");
        WriteList(listPath, records, log);
    }
    return replaced;
}

}  // namespace update
