// The picture's colours: a perceptually uniform map from dark violet through
// blue and green to yellow (viridis-like), and one colour apart from it for
// values without data: NaN, infinite, or a value the user names as blank.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_COLOUR_MAP_H
#define LOADHDF_HOST_VYRHOST_PICTURE_COLOUR_MAP_H

#include <cstdint>

namespace VyrHostProgram {

struct Rgb {
    double R = 0, G = 0, B = 0; // 0 to 1
};

// The map's colour at T, 0 (lowest value) to 1 (highest); T outside is held
// to the ends.
Rgb MapColour(double T);

// A mid grey, which the map never reaches: values without data.
constexpr Rgb NoDataColour{0.62, 0.62, 0.62};

// The 0xRRGGBB of a colour as an opaque pixel stores it.
uint32_t PixelOf(Rgb Colour);

} // namespace VyrHostProgram

#endif
