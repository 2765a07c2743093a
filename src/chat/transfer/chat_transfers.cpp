#include "chat/transfer/chat_transfers.h"

#include <sys/stat.h>

#include <algorithm>

#include "chat/chat_rich_view.h"
#include "chat/display/link_actions.h"
#include "chat/encoding/font_header.h"
#include "chat/encoding/markers.h"
#include "chat/transfer/transfer_links.h"
#include "chat/transfer/transfer_texts.h"
#include "config/client_config.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/settings_service.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/services/shell.h"
#include "os/sys/file_ops.h"
#include "os/sys/folder_file_writer.h"
#include "os/sys/paths.h"
#include "os/sys/safe_leaf_name.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"
#include "os/ui/window_system.h"
#include "platform/offline/offline_file_lib.h"
#include "platform/session/session_core.h"

namespace chat {
namespace {

namespace nt = platform::notify_type;

std::string FolderWithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool IsFolder(const std::string& path) {
    const std::optional<std::filesystem::path> native = os::NativePath(path);
    struct stat info {};
    return native && ::stat(native->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string LeafOf(const std::string& path) {
    const std::size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The bytes an event says arrived, within 0 and the file's size.
std::uint64_t BytesArrived(const platform::FileTransferData& data) {
    const std::int64_t size = std::max<std::int64_t>(data.size, 0);
    return static_cast<std::uint64_t>(std::clamp<std::int64_t>(data.transferred, 0, size));
}

}  // namespace

ChatTransfers::ChatTransfers(core::ClientContext& context, CChatRichView& view,
                             std::string pictureFolder)
    : context_(context), view_(view), pictures_(context, view, std::move(pictureFolder)) {}

void ChatTransfers::Attach(os::HWND window, std::string peerJid, std::string peerName) {
    window_ = window;
    peerJid_ = std::move(peerJid);
    peerName_ = std::move(peerName);
    pictures_.Attach(peerJid_);
}

int ChatTransfers::Count() const { return Transfers().CountOfWindow(window_); }

std::string ChatTransfers::Now() const {
    const os::LocalTime t = context_.clock.LocalNow();
    return os::Format("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                      t.second);
}

// ---- Sending ----

void ChatTransfers::SendChosenFile(const TransferWindowFacts& facts) {
    if (std::optional<std::string> refusal = CheckWindowForFile(facts, context_.config)) {
        if (!refusal->empty()) RedNotice(*refusal);
        return;
    }
    os::FileDialogRequest request;
    request.owner = window_;
    request.title = "选择要发送的文件";
    const std::optional<std::string> path = context_.prompter.OpenFile(request);
    if (path) SendOne(facts, *path);
}

void ChatTransfers::SendDroppedFiles(const TransferWindowFacts& facts,
                                     const std::vector<std::string>& paths) {
    TransferWindowFacts now = facts;
    now.running = 0;  // the count is checked against the drop below
    if (std::optional<std::string> refusal = CheckWindowForFile(now, context_.config)) {
        if (!refusal->empty()) RedNotice(*refusal);
        return;
    }
    if (facts.running + static_cast<int>(paths.size()) > kMaxTransfersPerChat) {
        RedNotice(TooManyTransfersText());
        return;
    }
    for (const std::string& path : paths) {
        if (Count() >= kMaxTransfersPerChat) break;
        if (IsFolder(path)) continue;
        SendOne(facts, path);
    }
}

void ChatTransfers::SendOne(const TransferWindowFacts& facts, const std::string& path) {
    const FileCheck check = CheckFileToSend(path);
    if (check.refusal) {
        MessageBox(*check.refusal, kTransferCaption, os::MB_OK);
        return;
    }
    if (Transfers().HasPath(path)) {
        AppendNotice(os::Format("\r\n( %s )已在当前传输队列,不能被传输", path.c_str()));
        return;
    }
    TransferRecord record;
    record.key = NewTransferKey();
    record.fileName = LeafOf(path);
    record.path = path;
    record.size = check.size;
    record.direction = TransferDirection::Sending;
    record.window = window_;
    record.progress.total = check.size;
    record.offline = !facts.peerOnline;
    const std::string key = record.key;
    Transfers().Add(record);
    UpdateTimer();
    if (record.offline) {
        AppendPrompt(
            key,
            os::Format("\r\n对方不在线,你只能发送离线文件，%s(%d 字节).您也可以取消文件传输\r\n",
                       record.fileName.c_str(), static_cast<int>(record.size)),
            {{"发送离线文件", transfer_link::kOffline}, {"取消", transfer_link::kCancel}});
        return;
    }
    AppendNotice(os::Format("\r\n正在协商文件( %s )发送方式...", path.c_str()));
    if (context_.session.SendFile(peerJid_, path, key, 0) == platform::kSendFileFailed) {
        RedNotice("登录文件传输服务器异常请稍后再试");
        Forget(key);
    }
}

// ---- Events ----

void ChatTransfers::OnEvent(std::uint32_t type, const platform::FileTransferData& data,
                            const TransferWindowFacts& facts) {
    if (pictures_.OnEvent(type, data)) return;
    if (type == nt::kFileOffer) {
        if (facts.audioChat || facts.videoChat) {
            RedNotice("在音视频聊天模式中，不能接收文件!");
            context_.session.CancelFile(data.key);
            return;
        }
        const std::optional<std::string> name = os::SafeLeafName(data.fileName);
        if (!name || data.key.empty() || Transfers().Find(data.key)) {
            context_.log.WriteLog2(2, "refused a file offer whose name leaves no file name");
            context_.session.DenyFile(data.key);
            return;
        }
        TransferRecord record;
        record.key = data.key;
        record.fileName = *name;
        record.size = static_cast<std::uint64_t>(std::max<std::int64_t>(data.size, 0));
        record.direction = TransferDirection::Receiving;
        record.window = window_;
        record.progress.total = record.size;
        // Part of this file arrived before: the offer is one to go on with.
        const std::uint64_t received = BytesArrived(data);
        const bool resumed = received > 0 && received < record.size;
        if (resumed) record.progress.done = received;
        Transfers().Add(record);
        UpdateTimer();
        if (resumed) {
            AppendPrompt(
                record.key,
                os::Format(
                    "\r\n%s %s 要发送文件 %s(%s/已接收%s)给您, 您可以续传、另存、拒绝该文件\r\n",
                    Now().c_str(), peerName_.c_str(), name->c_str(), SizeText(record.size).c_str(),
                    PercentText(received, record.size).c_str()),
                {{"续传", transfer_link::kReceive},
                 {"另存", transfer_link::kSaveAs},
                 {"拒绝", transfer_link::kRefuse}});
            return;
        }
        AppendPrompt(record.key,
                     os::Format("\r\n%s %s 要发送文件 %s(%s)给您, 您可以接收、另存、拒绝该文件\r\n",
                                Now().c_str(), peerName_.c_str(), name->c_str(),
                                SizeText(record.size).c_str()),
                     {{"接收", transfer_link::kReceive},
                      {"另存", transfer_link::kSaveAs},
                      {"拒绝", transfer_link::kRefuse}});
        return;
    }
    const std::optional<TransferRecord> record = Transfers().Find(data.key);
    if (!record || record->window != window_) return;
    const bool sending = record->direction == TransferDirection::Sending;
    const char* name = record->fileName.c_str();
    switch (type) {
        case nt::kFileTransferProgress:
            if (data.stage == platform::FileStage::NegotiationFailed) {
                AppendNotice(
                    os::Format("请求发送文件( %s "
                               ")协商失败。可能的原因：\n1.对方不在线\n2.服务器不支持该协议。",
                               name));
                Forget(data.key);
            } else if (data.stage == platform::FileStage::Negotiated) {
                const std::string size = SizeText(record->size);
                if (context_.config.EnableOfflineFileTrans != 0) {
                    AppendPrompt(data.key,
                                 os::Format("\r\n%s 等待对方回应文件传输请求( 文件:%s 大小:%s "
                                            ")...如果对方长时未响应,您可以发送离线文件,"
                                            "您也可以取消文件传输\r\n",
                                            Now().c_str(), name, size.c_str()),
                                 {{"发送离线文件", transfer_link::kOffline},
                                  {"取消", transfer_link::kCancel}});
                } else {
                    AppendPrompt(data.key,
                                 os::Format("\r\n%s 等待对方回应文件传输请求( 文件:%s 大小:%s "
                                            "),您也可以取消文件传输\r\n",
                                            Now().c_str(), name, size.c_str()),
                                 {{"取消", transfer_link::kCancel}});
                }
            } else {
                const os::Millis now = context_.clock.Now();
                Transfers().Update(data.key, [&](TransferRecord& r) {
                    r.progress.done =
                        static_cast<std::uint64_t>(std::max<std::int64_t>(data.transferred, 0));
                    const os::Millis elapsed = now - r.progress.startedAt;
                    const std::uint64_t moved =
                        r.progress.done - std::min(r.progress.done, r.progress.doneAtStart);
                    if (elapsed > 0) r.progress.bytesPerSecond = moved * 1000 / elapsed;
                });
                PanelChanged();
            }
            return;
        case nt::kFileTransferStarted:
            Transfers().Update(data.key, [&](TransferRecord& r) {
                r.progress.started = true;
                r.progress.startedAt = context_.clock.Now();
                // A resumed file starts where it was cut; a fresh one (or one saved elsewhere)
                // at 0.
                r.progress.done = BytesArrived(data);
                r.progress.doneAtStart = r.progress.done;
                r.progress.doneAtLastCheck = r.progress.done;
            });
            PanelChanged();
            // A received file's offer line became its start line when the user accepted it.
            if (sending) {
                ReplacePrompt(data.key, os::Format("开始发送文件 %s ...\r\n", name));
            } else if (prompts_.contains(data.key)) {
                ReplacePrompt(data.key, os::Format("开始接收文件 %s ...\r\n", name));
            }
            return;
        case nt::kFileTransferSucceeded:
            if (sending) {
                AppendNotice(os::Format("\r\n文件 %s 发送%s", name, "成功"));
            } else {
                AppendPrompt(data.key, os::Format("\r\n接收文件 %s %s  打开  浏览", name, "成功"),
                             {{"打开", transfer_link::kOpen}, {"浏览", transfer_link::kBrowse}});
            }
            break;
        case nt::kFileTransferFailed: {
            std::string text;
            if (data.reason == platform::kFileFailureConfiguration) {
                text = sending ? "\r\n文件" + record->fileName + "发送失败,原因是配置文件错误"
                               : "\r\n接收文件" + record->fileName + "失败,原因是配置文件错误";
            } else if (data.reason == platform::kFileFailureNetwork) {
                text = sending
                           ? "\r\n文件" + record->fileName + "发送失败,由于网络原因，请尝试离线传输"
                           : "\r\n由于网络原因,接收文件" + record->fileName + "失败";
            } else {
                text = sending ? os::Format("\r\n文件 %s 发送%s", name, "失败")
                               : os::Format("\r\n接收文件 %s %s", name, "失败");
            }
            AppendNotice(text);
            break;
        }
        case nt::kFileTransferRefused:
            AppendNotice("对方拒绝了文件传输\r\n");
            break;
        case nt::kFileTransferCancelled:
            AppendNotice(os::Format("\r\n对方取消了文件 %s 传输\r\n", name));
            break;
        case nt::kOfflineFileSwitch:
            // The "#(-3)#" notice of the upload brings the offline offer.
            if (sending) return;
            ReplacePrompt(data.key, os::Format("对方改用离线方式传输文件:%s(%d 字节)\r\n", name,
                                               static_cast<int>(record->size)));
            break;
        default:
            return;
    }
    // A received file stays findable for its "打开" and "浏览" links.
    if (type == nt::kFileTransferSucceeded && !sending) {
        opened_[data.key] = record->path;
    }
    Forget(data.key);
}

// ---- Links ----

bool ChatTransfers::OnLink(const std::string& target, const TransferWindowFacts& facts) {
    if (!target.starts_with(transfer_link::kPrefix)) return false;
    const std::string rest = target.substr(transfer_link::kPrefix.size());
    const std::size_t colon = rest.find(':');
    if (colon == std::string::npos) return true;
    const std::string action = rest.substr(0, colon);
    const std::string key = rest.substr(colon + 1);
    if (action == transfer_link::kOpen || action == transfer_link::kBrowse) {
        auto it = opened_.find(key);
        if (it == opened_.end()) return true;
        if (action == transfer_link::kOpen) {
            OpenReceivedFile(it->second, context_.prompter, context_.shell, window_);
        } else {
            context_.shell.ShellExecute("open",
                                        it->second.substr(0, it->second.find_last_of('/') + 1));
        }
        return true;
    }
    const std::optional<TransferRecord> record = Transfers().Find(key);
    if (!record || record->window != window_) return true;
    if (action == transfer_link::kCancel) {
        if (!record->offline) context_.session.CancelFile(key);
        if (record->offline) context_.offlineFiles().CancelTask(key);
        Forget(key);
        AppendNotice("您取消了文件传输\r\n");
    } else if (action == transfer_link::kReceive || action == transfer_link::kSaveAs) {
        Accept(*record, facts, action == transfer_link::kSaveAs);
    } else if (action == transfer_link::kRefuse) {
        if (!record->offline) context_.session.DenyFile(key);
        Forget(key);
        AppendNotice("您拒绝了文件传输\r\n");
    } else if (action == transfer_link::kOffline) {
        SendOffline(*record, facts);
    }
    return true;
}

void ChatTransfers::Accept(const TransferRecord& record, const TransferWindowFacts& facts,
                           bool saveAs) {
    if (facts.audioChat) {
        MessageBox("正在音频聊天中，不能再进行文件传输", os::kDefaultCaption, os::MB_OK);
        return;
    }
    if (facts.videoChat) {
        MessageBox("正在视频聊天中，不能再进行文件传输", os::kDefaultCaption, os::MB_OK);
        return;
    }
    std::string folder = context_.session.getFileLastSavePath();
    if (folder.empty()) folder = context_.doors().settings->Settings().FileTransferFolder;
    std::string leaf = record.fileName;
    if (saveAs) {
        os::FileDialogRequest request;
        request.owner = window_;
        request.filter = "所有文件(*.*)|*.*||";
        request.defaultName = record.fileName;
        request.initialFolder = folder;
        const std::optional<std::string> chosen = context_.prompter.SaveFile(request);
        if (!chosen) return;
        const std::size_t cut = chosen->find_last_of('/');
        if (cut == std::string::npos) return;
        folder = chosen->substr(0, cut + 1);
        // The user's own choice, still a single name inside that folder.
        const std::optional<std::string> safe = os::SafeLeafName(chosen->substr(cut + 1));
        if (!safe) return;
        leaf = *safe;
    }
    if (!os::DirectoryExists(folder) && !os::CreateDirectories(folder)) {
        MessageBox("保存路径不存在！", os::kDefaultCaption, os::MB_OK);
        return;
    }
    const std::optional<std::uint64_t> space =
        folder.size() < 3 ? std::optional<std::uint64_t>(0) : os::FreeSpace(folder);
    if (!space || *space <= record.size) {
        MessageBox("磁盘空间不足，请清理后再试。", os::kDefaultCaption, os::MB_OK);
        return;
    }
    const std::string path = FolderWithSlash(folder) + leaf;
    const os::LeafState state = os::InspectLeaf(folder, leaf);
    if (state != os::LeafState::kFree) {
        if (MessageBox("文件 " + path + " 已存在, 要覆盖吗", os::kDefaultCaption, os::MB_YESNO) !=
            os::IDYES) {
            return;
        }
        if (state == os::LeafState::kNotReplaceable) {
            MessageBox("文件 " + path + " 正在使用或者只读\r\n，覆盖失败", os::kDefaultCaption,
                       os::MB_OK);
            return;
        }
    }
    if (record.offline &&
        std::find(offlineTasks_.begin(), offlineTasks_.end(), record.key) != offlineTasks_.end()) {
        return;  // being received already
    }
    Transfers().Update(record.key, [&](TransferRecord& r) { r.path = path; });
    if (record.offline) {
        TransferRecord updated = record;
        updated.path = path;
        if (!StartOfflineTask(updated)) return;
        ReplacePrompt(record.key, os::Format("开始接收文件 %s ...\r\n", record.fileName.c_str()));
        return;
    }
    if (context_.session.RecvFile(path, record.key) == 0) {
        AppendNotice(os::Format("\r\n接收文件 %s %s", record.fileName.c_str(), "失败"));
        Forget(record.key);
        return;
    }
    ReplacePrompt(record.key, os::Format("开始接收文件 %s ...\r\n", record.fileName.c_str()));
}

// ---- Stall check ----

void ChatTransfers::OnStallTimer() {
    std::vector<std::string> stalled;
    for (const TransferRecord& record : Transfers().OfWindow(window_)) {
        Transfers().Update(record.key, [&](TransferRecord& r) {
            TransferProgress& p = r.progress;
            if (p.done == p.doneAtLastCheck) {
                p.stalledMs += kStallCheckMs;
            } else {
                p.stalledMs = 0;
            }
            p.doneAtLastCheck = p.done;
            if (p.started && p.stalledMs == kStallNoticeMs) stalled.push_back(r.fileName);
        });
    }
    for (const std::string& name : stalled) {
        AppendNotice(
            os::Format("可能由于网络问题，文件 《%s》 已经有一段时间未获得新数据，"
                       "您可以终止该文件传输，然后协商重新传输。\r\n",
                       name.c_str()));
    }
}

void ChatTransfers::CancelAll() {
    for (const TransferRecord& record : Transfers().OfWindow(window_)) {
        if (!record.offline) context_.session.CancelFile(record.key);
        Transfers().Remove(record.key);
    }
    for (const std::string& key : offlineTasks_) context_.offlineFiles().CancelTask(key);
    offlineTasks_.clear();
    prompts_.clear();
    UpdateTimer();
    UpdateOfflineTimer();
}

std::vector<TransferPanelLine> ChatTransfers::Panel() const {
    std::vector<TransferPanelLine> lines;
    for (const TransferRecord& record : Transfers().OfWindow(window_)) {
        const TransferProgress& p = record.progress;
        TransferPanelLine line;
        line.fileName = record.fileName;
        line.size = "大小:" + DoneOfTotalText(p.done, p.total);
        const SpeedOf kind = record.offline && record.direction == TransferDirection::Sending
                                 ? SpeedOf::OfflineSending
                                 : SpeedOf::OnlineOrReceiving;
        line.speed = "速度:" + SpeedText(p.bytesPerSecond, kind);
        line.percent = PercentText(p.done, p.total);
        line.percentValue = Percent(p.done, p.total);
        if (record.offline) line.route = "方式: 离线文件";
        lines.push_back(std::move(line));
    }
    return lines;
}

// ---- The view ----

void ChatTransfers::AppendPrompt(const std::string& key, const std::string& text,
                                 std::initializer_list<PromptLink> links) {
    view_.SetSel(-1, -1);
    const int start = view_.GetTextLength();
    ApplyFontHeader(view_, kGreyHeader);
    // Raw text: a name from a peer is never read as markers.
    view_.ReplaceSel(text);
    const int end = view_.GetTextLength();
    for (const PromptLink& link : links) {
        const std::size_t at = text.rfind(link.word);
        if (at == std::string::npos) continue;
        const int from =
            start + static_cast<int>(os::GbkCharCount(std::string_view(text).substr(0, at)));
        const int to = from + static_cast<int>(os::GbkCharCount(link.word));
        view_.MarkLink(from, to,
                       std::string(transfer_link::kPrefix) + std::string(link.action) + ":" + key);
    }
    prompts_[key] = {start, end};
    view_.SetSel(-1, -1);
}

void ChatTransfers::ReplacePrompt(const std::string& key, const std::string& text) {
    auto it = prompts_.find(key);
    if (it == prompts_.end()) {
        AppendNotice(text);
        return;
    }
    const auto [start, end] = it->second;
    prompts_.erase(it);
    view_.SetSel(start, end);
    view_.ReplaceSel(text);
    const int delta = static_cast<int>(os::GbkCharCount(text)) - (end - start);
    for (auto& [other, range] : prompts_) {
        if (range.first >= end) {
            range.first += delta;
            range.second += delta;
        }
    }
    view_.SetSel(-1, -1);
}

void ChatTransfers::AppendNotice(const std::string& text) {
    view_.SetSel(-1, -1);
    ApplyFontHeader(view_, kDefaultHeader);
    view_.ReplaceSel(text);
    view_.SetSel(-1, -1);
}

void ChatTransfers::RedNotice(const std::string& text) { view_.AddRedNotice(text); }

int ChatTransfers::MessageBox(const std::string& text, const char* caption, unsigned style) {
    return context_.prompter.MessageBox(text, caption, style, window_);
}

void ChatTransfers::Forget(const std::string& key) {
    Transfers().Remove(key);
    prompts_.erase(key);
    UpdateTimer();
}

void ChatTransfers::UpdateTimer() {
    PanelChanged();
    const bool any = Count() > 0;
    if (any == timerRunning_ || !window_) return;
    if (any) {
        context_.windows.SetTimer(window_, kTransferStallTimer, kStallCheckMs);
    } else {
        context_.windows.KillTimer(window_, kTransferStallTimer);
    }
    timerRunning_ = any;
}

}  // namespace chat
