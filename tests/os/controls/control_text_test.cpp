#include "os/controls/control_text.h"

#include <gtest/gtest.h>

namespace os::control_text {
namespace {

TEST(ControlText, ReplaceLoneLeadBytes) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (Case c : {Case{"", ""}, Case{"abc", "abc"}, Case{"\xC4\xE3", "\xC4\xE3"},
                   Case{"a\xC4", "a?"}, Case{"\xC4\x20x", "? x"}, Case{"\xC4\xC4\xE3", "\xC4\xC4?"},
                   Case{"\x80\xFF", "\x80\xFF"}}) {
        EXPECT_EQ(ReplaceLoneLeadBytes(c.in), c.out) << c.in;
    }
}

TEST(ControlText, StartsWithNoCaseNeverMatchesHalfACharacter) {
    struct Case {
        const char* text;
        const char* prefix;
        bool match;
    };
    for (Case c : {Case{"Hello", "hE", true}, Case{"Hello", "", true}, Case{"he", "hello", false},
                   Case{"\xC4\xE3\xBA\xC3", "\xC4\xE3", true}, Case{"\xC4\xE3", "\xC4", false},
                   Case{"\x81\x41", "\x81\x61", false}}) {
        EXPECT_EQ(StartsWithNoCase(c.text, c.prefix), c.match) << c.text << " / " << c.prefix;
    }
}

}  // namespace
}  // namespace os::control_text
