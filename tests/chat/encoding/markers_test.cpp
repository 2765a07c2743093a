#include "chat/encoding/markers.h"

#include <gtest/gtest.h>

#include "chat/encoding/face_table.h"
#include "support/gbk_print.h"

namespace chat {
namespace {

TEST(Markers, FormatsEachMarker) {
    EXPECT_EQ(FaceMarker(5), "#(05)#");
    EXPECT_EQ(FaceMarker(0), "#(00)#");
    EXPECT_EQ(FaceMarker(79), "#(79)#");
    EXPECT_EQ(PictureMarker("0123456789abcdef0123456789abcdef.jpg"),
              "#(-2)#[0123456789abcdef0123456789abcdef.jpg]");
    EXPECT_GBK_EQ(OfflineFileMarker("报告.doc", "1024", "k1"), "#(-3)#[报告.doc|1024|k1]");
    EXPECT_EQ(PictureReceipt("a.jpg"), "#*(-3)*#-a.jpg");
}

TEST(Markers, RecognisesTheTenSystemPrefixes) {
    struct Case {
        const char* body;
        bool system;
    };
    const Case cases[] = {
        {"@#(-00)#@,会议通知", true}, {"@#(-03)#@,会议通知", true}, {"@#(-09)#@,", true},
        {"@#(-10)#@,x", false},       {"@#(-99)#@,file", false},    {"@#(-0a)#@,x", false},
        {"@#(-03)#@", false},         {" @#(-03)#@,x", false},      {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSystemMessage(c.body), c.system) << c.body;
}

TEST(Markers, ShakeIsOnlyTheWholeBody) {
    EXPECT_TRUE(IsShake("#(-1)#"));
    EXPECT_FALSE(IsShake("a#(-1)#"));
    EXPECT_FALSE(IsShake("#(-1)# "));
}

TEST(FaceTable, NamesInNumberOrder) {
    EXPECT_GBK_EQ(FaceName(0), "惊讶");
    EXPECT_GBK_EQ(FaceName(14), "微笑");
    EXPECT_GBK_EQ(FaceName(64), "凋谢的玫瑰");
    EXPECT_GBK_EQ(FaceName(79), "胜利");
    EXPECT_GBK_EQ(FaceName(8), "睡");
    EXPECT_GBK_EQ(FaceName(25), "睡");
    EXPECT_EQ(FaceName(80), "");
    EXPECT_EQ(FaceName(-1), "");
    for (int face = 0; face < kFaceCount; ++face) EXPECT_FALSE(FaceName(face).empty()) << face;
}

TEST(FaceTable, ImageFileHasNoLeadingZeros) {
    EXPECT_EQ(FaceImagePath("/opt/qorvdesk/", 5), "/opt/qorvdesk/face/5.gif");
    EXPECT_EQ(FaceImagePath("/opt/qorvdesk/", 79), "/opt/qorvdesk/face/79.gif");
}

TEST(FacePicker, GridOfSquareRootPlusOneColumns) {
    struct Case {
        int faces, columns, rows;
    };
    const Case cases[] = {{80, 9, 9}, {81, 10, 9}, {1, 2, 1}, {3, 2, 2}, {4, 3, 2}, {0, 1, 0}};
    for (const Case& c : cases) {
        FacePickerLayout layout(c.faces, 24, 24);
        EXPECT_EQ(layout.columns(), c.columns) << c.faces;
        EXPECT_EQ(layout.rows(), c.rows) << c.faces;
        EXPECT_EQ(layout.cellWidth(), 30);
        EXPECT_EQ(layout.cellHeight(), 30);
    }
}

TEST(FacePicker, ClickAnswersOneBasedSelection) {
    FacePickerLayout layout(80, 24, 20);  // 9 columns of 30 x 26
    EXPECT_EQ(layout.SelectionAt(0, 0), 1);
    EXPECT_EQ(layout.SelectionAt(29, 25), 1);
    EXPECT_EQ(layout.SelectionAt(30, 0), 2);
    EXPECT_EQ(layout.SelectionAt(0, 26), 10);
    // Face 79 is the 8th cell of the 9th row; the cell after it is empty.
    FacePickerLayout::Cell last = layout.CellOf(79);
    EXPECT_EQ(last.left, 7 * 30);
    EXPECT_EQ(last.top, 8 * 26);
    EXPECT_EQ(layout.SelectionAt(last.left + 1, last.top + 1), 80);
    EXPECT_EQ(layout.SelectionAt(8 * 30 + 1, 8 * 26 + 1), 0);
    EXPECT_EQ(layout.SelectionAt(-1, 0), 0);
    EXPECT_EQ(layout.SelectionAt(layout.width(), 0), 0);

    EXPECT_EQ(FaceFromSelection(1), 0);
    EXPECT_EQ(FaceFromSelection(80), 79);
    EXPECT_EQ(FaceFromSelection(0), -1);
    EXPECT_EQ(FaceFromSelection(-3), -1);
    EXPECT_EQ(FaceFromSelection(81), -1);
}

}  // namespace
}  // namespace chat
