#pragma once
// A small strict JSON reader for tests (RFC 8259): tells whether a text is one JSON value and
// hands back what it holds, so a test can read the fields a producer wrote.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text;  // a string's decoded UTF-8 value, or a number as written
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // The member `key` of an object (nullptr when absent or not an object).
    const JsonValue* Member(const std::string& key) const;
};

// The value of a UTF-8 text that is exactly one JSON value (blanks around it allowed), or
// nothing when the text is not valid JSON; `error` then says where and why.
std::optional<JsonValue> ParseJson(std::string_view utf8, std::string* error = nullptr);

}  // namespace testing_support
