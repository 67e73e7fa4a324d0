// A picture of the data set the host holds, as a PNG file: a heading with
// the file's name and the data set's title, then one panel per zone, titled
// with the zone's name and, where the host program knows it, the load
// dialog's list line of the data set it was loaded from. A zone of one row
// (J x K = 1) is a line plot of V against its I coordinate; any other is its
// I x J grid coloured by V (for a zone of several K planes, one plane), I
// across and J up, with a colour bar of V's range. Axes and the colour bar
// are ticked at round values. Values that are NaN or infinite, and those the
// user names as blank (fill values), are "no data": a colour of their own,
// outside the colour bar's range.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_H
#define LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_H

#include "vyr_host_control.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace VyrHostProgram {

struct ValueRange {
    double Low = 0, High = 0;
};

// What the user asks of the picture: --plane, --blank and --range, or the
// same arguments of the session's picture command.
struct PictureOptions {
    int32_t Plane = 0;               // the K plane of zones of several (1-based); 0: the middle
    std::vector<double> Blanks;      // values of V that mean "no data"
    std::optional<ValueRange> Range; // the colour bar's range, Low below High; none: V's own
};

// What the host program knows of where the data set came from.
struct PictureLabels {
    std::string FileName; // the file loaded, without its folder; empty when not known
    // The load dialog's list line of each zone's data set, in zone order;
    // a zone beyond them, or with an empty line, is titled with its name.
    std::vector<std::string> ZoneSources;
};

// A rectangle of the picture, in pixels from its top left corner.
struct PixelBox {
    int X = 0, Y = 0, Width = 0, Height = 0;
};

// A tick and its label: its value, and where it is on its axis (the pixel
// column of an axis across, the pixel row of an axis up or the colour bar).
struct TickDrawn {
    double Value = 0;
    double At = 0;
    std::string Label;
};

// What one panel shows, and where.
struct PanelDrawn {
    std::string Title;
    bool LinePlot = false;
    int32_t Plane = 0; // the K plane drawn (1-based); 0 for a line plot
    PixelBox Plot;     // the grid or the plot's area, inside its frame
    // Where a line plot's range of values goes: inside the frame by a
    // margin, so that no point or line touches it. The grid's is Plot.
    PixelBox Data;
    PixelBox Bar;                                // the colour bar (empty for a line plot)
    double Low = 0, High = 0;                    // the colour bar's range (a line plot: V's axis)
    bool FixedRange = false;                     // Low and High are the user's, not V's own
    int64_t NotFinite = 0;                       // the panel's values that are NaN or infinite
    int64_t Blanked = 0;                         // the panel's values that equal a blank value
    std::vector<TickDrawn> Across, Up, BarTicks; // I's ticks; J's (a line plot: V's); the bar's
    std::vector<std::string> Texts; // every text of the panel: ticks, axis names, legend
};

struct PictureDrawn {
    int Width = 0, Height = 0;
    std::vector<std::string> Heading; // its lines
    std::vector<PanelDrawn> Panels;   // the first zones, in order
    size_t Zones = 0;                 // the data set's zones (more than Panels when some
                                      // did not fit on a screen)
};

// Draws Data into a PNG file at Path, as Options ask and with what Labels
// know. False, with Why, when the picture cannot be made or written.
bool DrawPicture(const VyrHost::DataSet& Data, const PictureOptions& Options,
                 const PictureLabels& Labels, const std::string& Path, PictureDrawn* Drawn,
                 std::string* Why);

// Whether this program was built with the picture (with Cairo).
bool PicturesAvailable();

} // namespace VyrHostProgram

#endif
