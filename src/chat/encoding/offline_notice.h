#pragma once
// The fields an offline-file object of a message view carries: what the sender's "#(-3)#"
// notice named (file, size, server key) and what the view added (speaker, time), separated
// by "|". The text comes from a peer: the parser takes it only when it holds exactly five
// fields, a decimal size below 2 GB and a key of letters and digits; the file name is still a
// peer's name, to be made a safe leaf before it touches the disk.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace chat {

// The log line for a notice the parser refuses.
inline constexpr const char* kBadOfflineNoticeLog = "离线文件消息信息错误";

struct OfflineNotice {
    std::string fileName;  // as the peer wrote it
    std::uint32_t size = 0;
    std::string serverKey;
    std::string sender;
    std::string time;
};

std::optional<OfflineNotice> ParseOfflineNotice(std::string_view fields);

}  // namespace chat
