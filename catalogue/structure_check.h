// The structure check: a look at an HDF file's own bytes before any HDF4 call
// is made on it. HDF4 4.2.15's readers trust the counts, lengths and
// references they find in a file; a damaged file can make Hopen, SDstart or
// the SD query calls overrun their buffers, free memory twice, recurse
// without end or loop forever, all inside the host's process. The check
// parses, with bounded reads of its own, every record that Hopen, SDstart,
// the SD query calls and SDreaddata will parse, and refuses a file whose
// records break what those readers assume. It reads headers, never data.
//
// Only what the SD readers read is looked at: the DD blocks, the version
// element, every vgroup and vdata header (SDstart reads them all), the
// netCDF-style SD structure (the CDF0.0 vgroup with its dimensions,
// variables and attributes) or, in a file without it, the old SDG/NDG
// groups, and the headers of the special elements (linked blocks, external,
// compressed, chunked) that those reach. Images, palettes and annotations
// of other interfaces are left alone.
//
// Damage that only one data set's values depend on (a chunk cut short, data
// in an external file, a fill value HDF4 would misread) does not refuse the
// file: SDstart lists it safely, so the verdict names that data set instead,
// and its values, or its dimension's scale, are never asked of HDF4.
#ifndef LOADHDF_CATALOGUE_STRUCTURE_CHECK_H
#define LOADHDF_CATALOGUE_STRUCTURE_CHECK_H

#include <cstdint>
#include <string>
#include <vector>

// A data set of a sound file whose values SDreaddata must not be asked for.
struct DataKeptOut {
    int32_t HdfIndex; // 0-based, as SDselect takes it
    const char* Rule; // why, in a few words
};

struct StructureVerdict {
    bool Sound;       // true: HDF4's readers may be given the file
    const char* Rule; // when not sound, the broken rule in a few words; never null
    // Of a sound file: the data sets whose values HDF4 must not read, by
    // index, and the names of the dimensions whose scale SDgetdimscale would
    // read from one of them.
    std::vector<DataKeptOut> KeptOut;
    std::vector<std::string> ScalesKeptOut;

    // Null when SDreaddata may read data set HdfIndex, else the rule.
    const char* DataRule(int32_t HdfIndex) const;
    bool ScaleReadable(const char* DimensionName) const;
};

// Reads the file at Path (never modifies it). A file that cannot be opened
// or read is not sound. No message is shown: the caller decides.
StructureVerdict CheckHdfStructure(const char* Path);

#endif
