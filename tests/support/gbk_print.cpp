#include "support/gbk_print.h"

#include <cstdio>

#include "os/text/gbk_chars.h"
#include "os/text/gbk_codec.h"

namespace testing_support {
namespace {

void AppendHex(std::string& out, std::string_view bytes) {
    for (unsigned char c : bytes) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        out += buf;
    }
}

void AppendAscii(std::string& out, char c) {
    switch (c) {
        case '\r':
            out += "\\r";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\t':
            out += "\\t";
            return;
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        default:
            break;
    }
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
        AppendHex(out, std::string_view(&c, 1));
    } else {
        out += c;
    }
}

}  // namespace

std::string DisplayGbk(std::string_view gbk) {
    std::string out = "\"";
    for (std::size_t at = 0; at < gbk.size();) {
        int length = os::GbkCharLength(gbk, at);
        std::string_view unit = gbk.substr(at, length);
        std::string utf8;
        if (static_cast<unsigned char>(unit[0]) < 0x80) {
            AppendAscii(out, unit[0]);
        } else if (os::GbkToUtf8(unit, utf8)) {
            out += utf8;
        } else {
            AppendHex(out, unit);
        }
        at += length;
    }
    return out + "\"";
}

void PrintTo(const Gbk& value, std::ostream* out) { *out << DisplayGbk(value.bytes()); }

::testing::AssertionResult GbkEqual(const char* actualExpr, const char* expectedExpr,
                                    const Gbk& actual, const Gbk& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "Expected equality of these GBK values:\n  " << os::GbkToUtf8Lossy(actualExpr)
           << "\n    Which is: " << DisplayGbk(actual.bytes()) << "\n  "
           << os::GbkToUtf8Lossy(expectedExpr)
           << "\n    Which is: " << DisplayGbk(expected.bytes());
}

}  // namespace testing_support
