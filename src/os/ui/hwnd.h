#pragma once
// A window handle: an opaque 32-bit id issued by a WindowSystem. 0 is the null handle. A
// handle is never issued twice by one WindowSystem, so a handle kept after its window was
// destroyed simply stops naming a window (IsWindow answers false) instead of naming another.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace os {

class HWND {
  public:
    constexpr HWND() = default;
    constexpr explicit HWND(std::uint32_t value) : value_(value) {}

    constexpr std::uint32_t value() const { return value_; }
    constexpr bool IsNull() const { return value_ == 0; }
    constexpr explicit operator bool() const { return value_ != 0; }

    // A handle carried in a message parameter (WPARAM or LPARAM) back to its type.
    static constexpr HWND FromParam(std::uint64_t param) {
        return HWND(static_cast<std::uint32_t>(param));
    }
    constexpr std::uint64_t ToParam() const { return value_; }

    friend constexpr bool operator==(HWND, HWND) = default;
    friend constexpr auto operator<=>(HWND, HWND) = default;

  private:
    std::uint32_t value_ = 0;
};

}  // namespace os

template <>
struct std::hash<os::HWND> {
    std::size_t operator()(os::HWND h) const noexcept {
        return std::hash<std::uint32_t>{}(h.value());
    }
};
