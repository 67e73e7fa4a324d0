// Round values for ticks, so that a person reads an axis or the colour bar
// without working out what its labels mean, and the labels of values that
// are not ticks.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_ROUND_VALUES_H
#define LOADHDF_HOST_VYRHOST_PICTURE_ROUND_VALUES_H

#include <string>
#include <vector>

namespace VyrHostProgram {

// A round value on an axis, with its label.
struct RoundTick {
    double Value = 0;
    std::string Label;
};

// The round values from Low to High, both included: the multiples of one
// step, 1, 2 or 5 times a power of ten, the smallest step that gives no
// more than Most of them, and no step below 1 for Whole values (an index,
// an integer variable), between which a fraction means nothing. Labels
// carry no needless digits (0.5, 1, 1.5; 101150; 2e+09). A range of one
// value is that value alone, labelled as ValueLabel does; a range that is
// not finite has no ticks.
std::vector<RoundTick> RoundTicks(double Low, double High, int Most, bool Whole = false);

// A value that is not a tick, labelled with at most six significant digits.
std::string ValueLabel(double Value);

} // namespace VyrHostProgram

#endif
