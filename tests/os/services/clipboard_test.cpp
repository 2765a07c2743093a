#include "os/services/clipboard.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/gbk_print.h"

namespace {

TEST(ClipboardTest, StartsEmpty) {
    os::Clipboard clipboard;
    EXPECT_TRUE(clipboard.IsEmpty());
    EXPECT_FALSE(clipboard.HasText());
    EXPECT_FALSE(clipboard.HasBitmap());
    EXPECT_EQ(clipboard.GetText(), std::nullopt);
    EXPECT_EQ(clipboard.SequenceNumber(), 0u);
}

TEST(ClipboardTest, EachSetReplacesTheWholeContent) {
    os::Clipboard clipboard;
    clipboard.SetText("复制的文字");
    EXPECT_GBK_EQ(clipboard.GetText().value_or(""), "复制的文字");
    EXPECT_FALSE(clipboard.HasBitmap());

    clipboard.SetBitmap({"image/bmp", {'B', 'M', 1, 2}});
    EXPECT_FALSE(clipboard.HasText());
    auto bitmap = clipboard.GetBitmap();
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(bitmap->format, "image/bmp");
    EXPECT_EQ(bitmap->bytes, (std::vector<std::uint8_t>{'B', 'M', 1, 2}));

    os::ClipboardContent both;
    both.text = "plain";
    both.custom["Qorvdesk Rich Text"] = "FONT(...)plain";
    clipboard.Set(both);
    EXPECT_EQ(clipboard.GetText(), "plain");
    EXPECT_EQ(clipboard.GetCustom("Qorvdesk Rich Text"), "FONT(...)plain");
    EXPECT_EQ(clipboard.GetCustom("other"), std::nullopt);
    EXPECT_FALSE(clipboard.HasBitmap());

    clipboard.Clear();
    EXPECT_TRUE(clipboard.IsEmpty());
    EXPECT_EQ(clipboard.SequenceNumber(), 4u);
}

TEST(ClipboardTest, EmptyTextIsStillText) {
    os::Clipboard clipboard;
    clipboard.SetText("");
    EXPECT_TRUE(clipboard.HasText());
    EXPECT_FALSE(clipboard.IsEmpty());
}

TEST(ClipboardTest, ReadersNeverSeeHalfAContent) {
    os::Clipboard clipboard;
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) {
            os::ClipboardContent content;
            content.text = std::to_string(i);
            content.custom["n"] = std::to_string(i);
            clipboard.Set(content);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        os::ClipboardContent seen = clipboard.Get();
        if (seen.text) {
            ASSERT_EQ(seen.custom["n"], *seen.text);
        }
    }
    writer.join();
    EXPECT_EQ(clipboard.SequenceNumber(), 2000u);
}

}  // namespace
