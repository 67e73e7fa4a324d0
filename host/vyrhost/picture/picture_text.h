// The picture's texts with Cairo: their sizes, measuring, fitting and
// drawing. A text too wide for its room goes onto a second line, and what
// still does not fit is cut with an ellipsis, so that no text runs over its
// neighbours. Every text drawn is made printable first (printable_text.h).
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_TEXT_H
#define LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_TEXT_H

#include <cairo.h>

#include <cstddef>
#include <string>
#include <vector>

namespace VyrHostProgram {

// Font sizes: ticks, axis names and legends; panel titles; the heading.
constexpr double FontSize = 10.5, TitleSize = 12, HeadingSize = 14;
constexpr int TitleLineHeight = 15, HeadingLineHeight = 18;

// How far Text (printable) moves the pen in Cr's font.
double TextWidth(cairo_t* Cr, const std::string& Text);

// A printable Text cut at its end, with an ellipsis, to fit Width.
std::string CutAtEnd(cairo_t* Cr, const std::string& Text, double Width);

// A printable Text cut in its middle, with an ellipsis, to fit Width: for
// a file name, whose end says as much as its start.
std::string CutInMiddle(cairo_t* Cr, const std::string& Text, double Width);

// A printable Text in at most MaxLines lines of Width, broken at blanks
// (within a word only when the word alone is too wide); what the last line
// cannot hold is cut with an ellipsis. At least one line, maybe empty.
std::vector<std::string> WrapText(cairo_t* Cr, const std::string& Text, double Width,
                                  size_t MaxLines);

enum class Align { Left, Centre, Right };

// Draws Text (any bytes) with its baseline at Y, placed on X as Where
// says; appends Text as given to *Texts unless Texts is null.
void DrawText(cairo_t* Cr, const std::string& Text, double X, double Y, Align Where,
              std::vector<std::string>* Texts);

// An axis name written upwards, centred on Y, its baseline at X; recorded
// as DrawText does.
void DrawUpwardText(cairo_t* Cr, const std::string& Text, double X, double Y,
                    std::vector<std::string>* Texts);

} // namespace VyrHostProgram

#endif
