// Each pixel of the plot takes the value of the cell it falls in, however
// many cells share a pixel or pixels a cell: a large zone is sampled, never
// averaged, so that every colour drawn is a value the zone holds.
#include "grid_panel.h"

#include "axes.h"
#include "axis_ticks.h"
#include "colour_bar.h"
#include "picture_canvas.h"
#include "picture_text.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace VyrHostProgram {
namespace {

// Counts the plane's values into *Panel and sets its range. False when
// there is nothing to scale.
bool ScanPlane(const ZoneView& View, int32_t Plane, const PictureOptions& Options,
               PanelDrawn* Panel) {
    const int32_t I = View.Z.IMax, J = View.Z.JMax, V = View.ValueVar();
    double Low = std::numeric_limits<double>::infinity(), High = -Low;
    for (int32_t Jj = 1; Jj <= J; ++Jj) {
        for (int32_t Ii = 1; Ii <= I; ++Ii) {
            CountValue(View, View.Value(V, Ii, Jj, Plane), &Low, &High, Panel);
        }
    }
    return SetRange(Low, High, Options, Panel);
}

// Colours each pixel of Plot by its cell's value; framed.
void PaintPlane(cairo_t* Cr, const ZoneView& View, int32_t Plane, const PixelBox& Plot,
                const PanelDrawn& Panel) {
    const int32_t I = View.Z.IMax, J = View.Z.JMax, V = View.ValueVar();
    // The cell of each pixel column and row (J up).
    std::vector<int32_t> CellI(size_t(Plot.Width)), CellJ(size_t(Plot.Height));
    for (int X = 0; X < Plot.Width; ++X) {
        CellI[size_t(X)] = std::min<int32_t>(I, int32_t(int64_t(X) * I / Plot.Width) + 1);
    }
    for (int Y = 0; Y < Plot.Height; ++Y) {
        CellJ[size_t(Y)] = J - std::min<int32_t>(J - 1, int32_t(int64_t(Y) * J / Plot.Height));
    }
    const double Span = Panel.High > Panel.Low ? Panel.High - Panel.Low : 0;
    PaintPixels(Cr, Plot, [&](int X, int Y) {
        const double Value = View.Value(V, CellI[size_t(X)], CellJ[size_t(Y)], Plane);
        if (View.KindOf(Value) != ZoneView::Kind::Valid) {
            return PixelOf(NoDataColour);
        }
        // A value outside a fixed range takes the colour of its end.
        return PixelOf(MapColour(Span > 0 ? (Value - Panel.Low) / Span : 0.5));
    });
    FrameBox(Cr, Plot);
}

// The coordinates along one axis and the pixel of each cell's centre.
struct AxisCells {
    std::vector<double> Coords, Centres;
};

AxisCells AcrossCells(const ZoneView& View, int32_t Plane, const PixelBox& Plot) {
    const int32_t I = View.Z.IMax;
    AxisCells Cells;
    for (int32_t Ii = 1; Ii <= I; ++Ii) {
        Cells.Coords.push_back(View.Coordinate(1, Ii, 1, Plane));
        Cells.Centres.push_back(Plot.X + (Ii - 0.5) * Plot.Width / I);
    }
    return Cells;
}

AxisCells UpCells(const ZoneView& View, int32_t Plane, const PixelBox& Plot) {
    const int32_t J = View.Z.JMax;
    AxisCells Cells;
    for (int32_t Jj = 1; Jj <= J; ++Jj) {
        Cells.Coords.push_back(View.Coordinate(2, 1, Jj, Plane));
        Cells.Centres.push_back(Plot.Y + Plot.Height - (Jj - 0.5) * Plot.Height / J);
    }
    return Cells;
}

// I's and J's ticks and names. Round coordinates go between the cells'
// centres where they fall.
void DrawGridAxes(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View, int32_t Plane,
                  const PixelBox& Box, const PixelBox& Plot, PanelDrawn* Panel) {
    const AxisCells AcrossAxis = AcrossCells(View, Plane, Plot);
    const AxisCells UpAxis = UpCells(View, Plane, Plot);
    const std::vector<TickDrawn> Across = SpacedTicks(
        Cr, Plot.Width / 50,
        [&](int Most) { return GridAxisTicks(AcrossAxis.Coords, AcrossAxis.Centres, Most); },
        [](double Widest) { return Widest + 10; });
    const std::vector<TickDrawn> Up = SpacedTicks(
        Cr, Plot.Height / 45,
        [&](int Most) { return GridAxisTicks(UpAxis.Coords, UpAxis.Centres, Most); },
        [](double) { return FontSize + 6; });
    const double Widest = DrawAxisTicks(Cr, Box, Plot, Across, Up, Panel);
    DrawAxisNames(Cr, Box, Plot, VarName(Data, 1, "I"), VarName(Data, 2, "J"), Widest, Panel);
}

} // namespace

void DrawGrid(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View, int32_t Plane,
              const PictureOptions& Options, const PixelBox& Box, const PanelLayout& Layout,
              PanelDrawn* Panel) {
    const bool Scaled = ScanPlane(View, Plane, Options, Panel);
    PaintPlane(Cr, View, Plane, Layout.Plot, *Panel);
    DrawGridAxes(Cr, Data, View, Plane, Box, Layout.Plot, Panel);
    DrawColourBar(Cr, Box, Layout, Scaled, View.WholeValues(), Panel);
}

} // namespace VyrHostProgram
