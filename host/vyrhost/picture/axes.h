// A plot's axes drawn: tick marks and their labels below the plot and to
// its left, and the axes' names, all within the panel and recorded in what
// the panel shows.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_AXES_H
#define LOADHDF_HOST_VYRHOST_PICTURE_AXES_H

#include "picture.h"

#include <cairo.h>

#include <string>
#include <vector>

namespace VyrHostProgram {

// The font size at which every label fits Room pixels: the usual one, or
// smaller for long labels (a time in seconds, 695953500), down to a size
// still legible.
double LabelSize(cairo_t* Cr, const std::vector<TickDrawn>& Ticks, double Room);

// Tick marks and labels below a plot (Across) or to its left (Up), which
// keep room for the axis' name within the panel Box; records them in
// *Panel. Returns the widest label drawn to the left.
double DrawAxisTicks(cairo_t* Cr, const PixelBox& Box, const PixelBox& Plot,
                     const std::vector<TickDrawn>& Across, const std::vector<TickDrawn>& Up,
                     PanelDrawn* Panel);

// The axes' names: Across's below the plot, Up's written upwards clear of
// the widest label to its left, within the panel.
void DrawAxisNames(cairo_t* Cr, const PixelBox& Panel, const PixelBox& Plot,
                   const std::string& AcrossName, const std::string& UpName, double WidestUpLabel,
                   PanelDrawn* Drawn);

} // namespace VyrHostProgram

#endif
