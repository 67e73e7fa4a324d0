// Draws the picture with Cairo. Grids and colour bars are written pixel by
// pixel into images the size of their boxes, each pixel the value of the
// cell it falls in, so that a zone of millions of points costs one lookup a
// pixel and a colour on the picture is exactly the map's colour of its
// value. Lines, frames and texts are Cairo's.
#include "picture.h"

#include "colour_map.h"
#include "picture_layout.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

namespace VyrHostProgram {
namespace {

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using ContextPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

constexpr double FontSize = 10.5, TitleSize = 12, HeadingSize = 14;

std::string Number(double Value) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.6g", Value);
    return Text;
}

void SetColour(cairo_t* Cr, Rgb Colour) {
    cairo_set_source_rgb(Cr, Colour.R, Colour.G, Colour.B);
}

enum class Align { Left, Centre, Right };

// Draws Text with its baseline at Y, placed on X as Where says; records it.
void DrawText(cairo_t* Cr, const std::string& Text, double X, double Y, Align Where,
              std::vector<std::string>* Texts) {
    cairo_text_extents_t Extents;
    cairo_text_extents(Cr, Text.c_str(), &Extents);
    const double Width = Extents.x_advance;
    const double Left =
        Where == Align::Left ? X : (Where == Align::Centre ? X - Width / 2 : X - Width);
    cairo_move_to(Cr, Left, Y);
    cairo_show_text(Cr, Text.c_str());
    if (Texts != nullptr) {
        Texts->push_back(Text);
    }
}

// An axis name written upwards, centred on Y.
void DrawUpwardText(cairo_t* Cr, const std::string& Text, double X, double Y,
                    std::vector<std::string>* Texts) {
    cairo_save(Cr);
    cairo_translate(Cr, X, Y);
    cairo_rotate(Cr, -M_PI / 2);
    DrawText(Cr, Text, 0, 0, Align::Centre, Texts);
    cairo_restore(Cr);
}

// One zone's values as the panel reads them: 1-based I, J, K.
class ZoneView {
  public:
    ZoneView(const VyrHost::Zone& Z) : Z(Z), Vars(static_cast<int32_t>(Z.FieldTypes.size())) {}
    int32_t ValueVar() const { return Vars; }
    double Value(int32_t Var, int32_t I, int32_t J, int32_t K) const {
        const int64_t Point = (int64_t(K) - 1) * Z.IMax * Z.JMax + (int64_t(J) - 1) * Z.IMax + I;
        return Z.Value(Var, Point);
    }
    // The coordinate variable Dim (1: I, 2: J, 3: K) at that point; the
    // index itself when the zone has no such variable.
    double Coordinate(int32_t Dim, int32_t I, int32_t J, int32_t K) const {
        if (Dim >= Vars) {
            return Dim == 1 ? I : (Dim == 2 ? J : K);
        }
        return Value(Dim, I, J, K);
    }
    const VyrHost::Zone& Z;
    const int32_t Vars;
};

std::string VarName(const VyrHost::DataSet& Data, int32_t Var, const char* Otherwise) {
    return Var >= 1 && size_t(Var) <= Data.VarNames.size() ? Data.VarNames[size_t(Var) - 1]
                                                           : Otherwise;
}

// Up to Most indices from 0 to Count - 1, evenly spread, first and last
// included.
std::vector<int32_t> TickIndices(int32_t Count, int Most) {
    std::vector<int32_t> Indices;
    const int Ticks = std::max(1, std::min<int>(Most, Count));
    for (int T = 0; T < Ticks; ++T) {
        const int32_t Index =
            Ticks == 1 ? 0
                       : static_cast<int32_t>(std::lround(double(T) * (Count - 1) / (Ticks - 1)));
        if (Indices.empty() || Indices.back() != Index) {
            Indices.push_back(Index);
        }
    }
    return Indices;
}

void FrameBox(cairo_t* Cr, const PixelBox& Box) {
    cairo_set_source_rgb(Cr, 0, 0, 0);
    cairo_set_line_width(Cr, 1);
    cairo_rectangle(Cr, Box.X - 0.5, Box.Y - 0.5, Box.Width + 1, Box.Height + 1);
    cairo_stroke(Cr);
}

// Paints an image of Box's size whose pixels PixelAt(x, y) gives (0xRRGGBB).
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

void DrawColourBar(cairo_t* Cr, const PanelLayout& Layout, PanelDrawn* Panel) {
    const PixelBox& Bar = Layout.Bar;
    PaintPixels(Cr, Bar, [&](int, int Y) {
        return PixelOf(MapColour(Bar.Height > 1 ? 1.0 - double(Y) / (Bar.Height - 1) : 0.5));
    });
    FrameBox(Cr, Bar);
    const double X = Bar.X + Bar.Width + 4;
    DrawText(Cr, Number(Panel->High), X, Bar.Y + FontSize * 0.8, Align::Left, &Panel->Texts);
    if (Panel->High != Panel->Low) {
        DrawText(Cr, Number((Panel->Low + Panel->High) / 2), X, Bar.Y + Bar.Height / 2.0 + 4,
                 Align::Left, &Panel->Texts);
    }
    DrawText(Cr, Number(Panel->Low), X, Bar.Y + Bar.Height, Align::Left, &Panel->Texts);
    if (Panel->NotFinite > 0) {
        SetColour(Cr, NotFiniteColour);
        cairo_rectangle(Cr, Bar.X, Bar.Y + Bar.Height + 6, Bar.Width, 10);
        cairo_fill(Cr);
        cairo_set_source_rgb(Cr, 0, 0, 0);
        DrawText(Cr, "NaN/inf", X, Bar.Y + Bar.Height + 15, Align::Left, &Panel->Texts);
    }
}

// The I x J grid of one K plane, coloured by V.
void DrawGrid(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View, int32_t Plane,
              const PanelLayout& Layout, PanelDrawn* Panel) {
    const int32_t I = View.Z.IMax, J = View.Z.JMax, V = View.ValueVar();
    double Low = std::numeric_limits<double>::infinity(), High = -Low;
    for (int32_t Jj = 1; Jj <= J; ++Jj) {
        for (int32_t Ii = 1; Ii <= I; ++Ii) {
            const double Value = View.Value(V, Ii, Jj, Plane);
            if (std::isfinite(Value)) {
                Low = std::min(Low, Value);
                High = std::max(High, Value);
            } else {
                ++Panel->NotFinite;
            }
        }
    }
    if (Low > High) {
        Low = High = 0; // no finite value
    }
    Panel->Low = Low;
    Panel->High = High;

    // The cell of each pixel column and row (J up).
    const PixelBox& Plot = Layout.Plot;
    std::vector<int32_t> CellI(size_t(Plot.Width)), CellJ(size_t(Plot.Height));
    for (int X = 0; X < Plot.Width; ++X) {
        CellI[size_t(X)] = std::min<int32_t>(I, int32_t(int64_t(X) * I / Plot.Width) + 1);
    }
    for (int Y = 0; Y < Plot.Height; ++Y) {
        CellJ[size_t(Y)] = J - std::min<int32_t>(J - 1, int32_t(int64_t(Y) * J / Plot.Height));
    }
    const double Span = High > Low ? High - Low : 0;
    PaintPixels(Cr, Plot, [&](int X, int Y) {
        const double Value = View.Value(V, CellI[size_t(X)], CellJ[size_t(Y)], Plane);
        if (!std::isfinite(Value)) {
            return PixelOf(NotFiniteColour);
        }
        return PixelOf(MapColour(Span > 0 ? (Value - Low) / Span : 0.5));
    });
    FrameBox(Cr, Plot);

    // Ticks at cell centres, labelled with the coordinates there.
    cairo_set_source_rgb(Cr, 0, 0, 0);
    for (int32_t Index : TickIndices(I, std::max(2, Plot.Width / 90))) {
        const double X = Plot.X + (Index + 0.5) * Plot.Width / I;
        cairo_move_to(Cr, X, Plot.Y + Plot.Height);
        cairo_line_to(Cr, X, Plot.Y + Plot.Height + 4);
        cairo_stroke(Cr);
        DrawText(Cr, Number(View.Coordinate(1, Index + 1, 1, Plane)), X, Plot.Y + Plot.Height + 15,
                 Align::Centre, &Panel->Texts);
    }
    for (int32_t Index : TickIndices(J, std::max(2, Plot.Height / 50))) {
        const double Y = Plot.Y + Plot.Height - (Index + 0.5) * Plot.Height / J;
        cairo_move_to(Cr, Plot.X, Y);
        cairo_line_to(Cr, Plot.X - 4, Y);
        cairo_stroke(Cr);
        DrawText(Cr, Number(View.Coordinate(2, 1, Index + 1, Plane)), Plot.X - 6, Y + 4,
                 Align::Right, &Panel->Texts);
    }
    DrawText(Cr, VarName(Data, 1, "I"), Plot.X + Plot.Width / 2.0, Plot.Y + Plot.Height + 30,
             Align::Centre, &Panel->Texts);
    DrawUpwardText(Cr, VarName(Data, 2, "J"), Plot.X - 50, Plot.Y + Plot.Height / 2.0,
                   &Panel->Texts);
    DrawColourBar(Cr, Layout, Panel);
}

// A zone of one row: V against the I coordinate. A row longer than four
// points a pixel is drawn as each pixel column's span of values.
void DrawLine(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View,
              const PanelLayout& Layout, PanelDrawn* Panel) {
    const int32_t I = View.Z.IMax, V = View.ValueVar();
    // Point Ii's I coordinate and value; false when either is not finite.
    auto PointAt = [&](int32_t Ii, double* X, double* Value) {
        *X = View.Coordinate(1, Ii, 1, 1);
        *Value = View.Value(V, Ii, 1, 1);
        return std::isfinite(*X) && std::isfinite(*Value);
    };
    const double Infinity = std::numeric_limits<double>::infinity();
    double XLow = Infinity, XHigh = -Infinity, Low = Infinity, High = -Infinity;
    for (int32_t Ii = 1; Ii <= I; ++Ii) {
        double X, Value;
        if (!PointAt(Ii, &X, &Value)) {
            ++Panel->NotFinite;
            continue;
        }
        XLow = std::min(XLow, X);
        XHigh = std::max(XHigh, X);
        Low = std::min(Low, Value);
        High = std::max(High, Value);
    }
    if (XLow > XHigh) {
        XLow = XHigh = Low = High = 0;
    }
    Panel->Low = Low;
    Panel->High = High;
    const PixelBox& Plot = Layout.Plot;
    auto PixelX = [&](double X) {
        return XHigh > XLow ? Plot.X + (X - XLow) / (XHigh - XLow) * Plot.Width
                            : Plot.X + Plot.Width / 2.0;
    };
    auto PixelY = [&](double Value) {
        return High > Low ? Plot.Y + Plot.Height - (Value - Low) / (High - Low) * Plot.Height
                          : Plot.Y + Plot.Height / 2.0;
    };

    SetColour(Cr, MapColour(0.25));
    cairo_set_line_width(Cr, 1.5);
    if (I <= 4 * Plot.Width) {
        bool PenDown = false;
        for (int32_t Ii = 1; Ii <= I; ++Ii) {
            double X, Value;
            if (!PointAt(Ii, &X, &Value)) {
                PenDown = false; // a gap where a value is missing
                continue;
            }
            if (PenDown) {
                cairo_line_to(Cr, PixelX(X), PixelY(Value));
            } else {
                cairo_move_to(Cr, PixelX(X), PixelY(Value));
            }
            PenDown = true;
        }
        cairo_stroke(Cr);
        if (I <= Plot.Width / 6) { // few points: each one shown
            for (int32_t Ii = 1; Ii <= I; ++Ii) {
                double X, Value;
                if (PointAt(Ii, &X, &Value)) {
                    cairo_arc(Cr, PixelX(X), PixelY(Value), 2.2, 0, 2 * M_PI);
                    cairo_fill(Cr);
                }
            }
        }
    } else {
        std::vector<double> ColumnLow(size_t(Plot.Width) + 1, Infinity),
            ColumnHigh(size_t(Plot.Width) + 1, -Infinity);
        for (int32_t Ii = 1; Ii <= I; ++Ii) {
            double X, Value;
            if (PointAt(Ii, &X, &Value)) {
                const size_t Column = size_t(PixelX(X) - Plot.X);
                ColumnLow[Column] = std::min(ColumnLow[Column], Value);
                ColumnHigh[Column] = std::max(ColumnHigh[Column], Value);
            }
        }
        for (size_t Column = 0; Column < ColumnLow.size(); ++Column) {
            if (ColumnLow[Column] <= ColumnHigh[Column]) {
                cairo_move_to(Cr, Plot.X + Column + 0.5, PixelY(ColumnLow[Column]) + 0.5);
                cairo_line_to(Cr, Plot.X + Column + 0.5, PixelY(ColumnHigh[Column]) - 0.5);
            }
        }
        cairo_stroke(Cr);
    }
    FrameBox(Cr, Plot);

    cairo_set_source_rgb(Cr, 0, 0, 0);
    const int XTicks = std::max(2, Plot.Width / 90);
    for (int T = 0; T < XTicks && XHigh >= XLow; ++T) {
        const double X = XHigh > XLow ? XLow + (XHigh - XLow) * T / (XTicks - 1) : XLow;
        DrawText(Cr, Number(X), PixelX(X), Plot.Y + Plot.Height + 15, Align::Centre, &Panel->Texts);
        if (XHigh == XLow) {
            break;
        }
    }
    for (double Value : {High, (Low + High) / 2, Low}) {
        DrawText(Cr, Number(Value), Plot.X - 6, PixelY(Value) + 4, Align::Right, &Panel->Texts);
        if (High == Low) {
            break;
        }
    }
    DrawText(Cr, VarName(Data, 1, "I"), Plot.X + Plot.Width / 2.0, Plot.Y + Plot.Height + 30,
             Align::Centre, &Panel->Texts);
    DrawUpwardText(Cr, VarName(Data, V, "V"), Plot.X - 50, Plot.Y + Plot.Height / 2.0,
                   &Panel->Texts);
    if (Panel->NotFinite > 0) {
        SetColour(Cr, NotFiniteColour);
        DrawText(Cr, std::to_string(Panel->NotFinite) + " NaN/inf not drawn",
                 Plot.X + Plot.Width - 4, Plot.Y + 14, Align::Right, &Panel->Texts);
    }
}

void DrawPanel(cairo_t* Cr, const VyrHost::DataSet& Data, const VyrHost::Zone& Z, int32_t Plane,
               const PixelBox& Box, PanelDrawn* Panel) {
    const ZoneView View(Z);
    Panel->LinePlot = int64_t(Z.JMax) * Z.KMax == 1;
    const PanelLayout Layout = LayOutPanel(Box, !Panel->LinePlot);
    Panel->Plot = Layout.Plot;
    Panel->Bar = Panel->LinePlot ? PixelBox{} : Layout.Bar;
    Panel->Title = Z.Name + ": " + Data.Title;
    if (!Panel->LinePlot) {
        Panel->Plane = Plane <= 0 ? (Z.KMax + 1) / 2 : std::min(Plane, Z.KMax);
        if (Z.KMax > 1) {
            Panel->Title += ", K " + std::to_string(Panel->Plane) + " of " +
                            std::to_string(Z.KMax) + " (" + VarName(Data, 3, "K") + " = " +
                            Number(View.Coordinate(3, 1, 1, Panel->Plane)) + ")";
        }
    }
    cairo_save(Cr);
    cairo_rectangle(Cr, Box.X, Box.Y, Box.Width, Box.Height);
    cairo_clip(Cr);
    cairo_set_font_size(Cr, TitleSize);
    cairo_set_source_rgb(Cr, 0, 0, 0);
    DrawText(Cr, Panel->Title, Layout.Title.X, Layout.Title.Y + 15, Align::Left, nullptr);
    cairo_set_font_size(Cr, FontSize);
    if (Z.IMax <= 0 || Z.JMax <= 0 || Z.KMax <= 0) {
        DrawText(Cr, "no points", Layout.Plot.X, Layout.Plot.Y + 20, Align::Left, &Panel->Texts);
    } else if (Panel->LinePlot) {
        DrawLine(Cr, Data, View, Layout, Panel);
    } else {
        DrawGrid(Cr, Data, View, Panel->Plane, Layout, Panel);
    }
    cairo_restore(Cr);
}

} // namespace

