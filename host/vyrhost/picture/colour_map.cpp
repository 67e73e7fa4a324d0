#include "colour_map.h"

#include <cmath>

namespace VyrHostProgram {
namespace {

// Seventeen evenly spaced stops of viridis; between them the colour is
// interpolated linearly, which stays within a shade of the full map.
constexpr Rgb Stops[] = {
    {0.267004, 0.004874, 0.329415}, {0.282327, 0.094955, 0.417331}, {0.278826, 0.175490, 0.483397},
    {0.258965, 0.251537, 0.524736}, {0.229739, 0.322361, 0.545706}, {0.199430, 0.387607, 0.554642},
    {0.172719, 0.448791, 0.557885}, {0.149039, 0.508051, 0.557250}, {0.127568, 0.566949, 0.550556},
    {0.120638, 0.625828, 0.533488}, {0.157851, 0.683765, 0.501686}, {0.246070, 0.738910, 0.452024},
    {0.369214, 0.788888, 0.382914}, {0.515992, 0.831158, 0.294279}, {0.678489, 0.863742, 0.189503},
    {0.845561, 0.887322, 0.099702}, {0.993248, 0.906157, 0.143936},
};
constexpr int Intervals = sizeof Stops / sizeof Stops[0] - 1;

uint32_t Channel(double Value) {
    const double Held = Value < 0 ? 0 : (Value > 1 ? 1 : Value);
    return static_cast<uint32_t>(std::lround(Held * 255));
}

} // namespace

Rgb MapColour(double T) {
    if (!(T > 0)) { // NaN too: the low end
        return Stops[0];
    }
    if (T >= 1) {
        return Stops[Intervals];
    }
    const double At = T * Intervals;
    const int Low = static_cast<int>(At);
    const double F = At - Low;
    const Rgb& A = Stops[Low];
    const Rgb& B = Stops[Low + 1];
    return {A.R + (B.R - A.R) * F, A.G + (B.G - A.G) * F, A.B + (B.B - A.B) * F};
}

uint32_t PixelOf(Rgb Colour) {
    return Channel(Colour.R) << 16 | Channel(Colour.G) << 8 | Channel(Colour.B);
}

} // namespace VyrHostProgram
