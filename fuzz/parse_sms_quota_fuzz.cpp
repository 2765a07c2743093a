// The SMS quota's answers from the server: the quota answer's numbers and the timed answer's
// fields (window start, end, timed count, or an error code), split from the input at NUL
// bytes, then every question the composer asks of the result.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "batch/sms_quota.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view fields[3];
    std::size_t from = 0;
    for (std::string_view& field : fields) {
        const std::size_t end = std::min(input.find('\0', from), input.size());
        if (from <= input.size()) field = input.substr(from, end - from);
        from = end + 1;
    }
    batch::SmsQuota quota;
    int numbers[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 3 && i * 4 + 4 <= size; ++i) {
        numbers[i] = static_cast<int>(static_cast<std::uint32_t>(data[i * 4]) |
                                      (static_cast<std::uint32_t>(data[i * 4 + 1]) << 8) |
                                      (static_cast<std::uint32_t>(data[i * 4 + 2]) << 16) |
                                      (static_cast<std::uint32_t>(data[i * 4 + 3]) << 24));
    }
    quota.OnQuotaAnswer({numbers[0], numbers[1], numbers[2]});
    (void)quota.OnTimedAnswer(
        {std::string(fields[0]), std::string(fields[1]), std::string(fields[2])});
    (void)batch::ParseQuotaMoment(input);
    (void)quota.QuotaText(false);
    (void)quota.QuotaText(true);
    (void)quota.TimedRangeLabel();
    (void)quota.TimedAvailable();
    (void)quota.CanSend(numbers[1]);
    (void)quota.CanSendTimed(numbers[2]);
    return 0;
}
