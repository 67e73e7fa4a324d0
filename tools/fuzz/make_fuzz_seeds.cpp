// make_fuzz_seeds OUT_FOLDER [REAL_FILES_FOLDER...]: writes the seed corpus
// of fuzz_hdf_scan, small HDF4 files that between them hold every structure
// the add-on's readers meet: SD data sets of ranks 1 to 4 and of every
// number type, scales, the four descriptive texts, an unlimited dimension,
// deflate and chunked storage, attributes, fill value, range and
// calibration, a coordinate variable first, old-style DFSD groups, a file
// without data sets and one with vdatas and a vgroup only; then every file
// of the test writers' variety (data never written, external data, deleted
// vgroups, ...). The HDF files of each REAL_FILES_FOLDER that are small
// enough are copied beside them. Each seed stays below MaxSeedBytes, as
// libFuzzer mutates small inputs best.
#include "support/hdf_writer.h"
#include "support/writer_variety.h"

#include <hdf/mfhdf.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uintmax_t MaxSeedBytes = 20 * 1024;

using TestHdf::DataSet;
using TestHdf::Storage;

DataSet Make(const char* Name, int32_t NumberType, std::vector<int32_t> Dims) {
    DataSet S;
    S.Name = Name;
    S.NumberType = NumberType;
    S.Dims = std::move(Dims);
    return S;
}

void Require(bool Ok, const std::string& What) {
    if (!Ok)
        throw std::runtime_error(What + " failed");
}

// ---- SD interface files -------------------------------------------------------

std::vector<DataSet> RanksWithScalesAndTexts() {
    DataSet Line = Make("line", DFNT_FLOAT32, {6});
    Line.Label = "Daily rainfall";
    Line.Unit = "mm";
    Line.Format = "F5.1";
    Line.CoordSys = "time";
    Line.Scales = {{DFNT_FLOAT64, {0.5, 1.5, 2.5, 3.5, 4.5, 5.5}}};
    DataSet Grid = Make("grid", DFNT_INT16, {4, 5});
    Grid.Label = "Terrain";
    Grid.Unit = "m";
    Grid.Scales = {{DFNT_INT32, {10, 20, 30, 40}}, {DFNT_FLOAT32, {-2, -1, 0, 1, 2}}};
    DataSet Cube = Make("cube", DFNT_UINT8, {2, 3, 4});
    Cube.CoordSys = "cartesian";
    Cube.Scales = {{}, {DFNT_INT8, {-1, 0, 1}}, {DFNT_UINT16, {1, 2, 3, 4}}};
    return {Line, Grid, Cube};
}

std::vector<DataSet> EveryNumberType() {
    const std::pair<const char*, int32_t> Types[] = {
        {"int8", DFNT_INT8},       {"uint8", DFNT_UINT8},     {"int16", DFNT_INT16},
        {"uint16", DFNT_UINT16},   {"int32", DFNT_INT32},     {"uint32", DFNT_UINT32},
        {"float32", DFNT_FLOAT32}, {"float64", DFNT_FLOAT64},
    };
    std::vector<DataSet> Sets;
    for (const auto& [Name, Type] : Types)
        Sets.push_back(Make(Name, Type, {3}));
    return Sets;
}

std::vector<DataSet> UnlimitedFirst() {
    DataSet Records = Make("records", DFNT_FLOAT32, {3, 4});
    Records.UnlimitedFirst = true;
    // Of another rank, so that its empty extent does not stop the other's load.
    DataSet Empty = Make("no records", DFNT_INT32, {0});
    Empty.UnlimitedFirst = true;
    return {Records, Empty};
}

std::vector<DataSet> Stored(Storage How, std::vector<int32_t> Dims) {
    DataSet S = Make(How == Storage::Deflate ? "deflated" : "chunked", DFNT_INT32, Dims);
    S.Store = How;
    S.Scales = {{DFNT_FLOAT32, std::vector<double>(size_t(Dims[0]), 1.0)}};
    return {S};
}

// What the add-on passes over or refuses: rank 4, and characters.
std::vector<DataSet> RankFourAndCharacters() {
    DataSet Text = Make("text", DFNT_CHAR8, {5});
    Text.Values = {72, 68, 70, 52, 0};
    return {Make("rank4", DFNT_FLOAT32, {2, 2, 2, 2}), Text, Make("bytes", DFNT_UCHAR8, {3})};
}

