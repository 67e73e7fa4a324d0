// Draws the percent-done dialog on standard error: bar, percentage, the
// dialog's label, the zone being filled (the host's zone count so far) and
// the time since the load started, on one line rewritten in place.
#include "progress_bar.h"

#include "stop_request.h"

#include "platform/console.h"

#include <cstdio>
#include <string>

namespace VyrHostProgram {
namespace {

constexpr int BarWidth = 30;
constexpr auto RedrawInterval = std::chrono::milliseconds(100);
// Carriage return, then "erase to the end of the line".
const char* const EraseLine = "\r\033[K";

} // namespace

void ProgressBar::Begin() {
    Stopped = false;
    DrawnPercent = -1;
    Started = std::chrono::steady_clock::now();
    LastDrawn = Started;
}

bool ProgressBar::Check(const VyrHost::PercentDoneState& State) {
    if (Drawing) {
        const auto Now = std::chrono::steady_clock::now();
        if (State.LastPercent != DrawnPercent || Now - LastDrawn >= RedrawInterval) {
            Draw(State);
            LastDrawn = Now;
        }
    }
    // Read after drawing: a Ctrl-C that arrives while the bar is written
    // still stops the load at this check.
    if (TakeStopRequest()) {
        Stopped = true;
        return false;
    }
    return true;
}

void ProgressBar::Draw(const VyrHost::PercentDoneState& State) {
    int32_t Percent = State.LastPercent;
    Percent = Percent < 0 ? 0 : (Percent > 100 ? 100 : Percent);
    const int Filled = Percent * BarWidth / 100;
    const VyrHost::DataSet* Data = VyrHost::CurrentDataSet();
    const size_t Zones = Data == nullptr ? 0 : Data->Zones.size();
    const double Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count();

    std::string Line = EraseLine;
    Line += '[';
    Line.append(static_cast<size_t>(Filled), '#');
    Line.append(static_cast<size_t>(BarWidth - Filled), '.');
    char Tail[128];
    std::snprintf(Tail, sizeof Tail, "] %3d%%  ", static_cast<int>(Percent));
    Line += Tail;
    Line += State.Label;
    std::snprintf(Tail, sizeof Tail, "  zone %zu  %.1f s  (Ctrl-C: Stop)", Zones, Seconds);
    Line += Tail;
    Platform::WriteToError(Line);
    DrawnPercent = State.LastPercent;
    LineInUse = true;
}

void ProgressBar::ClearLine() {
    if (LineInUse) {
        Platform::WriteToError(EraseLine);
        LineInUse = false;
        DrawnPercent = -1; // so that the next check draws the bar again
    }
}

void ProgressBar::End() {
    ClearLine();
}

} // namespace VyrHostProgram
