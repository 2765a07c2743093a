#include "chat/transfer/transfer_checks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "chat/transfer/transfer_list.h"
#include "config/client_config.h"
#include "os/sys/paths.h"
#include "os/text/cstring_ops.h"

namespace chat {

std::string TooManyTransfersText() {
    return os::Format("同一对话中文件传输总数不能超过 %d 个", kMaxTransfersPerChat);
}

std::optional<std::string> CheckWindowForFile(const TransferWindowFacts& facts,
                                              const config::ClientConfig& config) {
    if (!facts.sendEnabled) return std::string();
    if (facts.participants > 1) return config.SelfRoomTitle + "状态下不能发送文件";
    if (facts.toSelf) return std::string("您不能给自己发送文件");
    if (!facts.peerOnline && config.EnableOfflineFileTrans == 0) {
        return std::string("对方不在线，不能接收文件传输请求");
    }
    if (facts.audioChat || facts.videoChat) return std::string("在音视频聊天模式中，不能传输文件!");
    if (facts.running >= kMaxTransfersPerChat) return TooManyTransfersText();
    return std::nullopt;
}

namespace {

// Every path here begins with '/', so the leading characters that would be taken for an option
// or an expression are looked for at the start of the file's name.
bool HasIllegalCharacter(const std::string& path) {
    const std::size_t cut = path.find_last_of('/');
    const std::string_view name =
        cut == std::string::npos ? std::string_view(path) : std::string_view(path).substr(cut + 1);
    if (!name.empty() && os::Find("+-*/=", name.front()) >= 0) return true;
    return path.find_first_of("&<>\"'") != std::string::npos;
}

}  // namespace

FileCheck CheckFileToSend(const std::string& path) {
    FileCheck check;
    if (path.size() > kMaxTransferPathBytes) {
        check.refusal = "文件名\"" + path + "\" 过长，不能被传输,建议把文件名改短。";
        return check;
    }
    // Opened for reading with others kept from writing it, as a file another program holds
    // open for writing refuses.
    const std::optional<std::filesystem::path> native = os::NativePath(path);
    const int fd = native ? ::open(native->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
    if (fd < 0 || ::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        if (fd >= 0) ::close(fd);
        check.refusal = os::Format("%s  正被其他程序占用, 不能被传输", path.c_str());
        return check;
    }
    struct stat info {};
    const bool sized = ::fstat(fd, &info) == 0;
    ::flock(fd, LOCK_UN);
    ::close(fd);
    if (HasIllegalCharacter(path)) {
        check.refusal = os::Format("文件名或路径包含非法字符 %s,不能被传输", path.c_str());
        return check;
    }
    if (!sized || !S_ISREG(info.st_mode)) {
        check.refusal = "取得文件大小出错";
        return check;
    }
    if (info.st_size <= 0 || info.st_size >= kMaxTransferBytes) {
        check.refusal = os::Format("%s 文件尺寸为0或者大于2G,不能被传输", path.c_str());
        return check;
    }
    check.size = static_cast<std::uint64_t>(info.st_size);
    return check;
}

}  // namespace chat
