// Test helper: writes HDF4 files through the SD write interface (SDstart with
// DFACC_CREATE, SDcreate, SDwritedata, SDsetdimscale, SDsetdatastrs,
// SDsetcompress, SDsetchunk), makes private temporary paths, and patches
// number-type records for files HDF4's writer will not make itself.
#include "support/hdf_writer.h"

#include "platform/private_folder.h"

#include <hdf/mfhdf.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace TestHdf {
namespace {

[[noreturn]] void Fail(const std::string& What) {
    throw std::runtime_error("HDF4 test writer: " + What);
}

// Bytes of one element of an HDF number type in the machine's own
// representation; 0 for a type this writer does not know.
size_t ElementSize(int32_t NumberType) {
    switch (NumberType) {
    case DFNT_CHAR8:
    case DFNT_UCHAR8:
    case DFNT_INT8:
    case DFNT_UINT8:
        return 1;
    case DFNT_INT16:
    case DFNT_UINT16:
        return 2;
    case DFNT_FLOAT32:
    case DFNT_INT32:
    case DFNT_UINT32:
        return 4;
    case DFNT_FLOAT64:
    case DFNT_INT64:
    case DFNT_UINT64:
        return 8;
    default:
        return 0;
    }
}

template <typename T> void Put(std::vector<unsigned char>* Bytes, size_t Index, double Value) {
    const T Element = static_cast<T>(Value);
    std::memcpy(Bytes->data() + Index * sizeof(T), &Element, sizeof(T));
}

// Converts values to a packed buffer of NumberType elements.
std::vector<unsigned char> Pack(const std::vector<double>& Values, int32_t NumberType) {
    const size_t Size = ElementSize(NumberType);
    if (Size == 0)
        Fail("unknown number type " + std::to_string(NumberType));
    std::vector<unsigned char> Bytes(Values.size() * Size);
    for (size_t I = 0; I < Values.size(); ++I) {
        const double V = Values[I];
        switch (NumberType) {
        case DFNT_CHAR8:
        case DFNT_INT8:
            Put<int8_t>(&Bytes, I, V);
            break;
        case DFNT_UCHAR8:
        case DFNT_UINT8:
            Put<uint8_t>(&Bytes, I, V);
            break;
        case DFNT_INT16:
            Put<int16_t>(&Bytes, I, V);
            break;
        case DFNT_UINT16:
            Put<uint16_t>(&Bytes, I, V);
            break;
        case DFNT_INT32:
            Put<int32_t>(&Bytes, I, V);
            break;
        case DFNT_UINT32:
            Put<uint32_t>(&Bytes, I, V);
            break;
        case DFNT_INT64:
            Put<int64_t>(&Bytes, I, V);
            break;
        case DFNT_UINT64:
            Put<uint64_t>(&Bytes, I, V);
            break;
        case DFNT_FLOAT32:
            Put<float>(&Bytes, I, V);
            break;
        default:
            Put<double>(&Bytes, I, V);
            break;
        }
    }
    return Bytes;
}

// Owns an SD interface file id; SDend on every way out.
class SdFile {
  public:
    explicit SdFile(const std::string& Path) : Id(SDstart(Path.c_str(), DFACC_CREATE)) {
        if (Id == FAIL)
            Fail("SDstart failed for " + Path);
    }
    ~SdFile() {
        if (Id != FAIL)
            SDend(Id);
    }
    // Closes the file and reports whether HDF4 could write it out.
    void Close() {
        const intn Status = SDend(Id);
        Id = FAIL;
        if (Status == FAIL)
            Fail("SDend failed");
    }
    SdFile(const SdFile&) = delete;
    SdFile& operator=(const SdFile&) = delete;
    int32 Id;
};

// Owns a data-set access id; SDendaccess on every way out.
class SdsAccess {
  public:
    explicit SdsAccess(int32 SdsId) : Id(SdsId) {}
    ~SdsAccess() {
        if (Id != FAIL)
            SDendaccess(Id);
    }
    SdsAccess(const SdsAccess&) = delete;
    SdsAccess& operator=(const SdsAccess&) = delete;
    int32 Id;
};

void SetStorage(int32 SdsId, const DataSet& Set) {
    if (Set.Store == Storage::Deflate) {
        comp_info Info;
        std::memset(&Info, 0, sizeof Info);
        Info.deflate.level = 6;
        if (SDsetcompress(SdsId, COMP_CODE_DEFLATE, &Info) == FAIL)
            Fail("SDsetcompress failed for " + Set.Name);
    } else if (Set.Store == Storage::Chunked) {
        HDF_CHUNK_DEF Chunk;
        std::memset(&Chunk, 0, sizeof Chunk);
        // Chunks of about half the extent, so that a data set spans several.
        for (size_t D = 0; D < Set.Dims.size(); ++D)
            Chunk.chunk_lengths[D] = Set.Dims[D] > 1 ? (Set.Dims[D] + 1) / 2 : 1;
        if (SDsetchunk(SdsId, Chunk, HDF_CHUNK) == FAIL)
            Fail("SDsetchunk failed for " + Set.Name);
    }
}

void WriteScales(int32 SdsId, const DataSet& Set, const std::string& Name) {
    for (size_t D = 0; D < Set.Scales.size() && D < Set.Dims.size(); ++D) {
        const Scale& S = Set.Scales[D];
        if (S.NumberType == 0)
            continue;
        const int32 DimId = SDgetdimid(SdsId, static_cast<intn>(D));
        std::vector<unsigned char> Bytes = Pack(S.Values, S.NumberType);
        if (DimId == FAIL || SDsetdimscale(DimId, static_cast<int32>(S.Values.size()), S.NumberType,
                                           Bytes.data()) == FAIL)
            Fail("SDsetdimscale failed for dimension " + std::to_string(D) + " of " + Name);
    }
}

void WriteValues(int32 SdsId, const DataSet& Set, const std::string& Name) {
    // HDF4's SD interface keeps no value for a data set without dimensions:
    // SDwritedata reports success and stores nothing.
    if (Set.Dims.empty())
        return;
    int64_t Count = 1;
    for (int32_t D : Set.Dims)
        Count *= D;
    if (Count <= 0)
        return; // an unlimited dimension without records holds nothing to write
    std::vector<double> Values = Set.Values;
    if (Values.empty()) {
        Values.resize(static_cast<size_t>(Count));
        for (int64_t I = 0; I < Count; ++I)
            Values[static_cast<size_t>(I)] = static_cast<double>(I);
    } else if (static_cast<int64_t>(Values.size()) != Count) {
        Fail(Name + ": " + std::to_string(Values.size()) + " values for " + std::to_string(Count) +
             " elements");
    }
    std::vector<unsigned char> Bytes = Pack(Values, Set.NumberType);
    std::vector<int32> Start(Set.Dims.size(), 0);
    std::vector<int32> Edges(Set.Dims.begin(), Set.Dims.end());
    if (SDwritedata(SdsId, Start.data(), nullptr, Edges.data(), Bytes.data()) == FAIL)
        Fail("SDwritedata failed for " + Name);
}

void WriteOne(int32 FileId, const DataSet& Set, size_t Index) {
    const std::string Name = Set.Name.empty() ? "sds" + std::to_string(Index) : Set.Name;
    std::vector<int32> Dims(Set.Dims.begin(), Set.Dims.end());
    if (Set.UnlimitedFirst && !Dims.empty())
        Dims[0] = SD_UNLIMITED;
    SdsAccess Sds(SDcreate(FileId, Name.c_str(), Set.NumberType, static_cast<int32>(Dims.size()),
                           Dims.data()));
    if (Sds.Id == FAIL)
        Fail("SDcreate failed for " + Name + " (number type " + std::to_string(Set.NumberType) +
             ")");
    SetStorage(Sds.Id, Set);
    auto OrNull = [](const std::string& Text) { return Text.empty() ? nullptr : Text.c_str(); };
    if (!(Set.Label.empty() && Set.Unit.empty() && Set.Format.empty() && Set.CoordSys.empty()) &&
        SDsetdatastrs(Sds.Id, OrNull(Set.Label), OrNull(Set.Unit), OrNull(Set.Format),
                      OrNull(Set.CoordSys)) == FAIL)
        Fail("SDsetdatastrs failed for " + Name);
    WriteValues(Sds.Id, Set, Name);
    WriteScales(Sds.Id, Set, Name);
}

std::filesystem::path& TempDir() {
    static std::filesystem::path Dir;
    return Dir;
}

void RemoveTempDir() {
    std::error_code Ignored;
    std::filesystem::remove_all(TempDir(), Ignored);
}

} // namespace