// A global attribute, and a data set with a fill value, a valid range, a
// calibration and an attribute of its own, added to a written file.
void WriteWithAttributes(const std::string& Path) {
    DataSet S = Make("calibrated", DFNT_INT16, {3, 3});
    S.Label = "counts";
    TestHdf::Write(Path, {S});
    const int32 File = SDstart(Path.c_str(), DFACC_RDWR);
    Require(File != FAIL, "SDstart " + Path);
    const char History[] = "written for the fuzzer";
    Require(SDsetattr(File, "history", DFNT_CHAR8, int32(sizeof History - 1), History) != FAIL,
            "SDsetattr history");
    const int32 Sds = SDselect(File, 0);
    Require(Sds != FAIL, "SDselect");
    int16 Fill = -999, Max = 100, Min = -100;
    const float32 Weights[3] = {0.25f, 0.5f, 0.75f};
    Require(SDsetfillvalue(Sds, &Fill) != FAIL, "SDsetfillvalue");
    Require(SDsetrange(Sds, &Max, &Min) != FAIL, "SDsetrange");
    Require(SDsetcal(Sds, 0.5, 0.01, 10.0, 0.1, DFNT_INT16) != FAIL, "SDsetcal");
    Require(SDsetattr(Sds, "weights", DFNT_FLOAT32, 3, Weights) != FAIL, "SDsetattr weights");
    SDendaccess(Sds);
    Require(SDend(File) != FAIL, "SDend");
}

// ---- Old-style files: DFSD groups without the netCDF-style vgroups -----------

void WriteDfsd(const std::string& Path) {
    int32 Dims[2] = {3, 4};
    float32 Values[12];
    for (int I = 0; I < 12; ++I)
        Values[I] = float32(I) * 1.5f;
    float32 Rows[3] = {10, 20, 30};
    Require(DFSDsetdims(2, Dims) != FAIL, "DFSDsetdims");
    Require(DFSDsetNT(DFNT_FLOAT32) != FAIL, "DFSDsetNT");
    Require(DFSDsetdatastrs("Surface", "K", "F6.2", "grid") != FAIL, "DFSDsetdatastrs");
    Require(DFSDsetdimstrs(1, "row", "km", "F4.0") != FAIL, "DFSDsetdimstrs");
    Require(DFSDsetdimscale(1, 3, Rows) != FAIL, "DFSDsetdimscale");
    Require(DFSDputdata(Path.c_str(), 2, Dims, Values) != FAIL, "DFSDputdata");

    int32 Line[1] = {5};
    int16 Counts[5] = {1, -2, 3, -4, 5};
    Require(DFSDclear() != FAIL, "DFSDclear");
    Require(DFSDsetdims(1, Line) != FAIL, "DFSDsetdims");
    Require(DFSDsetNT(DFNT_INT16) != FAIL, "DFSDsetNT");
    Require(DFSDadddata(Path.c_str(), 1, Line, Counts) != FAIL, "DFSDadddata");
    Require(DFSDclear() != FAIL, "DFSDclear");
}

// ---- A file of vdatas and a vgroup, without data sets ------------------------

void WriteVdataOnly(const std::string& Path) {
    const int32 File = Hopen(Path.c_str(), DFACC_CREATE, 0);
    Require(File != FAIL, "Hopen " + Path);
    Require(Vstart(File) != FAIL, "Vstart");
    const int32 Vdata = VSattach(File, -1, "w");
    Require(Vdata != FAIL, "VSattach");
    VSsetname(Vdata, "Points");
    VSsetclass(Vdata, "Example");
    Require(VSfdefine(Vdata, "PX", DFNT_FLOAT32, 1) != FAIL, "VSfdefine PX");
    Require(VSfdefine(Vdata, "IDX", DFNT_INT16, 2) != FAIL, "VSfdefine IDX");
    Require(VSsetfields(Vdata, "PX,IDX") != FAIL, "VSsetfields");
    // Fully interlaced records of one float and two 16-bit integers.
    unsigned char Records[4 * 8];
    for (int R = 0; R < 4; ++R) {
        const float32 X = float32(R) / 2;
        const int16 Index[2] = {int16(R), int16(-R)};
        std::memcpy(Records + R * 8, &X, 4);
        std::memcpy(Records + R * 8 + 4, Index, 4);
    }
    Require(VSwrite(Vdata, Records, 4, FULL_INTERLACE) == 4, "VSwrite");
    const int32 VdataRef = VSQueryref(Vdata);
    VSdetach(Vdata);

    const int32 Group = Vattach(File, -1, "w");
    Require(Group != FAIL, "Vattach");
    Vsetname(Group, "Collection");
    Vsetclass(Group, "Example");
    Require(Vaddtagref(Group, DFTAG_VH, VdataRef) != FAIL, "Vaddtagref");
    Vdetach(Group);
    Vend(File);
    Require(Hclose(File) != FAIL, "Hclose");
}

// ---- The corpus ------------------------------------------------------------------

