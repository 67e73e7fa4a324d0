// Where the parts of a picture go. The panels: a grid of panels no larger
// than a screen (1920 x 1080). Panels shrink as zones are added, down to
// 240 x 180 pixels; zones beyond what then fits are left out, and the
// picture says so in its footer, so that a load of hundreds of small zones
// still gives a picture drawn in moments, each panel legible. Inside a
// panel: its title, the plot, and the colour bar.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_LAYOUT_H
#define LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_LAYOUT_H

#include "picture.h"

namespace VyrHostProgram {

struct PictureLayout {
    int Width = 0, Height = 0;
    int HeadingHeight = 0;        // the heading's lines above the panels
    int FooterHeight = 0;         // the line naming zones left out, when any are
    std::vector<PixelBox> Panels; // one per zone drawn
};

// HeadingLines: the heading's lines of text, 1 to 3.
PictureLayout LayOutPicture(size_t Zones, int HeadingLines);

// Inside one panel: its title's lines, the plot's area, and the colour
// bar's when it has one.
struct PanelLayout {
    PixelBox Title, Plot, Bar;
};
// TitleLines: the title's lines of text, 1 or 2.
PanelLayout LayOutPanel(const PixelBox& Panel, bool WithColourBar, int TitleLines);

} // namespace VyrHostProgram

#endif
