// The picture of a load, read back from its PNG as a person would look at
// it: how many panels and their titles, the colour of known points against
// the colour map, which way I and J run, the colour of values without data
// (NaN, infinite, blank), a fixed colour range, ticks at round values where
// their values are, a line plot clear of its frame; and --picture and the
// session's picture command around loads that succeed, fail or cannot write
// it.
#include "expected_data_set.h"
#include "program_runner.h"
#include "vyrhost_files.h"

#include "colour_map.h"
#include "picture.h"
#include "round_values.h"

#include <gtest/gtest.h>

#ifdef LOADHDF_PICTURE_READER
#include <cairo.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>

using namespace VyrhostTest;
using VyrHostProgram::MapColour;
using VyrHostProgram::PixelOf;

namespace {

#ifdef LOADHDF_PICTURE_READER

const double NaN = std::numeric_limits<double>::quiet_NaN();

// A zone: Columns[v] holds variable v + 1 at every point, I fastest, as
// doubles; V, the last, as ValueType (float or double) holds them.
VyrHost::Zone MakeZone(int32_t I, int32_t J, int32_t K,
                       const std::vector<std::vector<double>>& Columns,
                       VyrFieldType_t ValueType = VYR_FIELD_TYPE_DOUBLE) {
    VyrHost::Zone Z;
    Z.Name = "Zone 1";
    Z.IMax = I;
    Z.JMax = J;
    Z.KMax = K;
    for (size_t Var = 0; Var < Columns.size(); ++Var) {
        const std::vector<double>& Column = Columns[Var];
        if (Var + 1 == Columns.size() && ValueType == VYR_FIELD_TYPE_FLOAT) {
            const std::vector<float> Floats(Column.begin(), Column.end());
            Z.FieldTypes.push_back(VYR_FIELD_TYPE_FLOAT);
            Z.Storage.emplace_back(Floats.size() * sizeof(float));
            std::memcpy(Z.Storage.back().data(), Floats.data(), Floats.size() * sizeof(float));
            continue;
        }
        Z.FieldTypes.push_back(VYR_FIELD_TYPE_DOUBLE);
        Z.Storage.emplace_back(Column.size() * sizeof(double));
        std::memcpy(Z.Storage.back().data(), Column.data(), Column.size() * sizeof(double));
    }
    return Z;
}

// Coordinates Dimension 1 = 10 i, Dimension 2 = -j, Dimension 3 = k / 2 and
// V from Value(i, j, k), for every point.
VyrHost::Zone GridZone(int32_t I, int32_t J, int32_t K,
                       const std::function<double(int32_t, int32_t, int32_t)>& Value,
                       VyrFieldType_t ValueType = VYR_FIELD_TYPE_DOUBLE) {
    const int Rank = K > 1 ? 3 : (J > 1 ? 2 : 1);
    std::vector<std::vector<double>> Columns(size_t(Rank) + 1);
    for (int32_t Kk = 1; Kk <= K; ++Kk)
        for (int32_t Jj = 1; Jj <= J; ++Jj)
            for (int32_t Ii = 1; Ii <= I; ++Ii) {
                Columns[0].push_back(10.0 * Ii);
                if (Rank > 1)
                    Columns[1].push_back(-Jj);
                if (Rank > 2)
                    Columns[2].push_back(Kk / 2.0);
                Columns[size_t(Rank)].push_back(Value(Ii, Jj, Kk));
            }
    return MakeZone(I, J, K, Columns, ValueType);
}

VyrHost::DataSet DataSetOf(std::vector<VyrHost::Zone> Zones) {
    VyrHost::DataSet Data;
    Data.Title = "Converted HDF data set";
    const size_t Vars = Zones.empty() ? 0 : Zones[0].FieldTypes.size();
    const char* Names[] = {"Dimension 1", "Dimension 2", "Dimension 3"};
    for (size_t Var = 0; Var + 1 < Vars; ++Var)
        Data.VarNames.push_back(Names[Var]);
    Data.VarNames.push_back("V");
    for (size_t Index = 0; Index < Zones.size(); ++Index) {
        Zones[Index].Name = "Zone " + std::to_string(Index + 1);
        Data.Zones.push_back(std::move(Zones[Index]));
    }
    return Data;
}

// The PNG as its pixels (0xRRGGBB).
class Png {
  public:
    explicit Png(const std::string& Path)
        : Surface(cairo_image_surface_create_from_png(Path.c_str())) {}
    ~Png() { cairo_surface_destroy(Surface); }
    bool Read() const { return cairo_surface_status(Surface) == CAIRO_STATUS_SUCCESS; }
    int Width() const { return cairo_image_surface_get_width(Surface); }
    int Height() const { return cairo_image_surface_get_height(Surface); }
    uint32_t At(int X, int Y) const {
        const unsigned char* Row = cairo_image_surface_get_data(Surface) +
                                   size_t(Y) * size_t(cairo_image_surface_get_stride(Surface));
        return reinterpret_cast<const uint32_t*>(Row)[X] & 0xFFFFFF;
    }

