#pragma once
// The file transfers of one chat window: sending a chosen or dropped file through its checks,
// the prompts in the view with their clickable words, the engine's events, the progress
// texts and the stall check. The window owns one, hands it what it knows (TransferWindowFacts)
// and forwards the link clicks, the stall timer and the routed notifications. UI thread only.
//
// Prompts are grey lines whose words are links with the target "transfer:<action>:<key>";
// a prompt line is replaced in place when its transfer starts. A name from a peer is made a
// safe leaf (os::SafeLeafName) before it is shown or saved; an offer whose name leaves
// nothing is refused. An offer of a file part of which arrived before (the engine's
// `transferred`) is shown with what was received and "续传", which receives it like "接收":
// the engine goes on from those bytes when the file is saved where its part was.
//
// Offline files (chat_transfers_offline.cpp) go through the context's OfflineFileLib: an
// upload to the configured upload address, which ends with the "#(-3)#" notice sent to the
// peer through the window's send path; a received notice becomes an offline offer whose
// "接收" downloads the file into the same folder, after the same checks, as an online one.
// The library's callbacks come on its threads and are posted to the window.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "chat/transfer/inline_pictures.h"
#include "chat/transfer/transfer_checks.h"
#include "chat/transfer/transfer_list.h"
#include "os/ui/hwnd.h"
#include "platform/session/notify_record.h"

namespace core {
class ClientContext;
}

namespace chat {

class CChatRichView;

inline constexpr std::uint64_t kTransferStallTimer = 4;
// Polls the offline tasks' progress while any runs.
inline constexpr std::uint64_t kOfflineProgressTimer = 101;
inline constexpr os::Millis kOfflineProgressMs = 1000;

// What the transfer panel shows of one file.
struct TransferPanelLine {
    std::string fileName;
    std::string size;           // "大小:<done of total>"
    std::string speed;          // "速度:<speed>"
    std::string percent;        // "60%"
    unsigned percentValue = 0;  // 60, for the progress bar
    std::string route;          // "方式: 离线文件" for an offline file, else empty
};

class ChatTransfers {
  public:
    // `pictureFolder`: where the pictures of received messages go ("temp/", ending in '/').
    ChatTransfers(core::ClientContext& context, CChatRichView& view, std::string pictureFolder);
    // The window, once it has its handle, its peer and the name shown for the peer.
    void Attach(os::HWND window, std::string peerJid, std::string peerName);
    // How the "#(-3)#" notice of a finished upload is sent: the window's send path, with an
    // empty font header.
    using NoticeSender = std::function<void(const std::string& body)>;
    void SetOfflineNoticeSender(NoticeSender sender) { noticeSender_ = std::move(sender); }
    // Told whenever what Panel() answers may have changed.
    void SetPanelListener(std::function<void()> listener) { panelListener_ = std::move(listener); }

    // "发送文件": the checks, the file dialog and the send.
    void SendChosenFile(const TransferWindowFacts& facts);
    // Files dropped on the window: sent like chosen ones, folders skipped, while fewer than 4
    // transfers run.
    void SendDroppedFiles(const TransferWindowFacts& facts, const std::vector<std::string>& paths);

    // A routed notification of one of this window's transfers (or an offer to it).
    void OnEvent(std::uint32_t type, const platform::FileTransferData& data,
                 const TransferWindowFacts& facts);
    // A click on a link of the view; false when it is not a transfer link.
    bool OnLink(const std::string& target, const TransferWindowFacts& facts);
    // The fields of an offline-file object the view showed for a received message.
    void OnOfflineNotice(const std::string& fields);
    // Every kStallCheckMs while transfers are listed.
    void OnStallTimer();
    // Every kOfflineProgressMs while offline tasks run.
    void OnOfflineProgressTimer();
    // The window closes or the session ends: every listed transfer is cancelled.
    void CancelAll();

    // The pictures of received messages, which arrive as file offers of their own.
    InlinePictures& pictures() { return pictures_; }

    int Count() const;
    std::vector<TransferPanelLine> Panel() const;

  private:
    void SendOne(const TransferWindowFacts& facts, const std::string& path);
    void Accept(const TransferRecord& record, const TransferWindowFacts& facts, bool saveAs);
    void SendOffline(const TransferRecord& record, const TransferWindowFacts& facts);
    // Starts the record's offline upload or download; false (nothing started) when the
    // route is not configured or the library refuses the task.
    bool StartOfflineTask(const TransferRecord& record);
    // A library event, on the window's thread.
    void OnOfflineTaskEvent(int event, const std::string& key, const std::string& serverKey,
                            int failure);
    void OfflineTaskEnded(const TransferRecord& record, bool success, const std::string& serverKey,
                          int failure);
    // Grey prompt text whose `words` become links to `action`s of the key.
    struct PromptLink {
        std::string_view word;
        std::string_view action;
    };
    void AppendPrompt(const std::string& key, const std::string& text,
                      std::initializer_list<PromptLink> links);
    // Replaces the key's prompt (when it is still shown) by `text`.
    void ReplacePrompt(const std::string& key, const std::string& text);
    void AppendNotice(const std::string& text);
    void RedNotice(const std::string& text);
    int MessageBox(const std::string& text, const char* caption, unsigned style);
    void Forget(const std::string& key);
    void UpdateTimer();
    void UpdateOfflineTimer();
    void PanelChanged() {
        if (panelListener_) panelListener_();
    }
    std::string Now() const;

    core::ClientContext& context_;
    CChatRichView& view_;
    os::HWND window_{};
    std::string peerJid_;
    std::string peerName_;
    // Where each key's prompt stands in the view: [start, end) positions.
    std::map<std::string, std::pair<int, int>> prompts_;
    // Received files by key, for their "打开" and "浏览" links.
    std::map<std::string, std::string> opened_;
    bool timerRunning_ = false;
    bool offlineTimerRunning_ = false;
    // Keys of this window's running offline tasks.
    std::vector<std::string> offlineTasks_;
    NoticeSender noticeSender_;
    std::function<void()> panelListener_;
    InlinePictures pictures_;
};

}  // namespace chat
