// The stepping rule that sub-samples a source extent by a skip, shared by
// the zone sizing and the zone filling so that both always agree: an index
// starts at 1, each next index is the smaller of index + skip and the
// extent, and the extent itself is the last index visited.
#ifndef LOADHDF_LOADER_SKIP_STEPS_H
#define LOADHDF_LOADER_SKIP_STEPS_H

#include <cstdint>

// The number of indices the rule visits for SourceExtent under Skip: the
// extent when Skip is 1 or the extent at most 2; 2 when Skip reaches the
// extent; otherwise (extent - 2) / Skip + 2. A skip below 1 counts as 1.
int32_t SkippedExtent(int32_t SourceExtent, int32_t Skip);

// The index after Index: the smaller of Index + Skip and Extent, worked out
// without overflow for any skip up to 2147483647. Inline: the zone filling
// steps I once per point.
inline int32_t NextSourceIndex(int32_t Index, int32_t Skip, int32_t Extent) {
    // A skip below 1 would never reach the extent; the global skips are
    // kept at 1 or more, and this holds the loops to that.
    if (Skip < 1)
        Skip = 1;
    // Comparing the room left with the skip keeps Index + Skip from ever
    // being formed when it would pass the extent (and possibly INT32_MAX).
    if (Skip >= Extent - Index)
        return Extent;
    return Index + Skip;
}

#endif
