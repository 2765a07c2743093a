// Label, button, check box and progress bar.

#include <gtest/gtest.h>

#include "os/controls/button.h"
#include "os/controls/check_box.h"
#include "os/controls/label.h"
#include "os/controls/notification_recorder.h"
#include "os/controls/progress_bar.h"
#include "support/gbk_print.h"

namespace os {
namespace {

using testing::NotificationRecorder;

TEST(Label, HoldsItsText) {
    Label label(1, "状态");
    EXPECT_EQ(label.kind(), ControlKind::Label);
    EXPECT_GBK_EQ(label.Text(), "状态");
    label.SetText("在线");
    EXPECT_GBK_EQ(label.Text(), "在线");
}

TEST(Button, ClickRaisesOnlyWhenEnabled) {
    constexpr int kOk = 1;
    Button button(kOk, "确定");
    NotificationRecorder seen(button);
    EXPECT_TRUE(button.Click());
    button.SetEnabled(false);
    EXPECT_FALSE(button.Click());
    ASSERT_EQ(seen.all().size(), 1u);
    EXPECT_EQ(seen.all()[0].code, notify::kClicked);
    EXPECT_EQ(seen.all()[0].controlId, kOk);
}

TEST(CheckBox, ClickTogglesAndRaisesSetCheckIsSilent) {
    CheckBox box(2, "记住密码");
    NotificationRecorder seen(box);
    box.Click();
    EXPECT_TRUE(box.checked());
    box.Click();
    EXPECT_FALSE(box.checked());
    box.SetCheck(true);
    EXPECT_TRUE(box.checked());
    box.SetEnabled(false);
    EXPECT_FALSE(box.Click());
    EXPECT_TRUE(box.checked());
    EXPECT_EQ(seen.Count(notify::kClicked), 2);
    EXPECT_EQ(seen.all().size(), 2u);
}

TEST(ProgressBar, PositionStaysInRange) {
    ProgressBar bar(1);
    struct Case {
        int set;
        int position;
    };
    for (Case c : {Case{50, 50}, Case{-5, 0}, Case{150, 100}}) {
        bar.SetPos(c.set);
        EXPECT_EQ(bar.GetPos(), c.position) << c.set;
    }
    EXPECT_EQ(bar.SetPos(30), 100);  // returns the previous position
    EXPECT_EQ(bar.OffsetPos(200), 30);
    EXPECT_EQ(bar.GetPos(), 100);

    bar.SetRange(20, 10);  // reversed bounds
    EXPECT_EQ(bar.lower(), 10);
    EXPECT_EQ(bar.upper(), 20);
    EXPECT_EQ(bar.GetPos(), 20);
}

TEST(ProgressBar, StepItWrapsRoundPastTheEnd) {
    ProgressBar bar(1);
    bar.SetRange(0, 25);
    EXPECT_EQ(bar.SetStep(10), 10);
    std::vector<int> positions;
    for (int i = 0; i < 4; ++i) {
        bar.StepIt();
        positions.push_back(bar.GetPos());
    }
    EXPECT_EQ(positions, (std::vector<int>{10, 20, 0, 10}));

    bar.SetMarquee(true);
    EXPECT_TRUE(bar.marquee());
}

}  // namespace
}  // namespace os
