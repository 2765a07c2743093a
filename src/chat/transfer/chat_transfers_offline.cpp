// ChatTransfers: the offline route. Uploads and downloads run in the context's OfflineFileLib;
// its callbacks are posted to the window, which is where every record and prompt changes.

#include <algorithm>

#include "chat/encoding/markers.h"
#include "chat/encoding/offline_notice.h"
#include "chat/transfer/chat_transfers.h"
#include "chat/transfer/transfer_links.h"
#include "chat/transfer/transfer_texts.h"
#include "config/client_config.h"
#include "core/client_context.h"
#include "core/text_utilities.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/sys/safe_leaf_name.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"
#include "platform/offline/offline_file_lib.h"
#include "platform/session/session_core.h"

namespace chat {
namespace {

constexpr const char* kRouteNotConfigured = "离线文件传输相关配置错误";

// The configured server address, ending in a separator.
std::string ServerAddress(std::string address) {
    if (!address.empty() && address.back() != '/' && address.back() != '\\') address += '/';
    return address;
}

}  // namespace

void ChatTransfers::SendOffline(const TransferRecord& record, const TransferWindowFacts& facts) {
    if (facts.audioChat) {
        MessageBox("正在音频聊天中，不能再进行文件传输", os::kDefaultCaption, os::MB_OK);
        return;
    }
    if (facts.videoChat) {
        MessageBox("正在视频聊天中，不能再进行文件传输", os::kDefaultCaption, os::MB_OK);
        return;
    }
    if (std::find(offlineTasks_.begin(), offlineTasks_.end(), record.key) != offlineTasks_.end()) {
        return;  // being uploaded already
    }
    const auto limit = static_cast<std::uint64_t>(std::max(context_.config.MaxOfflieFileSize, 0));
    if (record.size > limit) {
        MessageBox("离线传输文件最大为:" + GroupThousands(limit), os::kDefaultCaption, os::MB_OK);
        return;
    }
    if (context_.config.OfflineUploadUrl.empty()) {
        MessageBox(kRouteNotConfigured, os::kDefaultCaption, os::MB_OK);
        return;
    }
    context_.session.UseOfflineFileTrans(record.key);
    Transfers().Update(record.key, [](TransferRecord& r) { r.offline = true; });
    PanelChanged();
    TransferRecord offline = record;
    offline.offline = true;
    StartOfflineTask(offline);
}

bool ChatTransfers::StartOfflineTask(const TransferRecord& record) {
    const bool upload = record.direction == TransferDirection::Sending;
    const std::string& address =
        upload ? context_.config.OfflineUploadUrl : context_.config.OfflineDownLoadUrl;
    if (address.empty()) {
        MessageBox(kRouteNotConfigured, os::kDefaultCaption, os::MB_OK);
        return false;
    }
    platform::OfflineTask task;
    task.key = record.key;
    task.direction =
        upload ? platform::OfflineDirection::Upload : platform::OfflineDirection::Download;
    task.localPath = record.path;
    task.size = record.size;
    task.url =
        ServerAddress(address) + core::UrlEncode(upload ? record.fileName : record.remoteName);
    if (!upload) task.url += "?key=" + core::UrlEncode(record.key);

    // Called on the library's thread: only the window's thread touches the records.
    os::WindowSystem& windows = context_.windows;
    const os::HWND window = window_;
    auto callback = [this, &windows, window](platform::OfflineEvent event,
                                             const platform::OfflineTask& done) {
        const int code = static_cast<int>(event);
        windows.PostTask(window, [this, code, key = done.key, serverKey = done.serverKey,
                                  failure = static_cast<int>(done.failure)] {
            OnOfflineTaskEvent(code, key, serverKey, failure);
        });
    };
    if (!context_.offlineFiles().AddOfflineFileTask(task, callback)) {
        AppendNotice(upload ? os::Format("\r\n文件 %s 发送%s", record.fileName.c_str(), "失败")
                            : os::Format("\r\n接收文件 %s %s", record.fileName.c_str(), "失败"));
        Forget(record.key);
        return false;
    }
    offlineTasks_.push_back(record.key);
    UpdateOfflineTimer();
    return true;
}

void ChatTransfers::OnOfflineTaskEvent(int event, const std::string& key,
                                       const std::string& serverKey, int failure) {
    const std::optional<TransferRecord> record = Transfers().Find(key);
    if (!record || record->window != window_) return;
    if (event == static_cast<int>(platform::OfflineEvent::Started)) {
        Transfers().Update(key, [&](TransferRecord& r) {
            r.progress.started = true;
            r.progress.startedAt = context_.clock.Now();
        });
        PanelChanged();
        if (record->direction == TransferDirection::Sending) {
            ReplacePrompt(key, os::Format("开始发送文件 %s ...\r\n", record->fileName.c_str()));
        }
        return;
    }
    offlineTasks_.erase(std::remove(offlineTasks_.begin(), offlineTasks_.end(), key),
                        offlineTasks_.end());
    UpdateOfflineTimer();
    OfflineTaskEnded(*record, event == static_cast<int>(platform::OfflineEvent::Finished),
                     serverKey, failure);
}

void ChatTransfers::OfflineTaskEnded(const TransferRecord& record, bool success,
                                     const std::string& serverKey, int failure) {
    const char* name = record.fileName.c_str();
    const bool sending = record.direction == TransferDirection::Sending;
    if (success && sending) {
        // The peer learns where the file is; the text carries no font header.
        if (noticeSender_) {
            noticeSender_(
                OfflineFileMarker(record.fileName, std::to_string(record.size), serverKey));
        }
        AppendNotice(os::Format("\r\n文件 %s 发送%s", name, "成功"));
    } else if (success) {
        AppendPrompt(record.key, os::Format("\r\n接收文件 %s %s  打开  浏览", name, "成功"),
                     {{"打开", transfer_link::kOpen}, {"浏览", transfer_link::kBrowse}});
        opened_[record.key] = record.path;
    } else if (failure == static_cast<int>(platform::OfflineFailure::Unreachable)) {
        AppendNotice(sending
                         ? "\r\n文件" + record.fileName + "发送失败,由于网络原因，请尝试离线传输"
                         : "\r\n由于网络原因,接收文件" + record.fileName + "失败");
    } else {
        AppendNotice(sending ? os::Format("\r\n文件 %s 发送%s", name, "失败")
                             : os::Format("\r\n接收文件 %s %s", name, "失败"));
    }
    Forget(record.key);
}

void ChatTransfers::OnOfflineNotice(const std::string& fields) {
    const std::optional<OfflineNotice> notice = ParseOfflineNotice(fields);
    const std::optional<std::string> leaf =
        notice ? os::SafeLeafName(notice->fileName) : std::nullopt;
    if (!notice || !leaf || Transfers().Find(notice->serverKey)) {
        context_.log.WriteLog(kBadOfflineNoticeLog);
        return;
    }
    TransferRecord record;
    record.key = notice->serverKey;
    record.fileName = *leaf;
    record.remoteName = notice->fileName;
    record.size = notice->size;
    record.direction = TransferDirection::Receiving;
    record.offline = true;
    record.window = window_;
    record.progress.total = record.size;
    Transfers().Add(record);
    UpdateTimer();
    AppendPrompt(record.key,
                 os::Format("\r\n%s于%s 以离线方式给您发送了文件 %s(%d 字节), "
                            "您可以接收、另存、拒绝该文件\r\n",
                            notice->sender.c_str(), notice->time.c_str(), leaf->c_str(),
                            static_cast<int>(record.size)),
                 {{"接收", transfer_link::kReceive},
                  {"另存", transfer_link::kSaveAs},
                  {"拒绝", transfer_link::kRefuse}});
}

void ChatTransfers::OnOfflineProgressTimer() {
    const os::Millis now = context_.clock.Now();
    for (const std::string& key : offlineTasks_) {
        std::uint64_t done = 0;
        if (!context_.offlineFiles().GetCompleteCount(key, done)) continue;
        Transfers().Update(key, [&](TransferRecord& r) {
            r.progress.done = done;
            const os::Millis elapsed = now - r.progress.startedAt;
            if (r.progress.started && elapsed > 0) {
                r.progress.bytesPerSecond = done * 1000 / static_cast<std::uint64_t>(elapsed);
            }
        });
    }
    PanelChanged();
}

void ChatTransfers::UpdateOfflineTimer() {
    const bool any = !offlineTasks_.empty();
    if (any == offlineTimerRunning_ || !window_) return;
    if (any) {
        context_.windows.SetTimer(window_, kOfflineProgressTimer, kOfflineProgressMs);
    } else {
        context_.windows.KillTimer(window_, kOfflineProgressTimer);
    }
    offlineTimerRunning_ = any;
}

}  // namespace chat
