// hdf4_alone FILE [OPTIONS]: HDF4 4.2.15 on one file, without the
// structure check, making the calls the add-on makes in the order it makes
// them: Hishdf, SDstart, SDfileinfo, then per data set SDselect, SDgetinfo,
// SDiscoordvar, SDgetdatastrs, each dimension's SDgetdimid, SDdiminfo and
// SDgetdimscale, SDreaddata of the whole data set and again in rows (the
// loader reads in slabs), SDendaccess; and SDend. All that twice, as the
// add-on opens a file for its scan and again for a load. It is meant to be
// run in a child process (alone_run.h), so that what HDF4 does to a damaged
// file, crash, loop or leak, costs that child alone.
//
// Each step prints one line "STEP: VALUE" on standard output as it ends,
// VALUE "fail" where HDF4 returned failure, so that what the child reached
// is known however it ended. Values read are printed as checksums, so that
// the parent can compare a run with the run on the undamaged file. The two
// reads of a data set start from buffers of different bytes: a value HDF4
// leaves unset, or takes from what it read before, gives two checksums. The
// last line is "done"; judging a run is left to alone_run.cpp.
//
// --external-dir DIR names the folder HDF4 looks in first for data stored in
// an external file (HXsetdir), as a program that sets one would.
// --skip-values INDEX and --skip-scale NAME leave out what the add-on leaves
// out of a file the structure check keeps data sets of: that data set's
// SDreaddata, and SDgetdimscale of dimensions of that name.
#include "catalogue/hdf_access.h"
#include "catalogue/sds_entry.h"

#include <hdf/mfhdf.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

// Under AddressSanitizer, an allocation HDF4 asks for of more than the
// 32-bit host's address space could give fails as it would there, and HDF4
// sees a null pointer instead of the child ending in a report.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=2048";
}

