#pragma once
// The numbers a file transfer shows: sizes, done of total, the percentage and the speed, with
// "," every three digits where the texts call for grouped digits.

#include <cstdint>
#include <string>

namespace chat {

// 1234567 -> "1,234,567".
std::string GroupThousands(std::uint64_t value);

// Done of total: below 1 KB in bytes ("%u/%u 字节"), below 1 MB in kilobytes ("%s/%s KB"),
// else "%d KB/%.2f MB" while at most 1 MB is done and "%.2f/%.2f MB" after.
std::string DoneOfTotalText(std::uint64_t done, std::uint64_t total);
// A size alone: "%u 字节" up to 1 KB, else "%u KB".
std::string SizeText(std::uint64_t size);
// "%u%%" of done over total without overflow; "0%" for a total of 0.
std::string PercentText(std::uint64_t done, std::uint64_t total);
unsigned Percent(std::uint64_t done, std::uint64_t total);
// Bytes per second: "%s Byte/秒", "%s KB/秒" up to 1 MB, else "%s MB/秒"; an offline upload
// that has not started moving shows "离线文件发送等待中...".
enum class SpeedOf { OnlineOrReceiving, OfflineSending };
std::string SpeedText(std::uint64_t bytesPerSecond, SpeedOf kind = SpeedOf::OnlineOrReceiving);

}  // namespace chat
