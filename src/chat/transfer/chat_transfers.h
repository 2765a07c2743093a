#pragma once
// The file transfers of one chat window: sending a chosen or dropped file through its checks,
// the prompts in the view with their clickable words, the engine's events, the progress
// texts and the stall check. The window owns one, hands it what it knows (TransferWindowFacts)
// and forwards the link clicks, the stall timer and the routed notifications. UI thread only.
//
// Prompts are grey lines whose words are links with the target "transfer:<action>:<key>";
// a prompt line is replaced in place when its transfer starts. A name from a peer is made a
// safe leaf (os::SafeLeafName) before it is shown or saved; an offer whose name leaves
// nothing is refused.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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

// What the transfer panel shows of one file.
struct TransferPanelLine {
    std::string fileName;
    std::string size;     // "大小:<done of total>"
    std::string speed;    // "速度:<speed>"
    std::string percent;  // "60%"
    std::string route;    // "方式: 离线文件" for an offline file, else empty
};

class ChatTransfers {
  public:
    ChatTransfers(core::ClientContext& context, CChatRichView& view);
    // The window, once it has its handle, its peer and the name shown for the peer.
    void Attach(os::HWND window, std::string peerJid, std::string peerName);

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
    // Every kStallCheckMs while transfers are listed.
    void OnStallTimer();
    // The window closes or the session ends: every listed transfer is cancelled.
    void CancelAll();

    int Count() const;
    std::vector<TransferPanelLine> Panel() const;

  private:
    void SendOne(const TransferWindowFacts& facts, const std::string& path);
    void Accept(const TransferRecord& record, const TransferWindowFacts& facts, bool saveAs);
    void SendOffline(const TransferRecord& record, const TransferWindowFacts& facts);
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
};

}  // namespace chat
