#include "update/program_update.h"

#include <filesystem>

#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/services/shell.h"
#include "os/sys/file_ops.h"
#include "os/sys/folder_file_writer.h"
#include "os/sys/ini_file.h"
#include "os/sys/paths.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"
#include "update/file_update_list.h"
#include "update/sha256.h"
#include "web/generic_http_client.h"

namespace update {
namespace {

constexpr const char* kPackageFile = "update.up";
constexpr const char* kVersionFile = "ver.log";
constexpr const char* kUpdaterKey = "Updater";
constexpr const char* kVersionKey = "Version";

std::string ConfigPath(const core::ClientContext& context) {
    return context.folders.commonDir + "config.ini";
}

// "ver.log": the version on its first line, the download page on its second.
struct WaitingVersion {
    double version = 0;
    std::string downloadPage;
};

std::optional<WaitingVersion> ReadWaitingVersion(const std::string& path) {
    std::string text;
    if (!os::ReadFile(path, text, 64 * 1024)) return std::nullopt;
    WaitingVersion waiting;
    const std::size_t end = text.find('\n');
    waiting.version = ReadVersion(text.substr(0, end));
    if (end != std::string::npos) waiting.downloadPage = os::Trim(text.substr(end + 1));
    return waiting;
}

// The running program's path, as the updater is told to start it again.
std::string ProgramPath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return os::GbkPathFromNative(program).value_or(std::string{});
}

// Windows-style quoting of one argument for the shell's parameters.
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::optional<ProgramNotice> ReadProgramNotice(const std::array<std::string, 6>& texts) {
    bool marked = false;
    for (const std::string& text : texts)
        marked = marked || text.find(kProgramUpdateMarker) != std::string::npos;
    if (!marked) return std::nullopt;
    ProgramNotice notice;
    notice.mandatory = os::EqualsNoCase(os::Trim(texts[0]), "MUST");
    notice.version = ReadVersion(texts[2]);
    notice.packageUrl = os::Trim(texts[3]);
    notice.downloadPage = os::Trim(texts[4]);
    notice.sha256 = os::MakeLower(os::Trim(texts[5]));
    return notice;
}

ProgramUpdate::ProgramUpdate(core::ClientContext& context) : context_(context) {}

ProgramUpdate::~ProgramUpdate() {
    stop_ = true;
    download_.RequestStop();
    if (download_.Joinable()) download_.WaitEnded(context_.clock, os::kInfinite);
}

double ProgramUpdate::InstalledVersion() const {
    return ReadVersion(
        os::GetProfileString(ConfigPath(context_), kCommonSettingSection, kVersionKey, "0.000"));
}

std::string ProgramUpdate::LiveupFolder() const {
    return context_.folders.commonDir + "update/Liveup/";
}

void ProgramUpdate::OnNotice(const std::array<std::string, 6>& texts) {
    const std::optional<ProgramNotice> notice = ReadProgramNotice(texts);
    if (!notice) return;
    if (notice->mandatory) {
        context_.prompter.MessageBox(
            os::Format("发现新版本 %s(该版本必须更新)", WriteVersion(notice->version).c_str()),
            "版本更新", os::MB_OK | os::MB_ICONINFORMATION);
    }
    context_.session.ChangePresence("online");
    if (notice->version <= InstalledVersion() || notice->packageUrl.empty()) return;
    if (download_.Running()) return;
    if (download_.Joinable()) download_.WaitEnded(context_.clock, os::kInfinite);

    const std::string folder = LiveupFolder();
    download_ = os::Thread("ProgramUpdate", [this, folder, notice = *notice](std::stop_token) {
        os::CreateDirectories(folder);
        web::GenericHttpClient client(web::HttpClientSettings{&context_.clock, nullptr, nullptr});
        client.SetProgressHandler([this](std::uint64_t) { return !stop_.load(); });
        const bool saved = client.Download(notice.packageUrl, [&](std::string_view bytes) {
            if (!notice.sha256.empty() && Sha256Hex(bytes) != notice.sha256) return false;
            auto writer = os::FolderFileWriter::Begin(folder, kPackageFile);
            return writer && writer->Write(bytes) && writer->Commit(os::ExistingEntry::kReplace);
        });
        if (!saved) {
            context_.log.WriteLog(os::Format("下载升级文件出错！Url:%s 本地路径:%s",
                                             notice.packageUrl.c_str(),
                                             (folder + kPackageFile).c_str()));
            return;
        }
        os::WriteFileAtomically(folder + kVersionFile,
                                WriteVersion(notice.version) + "\n" + notice.downloadPage + "\n");
    });
}

void ProgramUpdate::StartWaitingUpdate() {
    const std::string folder = LiveupFolder();
    const std::string package = folder + kPackageFile;
    const std::optional<WaitingVersion> waiting = ReadWaitingVersion(folder + kVersionFile);
    if (!waiting || !os::FileExists(package) || waiting->version <= InstalledVersion()) return;

    const std::string updater =
        os::GetProfileString(ConfigPath(context_), kCommonSettingSection, kUpdaterKey, "");
    os::ShellStart started = os::ShellStart::Failed;
    if (!updater.empty()) {
        const std::string program = ProgramPath();
        const std::string parameters = "/doc:" + Quoted(package) + " /exe:" + Quoted(program) +
                                       " /dir:" + Quoted(context_.folders.appDir);
        started = context_.shell.ShellExecute("open", updater, parameters);
    } else if (!waiting->downloadPage.empty()) {
        started = context_.shell.ShellExecute("open", waiting->downloadPage);
    }
    if (started != os::ShellStart::Started) {
        context_.log.WriteLog(os::Format("启动升级程序失败:%s", updater.c_str()));
        return;
    }
    os::WriteProfileString(ConfigPath(context_), kCommonSettingSection, kVersionKey,
                           WriteVersion(waiting->version));
}

bool ProgramUpdate::WaitDownloadEnded(os::Millis timeoutMs) {
    if (!download_.Joinable()) return true;
    return download_.WaitEnded(context_.clock, timeoutMs);
}

}  // namespace update
