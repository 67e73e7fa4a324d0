// Sub-sampling arithmetic for one direction of a zone.
#include "loader/skip_steps.h"

int32_t SkippedExtent(int32_t SourceExtent, int32_t Skip) {
    if (Skip <= 1 || SourceExtent <= 2)
        return SourceExtent;
    if (Skip >= SourceExtent)
        return 2;
    return (SourceExtent - 2) / Skip + 2;
}
