// Fitting measures the text Cairo would draw, character by character from
// the end, so that a cut never splits a UTF-8 character.
#include "picture_text.h"

#include "printable_text.h"

#include <cmath>

namespace VyrHostProgram {
namespace {

const char* const Ellipsis = "\xE2\x80\xA6";

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

// Where the line that starts Rest ends when it cannot take all of it: at
// the last blank that fits, else (one long word) at the last character.
size_t LineBreak(cairo_t* Cr, const std::string& Rest, double Width) {
    const size_t Fit = FittingStart(Cr, Rest, Width, "");
    const size_t Break = Rest.rfind(' ', Fit);
    return Break == std::string::npos || Break == 0 ? Fit : Break;
}

} // namespace

double TextWidth(cairo_t* Cr, const std::string& Text) {
    cairo_text_extents_t Extents;
    cairo_text_extents(Cr, Text.c_str(), &Extents);
    return Extents.x_advance;
}

std::string CutAtEnd(cairo_t* Cr, const std::string& Text, double Width) {
    if (TextWidth(Cr, Text) <= Width) {
        return Text;
    }
    return Text.substr(0, FittingStart(Cr, Text, Width, Ellipsis)) + Ellipsis;
}

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

std::vector<std::string> WrapText(cairo_t* Cr, const std::string& Text, double Width,
                                  size_t MaxLines) {
    std::vector<std::string> Lines;
    std::string Rest = Text;
    while (!Rest.empty()) {
        if (TextWidth(Cr, Rest) <= Width || Lines.size() + 1 >= MaxLines) {
            Lines.push_back(CutAtEnd(Cr, Rest, Width));
            break;
        }
        const size_t Break = LineBreak(Cr, Rest, Width);
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

void DrawUpwardText(cairo_t* Cr, const std::string& Text, double X, double Y,
                    std::vector<std::string>* Texts) {
    cairo_save(Cr);
    cairo_translate(Cr, X, Y);
    cairo_rotate(Cr, -M_PI / 2);
    DrawText(Cr, Text, 0, 0, Align::Centre, Texts);
    cairo_restore(Cr);
}

} // namespace VyrHostProgram