struct Seed {
    const char* File;
    std::function<void(const std::string&)> Write;
};

std::vector<Seed> Seeds() {
    auto Sd = [](std::vector<DataSet> Sets) {
        return [Sets](const std::string& Path) { TestHdf::Write(Path, Sets); };
    };
    return {
        {"sd-ranks-scales-texts.hdf", Sd(RanksWithScalesAndTexts())},
        {"sd-number-types.hdf", Sd(EveryNumberType())},
        {"sd-unlimited.hdf", Sd(UnlimitedFirst())},
        {"sd-deflate.hdf", Sd(Stored(Storage::Deflate, {6, 5}))},
        {"sd-chunked.hdf", Sd(Stored(Storage::Chunked, {4, 3, 2}))},
        {"sd-rank4-and-chars.hdf", Sd(RankFourAndCharacters())},
        {"sd-attributes.hdf", WriteWithAttributes},
        {"sd-coordvar-first.hdf",
         [](const std::string& Path) {
             TestHdf::WriteCoordinateVariableFirst(Path, {{3}, {2, 2}});
         }},
        {"sd-no-data-sets.hdf", Sd({})},
        {"dfsd-old-style.hdf", WriteDfsd},
        {"vdata-only.hdf", WriteVdataOnly},
    };
}

// True when the file begins with HDF's magic number, whatever its name.
bool IsHdfFile(const fs::path& Path) {
    unsigned char Head[4] = {};
    FILE* File = std::fopen(Path.c_str(), "rb");
    if (File == nullptr)
        return false;
    const size_t Read = std::fread(Head, 1, sizeof Head, File);
    std::fclose(File);
    return Read == 4 && Head[0] == 0x0E && Head[1] == 0x03 && Head[2] == 0x13 && Head[3] == 0x01;
}

// Copies the HDF files of Folder that are small enough; says which are not.
int CopyRealFiles(const fs::path& Folder, const fs::path& Out) {
    int Copied = 0;
    for (const fs::directory_entry& Entry : fs::directory_iterator(Folder)) {
        if (!Entry.is_regular_file() || !IsHdfFile(Entry.path()))
            continue;
        if (Entry.file_size() >= MaxSeedBytes) {
            std::printf("  skipped %s (%ju bytes)\n", Entry.path().filename().c_str(),
                        Entry.file_size());
            continue;
        }
        const fs::path Copy = Out / ("real-" + Entry.path().filename().string());
        fs::copy_file(Entry.path(), Copy, fs::copy_options::overwrite_existing);
        // The shared folder is read-only; a copy that stays so could not be
        // written over the next time.
        fs::permissions(Copy, fs::perms::owner_write, fs::perm_options::add);
        ++Copied;
    }
    return Copied;
}

} // namespace

int main(int Argc, char** Argv) {
    if (Argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_FOLDER [REAL_FILES_FOLDER...]\n", Argv[0]);
        return 2;
    }
    try {
        const fs::path Out = fs::absolute(Argv[1]);
        std::vector<fs::path> RealFolders;
        for (int Arg = 2; Arg < Argc; ++Arg)
            RealFolders.push_back(fs::absolute(Argv[Arg]));
        fs::create_directories(Out);
        // The SD writer stores the path it is given in the file: plain names
        // keep the seeds small and the same wherever they are written.
        if (chdir(Out.c_str()) != 0)
            throw std::runtime_error("cannot enter " + Out.string());
        int TooLarge = 0;
        for (const Seed& S : Seeds()) {
            std::error_code Ignored;
            fs::remove(S.File, Ignored);
            S.Write(S.File);
            const uintmax_t Bytes = fs::file_size(S.File);
            std::printf("  %-28s %6ju bytes\n", S.File, Bytes);
            TooLarge += Bytes >= MaxSeedBytes;
        }
        // The writers' variety seeds what the seeds above lack; a large one
        // is left out rather than failing the corpus.
        int Variety = 0;
        for (const TestHdf::WriterCase& Case : TestHdf::WriterVariety()) {
            const std::string File = "variety-" + std::to_string(Variety++) + ".hdf";
            Case.Write(File);
            if (fs::file_size(File) >= MaxSeedBytes)
                fs::remove(File);
        }
        for (const fs::path& Real : RealFolders) {
            if (fs::is_directory(Real))
                std::printf("  %d real files copied from %s\n", CopyRealFiles(Real, Out),
                            Real.c_str());
            else
                std::printf("  no real files: %s is absent\n", Real.c_str());
        }
        if (TooLarge > 0) {
            std::fprintf(stderr, "%d seeds are %ju bytes or more\n", TooLarge, MaxSeedBytes);
            return 1;
        }
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", Error.what());
        return 1;
    }
    return 0;
}
