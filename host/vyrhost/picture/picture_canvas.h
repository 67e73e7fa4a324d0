// What every part of the picture draws with: owners of Cairo's surfaces and
// contexts, colours, frames, and images painted pixel by pixel. Grids and
// colour bars are written into images the size of their boxes, each pixel
// the value of the cell it falls in, so that a zone of millions of points
// costs one lookup a pixel and a colour on the picture is exactly the map's
// colour of its value. Lines, frames and texts are Cairo's.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_CANVAS_H
#define LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_CANVAS_H

#include "colour_map.h"
#include "picture.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace VyrHostProgram {

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using ContextPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void SetColour(cairo_t* Cr, Rgb Colour);

// A black line of one pixel just outside Box.
void FrameBox(cairo_t* Cr, const PixelBox& Box);

// Paints an image of Box's size whose pixels PixelAt(x, y) gives (0xRRGGBB);
// nothing when Cairo cannot make the image.
template <typename PixelFn> void PaintPixels(cairo_t* Cr, const PixelBox& Box, PixelFn PixelAt) {
    SurfacePtr Image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, Box.Width, Box.Height),
                     cairo_surface_destroy);
    if (cairo_surface_status(Image.get()) != CAIRO_STATUS_SUCCESS) {
        return;
    }
    cairo_surface_flush(Image.get());
    unsigned char* Data = cairo_image_surface_get_data(Image.get());
    const int Stride = cairo_image_surface_get_stride(Image.get());
    for (int Y = 0; Y < Box.Height; ++Y) {
        auto* Row = reinterpret_cast<uint32_t*>(Data + size_t(Y) * size_t(Stride));
        for (int X = 0; X < Box.Width; ++X) {
            Row[X] = PixelAt(X, Y);
        }
    }
    cairo_surface_mark_dirty(Image.get());
    cairo_set_source_surface(Cr, Image.get(), Box.X, Box.Y);
    cairo_paint(Cr);
}

} // namespace VyrHostProgram

#endif
