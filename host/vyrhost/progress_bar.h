// The percent-done dialog as a person sees it on a terminal: a one-line
// progress bar on standard error, and Ctrl-C as its Stop button. Off a
// terminal nothing is drawn; Ctrl-C still presses Stop.
#ifndef LOADHDF_HOST_VYRHOST_PROGRESS_BAR_H
#define LOADHDF_HOST_VYRHOST_PROGRESS_BAR_H

#include "vyr_host_control.h"

#include <chrono>
#include <cstdint>

namespace VyrHostProgram {

class ProgressBar {
  public:
    // Draw: whether standard error is a terminal to draw on.
    explicit ProgressBar(bool Draw) : Drawing(Draw) {}

    // A load is about to run.
    void Begin();
    // The host's percent-done check: redraws the bar when the percentage
    // changed or 100 ms have passed since the last drawing, never once per
    // row; returns false (Stop) when Ctrl-C was pressed.
    bool Check(const VyrHost::PercentDoneState& State);
    // The load returned: takes the bar off the screen.
    void End();
    // Takes the bar off its line so that a message can be printed there.
    void ClearLine();
    // Whether Ctrl-C pressed Stop during the last load.
    bool StopPressed() const { return Stopped; }

  private:
    void Draw(const VyrHost::PercentDoneState& State);

    bool Drawing = false;
    bool LineInUse = false;
    bool Stopped = false;
    int32_t DrawnPercent = -1;
    std::chrono::steady_clock::time_point Started, LastDrawn;
};

} // namespace VyrHostProgram

#endif
