// The canvas's plain Cairo calls; PaintPixels is in the header, where each
// caller's pixel function is inlined into its loop.
#include "picture_canvas.h"

namespace VyrHostProgram {

void SetColour(cairo_t* Cr, Rgb Colour) {
    cairo_set_source_rgb(Cr, Colour.R, Colour.G, Colour.B);
}

void FrameBox(cairo_t* Cr, const PixelBox& Box) {
    cairo_set_source_rgb(Cr, 0, 0, 0);
    cairo_set_line_width(Cr, 1);
    cairo_rectangle(Cr, Box.X - 0.5, Box.Y - 0.5, Box.Width + 1, Box.Height + 1);
    cairo_stroke(Cr);
}

} // namespace VyrHostProgram
