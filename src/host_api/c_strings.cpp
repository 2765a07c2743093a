#include "host_api/c_strings.h"

#include <climits>
#include <cstring>

#include "os/text/gbk_chars.h"

int CopyOut(std::string_view value, char* buf, int cap) noexcept {
    if (buf != nullptr && cap > 0) {
        const std::size_t fitting =
            os::CharBoundaryAtOrBefore(value, static_cast<std::size_t>(cap) - 1);
        if (fitting > 0) std::memcpy(buf, value.data(), fitting);
        buf[fitting] = '\0';
    }
    return value.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                            : static_cast<int>(value.size());
}
