// Sub-sampling arithmetic for one direction of a zone.
#include "loader/skip_steps.h"

int32_t SkippedExtent(int32_t SourceExtent, int32_t Skip) {
    if (Skip <= 1 || SourceExtent <= 2)
        return SourceExtent;
    if (Skip >= SourceExtent)
        return 2;
    return (SourceExtent - 2) / Skip + 2;
}

int32_t NextSourceIndex(int32_t Index, int32_t Skip, int32_t Extent) {
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
