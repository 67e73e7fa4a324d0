// Draws the picture with Cairo: the texts are measured first, since how
// many lines the heading and the panels' titles take decides where the
// panels go; then the heading, each panel and, when zones are left out, the
// footer are drawn onto a white page that is written as a PNG file.
#include "picture.h"

#include "picture_canvas.h"
#include "picture_heading.h"
#include "picture_layout.h"
#include "picture_panel.h"
#include "picture_text.h"
#include "printable_text.h"

#include <cairo.h>

#include <algorithm>

namespace VyrHostProgram {
namespace {

// The picture's texts as they fit, and the layout they make.
struct MeasuredTexts {
    std::vector<std::string> Heading;
    PictureLayout Layout;
    std::vector<std::vector<std::string>> Titles; // each panel's lines
    size_t TitleLineCount = 1;                    // the most lines of any title
};

// Each panel's title, wrapped to its panel in Cr's font; records the
// titles and planes in *Drawn.
void MeasureTitles(cairo_t* Cr, const VyrHost::DataSet& Data, const PictureOptions& Options,
                   const PictureLabels& Labels, MeasuredTexts* Texts, PictureDrawn* Drawn) {
    for (size_t Index = 0; Index < Texts->Layout.Panels.size(); ++Index) {
        int32_t Plane = 0;
        const std::string Title =
            PanelTitle(Data, Data.Zones[Index], Index, Options, Labels, &Plane);
        Texts->Titles.push_back(
            WrapText(Cr, Printable(Title), Texts->Layout.Panels[Index].Width - 8, 2));
        Texts->TitleLineCount = std::max(Texts->TitleLineCount, Texts->Titles.back().size());
        Drawn->Panels.emplace_back();
        Drawn->Panels.back().Title = Title;
        Drawn->Panels.back().Plane = Plane;
    }
}

// False, with Why, when Cairo cannot measure.
bool MeasureTexts(const VyrHost::DataSet& Data, const PictureOptions& Options,
                  const PictureLabels& Labels, MeasuredTexts* Texts, PictureDrawn* Drawn,
                  std::string* Why) {
    SurfacePtr Scratch(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1), cairo_surface_destroy);
    ContextPtr Measure(cairo_create(Scratch.get()), cairo_destroy);
    cairo_select_font_face(Measure.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    const int PanelsWide = LayOutPicture(Data.Zones.size(), 1).Width;
    cairo_set_font_size(Measure.get(), HeadingSize);
    Texts->Heading = HeadingLines(Measure.get(), Data, Options, Labels, PanelsWide - 12);
    Texts->Layout = LayOutPicture(Data.Zones.size(), int(Texts->Heading.size()));
    cairo_set_font_size(Measure.get(), TitleSize);
    MeasureTitles(Measure.get(), Data, Options, Labels, Texts, Drawn);
    if (cairo_status(Measure.get()) != CAIRO_STATUS_SUCCESS) {
        *Why = cairo_status_to_string(cairo_status(Measure.get()));
        return false;
    }
    return true;
}

void DrawHeading(cairo_t* Cr, const std::vector<std::string>& Heading) {
    cairo_set_source_rgb(Cr, 0, 0, 0);
    cairo_set_font_size(Cr, HeadingSize);
    for (size_t Line = 0; Line < Heading.size(); ++Line) {
        DrawText(Cr, Heading[Line], 6, 19 + HeadingLineHeight * double(Line), Align::Left, nullptr);
    }
}

// The line that names the zones left out.
void DrawFooter(cairo_t* Cr, const PictureLayout& Layout, size_t Zones) {
    cairo_set_source_rgb(Cr, 0, 0, 0);
    cairo_set_font_size(Cr, TitleSize);
    DrawText(Cr,
             "Zones " + std::to_string(Layout.Panels.size() + 1) + " to " + std::to_string(Zones) +
                 " are not drawn: a screen holds " + std::to_string(Layout.Panels.size()) +
                 " panels.",
             6, Layout.Height - 6, Align::Left, nullptr);
}

} // namespace

bool PicturesAvailable() {
    return true;
}

bool DrawPicture(const VyrHost::DataSet& Data, const PictureOptions& Options,
                 const PictureLabels& Labels, const std::string& Path, PictureDrawn* Drawn,
                 std::string* Why) {
    *Drawn = PictureDrawn{};
    MeasuredTexts Texts;
    if (!MeasureTexts(Data, Options, Labels, &Texts, Drawn, Why)) {
        return false;
    }
    const PictureLayout& Layout = Texts.Layout;
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
    Drawn->Heading = Texts.Heading;
    DrawHeading(Cr.get(), Texts.Heading);
    for (size_t Index = 0; Index < Layout.Panels.size(); ++Index) {
        DrawPanel(Cr.get(), Data, Data.Zones[Index], Options, Texts.Titles[Index],
                  int(Texts.TitleLineCount), Layout.Panels[Index], &Drawn->Panels[Index]);
    }
    if (Layout.FooterHeight > 0) {
        DrawFooter(Cr.get(), Layout, Data.Zones.size());
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
