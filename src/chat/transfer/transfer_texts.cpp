#include "chat/transfer/transfer_texts.h"

#include "os/text/cstring_ops.h"

namespace chat {
namespace {
constexpr std::uint64_t kKilo = 1024;
constexpr std::uint64_t kMega = 1048576;
double Megabytes(std::uint64_t bytes) { return static_cast<double>(bytes) / 1048576.0; }
}  // namespace

std::string GroupThousands(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

std::string DoneOfTotalText(std::uint64_t done, std::uint64_t total) {
    if (total < kKilo) {
        return os::Format("%u/%u 字节", static_cast<unsigned>(done), static_cast<unsigned>(total));
    }
    if (total < kMega) {
        return os::Format("%s/%s KB", GroupThousands(done >> 10).c_str(),
                          GroupThousands(total >> 10).c_str());
    }
    if (done <= kMega) {
        return os::Format("%d KB/%.2f MB", static_cast<int>(done >> 10), Megabytes(total));
    }
    return os::Format("%.2f/%.2f MB", Megabytes(done), Megabytes(total));
}

std::string SizeText(std::uint64_t size) {
    if (size <= kKilo) return os::Format("%u 字节", static_cast<unsigned>(size));
    return os::Format("%u KB", static_cast<unsigned>(size >> 10));
}

unsigned Percent(std::uint64_t done, std::uint64_t total) {
    if (total == 0) return 0;
    // done * 100 could overflow for huge sizes: divide first, then the remainder.
    const std::uint64_t whole = done / total * 100;
    const std::uint64_t rest = done % total;
    const std::uint64_t part =
        rest <= UINT64_MAX / 100 ? rest * 100 / total : rest / (total / 100 + 1);
    return static_cast<unsigned>(whole + part);
}

std::string PercentText(std::uint64_t done, std::uint64_t total) {
    return os::Format("%u%%", Percent(done, total));
}

std::string SpeedText(std::uint64_t bytesPerSecond, SpeedOf kind) {
    if (bytesPerSecond == 0 && kind == SpeedOf::OfflineSending) return "离线文件发送等待中...";
    if (bytesPerSecond < kKilo) {
        return os::Format("%s Byte/秒", GroupThousands(bytesPerSecond).c_str());
    }
    if (bytesPerSecond <= kMega) {
        return os::Format("%s KB/秒", GroupThousands(bytesPerSecond >> 10).c_str());
    }
    return os::Format("%s MB/秒", GroupThousands(bytesPerSecond >> 20).c_str());
}

}  // namespace chat