void Write(const std::string& Path, const std::vector<DataSet>& Sets) {
    SdFile File(Path);
    for (size_t I = 0; I < Sets.size(); ++I)
        WriteOne(File.Id, Sets[I], I);
    File.Close();
}

std::string TempPath(const std::string& FileName) {
    if (TempDir().empty()) {
        TempDir() = Platform::MakePrivateFolder("loadhdf-test-");
        std::atexit(RemoveTempDir);
    }
    return (TempDir() / FileName).string();
}

std::string WriteTemp(const std::string& FileName, const std::vector<DataSet>& Sets) {
    const std::string Path = TempPath(FileName);
    Write(Path, Sets);
    return Path;
}

void WriteCoordinateVariableFirst(const std::string& Path,
                                  const std::vector<std::vector<int32_t>>& Extents) {
    const int File = sd_nccreate(Path.c_str(), NC_CLOBBER);
    if (File == -1)
        throw std::runtime_error("cannot create " + Path);
    bool Ok = true;
    const int X = sd_ncdimdef(File, "x", 4);
    Ok = Ok && X != -1 && sd_ncvardef(File, "x", NC_FLOAT, 1, &X) != -1;
    for (size_t Set = 0; Ok && Set < Extents.size(); ++Set) {
        std::vector<int> Dims;
        for (size_t D = 0; Ok && D < Extents[Set].size(); ++D) {
            const std::string Name = "d" + std::to_string(Set) + "_" + std::to_string(D);
            Dims.push_back(sd_ncdimdef(File, Name.c_str(), long(Extents[Set][D])));
            Ok = Dims.back() != -1;
        }
        const std::string Name = "sds" + std::to_string(Set + 1);
        Ok = Ok && sd_ncvardef(File, Name.c_str(), NC_FLOAT, int(Dims.size()), Dims.data()) != -1;
    }
    Ok = sd_ncendef(File) != -1 && Ok;
    Ok = sd_ncclose(File) != -1 && Ok;
    if (!Ok)
        throw std::runtime_error("netCDF-style write of " + Path + " failed");
}