namespace {

// Data sets and scales larger than this are not read: their size is a
// claim of the file's, and reading it tests the machine, not HDF4.
constexpr int64_t MaxReadBytes = int64_t(64) << 20;
// The row pass makes at most this many SDreaddata calls per data set; more
// rows than that are read in slabs along the first dimension.
constexpr int64_t MaxRowReads = 4096;
// The bytes each pass fills its buffer with before HDF4 reads into it.
constexpr uint8_t WholeFill = 0xA5, RowsFill = 0x5A;

char Scratch[HdfNameScratchSize]; // names are copied without a bound, as in the add-on

std::set<int32> SkippedValues;
std::set<std::string> SkippedScales;

void Step(const std::string& Name, const std::string& Value) {
    std::printf("%s: %s\n", Name.c_str(), Value.c_str());
}

uint64_t Checksum(const uint8_t* Bytes, size_t Count) {
    uint64_t Hash = 0xcbf29ce484222325u; // FNV-1a, 64 bits
    for (size_t I = 0; I < Count; ++I)
        Hash = (Hash ^ Bytes[I]) * 0x100000001b3u;
    return Hash;
}

std::string Hex(uint64_t Value) {
    char Text[17];
    std::snprintf(Text, sizeof Text, "%016llx", static_cast<unsigned long long>(Value));
    return Text;
}

std::string Texts(const char* Label, const char* Unit, const char* Format, const char* Coord) {
    std::string All;
    for (const char* Text : {Label, Unit, Format, Coord})
        All += std::string(Text) + '\0';
    return Hex(Checksum(reinterpret_cast<const uint8_t*>(All.data()), All.size()));
}

// Bytes of Count values of this HDF number type, or -1 when HDF4 knows no
// size for it or the total passes the read bound.
int64_t ReadBytes(int32 NumberType, int64_t Count) {
    const int32 Size = DFKNTsize(NumberType);
    if (Size <= 0 || Size > 16 || Count < 0 || Count > MaxReadBytes / Size)
        return -1;
    return Count * Size;
}

// The dimension's info and, where it has a scale of the data set's extent,
// the scale's checksum: the add-on reads scales only then.
void ReadDimension(int32 Sds, int32 D, int32 Extent, const std::string& Prefix) {
    const int32 Dim = SDgetdimid(Sds, D);
    if (Dim == FAIL)
        return Step(Prefix + " id", "fail");
    int32 Size = 0, Type = 0, Attrs = 0;
    if (SDdiminfo(Dim, Scratch, &Size, &Type, &Attrs) == FAIL)
        return Step(Prefix + " info", "fail");
    Step(Prefix + " info", std::to_string(Size) + " type " + std::to_string(Type));
    if (Size != Extent || Size <= 0 || Type == 0)
        return;
    if (SkippedScales.count(Scratch) != 0)
        return Step(Prefix + " scale", "skipped");
    const int64_t Bytes = ReadBytes(Type, Size);
    if (Bytes < 0)
        return Step(Prefix + " scale", "not read");
    std::vector<uint8_t> Values(size_t(Bytes), WholeFill);
    if (SDgetdimscale(Dim, Values.data()) == FAIL)
        return Step(Prefix + " scale", "fail");
    Step(Prefix + " scale", Hex(Checksum(Values.data(), Values.size())));
}

// Reads the box Start + Edge of the data set into Into; false on failure.
bool ReadBox(int32 Sds, const std::vector<int32>& Start, const std::vector<int32>& Edge,
             uint8_t* Into) {
    std::vector<int32> S(Start), E(Edge); // SDreaddata's arguments are not const
    return SDreaddata(Sds, S.data(), nullptr, E.data(), Into) != FAIL;
}

// The second pass: rows along the last dimension, one SDreaddata each, as
// the loader reads a row at a time when a plane is too large; slabs along
// the first dimension where rows would take too many calls.
bool ReadInRows(int32 Sds, const std::vector<int32>& Dims, int32 ValueSize, uint8_t* Into) {
    const size_t Rank = Dims.size();
    int64_t Rows = 1;
    for (size_t D = 0; D + 1 < Rank; ++D)
        Rows *= Dims[D];
    const int64_t RowBytes = int64_t(Dims[Rank - 1]) * ValueSize;
    std::vector<int32> Start(Rank, 0), Edge(Dims);
    if (Rank >= 2 && Rows <= MaxRowReads) {
        std::fill(Edge.begin(), Edge.end() - 1, 1);
        for (int64_t Row = 0; Row < Rows; ++Row) {
            for (int64_t Rest = Row, D = int64_t(Rank) - 2; D >= 0; --D) {
                Start[size_t(D)] = int32(Rest % Dims[size_t(D)]);
                Rest /= Dims[size_t(D)];
            }
            if (!ReadBox(Sds, Start, Edge, Into + Row * RowBytes))
                return false;
        }
        return true;
    }
    int64_t BytesPerFirst = ValueSize; // of one index along the first dimension
    for (size_t D = 1; D < Rank; ++D)
        BytesPerFirst *= Dims[D];
    const int64_t Slab = std::max<int64_t>(1, (Dims[0] + MaxRowReads - 1) / MaxRowReads);
    for (int64_t First = 0; First < Dims[0]; First += Slab) {
        Start[0] = int32(First);
        Edge[0] = int32(std::min<int64_t>(Slab, Dims[0] - First));
        if (!ReadBox(Sds, Start, Edge, Into + First * BytesPerFirst))
            return false;
    }
    return true;
}

void ReadValues(int32 Sds, const std::vector<int32>& Dims, int32 Type, const std::string& Prefix) {
    int64_t Count = 1;
    for (int32 Extent : Dims)
        Count = Extent < 0 ? -1 : std::min<int64_t>(Count * Extent, MaxReadBytes + 1);
    if (Count == 0)
        return Step(Prefix + " whole", "empty");
    const int64_t Bytes = ReadBytes(Type, Count);
    if (Bytes < 0)
        return Step(Prefix + " whole", "not read");
    std::vector<uint8_t> Values(size_t(Bytes), WholeFill);
    const std::vector<int32> Start(Dims.size(), 0);
    Step(Prefix + " whole", ReadBox(Sds, Start, Dims, Values.data())
                                ? Hex(Checksum(Values.data(), Values.size()))
                                : "fail");
    std::fill(Values.begin(), Values.end(), RowsFill);
    Step(Prefix + " rows", ReadInRows(Sds, Dims, DFKNTsize(Type), Values.data())
                               ? Hex(Checksum(Values.data(), Values.size()))
                               : "fail");
}

void ReadDataSet(int32 File, int32 Index, const std::string& Pass) {
    const std::string Prefix = Pass + "sds " + std::to_string(Index);
    const int32 Sds = SDselect(File, Index);
    if (Sds == FAIL)
        return Step(Prefix + " select", "fail");
    // As the add-on asks: the rank first, the extents only when they fit.
    int32 Rank = 0, Type = 0, Attrs = 0;
    int32 Dims[MaxSdsDims] = {};
    const bool Described = SDgetinfo(Sds, Scratch, &Rank, nullptr, &Type, &Attrs) != FAIL &&
                           (Rank < 1 || Rank > MaxSdsDims ||
                            SDgetinfo(Sds, Scratch, &Rank, Dims, &Type, &Attrs) != FAIL);
    if (!Described) {
        Step(Prefix + " info", "fail");
    } else {
        std::string Info =
            "rank " + std::to_string(Rank) + " type " + std::to_string(Type) + " dims";
        for (int32 D = 0; D < Rank && D < MaxSdsDims; ++D)
            Info += " " + std::to_string(Dims[D]);
        Step(Prefix + " info", Info);
        // SDiscoordvar is asked only of data sets with dimensions, as the
        // add-on asks it (see scan_hdf_file.cpp).
        if (Rank >= 1)
            Step(Prefix + " coordvar", std::to_string(SDiscoordvar(Sds)));
        static char Label[SdsTextLen + 1], Unit[SdsTextLen + 1], Format[SdsTextLen + 1],
            Coord[SdsTextLen + 1];
        Step(Prefix + " texts", SDgetdatastrs(Sds, Label, Unit, Format, Coord, SdsTextLen) == FAIL
                                    ? "fail"
                                    : Texts(Label, Unit, Format, Coord));
        if (Rank >= 1 && Rank <= MaxSdsDims) {
            for (int32 D = 0; D < Rank; ++D)
                ReadDimension(Sds, D, Dims[D], Prefix + " dim " + std::to_string(D));
            if (SkippedValues.count(Index) != 0)
                Step(Prefix + " whole", "skipped");
            else
                ReadValues(Sds, std::vector<int32>(Dims, Dims + Rank), Type, Prefix);
        }
    }
    Step(Prefix + " endaccess", SDendaccess(Sds) == FAIL ? "fail" : "ok");
}

// One pass over the file, its steps named after Pass.
void ReadFile(const char* Path, const std::string& Pass) {
    const bool IsHdf = Hishdf(Path) != 0;
    Step(Pass + "hishdf", IsHdf ? "yes" : "fail");
    if (!IsHdf)
        return;
    const int32 File = SDstart(Path, DFACC_READ);
    Step(Pass + "sdstart", File == FAIL ? "fail" : "ok");
    if (File == FAIL)
        return;
    int32 Count = 0, GlobalAttrs = 0;
    const bool Counted = SDfileinfo(File, &Count, &GlobalAttrs) != FAIL;
    Step(Pass + "fileinfo", Counted ? std::to_string(Count) : "fail");
    for (int32 Index = 0; Counted && Index < Count; ++Index)
        ReadDataSet(File, Index, Pass);
    Step(Pass + "sdend", SDend(File) == FAIL ? "fail" : "ok");
}

int Usage() {
    std::fprintf(stderr, "usage: hdf4_alone FILE [--external-dir DIR] [--skip-values INDEX]... "
                         "[--skip-scale NAME]...\n");
    return 2;
}

} // namespace

int main(int Argc, char** Argv) {
    if (Argc < 2 || Argc % 2 != 0)
        return Usage();
    for (int At = 2; At + 1 < Argc; At += 2) {
        if (std::strcmp(Argv[At], "--external-dir") == 0)
            HXsetdir(Argv[At + 1]);
        else if (std::strcmp(Argv[At], "--skip-values") == 0)
            SkippedValues.insert(int32(std::strtol(Argv[At + 1], nullptr, 10)));
        else if (std::strcmp(Argv[At], "--skip-scale") == 0)
            SkippedScales.insert(Argv[At + 1]);
        else
            return Usage();
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each step out before the next can crash
    // The add-on opens a file twice, for the load dialog's scan and again
    // for the load, and HDF4 keeps state from one SDstart to the next (a
    // failed one can leave a freed buffer that the next frees again).
    ReadFile(Argv[1], "");
    ReadFile(Argv[1], "again ");
    Step("done", "yes");
    return 0;
}
