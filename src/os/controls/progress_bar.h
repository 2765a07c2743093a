#pragma once
// A progress bar: a range, a position kept inside it, a step. StepIt wraps round to the start
// when it passes the end, as PBM_STEPIT does.

#include "os/controls/control.h"

namespace os {

class ProgressBar : public Control {
  public:
    explicit ProgressBar(int id) : Control(id, ControlKind::ProgressBar) {}

    // Sets the range (reversed bounds are put in order) and clamps the position into it.
    void SetRange(int lower, int upper);
    int lower() const { return lower_; }
    int upper() const { return upper_; }

    // Each of these returns the previous position.
    int SetPos(int position);
    int OffsetPos(int delta);
    int StepIt();
    int GetPos() const { return position_; }

    // Returns the previous step.
    int SetStep(int step);
    int step() const { return step_; }

    // PBS_MARQUEE: the bar shows activity, not a position.
    bool marquee() const { return marquee_; }
    void SetMarquee(bool marquee) {
        if (marquee_ == marquee) return;
        marquee_ = marquee;
        Changed();
    }

  private:
    int Clamp(int position) const;
    // Moves to `position` (already in range), reporting a change; answers the previous one.
    int MoveTo(int position);

    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
    int step_ = 10;
    bool marquee_ = false;
};

}  // namespace os
