#include "chat/encoding/view_inserter.h"

#include <gtest/gtest.h>

#include <fstream>

#include "chat/encoding/face_table.h"
#include "chat/encoding/input_encoder.h"
#include "chat/encoding/links.h"
#include "chat/encoding/markers.h"
#include "os/controls/rich_edit.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "view_text.h"

namespace chat {
namespace {

using testing_view::Describe;

// A GBK character whose second byte is ']' (0x5D).
const std::string kBracketTrail = "\xB0\x5D";

class InsertEncodedTextTest : public testing::Test {
  protected:
    InsertEncodedTextTest() : view_(1), objects_("/app/", temp_.str()) { view_.SetReadOnly(true); }

    void WriteTempFile(const std::string& name, std::size_t bytes) {
        std::ofstream(temp_.path() / name, std::ios::binary) << std::string(bytes, 'j');
    }

    std::string Show(std::string_view text, InsertMode mode = InsertMode::Live) {
        InsertEncodedText(view_, text, mode, objects_);
        return Describe(view_);
    }

    testing_support::TempDir temp_;
    os::RichEdit view_;
    StandardMarkerObjects objects_;
};

struct MarkerCase {
    std::string text;
    std::string shown;
};

TEST_F(InsertEncodedTextTest, MarkersInText) {
    const MarkerCase cases[] = {
        {"你好#(14)#", "你好{face 14}"},
        {"#(05)#", "{face 5}"},
        {"#(ab)#", "{face 0}"},  // a pair that is no number reads as 0
        {"#( 7)#x", "{face 7}x"},
        {"#(5)#", "#(5)#"},
        {"a#(-1)#b", "a#(-1)#b"},
        {"#(-1)#", "#(-1)#"},
        {"#(99)#", "#(99)#"},  // no face beyond the table
        {"一#(01)#二#(02)#三", "一{face 1}二{face 2}三"},
        {"#(01)##(02)#", "{face 1}{face 2}"},
        {"#(#(03)#", "#({face 3}"},
        {"x#(-2)#[abc", "x#(-2)#[abc"},  // no "]"
        {"#(-2)#[../etc/passwd]", "#(-2)#[../etc/passwd]"},
        {"#(-2)#[a\\b.jpg]", "#(-2)#[a\\b.jpg]"},
        {"#(-2)#[]", "#(-2)#[]"},
        {"#(-2)#[gone.jpg]后", "{placeholder gone.jpg}后"},
        {"#(-2)#[" + kBracketTrail + ".jpg]z", "{placeholder " + kBracketTrail + ".jpg}z"},
        {"#(-4)#[x]", "#(-4)#[x]"},
        {"end #(", "end #("},
        {"#(1", "#(1"},
        {"FONT(a)xFONT(a)y", "xy"},  // every copy of the header goes
        {"FONT(no close 你", "FONT(no close 你"},
    };
    for (const MarkerCase& c : cases) {
        view_.SetText("");
        EXPECT_GBK_EQ(Show(c.text), c.shown) << c.text;
    }
}

TEST_F(InsertEncodedTextTest, AppendsAfterWhatIsThere) {
    Show("一#(01)#\r\n");
    EXPECT_GBK_EQ(Show("FONT(宋体,134,2,180,0,0,0,0,0,0,255)二#(02)#三"),
                  "一{face 1}\r\n二{face 2}三");
    EXPECT_EQ(view_.GetSel(), (os::Selection{7, 7}));
    EXPECT_EQ(view_.GetObject(1).object.name, FaceImagePath("/app/", 2));
}

TEST_F(InsertEncodedTextTest, HeaderFormatsTheMessageText) {
    view_.SetText("earlier");
    Show("FONT(宋体,134,2,180,1,0,0,0,255,0,0)你好#(14)#");
    EXPECT_GBK_EQ(Describe(view_), "earlier你好{face 14}");
    EXPECT_EQ(view_.GetCharFormatAt(0).effects & os::char_effect::kBold, 0u)
        << "text before the message keeps its format";
    for (int position : {7, 8}) {
        os::CharFormat f = view_.GetCharFormatAt(position);
        EXPECT_GBK_EQ(f.faceName, "宋体");
        EXPECT_EQ(f.height, 180);
        EXPECT_TRUE(f.Has(os::char_effect::kBold));
        EXPECT_EQ(f.color, os::Rgb(255, 0, 0));
    }
}

TEST_F(InsertEncodedTextTest, HeaderAppliesFromWhereItStood) {
    Show("前FONT(宋体,0,0,0,1,0,0,0,0,0,0)后");
    EXPECT_GBK_EQ(Describe(view_), "前后");
    EXPECT_FALSE(view_.GetCharFormatAt(0).Has(os::char_effect::kBold));
    EXPECT_TRUE(view_.GetCharFormatAt(1).Has(os::char_effect::kBold));
}

TEST_F(InsertEncodedTextTest, PicturesByFileState) {
    WriteTempFile("full.jpg", 200);
    WriteTempFile("partial.jpg", 199);
    EXPECT_GBK_EQ(Show("#(-2)#[full.jpg]#(-2)#[partial.jpg]#(-2)#[none.jpg]"),
                  "{picture full.jpg}{placeholder partial.jpg}{placeholder none.jpg}");
    // Each picture carries a number of its own, from 10000 up.
    EXPECT_EQ(view_.GetObject(0).object.userValue, kFirstPictureNumber);
    EXPECT_EQ(view_.GetObject(2).object.userValue, kFirstPictureNumber + 2);
}

TEST_F(InsertEncodedTextTest, HistoryNamesMissingPictures) {
    WriteTempFile("full.jpg", 500);
    EXPECT_GBK_EQ(Show("a#(-2)#[none.jpg]b#(-2)#[full.jpg]#(03)#", InsertMode::History),
                  "a[截屏,图片已不存在]b{picture full.jpg}{face 3}");
}

TEST_F(InsertEncodedTextTest, OfflineFileShowsOnlyItsObject) {
    view_.SetText("x");
    EXPECT_GBK_EQ(Show("#(-3)#[报告.doc|1024|key9|张三|2026-01-05 09:00:00]\r\n"),
                  "x{offline 报告.doc|1024|key9|张三|2026-01-05 09:00:00}");
    EXPECT_GBK_EQ(Show("see #(01)# #(-3)#[a|1|k] there"),
                  "x{offline 报告.doc|1024|key9|张三|2026-01-05 09:00:00}{offline a|1|k}");
    view_.SetText("");
    EXPECT_EQ(Show("#(-3)#[no bracket"), "") << "nothing to show";
}

TEST_F(InsertEncodedTextTest, AddressesBecomeLinks) {
    Show("看 http://a.com/x?q=1 和 www.b.com今天\r\nftp://f.org");
    std::string text = view_.GetText();
    std::vector<std::string> links;
    for (int position = 0; position < view_.GetTextLength();) {
        if (auto link = view_.LinkAt(position)) {
            links.push_back(link->text);
            EXPECT_EQ(link->target, "");
            EXPECT_EQ(view_.GetCharFormatAt(position).color, kLinkColor);
            position = link->end;
        } else {
            ++position;
        }
    }
    EXPECT_EQ(links, (std::vector<std::string>{"http://a.com/x?q=1", "www.b.com", "ftp://f.org"}));
}

TEST_F(InsertEncodedTextTest, AnchorShowsItsTextAndLeadsToItsTarget) {
    Show("请点 <a href=\" http://x.com/p?a=1&b=2 \">入口</a>后 www.c.cn");
    EXPECT_GBK_EQ(Describe(view_), "请点 入口后 www.c.cn");
    auto anchor = view_.LinkAt(3);
    ASSERT_TRUE(anchor.has_value());
    EXPECT_GBK_EQ(anchor->text, "入口");
    EXPECT_EQ(anchor->target, "http://x.com/p?a=1&b=2");
    EXPECT_FALSE(view_.LinkAt(5).has_value()) << "the text after the anchor is no link";
    ASSERT_TRUE(view_.LinkAt(8).has_value());

    std::vector<std::string> clicked;
    view_.SetNotifySink([&](const os::ControlNotification& n) {
        if (n.code == os::notify::kLinkClicked) clicked.push_back(n.text);
    });
    view_.ClickAt(4);
    view_.ClickAt(9);
    EXPECT_EQ(clicked, (std::vector<std::string>{"http://x.com/p?a=1&b=2", "www.c.cn"}));
}

TEST_F(InsertEncodedTextTest, AnchorKeepsObjectsInItsLabelAndFindsTheNextAnchor) {
    Show("<a href='http://x.cn'>看#(05)#</a><a href=y>二</a>");
    EXPECT_GBK_EQ(Describe(view_), "看{face 5}二");
    auto first = view_.LinkAt(0);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->end, 2);
    EXPECT_EQ(first->target, "http://x.cn");
    auto second = view_.LinkAt(2);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->target, "y");
}

TEST_F(InsertEncodedTextTest, LinkStopsAtAnObject) {
    Show("http://a.com#(05)#b");
    EXPECT_GBK_EQ(Describe(view_), "http://a.com{face 5}b");
    auto link = view_.LinkAt(0);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->end, 12);
}

// A marker object source that shows faces as long text, to prove later markers still land
// where they belong when a replacement is not one character long.
class WordyObjects final : public MarkerObjects {
  public:
    void PutFace(os::RichEdit& view, int face) override {
        view.ReplaceSel("<face " + std::to_string(face) + ">");
    }
    void PutPicture(os::RichEdit& view, std::string_view name, InsertMode) override {
        view.ReplaceSel("<" + std::string(name) + ">");
    }
    void PutOfflineFile(os::RichEdit&, std::string_view) override {}
};

TEST(InsertEncodedText, ReplacementsOfAnyLengthKeepLaterMarkersInPlace) {
    os::RichEdit view(1);
    WordyObjects objects;
    InsertEncodedText(view, "一#(01)#二#(-2)#[p.jpg]三#(02)#", InsertMode::Live, objects);
    EXPECT_GBK_EQ(view.GetText(), "一<face 1>二<p.jpg>三<face 2>");
}

}  // namespace
}  // namespace chat
