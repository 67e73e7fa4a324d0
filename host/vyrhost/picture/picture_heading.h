// The picture's heading: the file's name, the data set's title and its
// number of zones, and what the user asked of the colours (the blank
// values, a fixed range), in as few lines as the picture's width allows.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_HEADING_H
#define LOADHDF_HOST_VYRHOST_PICTURE_PICTURE_HEADING_H

#include "picture.h"

#include <cairo.h>

#include <cstddef>
#include <string>
#include <vector>

namespace VyrHostProgram {

// The most lines a heading takes: what does not fit them is cut.
constexpr size_t MaxHeadingLines = 3;

// The heading's lines, 1 to MaxHeadingLines, measured in Cr's font: each
// part on the line before when it fits Width, else on a line of its own;
// each line cut to fit Width.
std::vector<std::string> HeadingLines(cairo_t* Cr, const VyrHost::DataSet& Data,
                                      const PictureOptions& Options, const PictureLabels& Labels,
                                      double Width);

} // namespace VyrHostProgram

#endif
