#include "os/controls/progress_bar.h"

#include <algorithm>
#include <utility>

namespace os {

int ProgressBar::Clamp(int position) const { return std::clamp(position, lower_, upper_); }

void ProgressBar::SetRange(int lower, int upper) {
    if (lower > upper) std::swap(lower, upper);
    if (lower_ == lower && upper_ == upper) return;
    lower_ = lower;
    upper_ = upper;
    position_ = Clamp(position_);
    Changed();
}

int ProgressBar::MoveTo(int position) {
    const int previous = std::exchange(position_, position);
    if (previous != position) Changed();
    return previous;
}

int ProgressBar::SetPos(int position) { return MoveTo(Clamp(position)); }

int ProgressBar::OffsetPos(int delta) {
    long long wanted = static_cast<long long>(position_) + delta;
    wanted = std::clamp<long long>(wanted, lower_, upper_);
    return MoveTo(static_cast<int>(wanted));
}

int ProgressBar::StepIt() {
    long long next = static_cast<long long>(position_) + step_;
    if (next > upper_) next = lower_;
    if (next < lower_) next = upper_;
    return MoveTo(static_cast<int>(next));
}

int ProgressBar::SetStep(int step) { return std::exchange(step_, step); }

}  // namespace os
