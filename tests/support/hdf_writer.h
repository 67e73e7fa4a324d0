// Test helper: writes small HDF4 files with HDF4's own SD write interface,
// so that tests describe the data sets they need instead of shipping binary
// samples. Also hands out private temporary paths and writes plain text files
// for the "not an HDF file" cases.
#ifndef LOADHDF_TESTS_SUPPORT_HDF_WRITER_H
#define LOADHDF_TESTS_SUPPORT_HDF_WRITER_H

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace TestHdf {

// A dimension scale. NumberType 0: the dimension gets no scale.
struct Scale {
    int32_t NumberType = 0;
    std::vector<double> Values;
};

enum class Storage { Plain, Deflate, Chunked };

struct DataSet {
    std::string Name;                          // empty: "sds<index>"
    int32_t NumberType = 5;                    // HDF code (DFNT_FLOAT32 = 5)
    std::vector<int32_t> Dims;                 // HDF order, first slowest; none: a scalar
    std::vector<double> Values;                // converted to NumberType; empty: 0,1,2,...
    std::string Label, Unit, Format, CoordSys; // empty ones are left unset
    std::vector<Scale> Scales;                 // one per dimension, may be shorter than Dims
    bool UnlimitedFirst = false;               // first dimension unlimited (SD_UNLIMITED)
    Storage Store = Storage::Plain;
};

// Writes a new HDF4 file with these data sets, in order; throws
// std::runtime_error on any HDF4 failure. A scale makes HDF4 add a coordinate
// variable, which the file then counts among its data sets.
void Write(const std::string& Path, const std::vector<DataSet>& Sets);

// A path inside a temporary directory private to this test process, removed
// at exit.
std::string TempPath(const std::string& FileName);

// Writes the data sets to FileName in that temporary directory; returns the
// file's path.
std::string WriteTemp(const std::string& FileName, const std::vector<DataSet>& Sets);

#ifdef LOADHDF_SOURCE_DIR // defined for the test programs, not this library
// The folder of real HDF4 files written by other HDF4 writers: the one that
// LOADHDF_REAL_FILES names, else shared/data/hdf4-real beside the project. A
// clone alone has no such folder; the tests that need it then skip.
inline std::string RealFilesDir() {
    const char* Dir = std::getenv("LOADHDF_REAL_FILES");
    return Dir != nullptr && Dir[0] != '\0' ? Dir : LOADHDF_SOURCE_DIR "/../shared/data/hdf4-real";
}

// The path of a real file in that folder, or nothing when the folder is
// absent (a test then skips its case with RealFilesMissing). A file missing
// from a folder that is there is returned all the same, so that its test fails.
inline std::optional<std::string> RealFile(const std::string& FileName) {
    const std::string Dir = RealFilesDir();
    if (!std::filesystem::is_directory(Dir))
        return std::nullopt;
    return Dir + "/" + FileName;
}

// The line a test skips with when RealFile has nothing.
inline std::string RealFilesMissing() {
    return "real HDF4 files not found in " + RealFilesDir() +
           "; set LOADHDF_REAL_FILES=DIR to point elsewhere";
}

// The folder of HDF4 files that public projects keep in their repositories
// (test inputs of other HDF readers and servers, and real products), each
// one that HDF4 itself reads: the one that LOADHDF_WORLD_FILES names, else
// shared/data/hdf4-world beside the project. Its README.md says where each
// file comes from.
inline std::string WorldFilesDir() {
    const char* Dir = std::getenv("LOADHDF_WORLD_FILES");
    return Dir != nullptr && Dir[0] != '\0' ? Dir : LOADHDF_SOURCE_DIR "/../shared/data/hdf4-world";
}

// The line a test skips with when WorldFilesDir is absent.
inline std::string WorldFilesMissing() {
    return "HDF4 files of public projects not found in " + WorldFilesDir() +
           "; set LOADHDF_WORLD_FILES=DIR to point elsewhere";
}
#endif

// Writes, through HDF4's netCDF-style interface, a file whose first data set
// is a coordinate variable (the float variable "x" over its own dimension x
// of extent 4), followed by one float data set per entry of Extents (HDF
// order), each over dimensions of its own. The SD writer cannot put a
// coordinate variable first: it adds one after the data set whose scale it
// stores. Values are left at HDF4's fill value.
void WriteCoordinateVariableFirst(const std::string& Path,
                                  const std::vector<std::vector<int32_t>>& Extents);

// Writes a plain text file (for "not an HDF file" cases).
void WriteText(const std::string& Path, const std::string& Text);

// Rewrites, in place, every number-type record (HDF tag DFTAG_NT) of an HDF
// file whose type is From so that it says To: a way to make files that HDF4's
// SD writer refuses to make, or damaged ones. Returns how many records were
// changed; throws std::runtime_error when the file cannot be opened.
int32_t PatchNumberTypes(const std::string& Path, int32_t From, int32_t To);

// Overwrites every byte of every element of this tag (of its plain form)
// with Byte, in place: damaged data of a sound structure. Returns how many
// elements were overwritten; throws std::runtime_error when the file cannot
// be opened.
int32_t FillElements(const std::string& Path, uint16_t Tag, uint8_t Byte);

} // namespace TestHdf

#endif
