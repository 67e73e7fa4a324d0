// The file's name and the data set's title are made printable before they
// are measured and joined: Cairo refuses a text that is not UTF-8.
#include "picture_heading.h"

#include "picture_text.h"
#include "printable_text.h"
#include "round_values.h"

namespace VyrHostProgram {
namespace {

struct HeadingPart {
    std::string Text;
    const char* Joint; // before it on a line it shares
};

std::vector<HeadingPart> HeadingParts(const VyrHost::DataSet& Data, const PictureOptions& Options,
                                      const PictureLabels& Labels) {
    std::vector<HeadingPart> Parts;
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
    return Parts;
}

// The parts joined into lines, each onto the line before while it fits
// Width, and all that are left onto the last of MaxHeadingLines.
std::vector<std::string> JoinParts(cairo_t* Cr, const std::vector<HeadingPart>& Parts,
                                   double Width) {
    std::vector<std::string> Lines;
    for (const HeadingPart& Next : Parts) {
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
    return Lines;
}

} // namespace

std::vector<std::string> HeadingLines(cairo_t* Cr, const VyrHost::DataSet& Data,
                                      const PictureOptions& Options, const PictureLabels& Labels,
                                      double Width) {
    const std::vector<HeadingPart> Parts = HeadingParts(Data, Options, Labels);
    std::vector<std::string> Lines = JoinParts(Cr, Parts, Width);
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

} // namespace VyrHostProgram