  private:
    cairo_surface_t* Surface;
};

// The pixel at the centre of grid cell (I, J) of a panel of an IMax x JMax
// zone: I across, J up.
uint32_t CellPixel(const Png& Picture, const VyrHostProgram::PanelDrawn& Panel, int32_t I,
                   int32_t J, int32_t IMax, int32_t JMax) {
    const VyrHostProgram::PixelBox& Plot = Panel.Plot;
    return Picture.At(Plot.X + int((I - 0.5) * Plot.Width / IMax),
                      Plot.Y + Plot.Height - 1 - int((J - 0.5) * Plot.Height / JMax));
}

bool HasText(const VyrHostProgram::PanelDrawn& Panel, const std::string& Text) {
    return std::find(Panel.Texts.begin(), Panel.Texts.end(), Text) != Panel.Texts.end();
}

// Ticks as a person wants them: a handful, Low to High, one step apart, the
// step 1, 2 or 5 times a power of ten and each value a multiple of it, and
// each label the value with no needless digit.
void ExpectRoundTicks(const std::vector<VyrHostProgram::TickDrawn>& Ticks, double Low, double High,
                      const char* Axis) {
    SCOPED_TRACE(Axis);
    ASSERT_GE(Ticks.size(), 2u);
    EXPECT_LE(Ticks.size(), 8u);
    const double Step = Ticks[1].Value - Ticks[0].Value;
    ASSERT_GT(Step, 0);
    const double Power = std::pow(10.0, std::floor(std::log10(Step) + 1e-9));
    const double Mantissa = Step / Power;
    EXPECT_TRUE(std::fabs(Mantissa - 1) < 1e-9 || std::fabs(Mantissa - 2) < 1e-9 ||
                std::fabs(Mantissa - 5) < 1e-9)
        << "step " << Step;
    const int Decimals = std::max(0, -static_cast<int>(std::floor(std::log10(Step) + 1e-9)));
    for (size_t Index = 0; Index < Ticks.size(); ++Index) {
        const VyrHostProgram::TickDrawn& Tick = Ticks[Index];
        SCOPED_TRACE(Tick.Label);
        if (Index > 0) {
            EXPECT_NEAR(Tick.Value - Ticks[Index - 1].Value, Step, Step * 1e-9);
        }
        EXPECT_NEAR(Tick.Value / Step, std::round(Tick.Value / Step), 1e-6);
        EXPECT_GE(Tick.Value, Low - Step * 1e-6);
        EXPECT_LE(Tick.Value, High + Step * 1e-6);
        EXPECT_NEAR(std::strtod(Tick.Label.c_str(), nullptr), Tick.Value, Step * 1e-6);
        const std::string::size_type Point = Tick.Label.find('.');
        if (Point != std::string::npos) {
            EXPECT_NE(Tick.Label.back(), '0');
            EXPECT_LE(int(Tick.Label.size() - Point - 1), Decimals);
        }
    }
}

// Whether any pixel of Box is not the background's white.
bool InkIn(const Png& Picture, const VyrHostProgram::PixelBox& Box) {
    for (int Y = Box.Y; Y < Box.Y + Box.Height; ++Y)
        for (int X = Box.X; X < Box.X + Box.Width; ++X)
            if (Picture.At(X, Y) != 0xFFFFFFu)
                return true;
    return false;
}

struct PictureCase {
    const char* Name;
    VyrHost::DataSet Data;
    VyrHostProgram::PictureOptions Options;
    VyrHostProgram::PictureLabels Labels;
    size_t Panels;
    std::function<void(const Png&, const VyrHostProgram::PictureDrawn&)> Check;
};

VyrHostProgram::PictureOptions Plane(int32_t K) {
    VyrHostProgram::PictureOptions Options;
    Options.Plane = K;
    return Options;
}

TEST(VyrhostPicture, DrawsWhatAPersonWouldCheck) {
    const double Top = MapColour(1).R, Bottom = MapColour(0).R;
    ASSERT_NE(Top, Bottom);
    const uint32_t NoData = PixelOf(VyrHostProgram::NoDataColour);
    VyrHostProgram::PictureOptions Blanks;
    Blanks.Blanks = {-9999, -0.1};
    VyrHostProgram::PictureOptions Range;
    Range.Range = VyrHostProgram::ValueRange{0, 10};
    VyrHostProgram::PictureLabels Loaded;
    Loaded.FileName = "granule.hdf";
    Loaded.ZoneSources = {"(2) Surface pressure (8x6)", ""};
    const PictureCase Cases[] = {
        {"a ramp rising along I and J",
         DataSetOf({GridZone(4, 3, 1, [](int I, int J, int) { return I + 10.0 * J; })}),
         {},
         {},
         1,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_FALSE(Panel.LinePlot);
             EXPECT_EQ(Panel.Low, 11);
             EXPECT_EQ(Panel.High, 34);
             EXPECT_FALSE(Panel.FixedRange);
             // The largest value top right, the smallest bottom left.
             EXPECT_EQ(CellPixel(Picture, Panel, 4, 3, 4, 3), PixelOf(MapColour(1)));
             EXPECT_EQ(CellPixel(Picture, Panel, 1, 1, 4, 3), PixelOf(MapColour(0)));
             EXPECT_EQ(CellPixel(Picture, Panel, 2, 2, 4, 3),
                       PixelOf(MapColour((22.0 - 11) / (34 - 11))));
             // The colour bar: the top of the map at its top.
             EXPECT_EQ(Picture.At(Panel.Bar.X + Panel.Bar.Width / 2, Panel.Bar.Y),
                       PixelOf(MapColour(1)));
             // Axes ticked at round coordinates, whose ends here are round
             // too, and named.
             for (const char* Text : {"10", "40", "-1", "-3", "Dimension 1", "Dimension 2"})
                 EXPECT_TRUE(HasText(Panel, Text)) << Text;
             // Whole coordinates, such as J's -1 to -3, have whole ticks
             // only: a J of -2.5 means nothing.
             ExpectRoundTicks(Panel.Up, -3, -1, "J");
             for (const VyrHostProgram::TickDrawn& Tick : Panel.Up)
                 EXPECT_EQ(Tick.Value, std::floor(Tick.Value)) << Tick.Label;
         }},
        {"ticks at round values, where those values are",
         // I's coordinates 10 i, J's -j: the cells' centres carry them.
         DataSetOf({GridZone(9, 7, 1, [](int I, int J, int) { return 101125 + 3.7 * I * J; })}),
         {},
         {},
         1,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             const VyrHostProgram::PixelBox& Plot = Panel.Plot;
             ExpectRoundTicks(Panel.Across, 10, 90, "I");
             for (const VyrHostProgram::TickDrawn& Tick : Panel.Across)
                 EXPECT_NEAR(Tick.At, Plot.X + (Tick.Value / 10 - 0.5) * Plot.Width / 9, 0.5)
                     << Tick.Label;
             ExpectRoundTicks(Panel.Up, -7, -1, "J");
             for (const VyrHostProgram::TickDrawn& Tick : Panel.Up)
                 EXPECT_NEAR(Tick.At, Plot.Y + Plot.Height - (-Tick.Value - 0.5) * Plot.Height / 7,
                             0.5)
                     << Tick.Label;
             // The colour bar spans the data's range, its labels round
             // values inside it, each beside its own colour.
             EXPECT_EQ(Panel.Low, 101125 + 3.7);
             EXPECT_EQ(Panel.High, 101125 + 3.7 * 63);
             ExpectRoundTicks(Panel.BarTicks, Panel.Low, Panel.High, "colour bar");
             for (const VyrHostProgram::TickDrawn& Tick : Panel.BarTicks) {
                 const uint32_t Wanted =
                     PixelOf(MapColour((Tick.Value - Panel.Low) / (Panel.High - Panel.Low)));
                 int Nearest = -1, NearestDistance = 1 << 30;
                 for (int Y = Panel.Bar.Y; Y < Panel.Bar.Y + Panel.Bar.Height; ++Y) {
                     const uint32_t Pixel = Picture.At(Panel.Bar.X + Panel.Bar.Width / 2, Y);
                     int Distance = 0;
                     for (int Shift : {0, 8, 16})
                         Distance +=
                             std::abs(int((Pixel >> Shift) & 0xFF) - int((Wanted >> Shift) & 0xFF));
                     if (Distance < NearestDistance) {
                         Nearest = Y;
                         NearestDistance = Distance;
                     }
                 }
                 EXPECT_NEAR(Tick.At, Nearest + 0.5, 1.5) << Tick.Label;
             }
             EXPECT_FALSE(HasText(Panel, "101129"));
             EXPECT_FALSE(HasText(Panel, "101358"));
         }},
        {"the middle plane of a zone of five",
         DataSetOf({GridZone(3, 2, 5, [](int I, int, int K) { return I + 100.0 * K; })}),
         {},
         {},
         1,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_EQ(Panel.Plane, 3);
             EXPECT_EQ(Panel.Title, "Zone 1, K 3 of 5 (Dimension 3 = 1.5)");
             EXPECT_EQ(Panel.Low, 301);
             EXPECT_EQ(CellPixel(Picture, Panel, 3, 1, 3, 2), PixelOf(MapColour(1)));
         }},
        {"another plane chosen",
         DataSetOf({GridZone(3, 2, 5, [](int I, int, int K) { return I + 100.0 * K; })}),
         Plane(5),
         {},
         1,
         [](const Png&, const VyrHostProgram::PictureDrawn& Drawn) {
             EXPECT_EQ(Drawn.Panels[0].Plane, 5);
             EXPECT_EQ(Drawn.Panels[0].High, 503);
         }},
        {"values that are NaN or infinite",
         DataSetOf({GridZone(3, 3, 1,
                             [](int I, int J, int) {
                                 if (I == 2 && J == 2)
                                     return NaN;
                                 return I == 3 && J == 1 ? std::numeric_limits<double>::infinity()
                                                         : double(I * J);
                             })}),
         {},
         {},
         1,
         [NoData](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_EQ(Panel.NotFinite, 2);
             EXPECT_EQ(Panel.Blanked, 0);
             EXPECT_EQ(CellPixel(Picture, Panel, 2, 2, 3, 3), NoData);
             EXPECT_EQ(CellPixel(Picture, Panel, 3, 1, 3, 3), NoData);
             EXPECT_EQ(CellPixel(Picture, Panel, 3, 3, 3, 3), PixelOf(MapColour(1)));
             EXPECT_TRUE(HasText(Panel, "no data"));
             EXPECT_EQ(Panel.High, 9); // the infinite value is not the top of the scale
         }},
        {"blank values: fill values drawn as no data, outside the range",
         // Float values: -0.1 stored as a float is not the double -0.1,
         // and still the blank value the user typed.
         DataSetOf({GridZone(
             3, 3, 1,
             [](int I, int J, int) {
                 if (I == 2 && J == 2)
                     return -0.1;
                 return I == 1 && J == 3 ? -9999.0 : double(I * J);
             },
             VYR_FIELD_TYPE_FLOAT)}),
         Blanks,
         {},
         1,
         [NoData](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_EQ(Panel.Blanked, 2);
             EXPECT_EQ(Panel.NotFinite, 0);
             EXPECT_EQ(CellPixel(Picture, Panel, 2, 2, 3, 3), NoData);
             EXPECT_EQ(CellPixel(Picture, Panel, 1, 3, 3, 3), NoData);
             // The valid values alone make the colours: 1 to 9.
             EXPECT_EQ(Panel.Low, 1);
             EXPECT_EQ(Panel.High, 9);
             EXPECT_EQ(CellPixel(Picture, Panel, 1, 1, 3, 3), PixelOf(MapColour(0)));
             EXPECT_EQ(CellPixel(Picture, Panel, 3, 3, 3, 3), PixelOf(MapColour(1)));
             EXPECT_TRUE(HasText(Panel, "no data"));
             EXPECT_NE(Drawn.Heading.back().find("no data: -9999, -0.1"), std::string::npos)
                 << Drawn.Heading.back();
         }},
        {"a fixed range: values outside it at its ends",
         DataSetOf({GridZone(4, 2, 1, [](int I, int, int) { return -5.0 + 5 * (I - 1); })}),
         Range,
         {},
         1,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_TRUE(Panel.FixedRange);
             EXPECT_EQ(Panel.Low, 0);
             EXPECT_EQ(Panel.High, 10);
             EXPECT_EQ(CellPixel(Picture, Panel, 1, 1, 4, 2), PixelOf(MapColour(0))); // -5
             EXPECT_EQ(CellPixel(Picture, Panel, 2, 1, 4, 2), PixelOf(MapColour(0))); // 0
             EXPECT_EQ(CellPixel(Picture, Panel, 3, 2, 4, 2), PixelOf(MapColour(0.5)));
             EXPECT_EQ(CellPixel(Picture, Panel, 4, 2, 4, 2), PixelOf(MapColour(1))); // 10
             ExpectRoundTicks(Panel.BarTicks, 0, 10, "colour bar");
             EXPECT_EQ(Panel.BarTicks.front().Label, "0");
             EXPECT_EQ(Panel.BarTicks.back().Label, "10");
             EXPECT_EQ(Panel.NotFinite + Panel.Blanked, 0);
             EXPECT_FALSE(HasText(Panel, "no data"));
         }},
        {"a row: V against I, clear of its frame, ticked at round values",
         // I's coordinates -3 to 2 in nine steps, V up to 11.8254: ends a
         // person should not have to read.
         DataSetOf({MakeZone(
             10, 1, 1,
             {{-3, -2.4444, -1.8889, -1.3333, -0.7778, -0.2222, 0.3333, 0.8889, 1.4444, 2},
              {0, 1, 4, 9, 11.8254, 9, 4, 1, 0.5, 3}})}),
         {},
         {},
         1,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_TRUE(Panel.LinePlot);
             EXPECT_EQ(Panel.Bar.Width, 0);
             for (const char* Text : {"-3", "2", "0", "Dimension 1", "V"})
                 EXPECT_TRUE(HasText(Panel, Text)) << Text;
             EXPECT_FALSE(HasText(Panel, "11.8254"));
             ExpectRoundTicks(Panel.Across, -3, 2, "I");
             ExpectRoundTicks(Panel.Up, 0, 11.8254, "V");
             // The largest point at the top of the values' box, the first
             // at its bottom left: ink there.
             const VyrHostProgram::PixelBox& Plot = Panel.Plot;
             const VyrHostProgram::PixelBox& Data = Panel.Data;
             const int Fifth = Data.X + int(std::lround((-0.7778 + 3) / 5 * Data.Width));
             EXPECT_NE(Picture.At(Fifth, Data.Y), 0xFFFFFFu);
             EXPECT_NE(Picture.At(Data.X, Data.Y + Data.Height - 1), 0xFFFFFFu);
             // That box lies inside the frame, and nothing touches the frame
             // from inside: three pixels along each side are bare.
             EXPECT_GT(Data.Y, Plot.Y + 3);
             EXPECT_LT(Data.Y + Data.Height, Plot.Y + Plot.Height - 3);
             EXPECT_GT(Data.X, Plot.X + 3);
             EXPECT_LT(Data.X + Data.Width, Plot.X + Plot.Width - 3);
             EXPECT_FALSE(InkIn(Picture, {Plot.X, Plot.Y, Plot.Width, 3}));
             EXPECT_FALSE(InkIn(Picture, {Plot.X, Plot.Y + Plot.Height - 3, Plot.Width, 3}));
             EXPECT_FALSE(InkIn(Picture, {Plot.X, Plot.Y, 3, Plot.Height}));
             EXPECT_FALSE(InkIn(Picture, {Plot.X + Plot.Width - 3, Plot.Y, 3, Plot.Height}));
         }},
        {"titles: the data set each zone was loaded from, under the file's name",
         DataSetOf({GridZone(2, 2, 1, [](int I, int J, int) { return I + J; }),
                    GridZone(2, 2, 1, [](int I, int J, int) { return I - J; }),
                    GridZone(2, 2, 1, [](int I, int J, int) { return I * J; })}),
         VyrHostProgram::PictureOptions(), Loaded, 3,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             ASSERT_EQ(Drawn.Heading.size(), 1u);
             EXPECT_EQ(Drawn.Heading[0], "granule.hdf: Converted HDF data set, 3 zones");
             EXPECT_EQ(Drawn.Panels[0].Title, "Zone 1: (2) Surface pressure (8x6)");
             // No list line known: the zone's name alone.
             EXPECT_EQ(Drawn.Panels[1].Title, "Zone 2");
             EXPECT_EQ(Drawn.Panels[2].Title, "Zone 3");
             // The titled panel's title is drawn: more ink above its plot
             // than above a panel titled with its name alone.
             auto TitleInk = [&](const VyrHostProgram::PanelDrawn& Panel) {
                 int Ink = 0;
                 for (int Y = Panel.Plot.Y - 20; Y < Panel.Plot.Y - 2; ++Y)
                     for (int X = Panel.Plot.X - 60; X < Panel.Plot.X + Panel.Plot.Width; ++X)
                         Ink += Picture.At(X, Y) != 0xFFFFFFu;
                 return Ink;
             };
             EXPECT_GT(TitleInk(Drawn.Panels[0]), 2 * TitleInk(Drawn.Panels[1]));
         }},
        {"six hundred small zones",
         [] {
             std::vector<VyrHost::Zone> Zones;
             for (int Index = 0; Index < 600; ++Index)
                 Zones.push_back(
                     GridZone(2, 2, 1, [Index](int I, int J, int) { return Index + I + J; }));
             return DataSetOf(std::move(Zones));
         }(),
         {},
         {},
         40,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             EXPECT_EQ(Drawn.Zones, 600u);
             EXPECT_LE(Picture.Width(), 1920);
             EXPECT_LE(Picture.Height(), 1080);
             EXPECT_EQ(Drawn.Panels.back().Title, "Zone 40");
             for (const VyrHostProgram::PanelDrawn& Panel : Drawn.Panels)
                 EXPECT_GE(Panel.Plot.Width, 80);
         }},
    };
    for (const PictureCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const std::string Path = TestHdf::TempPath("picture.png");
        VyrHostProgram::PictureDrawn Drawn;
        std::string Why;
        ASSERT_TRUE(
            VyrHostProgram::DrawPicture(Case.Data, Case.Options, Case.Labels, Path, &Drawn, &Why))
            << Why;
        const Png Picture(Path);
        ASSERT_TRUE(Picture.Read());
        EXPECT_EQ(Picture.Width(), Drawn.Width);
        EXPECT_EQ(Picture.Height(), Drawn.Height);
        ASSERT_EQ(Drawn.Panels.size(), Case.Panels);
        ASSERT_FALSE(Drawn.Heading.empty());
        EXPECT_NE(Drawn.Heading.front().find("Converted HDF data set"), std::string::npos);
        for (size_t Index = 0; Index < Drawn.Panels.size(); ++Index)
            EXPECT_EQ(Drawn.Panels[Index].Title.rfind("Zone " + std::to_string(Index + 1), 0), 0u);
        Case.Check(Picture, Drawn);
    }
}