void WriteText(const std::string& Path, const std::string& Text) {
    std::ofstream Out(Path, std::ios::binary);
    Out << Text;
    if (!Out)
        throw std::runtime_error("cannot write " + Path);
}

int32_t PatchNumberTypes(const std::string& Path, int32_t From, int32_t To) {
    const int32 FileId = Hopen(Path.c_str(), DFACC_RDWR, 0);
    if (FileId == FAIL)
        throw std::runtime_error("Hopen failed for " + Path);
    // Collect the references first: rewriting elements while searching would
    // move the search's place in the file's directory.
    std::vector<uint16> Refs;
    uint16 Tag = 0, Ref = 0;
    int32 Offset = 0, Length = 0;
    while (Hfind(FileId, DFTAG_NT, DFREF_WILDCARD, &Tag, &Ref, &Offset, &Length, DF_FORWARD) ==
           SUCCEED)
        if (Length == 4)
            Refs.push_back(Ref);
    int32_t Changed = 0;
    for (uint16 R : Refs) {
        // A number-type record: version, type code, width in bits, class.
        uint8 Record[4];
        if (Hgetelement(FileId, DFTAG_NT, R, Record) != 4 || Record[1] != From)
            continue;
        Record[1] = static_cast<uint8>(To);
        const int Size = DFKNTsize(To);
        if (Size > 0)
            Record[2] = static_cast<uint8>(Size * 8);
        if (Hputelement(FileId, DFTAG_NT, R, Record, 4) == FAIL)
            continue;
        ++Changed;
    }
    Hclose(FileId);
    return Changed;
}

int32_t FillElements(const std::string& Path, uint16_t Tag, uint8_t Byte) {
    const int32 FileId = Hopen(Path.c_str(), DFACC_READ, 0);
    if (FileId == FAIL)
        throw std::runtime_error("Hopen failed for " + Path);
    std::vector<std::pair<int32, int32>> Places;
    uint16 Found = 0, Ref = 0;
    int32 Offset = 0, Length = 0;
    while (Hfind(FileId, Tag, DFREF_WILDCARD, &Found, &Ref, &Offset, &Length, DF_FORWARD) ==
           SUCCEED)
        if (Found == Tag && Offset > 0 && Length > 0)
            Places.emplace_back(Offset, Length);
    Hclose(FileId);
    std::fstream File(Path, std::ios::in | std::ios::out | std::ios::binary);
    for (const auto& [At, Count] : Places) {
        File.seekp(At);
        const std::string Bytes(static_cast<size_t>(Count), static_cast<char>(Byte));
        File.write(Bytes.data(), std::streamsize(Bytes.size()));
    }
    if (!File)
        throw std::runtime_error("cannot overwrite elements of " + Path);
    return int32_t(Places.size());
}

} // namespace TestHdf
