// A panel of a zone with more than one row: the I x J grid of one K plane
// coloured by V, I across and J up, each axis ticked at round coordinates
// (or at some cells' own), beside its colour bar.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_GRID_PANEL_H
#define LOADHDF_HOST_VYRHOST_PICTURE_GRID_PANEL_H

#include "picture.h"
#include "picture_layout.h"
#include "zone_view.h"

#include <cairo.h>

#include <cstdint>

namespace VyrHostProgram {

// Draws plane Plane (1-based) of View's zone, which has at least one point
// and one variable, into the panel Box laid out as Layout; records what it
// shows in *Panel.
void DrawGrid(cairo_t* Cr, const VyrHost::DataSet& Data, const ZoneView& View, int32_t Plane,
              const PictureOptions& Options, const PixelBox& Box, const PanelLayout& Layout,
              PanelDrawn* Panel);

} // namespace VyrHostProgram

#endif