#endif

// --picture comes after the load has said what it says; a picture that cannot
// be written is an error line and exit status 1, a load that made nothing
// leaves nothing to draw.
// A range whose width halves to 0 has no round step: log10 of it is not
// finite. Its ticks are its two ends; a range of normal values nearby still
// gets round steps.
TEST(VyrhostPicture, ARangeOfSubnormalValuesShowsItsTwoEnds) {
    const double Tiny = std::numeric_limits<double>::denorm_min();
    const std::vector<VyrHostProgram::RoundTick> Ticks =
        VyrHostProgram::RoundTicks(3 * Tiny, 4 * Tiny, 5);
    ASSERT_EQ(Ticks.size(), 2u);
    EXPECT_EQ(Ticks[0].Value, 3 * Tiny);
    EXPECT_EQ(Ticks[1].Value, 4 * Tiny);
    EXPECT_EQ(VyrHostProgram::RoundTicks(0, 1e-300, 5).size(), 3u);
}

TEST(VyrhostPicture, TheOptionAndTheSessionCommandDrawAfterTheLoad) {
    const std::string Data = WriteHdf("picture.hdf", {MakeSet(24, {4, 3}, "field")});
    const std::string Unwritable = TestHdf::TempPath("no-such-folder/picture.png");

    const ProgramRun Failed = RunVyrhost({"load", Data, "--picture", Unwritable});
    EXPECT_EQ(Failed.ExitStatus, 1);
    EXPECT_NE(Failed.Out.find("zone \"Zone 1\": 3 x 4 x 1"), std::string::npos) << Failed.Out;
    EXPECT_EQ(Failed.Err.rfind("error: cannot write the picture " + Unwritable + ": ", 0), 0u)
        << Failed.Err;

    const ProgramRun Nothing =
        RunVyrhost({"load", TestHdf::TempPath("missing.hdf"), "--picture", Unwritable});
    EXPECT_EQ(Nothing.ExitStatus, 1);
    EXPECT_EQ(Nothing.Err, "error: File does not exist\nvyrhost: nothing to draw: the host holds "
                           "no data set (" +
                               Unwritable + " not written)\n");

    if (!VyrHostProgram::PicturesAvailable())
        GTEST_SKIP() << "this build draws no pictures (no Cairo)";
    const std::string Loaded = TestHdf::TempPath("loaded.png");
    const std::string Scripted = TestHdf::TempPath("scripted.png");
    const std::string Refused = TestHdf::TempPath("refused.png");
    const std::string List = TestHdf::TempPath("picture-list.txt");
    TestHdf::WriteText(List, "M" + Data + "\nS1\n");
    // --blank takes one value each time, so that the file after it stays
    // the command's, and a negative value is a value.
    const ProgramRun Load = RunVyrhost({"load", "--blank", "-1", Data, "--picture", Loaded,
                                        "--plane", "1", "--blank", "0", "--range", "0:5"});
    const ProgramRun Script = RunVyrhost(
        {"script", "-"},
        TextOf({"replay " + List, "picture " + Scripted + " --blank -1 --blank=0 --range 0:5"}));
    EXPECT_EQ(Load.ExitStatus, 0) << Load.Err;
    EXPECT_NE(Load.Out.find("zone \"Zone 1\": 3 x 4 x 1"), std::string::npos) << Load.Out;
    EXPECT_EQ(Script.ExitStatus, 0) << Script.Err;
    for (const std::string& Png : {Loaded, Scripted})
        EXPECT_EQ(ReadText(Png).substr(0, 8), "\x89PNG\r\n\x1a\n") << Png;

    // A bad argument of the session's picture refuses the command, which
    // writes nothing.
    const ProgramRun Bad = RunVyrhost(
        {"script", "-"}, TextOf({"replay " + List, "picture " + Refused + " --range 5:1"}));
    EXPECT_EQ(Bad.ExitStatus, 1);
    EXPECT_EQ(Bad.Err, "vyrhost: line 2: picture " + Refused +
                           " --range 5:1: --range takes LO:HI, "
                           "two numbers with LO below HI, not '5:1'\n");
    EXPECT_EQ(ReadText(Refused), "");

#ifdef LOADHDF_PICTURE_READER
    // The same data set with the same options: the load through the dialog
    // titles its panel with the data set's list line, the replay with the
    // zone's name alone, and nothing else differs.
    const Png FromDialog(Loaded), FromList(Scripted);
    ASSERT_TRUE(FromDialog.Read());
    ASSERT_TRUE(FromList.Read());
    ASSERT_EQ(FromDialog.Width(), FromList.Width());
    ASSERT_EQ(FromDialog.Height(), FromList.Height());
    int DialogInk = 0, ListInk = 0, FirstDifferentRow = -1, LastDifferentRow = -1;
    for (int Y = 0; Y < FromDialog.Height(); ++Y)
        for (int X = 0; X < FromDialog.Width(); ++X) {
            DialogInk += FromDialog.At(X, Y) != 0xFFFFFFu;
            ListInk += FromList.At(X, Y) != 0xFFFFFFu;
            if (FromDialog.At(X, Y) != FromList.At(X, Y)) {
                FirstDifferentRow = FirstDifferentRow < 0 ? Y : FirstDifferentRow;
                LastDifferentRow = Y;
            }
        }
    EXPECT_GT(DialogInk, ListInk);
    // Only a title's line differs: a band about a line of text high.
    EXPECT_GE(FirstDifferentRow, 0);
    EXPECT_LT(LastDifferentRow - FirstDifferentRow, 20);
#endif
}

} // namespace
