// The picture of a load, read back from its PNG as a person would look at
// it: how many panels, the colour of known points against the colour map,
// which way I and J run, the colour of values that are NaN or infinite, the
// axis and colour bar texts; and --picture and the session's picture command
// around loads that succeed, fail or cannot write it.
#include "expected_data_set.h"
#include "program_runner.h"
#include "vyrhost_files.h"

#include "colour_map.h"
#include "picture.h"

#include <gtest/gtest.h>

#ifdef LOADHDF_PICTURE_READER
#include <cairo.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

using namespace VyrhostTest;
using VyrHostProgram::MapColour;
using VyrHostProgram::PixelOf;

namespace {

#ifdef LOADHDF_PICTURE_READER

constexpr VyrFieldType_t FieldDouble = 2;
const double NaN = std::numeric_limits<double>::quiet_NaN();

// A zone of doubles: Columns[v] holds variable v + 1 at every point, I
// fastest.
VyrHost::Zone MakeZone(int32_t I, int32_t J, int32_t K,
                       const std::vector<std::vector<double>>& Columns) {
    VyrHost::Zone Z;
    Z.Name = "Zone 1";
    Z.IMax = I;
    Z.JMax = J;
    Z.KMax = K;
    for (const std::vector<double>& Column : Columns) {
        Z.FieldTypes.push_back(FieldDouble);
        Z.Storage.emplace_back(Column.size() * sizeof(double));
        std::memcpy(Z.Storage.back().data(), Column.data(), Column.size() * sizeof(double));
    }
    return Z;
}

// Coordinates Dimension 1 = 10 i, Dimension 2 = -j, Dimension 3 = k / 2 and
// V from Value(i, j, k), for every point.
VyrHost::Zone GridZone(int32_t I, int32_t J, int32_t K,
                       const std::function<double(int32_t, int32_t, int32_t)>& Value) {
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
    return MakeZone(I, J, K, Columns);
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

struct PictureCase {
    const char* Name;
    VyrHost::DataSet Data;
    int32_t Plane;
    size_t Panels;
    std::function<void(const Png&, const VyrHostProgram::PictureDrawn&)> Check;
};

TEST(VyrhostPicture, DrawsWhatAPersonWouldCheck) {
    const double Top = MapColour(1).R, Bottom = MapColour(0).R;
    ASSERT_NE(Top, Bottom);
    const PictureCase Cases[] = {
        {"a ramp rising along I and J",
         DataSetOf({GridZone(4, 3, 1, [](int I, int J, int) { return I + 10.0 * J; })}), 0, 1,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_FALSE(Panel.LinePlot);
             EXPECT_EQ(Panel.Low, 11);
             EXPECT_EQ(Panel.High, 34);
             // The largest value top right, the smallest bottom left.
             EXPECT_EQ(CellPixel(Picture, Panel, 4, 3, 4, 3), PixelOf(MapColour(1)));
             EXPECT_EQ(CellPixel(Picture, Panel, 1, 1, 4, 3), PixelOf(MapColour(0)));
             EXPECT_EQ(CellPixel(Picture, Panel, 2, 2, 4, 3),
                       PixelOf(MapColour((22.0 - 11) / (34 - 11))));
             // The colour bar: the top of the map at its top.
             EXPECT_EQ(Picture.At(Panel.Bar.X + Panel.Bar.Width / 2, Panel.Bar.Y),
                       PixelOf(MapColour(1)));
             // Axes ticked with the coordinates' ranges, named, and V's range.
             for (const char* Text :
                  {"10", "40", "-1", "-3", "Dimension 1", "Dimension 2", "11", "34"})
                 EXPECT_TRUE(HasText(Panel, Text)) << Text;
         }},
        {"values that are NaN or infinite",
         DataSetOf({GridZone(3, 3, 1,
                             [](int I, int J, int) {
                                 if (I == 2 && J == 2)
                                     return NaN;
                                 return I == 3 && J == 1 ? std::numeric_limits<double>::infinity()
                                                         : double(I * J);
                             })}),
         0, 1,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_EQ(Panel.NotFinite, 2);
             const uint32_t Apart = PixelOf(VyrHostProgram::NotFiniteColour);
             EXPECT_EQ(CellPixel(Picture, Panel, 2, 2, 3, 3), Apart);
             EXPECT_EQ(CellPixel(Picture, Panel, 3, 1, 3, 3), Apart);
             EXPECT_EQ(CellPixel(Picture, Panel, 3, 3, 3, 3), PixelOf(MapColour(1)));
             EXPECT_TRUE(HasText(Panel, "NaN/inf"));
             EXPECT_EQ(Panel.High, 9); // the infinite value is not the top of the scale
         }},
        {"the middle plane of a zone of five",
         DataSetOf({GridZone(3, 2, 5, [](int I, int, int K) { return I + 100.0 * K; })}), 0, 1,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_EQ(Panel.Plane, 3);
             EXPECT_NE(Panel.Title.find("K 3 of 5 (Dimension 3 = 1.5)"), std::string::npos)
                 << Panel.Title;
             EXPECT_EQ(Panel.Low, 301);
             EXPECT_EQ(CellPixel(Picture, Panel, 3, 1, 3, 2), PixelOf(MapColour(1)));
         }},
        {"another plane chosen",
         DataSetOf({GridZone(3, 2, 5, [](int I, int, int K) { return I + 100.0 * K; })}), 5, 1,
         [](const Png&, const VyrHostProgram::PictureDrawn& Drawn) {
             EXPECT_EQ(Drawn.Panels[0].Plane, 5);
             EXPECT_EQ(Drawn.Panels[0].High, 503);
         }},
        {"a row: V against I",
         DataSetOf({GridZone(5, 1, 1, [](int I, int, int) { return I * I; })}), 0, 1,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             const VyrHostProgram::PanelDrawn& Panel = Drawn.Panels[0];
             EXPECT_TRUE(Panel.LinePlot);
             EXPECT_EQ(Panel.Bar.Width, 0);
             for (const char* Text : {"10", "50", "1", "25", "Dimension 1", "V"})
                 EXPECT_TRUE(HasText(Panel, Text)) << Text;
             // The last, largest point at the top right corner of the plot,
             // the first at the bottom left: ink there, none at the other two.
             const VyrHostProgram::PixelBox& Plot = Panel.Plot;
             EXPECT_NE(Picture.At(Plot.X + Plot.Width - 2, Plot.Y + 1), 0xFFFFFFu);
             EXPECT_NE(Picture.At(Plot.X + 1, Plot.Y + Plot.Height - 2), 0xFFFFFFu);
             EXPECT_EQ(Picture.At(Plot.X + 3, Plot.Y + 3), 0xFFFFFFu);
             EXPECT_EQ(Picture.At(Plot.X + Plot.Width - 4, Plot.Y + Plot.Height - 4), 0xFFFFFFu);
         }},
        {"six hundred small zones",
         [] {
             std::vector<VyrHost::Zone> Zones;
             for (int Index = 0; Index < 600; ++Index)
                 Zones.push_back(
                     GridZone(2, 2, 1, [Index](int I, int J, int) { return Index + I + J; }));
             return DataSetOf(std::move(Zones));
         }(),
         0, 40,
         [](const Png& Picture, const VyrHostProgram::PictureDrawn& Drawn) {
             EXPECT_EQ(Drawn.Zones, 600u);
             EXPECT_LE(Picture.Width(), 1920);
             EXPECT_LE(Picture.Height(), 1080);
             EXPECT_EQ(Drawn.Panels.back().Title, "Zone 40: Converted HDF data set");
             for (const VyrHostProgram::PanelDrawn& Panel : Drawn.Panels)
                 EXPECT_GE(Panel.Plot.Width, 80);
         }},
    };
    for (const PictureCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const std::string Path = TestHdf::TempPath("picture.png");
        VyrHostProgram::PictureDrawn Drawn;
        std::string Why;
        ASSERT_TRUE(VyrHostProgram::DrawPicture(Case.Data, Case.Plane, Path, &Drawn, &Why)) << Why;
        const Png Picture(Path);
        ASSERT_TRUE(Picture.Read());
        EXPECT_EQ(Picture.Width(), Drawn.Width);
        EXPECT_EQ(Picture.Height(), Drawn.Height);
        ASSERT_EQ(Drawn.Panels.size(), Case.Panels);
        for (size_t Index = 0; Index < Drawn.Panels.size(); ++Index)
            EXPECT_EQ(Drawn.Panels[Index].Title.rfind(
                          "Zone " + std::to_string(Index + 1) + ": Converted HDF data set", 0),
                      0u);
        Case.Check(Picture, Drawn);
    }
}

#endif

// --picture comes after the load has said what it says; a picture that cannot
// be written is an error line and exit status 1, a load that made nothing
// leaves nothing to draw.
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
    const std::string List = TestHdf::TempPath("picture-list.txt");
    TestHdf::WriteText(List, "M" + Data + "\nS1\n");
    const ProgramRun Load = RunVyrhost({"load", Data, "--picture", Loaded, "--plane", "1"});
    const ProgramRun Script =
        RunVyrhost({"script", "-"}, TextOf({"replay " + List, "picture " + Scripted}));
    EXPECT_EQ(Load.ExitStatus, 0) << Load.Err;
    EXPECT_EQ(Script.ExitStatus, 0) << Script.Err;
    for (const std::string& Png : {Loaded, Scripted})
        EXPECT_EQ(ReadText(Png).substr(0, 8), "\x89PNG\r\n\x1a\n") << Png;
}

} // namespace
