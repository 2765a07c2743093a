#include "host_api/c_strings.h"

#include <climits>
#include <cstring>

#include "os/text/gbk_chars.h"

int CopyOut(std::string_view value, char* buf, int cap) {
    if (buf != nullptr && cap > 0) {
        const std::string fitting = os::LeftBytes(value, static_cast<std::size_t>(cap) - 1);
        std::memcpy(buf, fitting.data(), fitting.size());
        buf[fitting.size()] = '\0';
    }
    return value.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                            : static_cast<int>(value.size());
}
