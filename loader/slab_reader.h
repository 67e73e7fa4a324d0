// ReadKeptValues: reads, from one selected HDF data set, only the values
// that the skips keep, in slabs of bounded size, into one buffer in the
// zone's point order. What a load holds is then the zone's values plus one
// slab, whatever the size of the data set; HDF4's conversion buffer, which
// SDreaddata sizes to each read, is bounded by the slab too.
#ifndef LOADHDF_LOADER_SLAB_READER_H
#define LOADHDF_LOADER_SLAB_READER_H

#include <cstdint>

// The most bytes of source values one SDreaddata asks for (4 MiB), unless
// one value alone is larger. HDF4 converts each read through a buffer of the
// read's size, and a C runtime may keep such a buffer after it is freed
// (glibc keeps one of up to 32 MiB in its heap), so the process holds one
// slab more after a load; at 4 MiB that stays small, and a 64 MiB data set
// is 16 reads, whose calls cost nothing measurable. A process-wide variable
// so that tests can make small data sets span many slabs; the add-on itself
// never changes it.
extern int32_t SlabByteLimit;
constexpr int32_t DefaultSlabByteLimit = 4 * 1024 * 1024;

// One data set's source, in the zone's directions: Extent and Skip are
// indexed I, J, K (I the last HDF dimension); Rank is the data set's own, 1
// to 3, and directions above it have extent 1.
struct SlabSource {
    int32_t SdsId;
    int32_t Rank;
    int32_t Extent[3];
    int32_t Skip[3];
    int32_t ElemSize; // bytes of one value as SDreaddata delivers it
};

enum class KeptRead { Done, OutOfMemory, ReadFailed };

// Fills Kept, which holds SkippedExtent(Extent[d], Skip[d]) values along
// each direction d (ElemSize bytes each), with the kept values: I fastest,
// then J, then K, as the zone's points run. Slabs are read in the order of
// the file's values, so that a compressed element is decoded front to back
// once and each chunk of a chunked one is decoded once (HDF4's chunk cache
// holds one layer of chunks along the first dimension, all that a slab
// touches). Planes, rows and runs of values on which no kept point lies are
// not read. A slab whose values are all kept is read straight into Kept;
// the others go through one slab buffer from the host ("HDF Data"), given
// back before the return. Returns Done; OutOfMemory when the host gave no
// slab buffer; ReadFailed when any SDreaddata failed (Kept is then partly
// written).
KeptRead ReadKeptValues(const SlabSource& Source, char* Kept);

#endif
