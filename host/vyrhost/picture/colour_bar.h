// A grid panel's colour bar: the colour map from the panel's Low (bottom)
// to High (top), ticked at round values within, and below it the legend of
// the no-data colour when the panel has values without data.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_COLOUR_BAR_H
#define LOADHDF_HOST_VYRHOST_PICTURE_COLOUR_BAR_H

#include "picture.h"
#include "picture_layout.h"

#include <cairo.h>

namespace VyrHostProgram {

// Draws the bar at Layout.Bar within the panel Box, from Panel's range and
// counts, and records its ticks and texts in *Panel. Scaled: the panel has
// a range to show; without it (no valid value and no --range) the bar is an
// empty frame, since no colour stands for a value. Whole: V holds whole
// numbers only.
void DrawColourBar(cairo_t* Cr, const PixelBox& Box, const PanelLayout& Layout, bool Scaled,
                   bool Whole, PanelDrawn* Panel);

} // namespace VyrHostProgram

#endif
