// The damage kinds of the sweep and the damaged copies each makes of a good
// HDF4 file: random byte flips, interesting values written over the fields
// of the DDs, of the DD block headers and of the vgroup, vdata-header,
// special-element and SDD/NDG records, DD tags and refs set to 0 or to
// another DD's, the file cut short, and a DD chain that turns back. The
// copies are a seeded sample, so a seed and a scale give the same sweep
// every time.
#ifndef LOADHDF_TOOLS_SWEEP_DAMAGES_H
#define LOADHDF_TOOLS_SWEEP_DAMAGES_H

#include "file_layout.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Sweep {

// One field write: Value into Width bytes at At, or XOR-ed into one byte.
struct Edit {
    size_t At = 0;
    int Width = 1;
    uint32_t Value = 0;
    bool Xor = false;
};

struct Damage {
    size_t Kind = 0;  // index into DamageKinds()
    std::string What; // what was done, for the list of kept inputs
    std::vector<Edit> Edits;
    size_t CutTo = SIZE_MAX; // the copy's length when it is cut short
};

// Names of the kinds, in the order of the sweep's table.
const std::vector<std::string>& DamageKinds();

// The damaged copies of Good for this Seed; Scale multiplies how many of
// each kind are kept (at least one where the kind applies).
std::vector<Damage> MakeDamages(const Bytes& Good, uint64_t Seed, double Scale);

Bytes Apply(const Bytes& Good, const Damage& Change);

} // namespace Sweep

#endif
