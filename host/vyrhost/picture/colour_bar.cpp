// The bar's rows run from High at its top row to Low at its bottom row, so
// that a tick at a value sits on the row painted in that value's colour.
#include "colour_bar.h"

#include "axes.h"
#include "axis_ticks.h"
#include "picture_canvas.h"
#include "picture_text.h"

#include <cmath>

namespace VyrHostProgram {
namespace {

void PaintBar(cairo_t* Cr, const PixelBox& Bar, bool Spread) {
    PaintPixels(Cr, Bar, [&](int, int Y) {
        return PixelOf(
            MapColour(Spread && Bar.Height > 1 ? 1.0 - double(Y) / (Bar.Height - 1) : 0.5));
    });
}

std::vector<TickDrawn> BarTicks(cairo_t* Cr, const PixelBox& Bar, bool Whole,
                                const PanelDrawn& Panel) {
    const bool Spread = Panel.High > Panel.Low;
    auto RowOf = [&](double Value) {
        return Spread ? Bar.Y + 0.5 +
                            (Panel.High - Value) / (Panel.High - Panel.Low) * (Bar.Height - 1)
                      : Bar.Y + Bar.Height / 2.0;
    };
    return SpacedTicks(
        Cr, Bar.Height / 40,
        [&](int Most) { return PlacedRoundTicks(Panel.Low, Panel.High, Most, Whole, RowOf); },
        [](double) { return FontSize + 6; });
}

// The ticks to the right of the bar, their labels no wider than the panel
// Box leaves.
void DrawBarTicks(cairo_t* Cr, const PixelBox& Box, const PixelBox& Bar, PanelDrawn* Panel) {
    cairo_set_source_rgb(Cr, 0, 0, 0);
    const double X = Bar.X + Bar.Width;
    cairo_set_font_size(Cr, LabelSize(Cr, Panel->BarTicks, Box.X + Box.Width - (X + 5) - 2));
    for (const TickDrawn& Tick : Panel->BarTicks) {
        const double Y = std::floor(Tick.At) + 0.5;
        cairo_move_to(Cr, X, Y);
        cairo_line_to(Cr, X + 3, Y);
        cairo_stroke(Cr);
        DrawText(Cr, Tick.Label, X + 5, Tick.At + 4, Align::Left, &Panel->Texts);
    }
    cairo_set_font_size(Cr, FontSize);
}

void DrawNoDataLegend(cairo_t* Cr, const PixelBox& Bar, PanelDrawn* Panel) {
    SetColour(Cr, NoDataColour);
    cairo_rectangle(Cr, Bar.X, Bar.Y + Bar.Height + 6, Bar.Width, 10);
    cairo_fill(Cr);
    cairo_set_source_rgb(Cr, 0, 0, 0);
    DrawText(Cr, "no data", Bar.X + Bar.Width + 5, Bar.Y + Bar.Height + 15, Align::Left,
             &Panel->Texts);
}

} // namespace

void DrawColourBar(cairo_t* Cr, const PixelBox& Box, const PanelLayout& Layout, bool Scaled,
                   bool Whole, PanelDrawn* Panel) {
    const PixelBox& Bar = Layout.Bar;
    if (Scaled) {
        PaintBar(Cr, Bar, Panel->High > Panel->Low);
    }
    FrameBox(Cr, Bar);
    if (Scaled) {
        Panel->BarTicks = BarTicks(Cr, Bar, Whole, *Panel);
    }
    DrawBarTicks(Cr, Box, Bar, Panel);
    if (Panel->NotFinite + Panel->Blanked > 0) {
        DrawNoDataLegend(Cr, Bar, Panel);
    }
}

} // namespace VyrHostProgram
