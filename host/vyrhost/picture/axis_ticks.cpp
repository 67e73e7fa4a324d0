// Tick choice measures labels in the font they will be drawn in, so the
// caller sets Cr's font before asking.
#include "axis_ticks.h"

#include "picture_text.h"
#include "printable_text.h"
#include "round_values.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace VyrHostProgram {
namespace {

// Up to Most indices from 0 to Count - 1, evenly spread, first and last
// included.
std::vector<int32_t> TickIndices(int32_t Count, int Most) {
    std::vector<int32_t> Indices;
    const int Ticks = std::max(1, std::min<int>(Most, Count));
    for (int T = 0; T < Ticks; ++T) {
        const int32_t Index =
            Ticks == 1 ? 0
                       : static_cast<int32_t>(std::lround(double(T) * (Count - 1) / (Ticks - 1)));
        if (Indices.empty() || Indices.back() != Index) {
            Indices.push_back(Index);
        }
    }
    return Indices;
}

// Which way a grid axis' coordinates run: Rising or Falling all along
// (neither for one cell or any value that is not finite), and whether all
// are whole numbers.
struct CoordinateRun {
    bool Rising = false, Falling = false, Whole = true;
};

CoordinateRun RunOf(const std::vector<double>& Coords) {
    const size_t Count = Coords.size();
    CoordinateRun Run;
    Run.Rising = Run.Falling = Count >= 2;
    for (size_t N = 0; N < Count; ++N) {
        Run.Whole = Run.Whole && Coords[N] == std::floor(Coords[N]);
        if (!std::isfinite(Coords[N])) {
            Run.Rising = Run.Falling = false;
        } else if (N > 0) {
            Run.Rising = Run.Rising && Coords[N] > Coords[N - 1];
            Run.Falling = Run.Falling && Coords[N] < Coords[N - 1];
        }
    }
    return Run;
}

// Up to Most cells, evenly spread, labelled with their own coordinates.
std::vector<TickDrawn> CellTicks(const std::vector<double>& Coords,
                                 const std::vector<double>& Centres, int Most) {
    std::vector<TickDrawn> Ticks;
    for (int32_t Index : TickIndices(int32_t(Coords.size()), Most)) {
        Ticks.push_back(
            {Coords[size_t(Index)], Centres[size_t(Index)], ValueLabel(Coords[size_t(Index)])});
    }
    return Ticks;
}

} // namespace

std::vector<TickDrawn> PlacedRoundTicks(double Low, double High, int Most, bool Whole,
                                        const std::function<double(double Value)>& PixelOf) {
    std::vector<TickDrawn> Ticks;
    for (const RoundTick& Tick : RoundTicks(Low, High, Most, Whole)) {
        Ticks.push_back({Tick.Value, PixelOf(Tick.Value), Tick.Label});
    }
    return Ticks;
}

std::vector<TickDrawn> SpacedTicks(cairo_t* Cr, int Upper,
                                   const std::function<std::vector<TickDrawn>(int Most)>& MakeTicks,
                                   const std::function<double(double Widest)>& Gap) {
    for (int Most = std::max(2, std::min(MostTicks, Upper));; --Most) {
        std::vector<TickDrawn> Ticks = MakeTicks(Most);
        const double Widest = WidestLabel(Cr, Ticks);
        bool Spaced = true;
        for (size_t Index = 1; Index < Ticks.size(); ++Index) {
            Spaced = Spaced && std::fabs(Ticks[Index].At - Ticks[Index - 1].At) >= Gap(Widest);
        }
        if (Spaced || Most <= 2) {
            return Ticks;
        }
    }
}

std::vector<TickDrawn> GridAxisTicks(const std::vector<double>& Coords,
                                     const std::vector<double>& Centres, int Most) {
    const size_t Count = Coords.size();
    const CoordinateRun Run = RunOf(Coords);
    if (!Run.Rising && !Run.Falling) {
        return CellTicks(Coords, Centres, Most);
    }
    // A round value lies between the centres of cells N and N + 1.
    auto PixelOf = [&](double Value) {
        const auto After = Run.Rising ? std::upper_bound(Coords.begin(), Coords.end(), Value)
                                      : std::upper_bound(Coords.begin(), Coords.end(), Value,
                                                         std::greater<double>());
        const size_t N =
            std::min(Count - 2, size_t(std::max<std::ptrdiff_t>(0, After - Coords.begin() - 1)));
        const double Part = (Value - Coords[N]) / (Coords[N + 1] - Coords[N]);
        return Centres[N] + std::max(0.0, std::min(1.0, Part)) * (Centres[N + 1] - Centres[N]);
    };
    return PlacedRoundTicks(std::min(Coords.front(), Coords.back()),
                            std::max(Coords.front(), Coords.back()), Most, Run.Whole, PixelOf);
}

double WidestLabel(cairo_t* Cr, const std::vector<TickDrawn>& Ticks) {
    double Widest = 0;
    for (const TickDrawn& Tick : Ticks) {
        Widest = std::max(Widest, TextWidth(Cr, Printable(Tick.Label)));
    }
    return Widest;
}

} // namespace VyrHostProgram
