// A row longer than four points a pixel is drawn as each pixel column's
// span of values: the shape a line through every point would show, at one
// stroke a column.
#include "line_panel.h"

#include "axes.h"
#include "axis_ticks.h"
#include "colour_map.h"
#include "picture_canvas.h"
#include "picture_text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace VyrHostProgram {
namespace {

// How far inside its frame a line plot's values end: room for a point's
// dot and the line's width, so that neither touches the frame.
constexpr int LineMargin = 8;
const double Infinity = std::numeric_limits<double>::infinity();

// Point I's I coordinate and value; false when it has no data.
bool PointAt(const ZoneView& View, int32_t I, double* X, double* Value) {
    *X = View.Coordinate(1, I, 1, 1);
    *Value = View.Value(View.ValueVar(), I, 1, 1);
    return std::isfinite(*X) && View.KindOf(*Value) == ZoneView::Kind::Valid;
}

// The I coordinates of the points with data: XLow to XHigh (0 to 0 when
// there are none), and whether all are whole numbers.
struct CoordinateSpan {
    double XLow = Infinity, XHigh = -Infinity;
    bool WholeX = true, AnyPoint = false;
};

// Counts the row's values into *Panel, sets its range (Scaled: false when
// there is nothing to scale) and returns the span of I.
CoordinateSpan ScanRow(const ZoneView& View, const PictureOptions& Options, PanelDrawn* Panel,
                       bool* Scaled) {
    CoordinateSpan Span;
    double Low = Infinity, High = -Infinity;
    for (int32_t Ii = 1; Ii <= View.Z.IMax; ++Ii) {
        double X, Value;
        if (PointAt(View, Ii, &X, &Value)) {
            Span.XLow = std::min(Span.XLow, X);
            Span.XHigh = std::max(Span.XHigh, X);
            Span.WholeX = Span.WholeX && X == std::floor(X);
        }
        if (!std::isfinite(X)) {
            ++Panel->NotFinite;
        } else {
            CountValue(View, Value, &Low, &High, Panel);
        }
    }
    *Scaled = SetRange(Low, High, Options, Panel);
    Span.AnyPoint = Span.XLow <= Span.XHigh;
    if (!Span.AnyPoint) {
        Span.XLow = Span.XHigh = 0;
    }
    return Span;
}

// Where an I coordinate and a value of V go: within Inside, the plot less
// its margin; a span of one value in the middle.
struct LineScales {
    PixelBox Inside;
    double XLow, XHigh, Low, High;

