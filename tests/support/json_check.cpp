#include "support/json_check.h"

#include <cstdint>

namespace testing_support {
namespace {

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<JsonValue> Document() {
        SkipBlanks();
        auto value = Value(0);
        if (!value) return std::nullopt;
        SkipBlanks();
        if (pos_ != text_.size()) return Fail("text after the value");
        return value;
    }

    const std::string& error() const { return error_; }

  private:
    static constexpr int kMaxDepth = 200;

    std::nullopt_t Fail(const std::string& why) {
        if (error_.empty()) error_ = "at byte " + std::to_string(pos_) + ": " + why;
        return std::nullopt;
    }

    void SkipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }

    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool TakeWord(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    std::optional<JsonValue> Value(int depth) {
        if (depth > kMaxDepth) return Fail("nested too deeply");
        if (pos_ >= text_.size()) return Fail("value expected");
        JsonValue value;
        const char c = text_[pos_];
        if (c == '{') return Object(depth);
        if (c == '[') return Array(depth);
        if (c == '"') {
            auto text = String();
            if (!text) return std::nullopt;
            value.kind = JsonValue::Kind::String;
            value.text = std::move(*text);
            return value;
        }
        if (TakeWord("true") || TakeWord("false")) {
            value.kind = JsonValue::Kind::Boolean;
            value.boolean = c == 't';
            return value;
        }
        if (TakeWord("null")) return value;
        return Number();
    }

    std::optional<JsonValue> Object(int depth) {
        ++pos_;
        JsonValue value;
        value.kind = JsonValue::Kind::Object;
        SkipBlanks();
        if (Take('}')) return value;
        while (true) {
            SkipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("member name expected");
            auto key = String();
            if (!key) return std::nullopt;
            SkipBlanks();
            if (!Take(':')) return Fail("':' expected");
            SkipBlanks();
            auto member = Value(depth + 1);
            if (!member) return std::nullopt;
            value.members[*key] = std::move(*member);
            SkipBlanks();
            if (Take('}')) return value;
            if (!Take(',')) return Fail("',' or '}' expected");
        }
    }

    std::optional<JsonValue> Array(int depth) {
        ++pos_;
        JsonValue value;
        value.kind = JsonValue::Kind::Array;
        SkipBlanks();
        if (Take(']')) return value;
        while (true) {
            SkipBlanks();
            auto item = Value(depth + 1);
            if (!item) return std::nullopt;
            value.items.push_back(std::move(*item));
            SkipBlanks();
            if (Take(']')) return value;
            if (!Take(',')) return Fail("',' or ']' expected");
        }
    }

    std::optional<JsonValue> Number() {
        const std::size_t start = pos_;
        Take('-');
        if (Take('0')) {
        } else if (!Digits()) {
            return Fail("value expected");
        }
        if (Take('.') && !Digits()) return Fail("digits expected after '.'");
        if (Take('e') || Take('E')) {
            if (!Take('+')) Take('-');
            if (!Digits()) return Fail("digits expected in the exponent");
        }
        JsonValue value;
        value.kind = JsonValue::Kind::Number;
        value.text = std::string(text_.substr(start, pos_ - start));
        return value;
    }

    bool Digits() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
        return pos_ > start;
    }

    static void AppendUtf8(std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::optional<std::uint32_t> Hex4() {
        if (pos_ + 4 > text_.size()) return std::nullopt;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9') {
                v |= static_cast<std::uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                v |= static_cast<std::uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                v |= static_cast<std::uint32_t>(c - 'A' + 10);
            } else {
                return std::nullopt;
            }
        }
        return v;
    }

    // One UTF-8 character of a string, checked for well-formedness.
    bool Utf8Char(std::string& out) {
        const auto lead = static_cast<unsigned char>(text_[pos_]);
        int length = 0;
        std::uint32_t min = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, min = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, min = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, min = 0x10000;
        } else {
            return false;
        }
        if (pos_ + length > text_.size()) return false;
        std::uint32_t cp = lead & (0x3F >> (length - 1));
        for (int i = 1; i < length; ++i) {
            const auto c = static_cast<unsigned char>(text_[pos_ + i]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        out.append(text_.substr(pos_, length));
        pos_ += length;
        return true;
    }

    std::optional<std::string> String() {
        ++pos_;
        std::string out;
        while (true) {
            if (pos_ >= text_.size()) return Fail("unterminated string");
            const auto c = static_cast<unsigned char>(text_[pos_]);
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c < 0x20) return Fail("raw control character in a string");
            if (c >= 0x80) {
                if (!Utf8Char(out)) return Fail("not UTF-8");
                continue;
            }
            ++pos_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (pos_ >= text_.size()) return Fail("unterminated escape");
            const char e = text_[pos_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    auto cp = Hex4();
                    if (!cp) return Fail("bad \\u escape");
                    if (*cp >= 0xD800 && *cp <= 0xDBFF) {
                        if (!TakeWord("\\u")) return Fail("lone high surrogate");
                        auto low = Hex4();
                        if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                            return Fail("bad low surrogate");
                        }
                        *cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
                    } else if (*cp >= 0xDC00 && *cp <= 0xDFFF) {
                        return Fail("lone low surrogate");
                    }
                    AppendUtf8(out, *cp);
                    break;
                }
                default:
                    return Fail("unknown escape");
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string error_;
};

}  // namespace

const JsonValue* JsonValue::Member(const std::string& key) const {
    if (kind != Kind::Object) return nullptr;
    const auto it = members.find(key);
    return it == members.end() ? nullptr : &it->second;
}

std::optional<JsonValue> ParseJson(std::string_view utf8, std::string* error) {
    Reader reader(utf8);
    auto value = reader.Document();
    if (!value && error) *error = reader.error();
    return value;
}

}  // namespace testing_support
