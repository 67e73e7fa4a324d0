// Draws the picture with Cairo. Grids and colour bars are written pixel by
// pixel into images the size of their boxes, each pixel the value of the
// cell it falls in, so that a zone of millions of points costs one lookup a
// pixel and a colour on the picture is exactly the map's colour of its
// value. Lines, frames and texts are Cairo's. A text too wide for its room
// goes onto a second line, and what still does not fit is cut with an
// ellipsis, so that no text runs over its neighbours.
#include "picture.h"

#include "colour_map.h"
#include "picture_layout.h"

#include <cairo.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>

namespace VyrHostProgram {
namespace {

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using ContextPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

constexpr double FontSize = 10.5, TitleSize = 12, HeadingSize = 14;
constexpr int TitleLineHeight = 15, HeadingLineHeight = 18;
constexpr size_t MaxHeadingLines = 3;
// The most ticks an axis or colour bar gets: a handful, whatever its length.
constexpr int MostTicks = 8;
// How far inside its frame a line plot's values end: room for a point's
// dot and the line's width, so that neither touches the frame.
constexpr int LineMargin = 8;
const char* const Ellipsis = "\xE2\x80\xA6";

void SetColour(cairo_t* Cr, Rgb Colour) {
    cairo_set_source_rgb(Cr, Colour.R, Colour.G, Colour.B);
}

// ---- Texts ------------------------------------------------------------------

// The length of a valid UTF-8 sequence that starts at Text[At], or 0.
size_t Utf8Length(const std::string& Text, size_t At) {
    const unsigned char Lead = static_cast<unsigned char>(Text[At]);
    const size_t Length = Lead >= 0xC2 && Lead <= 0xDF   ? 2
                          : Lead >= 0xE0 && Lead <= 0xEF ? 3
                          : Lead >= 0xF0 && Lead <= 0xF4 ? 4
                                                         : 0;
    if (Length == 0 || At + Length > Text.size()) {
        return 0;
    }
    for (size_t Next = 1; Next < Length; ++Next) {
        if ((static_cast<unsigned char>(Text[At + Next]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // Overlong forms, UTF-16 surrogates and code points beyond U+10FFFF.
    const unsigned char Second = static_cast<unsigned char>(Text[At + 1]);
    if ((Lead == 0xE0 && Second < 0xA0) || (Lead == 0xED && Second >= 0xA0) ||
        (Lead == 0xF0 && Second < 0x90) || (Lead == 0xF4 && Second >= 0x90)) {
        return 0;
    }
    return Length;
}

// Text as Cairo can show it: Cairo refuses a text that is not UTF-8 and
// then draws nothing more, and an HDF label may hold Latin-1 or control
// bytes. Each byte that does not belong to valid UTF-8, and each control
// character, becomes '?'.
std::string Printable(const std::string& Text) {
    std::string Shown;
    Shown.reserve(Text.size());
    for (size_t At = 0; At < Text.size();) {
        const unsigned char Byte = static_cast<unsigned char>(Text[At]);
        if (Byte < 0x80) {
            Shown += Byte < 0x20 || Byte == 0x7F ? '?' : char(Byte);
            ++At;
            continue;
        }
        const size_t Length = Utf8Length(Text, At);
        if (Length == 0) {
            Shown += '?';
            ++At;
            continue;
        }
        Shown.append(Text, At, Length);
        At += Length;
    }
    return Shown;
}

// The start of the character before At, and of the one after the
// character at At, in a printable text.
size_t PreviousCharacter(const std::string& Text, size_t At) {
    do {
        --At;
    } while (At > 0 && (static_cast<unsigned char>(Text[At]) & 0xC0) == 0x80);
    return At;
}
size_t NextCharacter(const std::string& Text, size_t At) {
    return At + std::max<size_t>(1, Utf8Length(Text, At));
}

double TextWidth(cairo_t* Cr, const std::string& Text) {
    cairo_text_extents_t Extents;
    cairo_text_extents(Cr, Text.c_str(), &Extents);
    return Extents.x_advance;
}

// The longest start of a printable Text, cut at a character, that fits
// Width with After behind it; at least one character.
size_t FittingStart(cairo_t* Cr, const std::string& Text, double Width, const std::string& After) {
    size_t End = Text.size();
    while (End > 0 && TextWidth(Cr, Text.substr(0, End) + After) > Width) {
        const size_t Previous = PreviousCharacter(Text, End);
        if (Previous == 0) {
            break;
        }
        End = Previous;
    }
    return End;
}

// A printable Text cut at its end, with an ellipsis, to fit Width.
std::string CutAtEnd(cairo_t* Cr, const std::string& Text, double Width) {
    if (TextWidth(Cr, Text) <= Width) {
        return Text;
    }
    return Text.substr(0, FittingStart(Cr, Text, Width, Ellipsis)) + Ellipsis;
}

// A printable Text cut in its middle, with an ellipsis, to fit Width: for
// a file name, whose end says as much as its start.
std::string CutInMiddle(cairo_t* Cr, const std::string& Text, double Width) {
    if (TextWidth(Cr, Text) <= Width) {
        return Text;
    }
    size_t Head = Text.size() / 2, Tail = Head;
    while (Head > 1) {
        const std::string Shown = Text.substr(0, Head) + Ellipsis + Text.substr(Tail);
        if (TextWidth(Cr, Shown) <= Width) {
            return Shown;
        }
        Head = PreviousCharacter(Text, Head);
        Tail = NextCharacter(Text, Tail);
        if (Tail >= Text.size()) {
            break;
        }
    }
    return CutAtEnd(Cr, Text, Width);
}

// A printable Text in at most MaxLines lines of Width, broken at blanks
// (within a word only when the word alone is too wide); what the last line
// cannot hold is cut with an ellipsis.
std::vector<std::string> WrapText(cairo_t* Cr, const std::string& Text, double Width,
                                  size_t MaxLines) {
    std::vector<std::string> Lines;
    std::string Rest = Text;
    while (!Rest.empty()) {
        if (TextWidth(Cr, Rest) <= Width || Lines.size() + 1 >= MaxLines) {
            Lines.push_back(CutAtEnd(Cr, Rest, Width));
            break;
        }
        const size_t Fit = FittingStart(Cr, Rest, Width, "");
        size_t Break = Rest.rfind(' ', Fit);
        if (Break == std::string::npos || Break == 0) {
            Break = Fit;
        }
        std::string Line = Rest.substr(0, Break);
        while (!Line.empty() && Line.back() == ' ') {
            Line.pop_back();
        }
        Lines.push_back(Line);
        const size_t Next = Rest.find_first_not_of(' ', Break);
        Rest = Next == std::string::npos ? "" : Rest.substr(Next);
    }
    if (Lines.empty()) {
        Lines.emplace_back();
    }
    return Lines;
}

enum class Align { Left, Centre, Right };

// Draws Text with its baseline at Y, placed on X as Where says; records it.
void DrawText(cairo_t* Cr, const std::string& Text, double X, double Y, Align Where,
              std::vector<std::string>* Texts) {
    const std::string Shown = Printable(Text);
    const double Width = TextWidth(Cr, Shown);
    const double Left =
        Where == Align::Left ? X : (Where == Align::Centre ? X - Width / 2 : X - Width);
    cairo_move_to(Cr, Left, Y);
    cairo_show_text(Cr, Shown.c_str());
    if (Texts != nullptr) {
        Texts->push_back(Text);
    }
}

// An axis name written upwards, centred on Y, its baseline at X.
void DrawUpwardText(cairo_t* Cr, const std::string& Text, double X, double Y,
                    std::vector<std::string>* Texts) {
    cairo_save(Cr);
    cairo_translate(Cr, X, Y);
    cairo_rotate(Cr, -M_PI / 2);
    DrawText(Cr, Text, 0, 0, Align::Centre, Texts);
    cairo_restore(Cr);
}

// ---- The values -------------------------------------------------------------

// One zone's values as the panel reads them: 1-based I, J, K, and which of
// V's values are no data.
class ZoneView {
  public:
    enum class Kind { Valid, NotFinite, Blank };

    ZoneView(const VyrHost::Zone& Z, const std::vector<double>& Blanks)
        : Z(Z), Vars(static_cast<int32_t>(Z.FieldTypes.size())), Blanks(Blanks) {
        // A float variable holds a blank value as its nearest float: -0.1
        // typed by the user is the float that the file's -0.1 became.
        if (Vars >= 1 && Z.FieldTypes.back() == VYR_FIELD_TYPE_FLOAT) {
            for (double Blank : Blanks) {
                if (std::fabs(Blank) <= FLT_MAX) {
                    FloatBlanks.push_back(static_cast<float>(Blank));
                }
            }
        }
    }
    // The variable drawn, V: the last; 0 when the zone has none.
    int32_t ValueVar() const { return Vars; }
    // Whether V holds whole numbers only: an integer field data type.
    bool WholeValues() const {
        const VyrFieldType_t Type = Vars >= 1 ? Z.FieldTypes.back() : 0;
        return Type == VYR_FIELD_TYPE_INT32 || Type == VYR_FIELD_TYPE_INT16 ||
               Type == VYR_FIELD_TYPE_BYTE;
    }
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
    Kind KindOf(double Value) const {
        if (!std::isfinite(Value)) {
            return Kind::NotFinite;
        }
        for (double Blank : Blanks) {
            if (Value == Blank) {
                return Kind::Blank;
            }
        }
        for (float Blank : FloatBlanks) {
            if (static_cast<float>(Value) == Blank) {
                return Kind::Blank;
            }
        }
        return Kind::Valid;
    }
    const VyrHost::Zone& Z;
    const int32_t Vars;

  private:
    const std::vector<double>& Blanks;
    std::vector<float> FloatBlanks;
};

std::string VarName(const VyrHost::DataSet& Data, int32_t Var, const char* Otherwise) {
    return Var >= 1 && size_t(Var) <= Data.VarNames.size() ? Data.VarNames[size_t(Var) - 1]
                                                           : Otherwise;
}

// Counts a value into the panel: no data of either kind, or within the
// running range Low..High.
void CountValue(const ZoneView& View, double Value, double* Low, double* High, PanelDrawn* Panel) {
    switch (View.KindOf(Value)) {
    case ZoneView::Kind::NotFinite:
        ++Panel->NotFinite;
        return;
    case ZoneView::Kind::Blank:
        ++Panel->Blanked;
        return;
    case ZoneView::Kind::Valid:
        *Low = std::min(*Low, Value);
        *High = std::max(*High, Value);
        return;
    }
}

// The panel's range of V: the user's when fixed, else the valid values'
// (0 to 0 when there are none). False when there is nothing to scale.
bool SetRange(double Low, double High, const PictureOptions& Options, PanelDrawn* Panel) {
    Panel->FixedRange = Options.Range.has_value();
    if (Panel->FixedRange) {
        Panel->Low = Options.Range->Low;
        Panel->High = Options.Range->High;
        return true;
    }
    const bool Any = Low <= High;
    Panel->Low = Any ? Low : 0;
    Panel->High = Any ? High : 0;
    return Any;
}

// ---- Ticks ------------------------------------------------------------------

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

// Round ticks from Low to High, placed by PixelOf.
template <typename PixelFn>
std::vector<TickDrawn> PlacedRoundTicks(double Low, double High, int Most, bool Whole,
                                        PixelFn PixelOf) {
    std::vector<TickDrawn> Ticks;
    for (const RoundTick& Tick : RoundTicks(Low, High, Most, Whole)) {
        Ticks.push_back({Tick.Value, PixelOf(Tick.Value), Tick.Label});
    }
    return Ticks;
}

// The ticks that MakeTicks(Most) gives for the largest Most, up to Upper,
// whose neighbours stand at least Gap(widest label) pixels apart.
template <typename MakeFn, typename GapFn>
std::vector<TickDrawn> SpacedTicks(cairo_t* Cr, int Upper, MakeFn MakeTicks, GapFn Gap) {
    for (int Most = std::max(2, std::min(MostTicks, Upper));; --Most) {
        std::vector<TickDrawn> Ticks = MakeTicks(Most);
        double Widest = 0;
        for (const TickDrawn& Tick : Ticks) {
            Widest = std::max(Widest, TextWidth(Cr, Printable(Tick.Label)));
        }
        bool Spaced = true;
        for (size_t Index = 1; Index < Ticks.size(); ++Index) {
            Spaced = Spaced && std::fabs(Ticks[Index].At - Ticks[Index - 1].At) >= Gap(Widest);
        }
        if (Spaced || Most <= 2) {
            return Ticks;
        }
    }
}

// The ticks of a grid's axis, whose cell N has its centre at pixel
// Centres[N] and the coordinate Coords[N] there. Coordinates that rise or
// fall all along get round values, placed between the cells' centres;
// others (or one cell) have some of their cells labelled with their own
// coordinates.
std::vector<TickDrawn> GridAxisTicks(const std::vector<double>& Coords,
                                     const std::vector<double>& Centres, int Most) {
    const size_t Count = Coords.size();
    bool Rising = Count >= 2, Falling = Count >= 2, Whole = true;
    for (size_t N = 0; N < Count; ++N) {
        Whole = Whole && Coords[N] == std::floor(Coords[N]);
        if (!std::isfinite(Coords[N])) {
            Rising = Falling = false;
        } else if (N > 0) {
            Rising = Rising && Coords[N] > Coords[N - 1];
            Falling = Falling && Coords[N] < Coords[N - 1];
        }
    }
    if (!Rising && !Falling) {
        std::vector<TickDrawn> Ticks;
        for (int32_t Index : TickIndices(int32_t(Count), Most)) {
            Ticks.push_back(
                {Coords[size_t(Index)], Centres[size_t(Index)], ValueLabel(Coords[size_t(Index)])});
        }
        return Ticks;
    }
    // A round value lies between the centres of cells N and N + 1.
    auto PixelOf = [&](double Value) {
        const auto After =
            Rising ? std::upper_bound(Coords.begin(), Coords.end(), Value)
                   : std::upper_bound(Coords.begin(), Coords.end(), Value, std::greater<double>());
        const size_t N =
            std::min(Count - 2, size_t(std::max<std::ptrdiff_t>(0, After - Coords.begin() - 1)));
        const double Part = (Value - Coords[N]) / (Coords[N + 1] - Coords[N]);
        return Centres[N] + std::max(0.0, std::min(1.0, Part)) * (Centres[N + 1] - Centres[N]);
    };
    return PlacedRoundTicks(std::min(Coords.front(), Coords.back()),
                            std::max(Coords.front(), Coords.back()), Most, Whole, PixelOf);
}

// The font size at which every label fits Room pixels: the usual one, or
// smaller for long labels (a time in seconds, 695953500), down to a size
// still legible.
double LabelSize(cairo_t* Cr, const std::vector<TickDrawn>& Ticks, double Room) {
    double Widest = 0;
    for (const TickDrawn& Tick : Ticks) {
        Widest = std::max(Widest, TextWidth(Cr, Printable(Tick.Label)));
    }
    return Widest <= Room ? FontSize : std::max(7.0, FontSize * Room / Widest);
}

// Tick marks and labels below a plot (Across) or to its left (Up), which
// keep room for the axis' name within the panel Box; records them. Returns
// the widest label drawn to the left.
double DrawAxisTicks(cairo_t* Cr, const PixelBox& Box, const PixelBox& Plot,
                     const std::vector<TickDrawn>& Across, const std::vector<TickDrawn>& Up,
                     PanelDrawn* Panel) {
    cairo_set_source_rgb(Cr, 0, 0, 0);
    cairo_set_line_width(Cr, 1);
    for (const TickDrawn& Tick : Across) {
        const double X = std::floor(Tick.At) + 0.5;
        cairo_move_to(Cr, X, Plot.Y + Plot.Height);
        cairo_line_to(Cr, X, Plot.Y + Plot.Height + 4);
        cairo_stroke(Cr);
        DrawText(Cr, Tick.Label, Tick.At, Plot.Y + Plot.Height + 15, Align::Centre, &Panel->Texts);
    }
    cairo_set_font_size(Cr, LabelSize(Cr, Up, Plot.X - 6 - (Box.X + 18)));
    double Widest = 0;
    for (const TickDrawn& Tick : Up) {
        const double Y = std::floor(Tick.At) + 0.5;
        cairo_move_to(Cr, Plot.X, Y);
        cairo_line_to(Cr, Plot.X - 4, Y);
        cairo_stroke(Cr);
        DrawText(Cr, Tick.Label, Plot.X - 6, Tick.At + 4, Align::Right, &Panel->Texts);
        Widest = std::max(Widest, TextWidth(Cr, Printable(Tick.Label)));
    }
    cairo_set_font_size(Cr, FontSize);
    Panel->Across = Across;
    Panel->Up = Up;
    return Widest;
}

// The axes' names: I's below the plot, Up's written upwards clear of the
// widest label to its left, within the panel.
void DrawAxisNames(cairo_t* Cr, const PixelBox& Panel, const PixelBox& Plot,
                   const std::string& AcrossName, const std::string& UpName, double WidestUpLabel,
                   PanelDrawn* Drawn) {
    DrawText(Cr, AcrossName, Plot.X + Plot.Width / 2.0, Plot.Y + Plot.Height + 30, Align::Centre,
             &Drawn->Texts);
    const double X = std::max(Panel.X + 12.0, Plot.X - WidestUpLabel - 13);
    DrawUpwardText(Cr, UpName, X, Plot.Y + Plot.Height / 2.0, &Drawn->Texts);
}

// ---- Panels -----------------------------------------------------------------

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

// The colour bar: the map from the panel's Low (bottom) to High (top),
// ticked at round values within, and the legend of the no-data colour.
// A panel without a single valid value has an empty bar: no colour stands
// for a value.
void DrawColourBar(cairo_t* Cr, const PixelBox& Box, const PanelLayout& Layout, bool Scaled,
                   bool Whole, PanelDrawn* Panel) {
    const PixelBox& Bar = Layout.Bar;
    const bool Spread = Panel->High > Panel->Low;
    if (Scaled) {
        PaintPixels(Cr, Bar, [&](int, int Y) {
            return PixelOf(
                MapColour(Spread && Bar.Height > 1 ? 1.0 - double(Y) / (Bar.Height - 1) : 0.5));
        });
    }
    FrameBox(Cr, Bar);
    auto RowOf = [&](double Value) {
        return Spread ? Bar.Y + 0.5 +
                            (Panel->High - Value) / (Panel->High - Panel->Low) * (Bar.Height - 1)
                      : Bar.Y + Bar.Height / 2.0;
    };
    if (Scaled) {
        Panel->BarTicks = SpacedTicks(
            Cr, Bar.Height / 40,
            [&](int Most) { return PlacedRoundTicks(Panel->Low, Panel->High, Most, Whole, RowOf); },
            [](double) { return FontSize + 6; });
    }
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
    if (Panel->NotFinite + Panel->Blanked > 0) {
        SetColour(Cr, NoDataColour);
        cairo_rectangle(Cr, Bar.X, Bar.Y + Bar.Height + 6, Bar.Width, 10);
        cairo_fill(Cr);
        cairo_set_source_rgb(Cr, 0, 0, 0);
        DrawText(Cr, "no data", X + 5, Bar.Y + Bar.Height + 15, Align::Left, &Panel->Texts);
    }
}

// The I x J grid of one K plane, coloured by V.
void DrawGrid(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View, int32_t Plane,
              const PictureOptions& Options, const PixelBox& Box, const PanelLayout& Layout,
              PanelDrawn* Panel) {
    const int32_t I = View.Z.IMax, J = View.Z.JMax, V = View.ValueVar();
    double Low = std::numeric_limits<double>::infinity(), High = -Low;
    for (int32_t Jj = 1; Jj <= J; ++Jj) {
        for (int32_t Ii = 1; Ii <= I; ++Ii) {
            CountValue(View, View.Value(V, Ii, Jj, Plane), &Low, &High, Panel);
        }
    }
    const bool Scaled = SetRange(Low, High, Options, Panel);

    // The cell of each pixel column and row (J up).
    const PixelBox& Plot = Layout.Plot;
    std::vector<int32_t> CellI(size_t(Plot.Width)), CellJ(size_t(Plot.Height));
    for (int X = 0; X < Plot.Width; ++X) {
        CellI[size_t(X)] = std::min<int32_t>(I, int32_t(int64_t(X) * I / Plot.Width) + 1);
    }
    for (int Y = 0; Y < Plot.Height; ++Y) {
        CellJ[size_t(Y)] = J - std::min<int32_t>(J - 1, int32_t(int64_t(Y) * J / Plot.Height));
    }
    const double Span = Panel->High > Panel->Low ? Panel->High - Panel->Low : 0;
    PaintPixels(Cr, Plot, [&](int X, int Y) {
        const double Value = View.Value(V, CellI[size_t(X)], CellJ[size_t(Y)], Plane);
        if (View.KindOf(Value) != ZoneView::Kind::Valid) {
            return PixelOf(NoDataColour);
        }
        // A value outside a fixed range takes the colour of its end.
        return PixelOf(MapColour(Span > 0 ? (Value - Panel->Low) / Span : 0.5));
    });
    FrameBox(Cr, Plot);

    // Round coordinates, between the cells' centres where they fall.
    std::vector<double> AcrossCoords, AcrossCentres, UpCoords, UpCentres;
    for (int32_t Ii = 1; Ii <= I; ++Ii) {
        AcrossCoords.push_back(View.Coordinate(1, Ii, 1, Plane));
        AcrossCentres.push_back(Plot.X + (Ii - 0.5) * Plot.Width / I);
    }
    for (int32_t Jj = 1; Jj <= J; ++Jj) {
        UpCoords.push_back(View.Coordinate(2, 1, Jj, Plane));
        UpCentres.push_back(Plot.Y + Plot.Height - (Jj - 0.5) * Plot.Height / J);
    }
    const std::vector<TickDrawn> Across = SpacedTicks(
        Cr, Plot.Width / 50,
        [&](int Most) { return GridAxisTicks(AcrossCoords, AcrossCentres, Most); },
        [](double Widest) { return Widest + 10; });
    const std::vector<TickDrawn> Up = SpacedTicks(
        Cr, Plot.Height / 45, [&](int Most) { return GridAxisTicks(UpCoords, UpCentres, Most); },
        [](double) { return FontSize + 6; });
    const double Widest = DrawAxisTicks(Cr, Box, Plot, Across, Up, Panel);
    DrawAxisNames(Cr, Box, Plot, VarName(Data, 1, "I"), VarName(Data, 2, "J"), Widest, Panel);
    DrawColourBar(Cr, Box, Layout, Scaled, View.WholeValues(), Panel);
}

// A zone of one row: V against the I coordinate. A row longer than four
// points a pixel is drawn as each pixel column's span of values.
void DrawLine(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View,
              const PictureOptions& Options, const PixelBox& Box, const PanelLayout& Layout,
              PanelDrawn* Panel) {
    const int32_t I = View.Z.IMax, V = View.ValueVar();
    // Point Ii's I coordinate and value; false when it has no data.
    auto PointAt = [&](int32_t Ii, double* X, double* Value) {
        *X = View.Coordinate(1, Ii, 1, 1);
        *Value = View.Value(V, Ii, 1, 1);
        return std::isfinite(*X) && View.KindOf(*Value) == ZoneView::Kind::Valid;
    };
    const double Infinity = std::numeric_limits<double>::infinity();
    double XLow = Infinity, XHigh = -Infinity, Low = Infinity, High = -Infinity;
    bool WholeX = true;
    for (int32_t Ii = 1; Ii <= I; ++Ii) {
        double X, Value;
        if (PointAt(Ii, &X, &Value)) {
            XLow = std::min(XLow, X);
            XHigh = std::max(XHigh, X);
            WholeX = WholeX && X == std::floor(X);
        }
        if (!std::isfinite(X)) {
            ++Panel->NotFinite;
        } else {
            CountValue(View, Value, &Low, &High, Panel);
        }
    }
    const bool Scaled = SetRange(Low, High, Options, Panel);
    const bool AnyPoint = XLow <= XHigh;
    if (!AnyPoint) {
        XLow = XHigh = 0;
    }
    const PixelBox& Plot = Layout.Plot;
    const PixelBox Inside = {Plot.X + LineMargin, Plot.Y + LineMargin,
                             std::max(1, Plot.Width - 2 * LineMargin),
                             std::max(1, Plot.Height - 2 * LineMargin)};
    Panel->Data = Inside;
    auto PixelX = [&](double X) {
        return XHigh > XLow ? Inside.X + (X - XLow) / (XHigh - XLow) * Inside.Width
                            : Inside.X + Inside.Width / 2.0;
    };
    auto PixelY = [&](double Value) {
        return Panel->High > Panel->Low
                   ? Inside.Y + Inside.Height -
                         (Value - Panel->Low) / (Panel->High - Panel->Low) * Inside.Height
                   : Inside.Y + Inside.Height / 2.0;
    };

    // The line, cut at the frame where a fixed range leaves values outside.
    cairo_save(Cr);
    cairo_rectangle(Cr, Plot.X, Plot.Y, Plot.Width, Plot.Height);
    cairo_clip(Cr);
    SetColour(Cr, MapColour(0.25));
    cairo_set_line_width(Cr, 1.5);
    if (I <= 4 * Inside.Width) {
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
        if (I <= Inside.Width / 6) { // few points: each one shown
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
    cairo_restore(Cr);
    FrameBox(Cr, Plot);

    const std::vector<TickDrawn> Across =
        !AnyPoint
            ? std::vector<TickDrawn>{}
            : SpacedTicks(
                  Cr, Inside.Width / 50,
                  [&](int Most) { return PlacedRoundTicks(XLow, XHigh, Most, WholeX, PixelX); },
                  [](double Widest) { return Widest + 10; });
    const std::vector<TickDrawn> Up =
        !Scaled ? std::vector<TickDrawn>{}
                : SpacedTicks(
                      Cr, Inside.Height / 45,
                      [&](int Most) {
                          return PlacedRoundTicks(Panel->Low, Panel->High, Most, View.WholeValues(),
                                                  PixelY);
                      },
                      [](double) { return FontSize + 6; });
    const double Widest = DrawAxisTicks(Cr, Box, Plot, Across, Up, Panel);
    DrawAxisNames(Cr, Box, Plot, VarName(Data, 1, "I"), VarName(Data, V, "V"), Widest, Panel);
    const int64_t Missing = Panel->NotFinite + Panel->Blanked;
    if (Missing > 0) {
        SetColour(Cr, NoDataColour);
        DrawText(Cr,
                 std::to_string(Missing) + (Missing == 1 ? " point" : " points") +
                     " without data, not drawn",
                 Plot.X + Plot.Width - 4, Plot.Y + 14, Align::Right, &Panel->Texts);
    }
}

// A panel's title: the zone's name, what it was loaded from where that is
// known, and the plane drawn of a zone of several.
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

// ---- The picture --------------------------------------------------------------

// The heading's lines, at most MaxHeadingLines: the file's name, the data
// set's title and its zones, and what the user asked of the colours, each
// part on the line before when it fits Width, else on a line of its own.
std::vector<std::string> HeadingLines(cairo_t* Cr, const VyrHost::DataSet& Data,
                                      const PictureOptions& Options, const PictureLabels& Labels,
                                      double Width) {
    struct Part {
        std::string Text;
        const char* Joint; // before it on a line it shares
    };
    std::vector<Part> Parts;
    if (!Labels.FileName.empty()) {
        Parts.push_back({Printable(Labels.FileName), ""});
    }
    const size_t Zones = Data.Zones.size();
    Parts.push_back(
        {Printable(Data.Title) + ", " + std::to_string(Zones) + (Zones == 1 ? " zone" : " zones"),
         ": "});
    if (!Options.Blanks.empty()) {
        std::string Blanks = "no data: ";
        for (size_t Index = 0; Index < Options.Blanks.size(); ++Index) {
            Blanks += (Index == 0 ? "" : ", ") + ValueLabel(Options.Blanks[Index]);
        }
        Parts.push_back({Blanks, "; "});
    }
    if (Options.Range) {
        Parts.push_back({"colours from " + ValueLabel(Options.Range->Low) + " to " +
                             ValueLabel(Options.Range->High),
                         "; "});
    }
    std::vector<std::string> Lines;
    for (const Part& Next : Parts) {
        if (Lines.empty()) {
            Lines.push_back(Next.Text);
            continue;
        }
        const std::string Joined = Lines.back() + Next.Joint + Next.Text;
        if (TextWidth(Cr, Joined) <= Width || Lines.size() == MaxHeadingLines) {
            Lines.back() = Joined;
        } else {
            Lines.push_back(Next.Text);
        }
    }
    for (size_t Line = 0; Line < Lines.size(); ++Line) {
        // A file's name alone on its line keeps its end, which tells files
        // of one series apart.
        const bool FileAlone =
            Line == 0 && !Labels.FileName.empty() && Lines.size() > 1 && Lines[0] == Parts[0].Text;
        Lines[Line] =
            FileAlone ? CutInMiddle(Cr, Lines[Line], Width) : CutAtEnd(Cr, Lines[Line], Width);
    }
    return Lines;
}

} // namespace

bool PicturesAvailable() {
    return true;
}

bool DrawPicture(const VyrHost::DataSet& Data, const PictureOptions& Options,
                 const PictureLabels& Labels, const std::string& Path, PictureDrawn* Drawn,
                 std::string* Why) {
    *Drawn = PictureDrawn{};
    // The texts are measured first: how many lines the heading and the
    // titles take decides where the panels go.
    SurfacePtr Scratch(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1), cairo_surface_destroy);
    ContextPtr Measure(cairo_create(Scratch.get()), cairo_destroy);
    cairo_select_font_face(Measure.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    const int PanelsWide = LayOutPicture(Data.Zones.size(), 1).Width;
    cairo_set_font_size(Measure.get(), HeadingSize);
    const std::vector<std::string> Heading =
        HeadingLines(Measure.get(), Data, Options, Labels, PanelsWide - 12);
    const PictureLayout Layout = LayOutPicture(Data.Zones.size(), int(Heading.size()));
    cairo_set_font_size(Measure.get(), TitleSize);
    std::vector<std::vector<std::string>> Titles;
    size_t TitleLineCount = 1;
    for (size_t Index = 0; Index < Layout.Panels.size(); ++Index) {
        int32_t Plane = 0;
        const std::string Title =
            PanelTitle(Data, Data.Zones[Index], Index, Options, Labels, &Plane);
        Titles.push_back(
            WrapText(Measure.get(), Printable(Title), Layout.Panels[Index].Width - 8, 2));
        TitleLineCount = std::max(TitleLineCount, Titles.back().size());
        Drawn->Panels.emplace_back();
        Drawn->Panels.back().Title = Title;
        Drawn->Panels.back().Plane = Plane;
    }
    if (cairo_status(Measure.get()) != CAIRO_STATUS_SUCCESS) {
        *Why = cairo_status_to_string(cairo_status(Measure.get()));
        return false;
    }

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

    Drawn->Width = Layout.Width;
    Drawn->Height = Layout.Height;
    Drawn->Zones = Data.Zones.size();
    Drawn->Heading = Heading;
    cairo_set_source_rgb(Cr.get(), 0, 0, 0);
    cairo_set_font_size(Cr.get(), HeadingSize);
    for (size_t Line = 0; Line < Heading.size(); ++Line) {
        DrawText(Cr.get(), Heading[Line], 6, 19 + HeadingLineHeight * double(Line), Align::Left,
                 nullptr);
    }
    for (size_t Index = 0; Index < Layout.Panels.size(); ++Index) {
        DrawPanel(Cr.get(), Data, Data.Zones[Index], Options, Titles[Index], int(TitleLineCount),
                  Layout.Panels[Index], &Drawn->Panels[Index]);
    }
    if (Layout.FooterHeight > 0) {
        const size_t Zones = Data.Zones.size();
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