    double PixelX(double X) const {
        return XHigh > XLow ? Inside.X + (X - XLow) / (XHigh - XLow) * Inside.Width
                            : Inside.X + Inside.Width / 2.0;
    }
    double PixelY(double Value) const {
        return High > Low ? Inside.Y + Inside.Height - (Value - Low) / (High - Low) * Inside.Height
                          : Inside.Y + Inside.Height / 2.0;
    }
};

// The line through the points, lifted where a value is missing, and a dot
// on each point when there are few.
void StrokePoints(cairo_t* Cr, const ZoneView& View, const LineScales& Scales) {
    const int32_t I = View.Z.IMax;
    bool PenDown = false;
    for (int32_t Ii = 1; Ii <= I; ++Ii) {
        double X, Value;
        if (!PointAt(View, Ii, &X, &Value)) {
            PenDown = false; // a gap where a value is missing
            continue;
        }
        if (PenDown) {
            cairo_line_to(Cr, Scales.PixelX(X), Scales.PixelY(Value));
        } else {
            cairo_move_to(Cr, Scales.PixelX(X), Scales.PixelY(Value));
        }
        PenDown = true;
    }
    cairo_stroke(Cr);
    if (I <= Scales.Inside.Width / 6) { // few points: each one shown
        for (int32_t Ii = 1; Ii <= I; ++Ii) {
            double X, Value;
            if (PointAt(View, Ii, &X, &Value)) {
                cairo_arc(Cr, Scales.PixelX(X), Scales.PixelY(Value), 2.2, 0, 2 * M_PI);
                cairo_fill(Cr);
            }
        }
    }
}

// Each pixel column of Plot with points in it: a stroke from their lowest
// value to their highest.
void StrokeColumns(cairo_t* Cr, const ZoneView& View, const PixelBox& Plot,
                   const LineScales& Scales) {
    std::vector<double> ColumnLow(size_t(Plot.Width) + 1, Infinity),
        ColumnHigh(size_t(Plot.Width) + 1, -Infinity);
    for (int32_t Ii = 1; Ii <= View.Z.IMax; ++Ii) {
        double X, Value;
        if (PointAt(View, Ii, &X, &Value)) {
            const size_t Column = size_t(Scales.PixelX(X) - Plot.X);
            ColumnLow[Column] = std::min(ColumnLow[Column], Value);
            ColumnHigh[Column] = std::max(ColumnHigh[Column], Value);
        }
    }
    for (size_t Column = 0; Column < ColumnLow.size(); ++Column) {
        if (ColumnLow[Column] <= ColumnHigh[Column]) {
            cairo_move_to(Cr, Plot.X + Column + 0.5, Scales.PixelY(ColumnLow[Column]) + 0.5);
            cairo_line_to(Cr, Plot.X + Column + 0.5, Scales.PixelY(ColumnHigh[Column]) - 0.5);
        }
    }
    cairo_stroke(Cr);
}

// The line, cut at the frame where a fixed range leaves values outside;
// framed.
void DrawRow(cairo_t* Cr, const ZoneView& View, const PixelBox& Plot, const LineScales& Scales) {
    cairo_save(Cr);
    cairo_rectangle(Cr, Plot.X, Plot.Y, Plot.Width, Plot.Height);
    cairo_clip(Cr);
    SetColour(Cr, MapColour(0.25));
    cairo_set_line_width(Cr, 1.5);
    if (View.Z.IMax <= 4 * Scales.Inside.Width) {
        StrokePoints(Cr, View, Scales);
    } else {
        StrokeColumns(Cr, View, Plot, Scales);
    }
    cairo_restore(Cr);
    FrameBox(Cr, Plot);
}

// I's ticks across (none without a point) and V's up (none without a
// range), and the axes' names.
void DrawLineAxes(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View,
                  const PixelBox& Box, const PixelBox& Plot, const CoordinateSpan& Span,
                  bool Scaled, const LineScales& Scales, PanelDrawn* Panel) {
    const PixelBox& Inside = Scales.Inside;
    auto PixelX = [&](double X) { return Scales.PixelX(X); };
    auto PixelY = [&](double Value) { return Scales.PixelY(Value); };
    const std::vector<TickDrawn> Across =
        !Span.AnyPoint
            ? std::vector<TickDrawn>{}
            : SpacedTicks(
                  Cr, Inside.Width / 50,
                  [&](int Most) {
                      return PlacedRoundTicks(Span.XLow, Span.XHigh, Most, Span.WholeX, PixelX);
                  },
                  [](double Widest) { return Widest + 10; });
    const std::vector<TickDrawn> Up =
        !Scaled ? std::vector<TickDrawn>{}
                : SpacedTicks(
                      Cr, Inside.Height / 45,
                      [&](int Most) {
                          return PlacedRoundTicks(Scales.Low, Scales.High, Most, View.WholeValues(),
                                                  PixelY);
                      },
                      [](double) { return FontSize + 6; });
    const double Widest = DrawAxisTicks(Cr, Box, Plot, Across, Up, Panel);
    DrawAxisNames(Cr, Box, Plot, VarName(Data, 1, "I"), VarName(Data, View.ValueVar(), "V"), Widest,
                  Panel);
}

// In the plot's top right corner, how many points are left out for want
// of data.
void DrawMissingNote(cairo_t* Cr, const PixelBox& Plot, PanelDrawn* Panel) {
    const int64_t Missing = Panel->NotFinite + Panel->Blanked;
    if (Missing > 0) {
        SetColour(Cr, NoDataColour);
        DrawText(Cr,
                 std::to_string(Missing) + (Missing == 1 ? " point" : " points") +
                     " without data, not drawn",
                 Plot.X + Plot.Width - 4, Plot.Y + 14, Align::Right, &Panel->Texts);
    }
}

} // namespace

void DrawLine(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View,
              const PictureOptions& Options, const PixelBox& Box, const PanelLayout& Layout,
              PanelDrawn* Panel) {
    bool Scaled = false;
    const CoordinateSpan Span = ScanRow(View, Options, Panel, &Scaled);
    const PixelBox& Plot = Layout.Plot;
    const PixelBox Inside = {Plot.X + LineMargin, Plot.Y + LineMargin,
                             std::max(1, Plot.Width - 2 * LineMargin),
                             std::max(1, Plot.Height - 2 * LineMargin)};
    Panel->Data = Inside;
    const LineScales Scales{Inside, Span.XLow, Span.XHigh, Panel->Low, Panel->High};
    DrawRow(Cr, View, Plot, Scales);
    DrawLineAxes(Cr, Data, View, Box, Plot, Span, Scaled, Scales, Panel);
    DrawMissingNote(Cr, Plot, Panel);
}

} // namespace VyrHostProgram
