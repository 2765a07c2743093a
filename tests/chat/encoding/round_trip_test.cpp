// The whole road of a chat message: typed into the input box, encoded into a header and a
// body, and shown in the receiver's message view.

#include <gtest/gtest.h>

#include <fstream>

#include "chat/encoding/font_header.h"
#include "chat/encoding/input_encoder.h"
#include "chat/encoding/markers.h"
#include "chat/encoding/message_lines.h"
#include "chat/encoding/plain_text.h"
#include "chat/encoding/preview.h"
#include "os/controls/rich_edit.h"
#include "os/sys/clock.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "view_text.h"

namespace chat {
namespace {

TEST(RoundTrip, InputBoxToBodyToMessageView) {
    testing_support::TempDir temp;
    const std::string picture = "0123456789abcdef0123456789abcdef.jpg";
    std::ofstream(temp.path() / picture, std::ios::binary) << std::string(4096, 'p');

    // The sender types bold red text with a face, a pasted picture and two addresses.
    os::RichEdit input(1);
    ApplyFontHeader(input, "FONT(宋体,134,2,180,1,0,0,0,255,0,0)");
    input.ReplaceSel("你好");
    input.InsertObject({os::RichObjectKind::Face, 14, ""});
    input.ReplaceSel("看");
    input.InsertObject({os::RichObjectKind::Picture, 10500, temp.str() + picture});
    input.ReplaceSel(" http://a.com/x 和 <a href=\"http://b.com\">门户</a>");
    PictureMap pictures{{PictureKey(10500), picture}};
    std::vector<std::string> outgoing;

    std::string header = MakeFontHeader(input);
    EncodedInput encoded = EncodeInputText(input, pictures, outgoing);
    EXPECT_GBK_EQ(header, "FONT(宋体,134,2,180,1,0,0,0,255,0,0)");
    EXPECT_GBK_EQ(encoded.body, "你好#(14)#看#(-2)#[" + picture +
                                    "] http://a.com/x 和 <a href=\"http://b.com\">门户</a>");
    EXPECT_EQ(encoded.pictureCount, 1);
    EXPECT_EQ(outgoing, std::vector<std::string>{picture});

    // The receiver shows it under the speaker line.
    os::ManualClock clock;
    os::RichEdit view(2);
    view.SetReadOnly(true);
    StandardMarkerObjects objects("/app/", temp.str());
    AppendChatMessage(view, objects, "张三", "09:30", header + encoded.body, SpeakerVerb::Says,
                      clock);
    EXPECT_GBK_EQ(testing_view::Describe(view), "张三 说 09:30\r\n你好{face 14}看{picture " +
                                                    picture + "} http://a.com/x 和 门户\r\n");

    const int messageStart = 13;
    os::CharFormat text = view.GetCharFormatAt(messageStart);
    EXPECT_TRUE(text.Has(os::char_effect::kBold));
    EXPECT_EQ(text.color, os::Rgb(255, 0, 0));
    auto address = view.LinkAt(messageStart + 5);
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->text, "http://a.com/x");
    auto anchor = view.LinkAt(view.GetTextLength() - 3);
    ASSERT_TRUE(anchor.has_value());
    EXPECT_GBK_EQ(anchor->text, "门户");
    EXPECT_EQ(anchor->target, "http://b.com");

    // History and the pop-up render the same body as plain text.
    EXPECT_GBK_EQ(ToHistoryText(header + encoded.body),
                  "你好[表情]看[图片] http://a.com/x 和 <a href=\"http://b.com\">门户</a>");
    // The pop-up cuts at 16 bytes, through the picture marker, which then stays text.
    EXPECT_GBK_EQ(ToPreviewText(encoded.body), "你好[表情]看#(-2...");
}

}  // namespace
}  // namespace chat
