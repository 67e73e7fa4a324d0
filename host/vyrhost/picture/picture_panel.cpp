// A zone the host holds may have no points or no variables; its panel says
// so in words instead of drawing.
#include "picture_panel.h"

#include "grid_panel.h"
#include "line_panel.h"
#include "picture_layout.h"
#include "picture_text.h"
#include "round_values.h"
#include "zone_view.h"

#include <algorithm>

namespace VyrHostProgram {

std::string PanelTitle(const VyrHost::DataSet& Data, const VyrHost::Zone& Z, size_t Index,
                       const PictureOptions& Options, const PictureLabels& Labels, int32_t* Plane) {
    std::string Title = Z.Name;
    if (Index < Labels.ZoneSources.size() && !Labels.ZoneSources[Index].empty()) {
        Title += ": " + Labels.ZoneSources[Index];
    }
    const bool LinePlot = int64_t(Z.JMax) * Z.KMax == 1;
    *Plane = 0;
    if (!LinePlot) {
        *Plane = Options.Plane <= 0 ? (Z.KMax + 1) / 2 : std::min(Options.Plane, Z.KMax);
        if (Z.KMax > 1) {
            const ZoneView View(Z, Options.Blanks);
            Title += ", K " + std::to_string(*Plane) + " of " + std::to_string(Z.KMax) + " (" +
                     VarName(Data, 3, "K") + " = " + ValueLabel(View.Coordinate(3, 1, 1, *Plane)) +
                     ")";
        }
    }
    return Title;
}

void DrawPanel(cairo_t* Cr, const VyrHost::DataSet& Data, const VyrHost::Zone& Z,
               const PictureOptions& Options, const std::vector<std::string>& TitleLines,
               int TitleLineCount, const PixelBox& Box, PanelDrawn* Panel) {
    const ZoneView View(Z, Options.Blanks);
    Panel->LinePlot = int64_t(Z.JMax) * Z.KMax == 1;
    const PanelLayout Layout = LayOutPanel(Box, !Panel->LinePlot, TitleLineCount);
    Panel->Plot = Layout.Plot;
    Panel->Data = Layout.Plot;
    Panel->Bar = Panel->LinePlot ? PixelBox{} : Layout.Bar;
    cairo_save(Cr);
    cairo_rectangle(Cr, Box.X, Box.Y, Box.Width, Box.Height);
    cairo_clip(Cr);
    cairo_set_font_size(Cr, TitleSize);
    cairo_set_source_rgb(Cr, 0, 0, 0);
    for (size_t Line = 0; Line < TitleLines.size(); ++Line) {
        DrawText(Cr, TitleLines[Line], Layout.Title.X,
                 Layout.Title.Y + 15 + TitleLineHeight * double(Line), Align::Left, nullptr);
    }
    cairo_set_font_size(Cr, FontSize);
    if (Z.IMax <= 0 || Z.JMax <= 0 || Z.KMax <= 0) {
        DrawText(Cr, "no points", Layout.Plot.X, Layout.Plot.Y + 20, Align::Left, &Panel->Texts);
    } else if (View.ValueVar() < 1) {
        DrawText(Cr, "no variables", Layout.Plot.X, Layout.Plot.Y + 20, Align::Left, &Panel->Texts);
    } else if (Panel->LinePlot) {
        DrawLine(Cr, Data, View, Options, Box, Layout, Panel);
    } else {
        DrawGrid(Cr, Data, View, Panel->Plane, Options, Box, Layout, Panel);
    }
    cairo_restore(Cr);
}

} // namespace VyrHostProgram