bool PicturesAvailable() {
    return true;
}

bool DrawPicture(const VyrHost::DataSet& Data, int32_t Plane, const std::string& Path,
                 PictureDrawn* Drawn, std::string* Why) {
    const PictureLayout Layout = LayOutPicture(Data.Zones.size());
    SurfacePtr Surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, Layout.Width, Layout.Height),
                       cairo_surface_destroy);
    ContextPtr Cr(cairo_create(Surface.get()), cairo_destroy);
    if (cairo_status(Cr.get()) != CAIRO_STATUS_SUCCESS) {
        *Why = cairo_status_to_string(cairo_status(Cr.get()));
        return false;
    }
    cairo_set_source_rgb(Cr.get(), 1, 1, 1);
    cairo_paint(Cr.get());
    cairo_select_font_face(Cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);

    *Drawn = PictureDrawn{};
    Drawn->Width = Layout.Width;
    Drawn->Height = Layout.Height;
    Drawn->Zones = Data.Zones.size();
    cairo_set_source_rgb(Cr.get(), 0, 0, 0);
    cairo_set_font_size(Cr.get(), HeadingSize);
    const size_t Zones = Data.Zones.size();
    DrawText(Cr.get(),
             Data.Title + ": " + std::to_string(Zones) + (Zones == 1 ? " zone" : " zones"), 6, 19,
             Align::Left, nullptr);
    for (size_t Index = 0; Index < Layout.Panels.size(); ++Index) {
        Drawn->Panels.emplace_back();
        DrawPanel(Cr.get(), Data, Data.Zones[Index], Plane, Layout.Panels[Index],
                  &Drawn->Panels.back());
    }
    if (Layout.FooterHeight > 0) {
        cairo_set_source_rgb(Cr.get(), 0, 0, 0);
        cairo_set_font_size(Cr.get(), TitleSize);
        DrawText(Cr.get(),
                 "Zones " + std::to_string(Layout.Panels.size() + 1) + " to " +
                     std::to_string(Zones) + " are not drawn: a screen holds " +
                     std::to_string(Layout.Panels.size()) + " panels.",
                 6, Layout.Height - 6, Align::Left, nullptr);
    }
    cairo_surface_flush(Surface.get());
    const cairo_status_t Written = cairo_surface_write_to_png(Surface.get(), Path.c_str());
    if (Written != CAIRO_STATUS_SUCCESS) {
        *Why = cairo_status_to_string(Written);
        return false;
    }
    return true;
}

} // namespace VyrHostProgram
