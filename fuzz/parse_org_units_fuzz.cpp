// Feeds arbitrary answers of the organisation service to the picker's XML reader: no input may
// crash or hang, a refused document yields nothing, and reading the same bytes twice gives the
// same units.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "web/org_units.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto first = web::ParseOrgUnits(text);
    const auto second = web::ParseOrgUnits(text);
    if (first.has_value() != second.has_value()) std::abort();
    if (first && *first != *second) std::abort();
    if (first && first->size() > size) std::abort();  // every unit is an element of the input
    return 0;
}
