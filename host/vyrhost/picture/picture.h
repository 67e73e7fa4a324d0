// A picture of the data set the host holds, as a PNG file: one panel per
// zone, each titled with the zone's name and the data set's title. A zone of
// one row (J x K = 1) is a line plot of V against its I coordinate; any other
// is its I x J grid coloured by V (for a zone of several K planes, one
// plane), with axes ticked with the coordinate variables' values, I across
// and J up, and a colour bar of V's range. Values that are NaN or infinite
// have a colour of their own, named beside the colour bar.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_H
#define LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_H

#include "vyr_host_control.h"

#include <cstdint>
#include <string>
#include <vector>

namespace VyrHostProgram {

// A rectangle of the picture, in pixels from its top left corner.
struct PixelBox {
    int X = 0, Y = 0, Width = 0, Height = 0;
};

// What one panel shows, and where.
struct PanelDrawn {
    std::string Title;
    bool LinePlot = false;
    int32_t Plane = 0;              // the K plane drawn (1-based); 0 for a line plot
    PixelBox Plot;                  // the grid or the plot's area, inside its frame
    PixelBox Bar;                   // the colour bar (empty for a line plot)
    double Low = 0, High = 0;       // V's finite range on the panel
    int64_t NotFinite = 0;          // the panel's values that are NaN or infinite
    std::vector<std::string> Texts; // every text of the panel: ticks, axis names, legend
};

struct PictureDrawn {
    int Width = 0, Height = 0;
    std::vector<PanelDrawn> Panels; // the first zones, in order
    size_t Zones = 0;               // the data set's zones (more than Panels when some
                                    // did not fit on a screen)
};

// Draws Data into a PNG file at Path. Plane chooses the K plane of zones of
// several planes (1-based, held to each zone's planes); 0 is the middle one.
// False, with Why, when the picture cannot be made or written.
bool DrawPicture(const VyrHost::DataSet& Data, int32_t Plane, const std::string& Path,
                 PictureDrawn* Drawn, std::string* Why);

// Whether this program was built with the picture (with Cairo).
bool PicturesAvailable();

} // namespace VyrHostProgram

#endif
