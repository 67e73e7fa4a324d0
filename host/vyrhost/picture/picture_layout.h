// Where the panels of a picture go: a grid of panels no larger than a screen
// (1920 x 1080). Panels shrink as zones are added, down to 240 x 180 pixels;
// zones beyond what then fits are left out, and the picture says so in its
// footer, so that a load of hundreds of small zones still gives a picture
// drawn in moments, each panel legible.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_LAYOUT_H
#define LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_LAYOUT_H

#include "picture.h"

namespace VyrHostProgram {

struct PictureLayout {
    int Width = 0, Height = 0;
    int HeadingHeight = 0;        // the data set's line above the panels
    int FooterHeight = 0;         // the line naming zones left out, when any are
    std::vector<PixelBox> Panels; // one per zone drawn
};

PictureLayout LayOutPicture(size_t Zones);

// Inside one panel: the plot's area, and the colour bar's when it has one.
struct PanelLayout {
    PixelBox Title, Plot, Bar;
};
PanelLayout LayOutPanel(const PixelBox& Panel, bool WithColourBar);

} // namespace VyrHostProgram

#endif
