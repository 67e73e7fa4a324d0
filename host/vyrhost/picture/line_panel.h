// A panel of a zone of one row (J x K = 1): V against the I coordinate, a
// line broken where a value is missing, its points shown when there are
// few, ticked at round values on both axes, and a note of the points
// without data.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_LINE_PANEL_H
#define LOADHDF_HOST_VYRHOST_PICTURE_LINE_PANEL_H

#include "picture.h"
#include "picture_layout.h"
#include "zone_view.h"

#include <cairo.h>

namespace VyrHostProgram {

// Draws View's zone, which has at least one point and one variable, into
// the panel Box laid out as Layout; records what it shows in *Panel.
void DrawLine(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View,
              const PictureOptions& Options, const PixelBox& Box, const PanelLayout& Layout,
              PanelDrawn* Panel);

} // namespace VyrHostProgram

#endif
