#pragma once
// The checks before a file may be sent, in the order they run. The window checks refuse with
// a red notice in the view; the file checks with a message box captioned kTransferCaption.

#include <cstdint>
#include <optional>
#include <string>

namespace config {
struct ClientConfig;
}

namespace chat {

inline constexpr const char* kTransferCaption = "文件传输";

// What the window knows when the user asks to send a file.
struct TransferWindowFacts {
    bool sendEnabled = true;
    int participants = 1;
    bool toSelf = false;
    bool peerOnline = true;
    bool audioChat = false;
    bool videoChat = false;
    int running = 0;  // this window's transfers
};

// Nothing when the window may send a file; else the red notice (empty text: the send button
// is disabled and nothing is said).
std::optional<std::string> CheckWindowForFile(const TransferWindowFacts& facts,
                                              const config::ClientConfig& config);

// "同一对话中文件传输总数不能超过 4 个".
std::string TooManyTransfersText();

// The size of a file that may be sent, or the message-box text that refuses it.
struct FileCheck {
    std::optional<std::string> refusal;
    std::uint64_t size = 0;
};
FileCheck CheckFileToSend(const std::string& path);

}  // namespace chat
