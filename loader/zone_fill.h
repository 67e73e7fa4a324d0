// FillZone: turns the values that the skips keep of one HDF data set,
// already in memory, into one ordered zone of the host's data set, with
// coordinates from the dimension scales and the percent-done dialog polled
// once per row.
#ifndef LOADHDF_LOADER_ZONE_FILL_H
#define LOADHDF_LOADER_ZONE_FILL_H

#include "catalogue/sds_entry.h"

#include <cstdint>

// Inputs: Entry, a copy of the catalogue record whose DataBuffer holds the
// kept values, IMax x JMax x KMax of them in the zone's point order (I
// fastest), as ReadKeptValues leaves them; ZoneNumber, the host's 1-based number the new
// zone will have; IMax, JMax, KMax, the zone's extents, which must be the
// skipped extents of SrcIMax, SrcJMax and SrcKMax under ISkip, JSkip and
// KSkip. Advances PointsDone and sets LoadInterrupted when the user presses
// Stop. Returns true when the zone was added (filled completely or up to the
// interruption); false, storing nothing, when the host refused the zone,
// Rank is not 1 to 3, or the inputs do not describe a zone that the buffers
// can fill.
bool FillZone(const SdsEntry& Entry, int16_t ZoneNumber, int32_t IMax, int32_t JMax, int32_t KMax);

#endif
