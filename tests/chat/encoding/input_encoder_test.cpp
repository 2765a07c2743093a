#include "chat/encoding/input_encoder.h"

#include <gtest/gtest.h>

#include "os/controls/rich_edit.h"
#include "support/gbk_print.h"

namespace chat {
namespace {

os::RichObject Face(std::uint32_t number) { return {os::RichObjectKind::Face, number, ""}; }
os::RichObject Picture(std::uint32_t number) {
    return {os::RichObjectKind::Picture, number, "/tmp/x.jpg"};
}

class EncodeInputTextTest : public testing::Test {
  protected:
    EncodeInputTextTest() : input_(7) {}

    void Type(std::string_view text) { input_.ReplaceSel(text); }
    void Put(const os::RichObject& object) { input_.InsertObject(object); }

    os::RichEdit input_;
    PictureMap pictures_;
    std::vector<std::string> outgoing_;
};

TEST_F(EncodeInputTextTest, PlainTextGoesAsItIs) {
    Type("你好 #(05)# typed by hand\r\nline two");
    EncodedInput encoded = EncodeInputText(input_, pictures_, outgoing_);
    EXPECT_GBK_EQ(encoded.body, "你好 #(05)# typed by hand\r\nline two");
    EXPECT_EQ(encoded.pictureCount, 0);
    EXPECT_TRUE(outgoing_.empty());
}

TEST_F(EncodeInputTextTest, FacesBecomeTwoDigitMarkersWherever) {
    Put(Face(5));
    Type("你好");
    Put(Face(14));
    Put(Face(0));
    Type("a");
    Put(Face(79));
    EncodedInput encoded = EncodeInputText(input_, pictures_, outgoing_);
    EXPECT_GBK_EQ(encoded.body, "#(05)#你好#(14)##(00)#a#(79)#");
    EXPECT_EQ(encoded.pictureCount, 0);
}

TEST_F(EncodeInputTextTest, PicturesBecomeMarkersAndGoToTheOutgoingList) {
    pictures_[PictureKey(10001)] = "0123456789abcdef0123456789abcdef.jpg";
    pictures_[PictureKey(4000000000u)] = "b.jpg";
    outgoing_.push_back("earlier.jpg");
    Type("看");
    Put(Picture(10001));
    Type("和");
    Put(Picture(4000000000u));
    Put(Face(3));
    EncodedInput encoded = EncodeInputText(input_, pictures_, outgoing_);
    EXPECT_GBK_EQ(encoded.body,
                  "看#(-2)#[0123456789abcdef0123456789abcdef.jpg]和#(-2)#[b.jpg]#(03)#");
    EXPECT_EQ(encoded.pictureCount, 2);
    EXPECT_EQ(outgoing_, (std::vector<std::string>{
                             "earlier.jpg", "0123456789abcdef0123456789abcdef.jpg", "b.jpg"}));
}

TEST_F(EncodeInputTextTest, PictureWithoutAFileIsLeftOut) {
    Type("a");
    Put(Picture(12345));
    Type("b");
    EncodedInput encoded = EncodeInputText(input_, pictures_, outgoing_);
    EXPECT_EQ(encoded.body, "ab");
    EXPECT_EQ(encoded.pictureCount, 0);
    EXPECT_TRUE(outgoing_.empty());
}

TEST_F(EncodeInputTextTest, InputBoxIsLeftAsItWas) {
    Type("一");
    Put(Face(1));
    Type("二");
    input_.SetSel(1, 2);
    std::string textBefore = input_.GetText();
    EncodeInputText(input_, pictures_, outgoing_);
    EXPECT_EQ(input_.GetText(), textBefore);
    EXPECT_EQ(input_.GetSel(), (os::Selection{1, 2}));
    EXPECT_EQ(input_.GetObjectCount(), 1);
}

TEST(PictureKey, DecimalText) {
    EXPECT_EQ(PictureKey(10000), "10000");
    EXPECT_EQ(PictureKey(4294967295u), "4294967295");
}

}  // namespace
}  // namespace chat
