// One zone's panel: its title (the zone's name, the list line of the data
// set it was loaded from, the plane drawn), clipped to its box, and inside
// it the line plot, the grid, or a word saying why there is neither.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_PANEL_H
#define LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_PANEL_H

#include "picture.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace VyrHostProgram {

// The title of zone Z, number Index (0-based) of Data: its name, what it
// was loaded from where Labels know it, and the plane drawn of a zone of
// several. *Plane: the K plane drawn (1-based), 0 for a line plot.
std::string PanelTitle(const VyrHost::DataSet& Data, const VyrHost::Zone& Z, size_t Index,
                       const PictureOptions& Options, const PictureLabels& Labels, int32_t* Plane);

// Draws zone Z into Box with its title's lines (TitleLineCount: the most
// lines any panel's title takes, so that the plots line up); *Panel holds
// its title and plane on entry, and gets the rest of what it shows.
void DrawPanel(cairo_t* Cr, const VyrHost::DataSet& Data, const VyrHost::Zone& Z,
               const PictureOptions& Options, const std::vector<std::string>& TitleLines,
               int TitleLineCount, const PixelBox& Box, PanelDrawn* Panel);

} // namespace VyrHostProgram

#endif
