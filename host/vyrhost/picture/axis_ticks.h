// Which ticks an axis or a colour bar gets and where they go: round values
// (round_values.h) placed on their pixels, as many as fit with their labels
// apart, and for a grid's axis either round coordinates between the cells'
// centres or, where the coordinates do not run one way, some cells
// labelled with their own.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_AXIS_TICKS_H
#define LOADHDF_HOST_VYRHOST_PICTURE_AXIS_TICKS_H

#include "picture.h"

#include <cairo.h>

#include <functional>
#include <vector>

namespace VyrHostProgram {

// The most ticks an axis or colour bar gets: a handful, whatever its length.
constexpr int MostTicks = 8;

// Round ticks from Low to High, at most Most, placed by PixelOf; Whole as
// RoundTicks takes it.
std::vector<TickDrawn> PlacedRoundTicks(double Low, double High, int Most, bool Whole,
                                        const std::function<double(double Value)>& PixelOf);

// The ticks that MakeTicks(Most) gives for the largest Most, from
// min(MostTicks, Upper) down to 2, whose neighbours stand at least
// Gap(widest label) pixels apart; at Most 2 whatever it gives.
std::vector<TickDrawn> SpacedTicks(cairo_t* Cr, int Upper,
                                   const std::function<std::vector<TickDrawn>(int Most)>& MakeTicks,
                                   const std::function<double(double Widest)>& Gap);

// The ticks of a grid's axis, whose cell N has its centre at pixel
// Centres[N] and the coordinate Coords[N] there (at least one cell).
// Coordinates that rise or fall all along get round values, placed between
// the cells' centres; others (or one cell) have up to Most of their cells
// labelled with their own coordinates.
std::vector<TickDrawn> GridAxisTicks(const std::vector<double>& Coords,
                                     const std::vector<double>& Centres, int Most);

// The widest of the ticks' labels in Cr's font.
double WidestLabel(cairo_t* Cr, const std::vector<TickDrawn>& Ticks);

} // namespace VyrHostProgram

#endif
