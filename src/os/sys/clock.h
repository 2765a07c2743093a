#pragma once
// The one source of time. Every tick count, sleep, wait and timer of the system goes through
// a Clock: the host uses the real one, tests a manual one that they advance by hand.

#include <cstdint>
#include <memory>

namespace os {

using Millis = std::int64_t;

// Broken-down local time, as Windows' SYSTEMTIME gives it.
struct LocalTime {
    int year = 1970;
    int month = 1;       // 1..12
    int day = 1;         // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int dayOfWeek = 4;   // 0 = Sunday
};

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds on a monotonic scale with an arbitrary start.
    virtual Millis Now() const = 0;
    // GetTickCount meaning: Now() cut to 32 bits (wraps after 49.7 days).
    std::uint32_t TickCount() const { return static_cast<std::uint32_t>(Now()); }

    // Wall-clock time: seconds since 1970 (UTC) and the local broken-down form.
    virtual std::int64_t UnixTime() const = 0;
    virtual LocalTime LocalNow() const = 0;

    // Blocks the calling thread for `ms` milliseconds of this clock's time.
    virtual void Sleep(Millis ms) = 0;
};

}  // namespace os
