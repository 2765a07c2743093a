#pragma once
// Records for the dispatch tests: one whose data is the kind its type code calls for, and one
// whose data is any other kind.

#include <cstddef>
#include <utility>
#include <variant>

#include "platform/session/notify_record.h"

namespace notify_test {

template <std::size_t I = 0>
platform::NotifyPayload PayloadOfIndex(std::size_t index) {
    if constexpr (I < std::variant_size_v<platform::NotifyPayload>) {
        if (index == I) return platform::NotifyPayload(std::in_place_index<I>);
        return PayloadOfIndex<I + 1>(index);
    } else {
        return platform::NotifyPayload();
    }
}

// A record of `type` carrying default data of the kind its code calls for.
inline platform::NotifyRecord WellFormed(std::uint32_t type) {
    return platform::NotifyRecord{type, PayloadOfIndex(platform::ExpectedPayloadIndex(type))};
}

// A record of `type` carrying data of some other kind.
inline platform::NotifyRecord Malformed(std::uint32_t type) {
    const std::size_t expected = platform::ExpectedPayloadIndex(type);
    const std::size_t other = (expected + 1) % std::variant_size_v<platform::NotifyPayload>;
    return platform::NotifyRecord{type, PayloadOfIndex(other)};
}

}  // namespace notify_test
