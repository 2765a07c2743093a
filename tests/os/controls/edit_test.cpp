#include "os/controls/edit.h"

#include <gtest/gtest.h>

#include "os/controls/notification_recorder.h"
#include "support/gbk_print.h"

namespace os {
namespace {

using testing::NotificationRecorder;

TEST(Edit, SetTextRaisesChangeLikeTyping) {
    Edit edit(3);
    NotificationRecorder seen(edit);
    edit.SetText("abc");
    edit.SetSel(3, 3);
    edit.TypeText("d");
    EXPECT_EQ(edit.Text(), "abcd");
    ASSERT_EQ(seen.Count(notify::kEditChange), 2);
    EXPECT_EQ(seen.all()[0].controlId, 3);
}

TEST(Edit, SelectionEdgesNeverSplitACharacter) {
    Edit edit(1);
    edit.SetText("a你好b");  // bytes: a [1,3) [3,5) b
    struct Case {
        int start;
        int end;
        Selection sel;
    };
    for (Case c :
         {Case{0, -1, {0, 6}}, Case{2, 4, {1, 3}}, Case{4, 2, {1, 3}}, Case{3, 99, {3, 6}}}) {
        edit.SetSel(c.start, c.end);
        EXPECT_EQ(edit.GetSel(), c.sel) << c.start << "," << c.end;
    }
    edit.SetSel(1, 3);
    EXPECT_GBK_EQ(edit.GetSelText(), "你");
    edit.SetSel(-1, 0);  // drop the selection: caret at its end
    EXPECT_EQ(edit.GetSel(), (Selection{3, 3}));
}

TEST(Edit, ReplaceSelHonoursTheLimitAtAWholeCharacter) {
    Edit edit(1);
    edit.LimitText(5);
    EXPECT_TRUE(edit.ReplaceSel("ab"));
    EXPECT_FALSE(edit.ReplaceSel("你好"));  // room for 3 bytes: one character
    EXPECT_GBK_EQ(edit.Text(), "ab你");
    EXPECT_EQ(edit.GetSel(), (Selection{4, 4}));
    EXPECT_FALSE(edit.ReplaceSel("好"));
    EXPECT_GBK_EQ(edit.Text(), "ab你");

    edit.SetSel(0, 2);
    EXPECT_TRUE(edit.ReplaceSel("好"));  // replaces two bytes by two
    EXPECT_GBK_EQ(edit.Text(), "好你");

    // SetText from code is not cut.
    edit.SetText("0123456789");
    EXPECT_EQ(edit.GetTextLength(), 10);
}

TEST(Edit, ReadOnlyAndDisabledStopTypingNotCode) {
    Edit edit(1);
    NotificationRecorder seen(edit);
    edit.SetReadOnly(true);
    EXPECT_FALSE(edit.TypeText("x"));
    edit.SetReadOnly(false);
    edit.SetEnabled(false);
    EXPECT_FALSE(edit.TypeText("x"));
    EXPECT_EQ(seen.Count(notify::kEditChange), 0);
    EXPECT_TRUE(edit.ReplaceSel("code"));
    EXPECT_EQ(edit.Text(), "code");
}

TEST(Edit, PasswordShowsOneStarPerCharacter) {
    Edit edit(1);
    edit.SetText("pa密码");
    EXPECT_GBK_EQ(edit.DisplayText(), "pa密码");
    edit.SetPassword(true);
    EXPECT_EQ(edit.DisplayText(), "****");
    EXPECT_GBK_EQ(edit.Text(), "pa密码");
}

}  // namespace
}  // namespace os
