// Tick marks sit on pixel centres (floor + 0.5) so that a one-pixel line is
// one crisp pixel wide.
#include "axes.h"

#include "axis_ticks.h"
#include "picture_text.h"
#include "printable_text.h"

#include <algorithm>
#include <cmath>

namespace VyrHostProgram {
namespace {

void DrawTicksAcross(cairo_t* Cr, const PixelBox& Plot, const std::vector<TickDrawn>& Across,
                     PanelDrawn* Panel) {
    for (const TickDrawn& Tick : Across) {
        const double X = std::floor(Tick.At) + 0.5;
        cairo_move_to(Cr, X, Plot.Y + Plot.Height);
        cairo_line_to(Cr, X, Plot.Y + Plot.Height + 4);
        cairo_stroke(Cr);
        DrawText(Cr, Tick.Label, Tick.At, Plot.Y + Plot.Height + 15, Align::Centre, &Panel->Texts);
    }
}

// Returns the widest label drawn.
double DrawTicksUp(cairo_t* Cr, const PixelBox& Plot, const std::vector<TickDrawn>& Up,
                   PanelDrawn* Panel) {
    double Widest = 0;
    for (const TickDrawn& Tick : Up) {
        const double Y = std::floor(Tick.At) + 0.5;
        cairo_move_to(Cr, Plot.X, Y);
        cairo_line_to(Cr, Plot.X - 4, Y);
        cairo_stroke(Cr);
        DrawText(Cr, Tick.Label, Plot.X - 6, Tick.At + 4, Align::Right, &Panel->Texts);
        Widest = std::max(Widest, TextWidth(Cr, Printable(Tick.Label)));
    }
    return Widest;
}

} // namespace

double LabelSize(cairo_t* Cr, const std::vector<TickDrawn>& Ticks, double Room) {
    const double Widest = WidestLabel(Cr, Ticks);
    return Widest <= Room ? FontSize : std::max(7.0, FontSize * Room / Widest);
}

double DrawAxisTicks(cairo_t* Cr, const PixelBox& Box, const PixelBox& Plot,
                     const std::vector<TickDrawn>& Across, const std::vector<TickDrawn>& Up,
                     PanelDrawn* Panel) {
    cairo_set_source_rgb(Cr, 0, 0, 0);
    cairo_set_line_width(Cr, 1);
    DrawTicksAcross(Cr, Plot, Across, Panel);
    cairo_set_font_size(Cr, LabelSize(Cr, Up, Plot.X - 6 - (Box.X + 18)));
    const double Widest = DrawTicksUp(Cr, Plot, Up, Panel);
    cairo_set_font_size(Cr, FontSize);
    Panel->Across = Across;
    Panel->Up = Up;
    return Widest;
}

void DrawAxisNames(cairo_t* Cr, const PixelBox& Panel, const PixelBox& Plot,
                   const std::string& AcrossName, const std::string& UpName, double WidestUpLabel,
                   PanelDrawn* Drawn) {
    DrawText(Cr, AcrossName, Plot.X + Plot.Width / 2.0, Plot.Y + Plot.Height + 30, Align::Centre,
             &Drawn->Texts);
    const double X = std::max(Panel.X + 12.0, Plot.X - WidestUpLabel - 13);
    DrawUpwardText(Cr, UpName, X, Plot.Y + Plot.Height / 2.0, &Drawn->Texts);
}

} // namespace VyrHostProgram
