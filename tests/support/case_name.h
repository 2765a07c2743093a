#pragma once
// Names for the cases of parameterised tests (the name generator, the 4th argument of
// INSTANTIATE_TEST_SUITE_P), so that a case is named by what it is, the same in every run,
// instead of by its position and the bytes of its value.
//
//     [](const auto& info) { return testing_support::IndexedName(info.index, info.param.a); }

#include <cstddef>
#include <string>
#include <string_view>

namespace testing_support {

// The ASCII letters and digits of `text`, each run of anything else (blanks, punctuation,
// Chinese characters) one '_' between them: "xx delete@r1" gives "xx_delete_r1". Text with
// no letter or digit gives "blank" when empty, else "symbols".
inline std::string NamePart(std::string_view text) {
    std::string name;
    bool gap = false;
    for (const char c : text) {
        const bool kept =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!kept) {
            gap = true;
            continue;
        }
        if (gap && !name.empty()) name += '_';
        gap = false;
        name += c;
    }
    if (name.empty()) return text.empty() ? "blank" : "symbols";
    return name;
}

// "<index>_<NamePart(text)>": readable, and unique when texts repeat or differ only in
// what NamePart leaves out.
inline std::string IndexedName(std::size_t index, std::string_view text) {
    return std::to_string(index) + "_" + NamePart(text);
}

// A number as a name: "45", "Minus1".
inline std::string NumberName(long long number) {
    return number < 0 ? "Minus" + std::to_string(-number) : std::to_string(number);
}

}  // namespace testing_support
