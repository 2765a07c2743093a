// Feeds arbitrary extension texts to CUser::ParseExtensionXml: no input may crash, and what a
// user then builds must parse back to the same fields (a signature holding "<" or a tag name
// cannot pose as another tag).
// Run with a large -max_len (say -max_len=2097152): the costly inputs are long runs of list items.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "contacts/contact_user.h"
#include "os/sys/clock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static os::ManualClock clock;
    std::string_view text(reinterpret_cast<const char*>(data), size);

    contacts::CUser user(clock, "a@x", "a", "g", "both");
    user.ParseExtensionXml(text);
    const std::string built = user.BuildExtensionXml();

    contacts::CUser again(clock, "a@x", "a", "g", "both");
    again.ParseExtensionXml(built);
    if (again.details().signature != user.details().signature ||
        again.details().photoType != user.details().photoType ||
        again.details().photoData != user.details().photoData ||
        again.details().recentIm != user.details().recentIm ||
        again.details().recentSms != user.details().recentSms)
        std::abort();
    if (again.BuildExtensionXml() != built) std::abort();
    return 0;
}
