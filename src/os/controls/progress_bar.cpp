#include "os/controls/progress_bar.h"

#include <algorithm>
#include <utility>

namespace os {

int ProgressBar::Clamp(int position) const { return std::clamp(position, lower_, upper_); }

void ProgressBar::SetRange(int lower, int upper) {
    if (lower > upper) std::swap(lower, upper);
    lower_ = lower;
    upper_ = upper;
    position_ = Clamp(position_);
}

int ProgressBar::SetPos(int position) { return std::exchange(position_, Clamp(position)); }

int ProgressBar::OffsetPos(int delta) {
    long long wanted = static_cast<long long>(position_) + delta;
    wanted = std::clamp<long long>(wanted, lower_, upper_);
    return std::exchange(position_, static_cast<int>(wanted));
}

int ProgressBar::StepIt() {
    long long next = static_cast<long long>(position_) + step_;
    if (next > upper_) next = lower_;
    if (next < lower_) next = upper_;
    return std::exchange(position_, static_cast<int>(next));
}

int ProgressBar::SetStep(int step) { return std::exchange(step_, step); }

}  // namespace os
