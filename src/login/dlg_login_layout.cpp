// Where the login panel's controls sit: one centred column, the inputs above the check boxes
// and the login button; the progress display takes the inputs' place while an attempt runs
// (the two are never shown together).
#include <algorithm>

#include "login/dlg_login.h"

namespace {

constexpr int kColumnWidth = 260;
constexpr int kMargin = 12;
constexpr int kRowHeight = 24;
constexpr int kRowStep = 34;
constexpr int kGap = 8;
constexpr int kOrganisationButtonWidth = 90;
constexpr int kLoginButtonWidth = 100;
constexpr int kLoginButtonHeight = 30;
constexpr int kProgressBarHeight = 16;
// The column's height, from the account box to the bottom of the login button.
constexpr int kColumnHeight = 5 * kRowStep + 6 + kLoginButtonHeight;

}  // namespace

void CDlgLogin::LayOutControls(int width, int height) {
    const int column = std::max(0, std::min(kColumnWidth, width - 2 * kMargin));
    const int left = std::max(0, (width - column) / 2);
    const int top = std::max(kMargin, (height - kColumnHeight) / 2);
    const int half = (column - kGap) / 2;
    auto place = [this](int id, int x, int y, int w, int h) {
        if (os::Control* control = FindControl(id))
            control->SetRect(os::Rect::FromSize(x, y, w, h));
    };

    place(kAccountId, left, top, column, kRowHeight);
    place(kPasswordId, left, top + kRowStep, column, kRowHeight);
    place(kUserKindId, left, top + 2 * kRowStep, half, kRowHeight);
    place(kExtraTextId, left + half + kGap, top + 2 * kRowStep, column - half - kGap, kRowHeight);
    place(kOrganisationButtonId, left, top + 3 * kRowStep, kOrganisationButtonWidth, kRowHeight);
    place(kOrganisationLabelId, left + kOrganisationButtonWidth + kGap, top + 3 * kRowStep,
          column - kOrganisationButtonWidth - kGap, kRowHeight);
    place(kRememberPasswordId, left, top + 4 * kRowStep, half, kRowHeight);
    place(kAutoLoginId, left + half + kGap, top + 4 * kRowStep, column - half - kGap, kRowHeight);
    place(kLoginButtonId, left + (column - kLoginButtonWidth) / 2, top + 5 * kRowStep + 6,
          kLoginButtonWidth, kLoginButtonHeight);

    place(kProgressLabelId, left, top + kRowStep, column, kRowHeight);
    place(kProgressBarId, left, top + 2 * kRowStep, column, kProgressBarHeight);
}
