// Test helper: files of HDF4's many writers (see writer_variety.h). Each
// writer is the few HDF4 calls that make its kind of file, so that a test can
// show that every kind passes the structure check and still scans.
#include "support/writer_variety.h"

#include "support/hdf4_tools.h"
#include "support/hdf_writer.h"

#include <hdf/mfhdf.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace TestHdf {
namespace {

void Must(bool Ok, const char* What) {
    if (!Ok)
        throw std::runtime_error(std::string("HDF4 variety writer: ") + What);
}

std::vector<float32> Ramp(size_t Count) {
    std::vector<float32> Values(Count);
    for (size_t I = 0; I < Count; ++I)
        Values[I] = float32(I) * 0.5f;
    return Values;
}

// ---- The old DFSD interface: scales, texts, calibration, range, annotations.
void WriteDfsd(const std::string& Path) {
    int32 Dims[2] = {4, 3};
    float32 Rows[4] = {10, 20, 30, 40}, Columns[3] = {1, 2, 3};
    const std::vector<float32> Values = Ramp(12);
    Must(DFSDsetNT(DFNT_FLOAT32) == SUCCEED, "DFSDsetNT");
    Must(DFSDsetdims(2, Dims) == SUCCEED, "DFSDsetdims");
    Must(DFSDsetdimscale(1, 4, Rows) == SUCCEED && DFSDsetdimscale(2, 3, Columns) == SUCCEED,
         "DFSDsetdimscale");
    Must(DFSDsetdimstrs(1, "row", "m", "F4.0") == SUCCEED, "DFSDsetdimstrs");
    Must(DFSDsetdatastrs("Pressure", "Pa", "F6.1", "cartesian") == SUCCEED, "DFSDsetdatastrs");
    Must(DFSDsetcal(2.0, 0.1, 5.0, 0.2, DFNT_INT16) == SUCCEED, "DFSDsetcal");
    float32 Max = 5.5f, Min = 0.0f;
    Must(DFSDsetrange(&Max, &Min) == SUCCEED, "DFSDsetrange");
    Must(DFSDputdata(Path.c_str(), 2, Dims, const_cast<float32*>(Values.data())) == SUCCEED,
         "DFSDputdata");
    const uint16 Ref = DFSDlastref();
    char Label[] = "a data label", Description[] = "a longer description";
    Must(DFANputlabel(Path.c_str(), DFTAG_NDG, Ref, Label) == SUCCEED, "DFANputlabel");
    Must(DFANputdesc(Path.c_str(), DFTAG_NDG, Ref, Description, 20) == SUCCEED, "DFANputdesc");

    // A second data set of another type and rank, without scales.
    DFSDclear();
    int16 Small[2 * 3 * 2] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    int32 Dims3[3] = {2, 3, 2};
    Must(DFSDsetNT(DFNT_INT16) == SUCCEED, "DFSDsetNT");
    Must(DFSDadddata(Path.c_str(), 3, Dims3, Small) == SUCCEED, "DFSDadddata");
}

// ---- GR images beside (or instead of) SD data sets.
void AddImage(const std::string& Path, int32 NumberType, bool Create) {
    const int32 File = Hopen(Path.c_str(), Create ? DFACC_CREATE : DFACC_RDWR, 0);
    Must(File != FAIL, "Hopen");
    const int32 Gr = GRstart(File);
    int32 Dims[2] = {5, 4};
    const int32 Image = GRcreate(Gr, "image", 1, NumberType, MFGR_INTERLACE_PIXEL, Dims);
    Must(Image != FAIL, "GRcreate");
    if (NumberType == DFNT_UINT8) {
        uint8 Pixels[20] = {};
        int32 Start[2] = {0, 0};
        Must(GRwriteimage(Image, Start, nullptr, Dims, Pixels) == SUCCEED, "GRwriteimage");
    }
    GRendaccess(Image);
    GRend(Gr);
    Hclose(File);
}

// ---- Vdatas and vgroups of the V interface.
void WriteVdatas(const std::string& Path) {
    const int32 File = Hopen(Path.c_str(), DFACC_CREATE, 0);
    Must(File != FAIL, "Hopen");
    Must(Vstart(File) == SUCCEED, "Vstart");
    const int32 Table = VSattach(File, -1, "w");
    Must(VSfdefine(Table, "pair", DFNT_INT32, 2) == SUCCEED &&
             VSfdefine(Table, "weight", DFNT_FLOAT64, 1) == SUCCEED &&
             VSfdefine(Table, "code", DFNT_CHAR8, 3) == SUCCEED,
         "VSfdefine");
    Must(VSsetfields(Table, "pair,weight,code") == SUCCEED, "VSsetfields");
    uint8 Records[3 * (8 + 8 + 3)] = {};
    Must(VSwrite(Table, Records, 3, FULL_INTERLACE) == 3, "VSwrite");
    VSsetname(Table, "measurements");
    VSsetclass(Table, "table");
    const int32 TableRef = VSQueryref(Table);
    VSdetach(Table);
    const int32 Group = Vattach(File, -1, "w");
    Vsetname(Group, "a group with a rather long name that no reader of SD data sets follows");
    Vsetclass(Group, "misc");
    Vaddtagref(Group, DFTAG_VH, TableRef);
    Vdetach(Group);
    Vend(File);
    Hclose(File);
}

// ---- SD data sets through the SD interface directly.
void WriteSdTypes(const std::string& Path) {
    DataSet First;
    First.Name = "a";
    First.NumberType = DFNT_INT16;
    First.Dims = {4, 3};
    First.Label = "L";
    First.Unit = "U";
    First.Format = "F";
    First.CoordSys = "C";
    First.Scales = {{DFNT_FLOAT64, {1, 2, 3, 4}}};
    DataSet Second = First, Third = First;
    Second.Name = "b";
    Second.NumberType = DFNT_UINT8;
    Second.Dims = {2, 3, 2};
    Second.Scales.clear();
    Third.Name = "c";
    Third.NumberType = DFNT_FLOAT64;
    Third.Dims = {7};
    Third.Scales.clear();
    Write(Path, {First, Second, Third});
}

struct SdFile {
    explicit SdFile(const std::string& Path, int32 Mode = DFACC_CREATE)
        : Id(SDstart(Path.c_str(), Mode)) {
        Must(Id != FAIL, "SDstart");
    }
    ~SdFile() { SDend(Id); }
    const int32 Id;
};

int32 CreateFloat(int32 File, const char* Name, std::vector<int32> Dims) {
    const int32 Sds = SDcreate(File, Name, DFNT_FLOAT32, int32(Dims.size()), Dims.data());
    Must(Sds != FAIL, "SDcreate");
    return Sds;
}

void WriteAll(int32 Sds, std::vector<int32> Edges) {
    size_t Count = 1;
    for (int32 Edge : Edges)
        Count *= size_t(Edge);
    const std::vector<float32> Values = Ramp(Count);
    std::vector<int32> Start(Edges.size(), 0);
    Must(SDwritedata(Sds, Start.data(), nullptr, Edges.data(),
                     const_cast<float32*>(Values.data())) == SUCCEED,
         "SDwritedata");
}

void WriteCompressed(const std::string& Path) {
    SdFile File(Path);
    comp_info Deflate{}, Huffman{}, None{};
    Deflate.deflate.level = 6;
    Huffman.skphuff.skp_size = 4;
    const struct {
        const char* Name;
        comp_coder_t Coder;
        comp_info* Info;
    } Kinds[] = {{"deflate", COMP_CODE_DEFLATE, &Deflate},
                 {"huffman", COMP_CODE_SKPHUFF, &Huffman},
                 {"rle", COMP_CODE_RLE, &None},
                 {"none", COMP_CODE_NONE, &None}};
    for (const auto& Kind : Kinds) {
        const int32 Sds = CreateFloat(File.Id, Kind.Name, {6, 5});
        Must(SDsetcompress(Sds, Kind.Coder, Kind.Info) == SUCCEED, "SDsetcompress");
        WriteAll(Sds, {6, 5});
        SDendaccess(Sds);
    }
    int32 Dims[2] = {6, 5};
    const int32 Nbit = SDcreate(File.Id, "nbit", DFNT_INT32, 2, Dims);
    Must(Nbit != FAIL && SDsetnbitdataset(Nbit, 12, 8, 1, 0) != FAIL, "SDsetnbitdataset");
    int32 Values[30] = {};
    int32 Start[2] = {0, 0};
    Must(SDwritedata(Nbit, Start, nullptr, Dims, Values) == SUCCEED, "SDwritedata");
    SDendaccess(Nbit);
}

void WriteChunked(const std::string& Path) {
    SdFile File(Path);
    HDF_CHUNK_DEF Plain{}, Compressed{};
    Plain.chunk_lengths[0] = 4;
    Plain.chunk_lengths[1] = 3;
    Compressed.comp.chunk_lengths[0] = 3;
    Compressed.comp.chunk_lengths[1] = 2;
    Compressed.comp.comp_type = COMP_CODE_DEFLATE;
    Compressed.comp.cinfo.deflate.level = 1;
    const int32 First = CreateFloat(File.Id, "chunked", {8, 6});
    Must(SDsetchunk(First, Plain, HDF_CHUNK) == SUCCEED, "SDsetchunk");
    WriteAll(First, {8, 6});
    SDendaccess(First);
    const int32 Second = CreateFloat(File.Id, "chunked and compressed", {7, 5});
    Must(SDsetchunk(Second, Compressed, HDF_CHUNK | HDF_COMP) == SUCCEED, "SDsetchunk");
    WriteAll(Second, {3, 2}); // one chunk written, the others left to the fill value
    SDendaccess(Second);
}

// Appends Records rows of 3 values to data set 0 (of 2 rows so far) in each
// of Sessions sessions: the data become linked blocks.
// N-bit int16 records (15 bits from bit 14) written in two sessions, First
// values and then the rest of Total: HDF4 turns the compressed element into
// linked blocks of 4,096 bytes, 16 to a table. After 3,000 values and then
// 33,964 more, the element's 69,632 bytes fill the one table's chain
// exactly; after 2,000 first, the chain has a second table.
void WriteNbitAppended(const std::string& Path, int32 First, int32 Total) {
    const std::vector<int16> Values(size_t(Total), 5);
    for (int Session = 0; Session < 2; ++Session) {
        SdFile File(Path, Session == 0 ? DFACC_CREATE : DFACC_WRITE);
        int32 Dims[1] = {SD_UNLIMITED};
        const int32 Sds = Session == 0 ? SDcreate(File.Id, "n-bit records", DFNT_INT16, 1, Dims)
                                       : SDselect(File.Id, 0);
        Must(Sds != FAIL, "SDcreate");
        if (Session == 0)
            Must(SDsetnbitdataset(Sds, 14, 15, 0, 0) != FAIL, "SDsetnbitdataset");
        int32 Start[1] = {Session == 0 ? 0 : First};
        int32 Edge[1] = {Session == 0 ? First : Total - First};
        Must(SDwritedata(Sds, Start, nullptr, Edge, const_cast<int16*>(Values.data())) == SUCCEED,
             "SDwritedata");
        SDendaccess(Sds);
    }
}

// A 17 x 33 x 10 int32 data set in compressed chunks of 4 x 8 x 5, written
// in two halves along the first dimension: the chunks the halves share are
// compressed again when the second half is written, and HDF4 stores their
// grown compressed bytes in linked blocks.
void WriteChunksInTwoHalves(const std::string& Path, comp_coder_t Coder) {
    int32 Dims[3] = {17, 33, 10};
    std::vector<int32> Values(17 * 33 * 10);
    for (size_t I = 0; I < Values.size(); ++I)
        Values[I] = int32(I % 4000);
    for (int Half = 0; Half < 2; ++Half) {
        SdFile File(Path, Half == 0 ? DFACC_CREATE : DFACC_WRITE);
        const int32 Sds =
            Half == 0 ? SDcreate(File.Id, "in halves", DFNT_INT32, 3, Dims) : SDselect(File.Id, 0);
        Must(Sds != FAIL, "SDcreate");
        if (Half == 0) {
            HDF_CHUNK_DEF Chunk{};
            Chunk.comp.chunk_lengths[0] = 4;
            Chunk.comp.chunk_lengths[1] = 8;
            Chunk.comp.chunk_lengths[2] = 5;
            Chunk.comp.comp_type = Coder;
            if (Coder == COMP_CODE_SKPHUFF)
                Chunk.comp.cinfo.skphuff.skp_size = 4;
            else
                Chunk.comp.cinfo.deflate.level = 6;
            Must(SDsetchunk(Sds, Chunk, HDF_CHUNK | HDF_COMP) == SUCCEED, "SDsetchunk");
        }
        int32 Start[3] = {Half == 0 ? 0 : 9, 0, 0}, Edge[3] = {Half == 0 ? 9 : 8, 33, 10};
        Must(SDwritedata(Sds, Start, nullptr, Edge, Values.data() + size_t(Start[0]) * 330) ==
                 SUCCEED,
             "SDwritedata");
        SDendaccess(Sds);
    }
}

// A chunked data set beside a small float data set of 4 x 3 values 2.5:
// Dims of Type in chunks of Chunk, of which only the first is written.
void WriteSparseChunkedBeside(const std::string& Path, std::vector<int32> Dims,
                              std::vector<int32> Chunk, int32 Type) {
    SdFile File(Path);
    const int32 Sparse = SDcreate(File.Id, "sparse", Type, int32(Dims.size()), Dims.data());
    Must(Sparse != FAIL, "SDcreate");
    HDF_CHUNK_DEF Def{};
    for (size_t D = 0; D < Chunk.size(); ++D)
        Def.chunk_lengths[D] = Chunk[D];
    Must(SDsetchunk(Sparse, Def, HDF_CHUNK) == SUCCEED, "SDsetchunk");
    size_t Count = size_t(DFKNTsize(Type));
    for (int32 Length : Chunk)
        Count *= size_t(Length);
    // The first chunk alone, written as a chunk: SDwritedata's positions
    // in a data set of 2 GiB and more wrap in HMCPwrite.
    std::vector<uint8> Bytes(Count, 0);
    std::vector<int32> Origin(Chunk.size(), 0);
    Must(SDwritechunk(Sparse, Origin.data(), Bytes.data()) == SUCCEED, "SDwritechunk");
    SDendaccess(Sparse);
    const int32 Small = CreateFloat(File.Id, "small", {4, 3});
    const std::vector<float32> Values(12, 2.5f);
    int32 Start[2] = {0, 0}, Edges[2] = {4, 3};
    Must(SDwritedata(Small, Start, nullptr, Edges, const_cast<float32*>(Values.data())) == SUCCEED,
         "SDwritedata");
    SDendaccess(Small);
}

// Count data sets of 2 x 2 float32 values in chunks of 1 x 1, one chunk
// written each: a file with many chunked elements, all small.
void WriteSmallChunked(const std::string& Path, int Count) {
    SdFile File(Path);
    HDF_CHUNK_DEF Def{};
    Def.chunk_lengths[0] = 1;
    Def.chunk_lengths[1] = 1;
    for (int Index = 0; Index < Count; ++Index) {
        char Name[32];
        std::snprintf(Name, sizeof Name, "chunked %d", Index);
        const int32 Sds = CreateFloat(File.Id, Name, {2, 2});
        Must(SDsetchunk(Sds, Def, HDF_CHUNK) == SUCCEED, "SDsetchunk");
        WriteAll(Sds, {1, 1});
        SDendaccess(Sds);
    }
}

void AppendRecords(const std::string& Path, int Sessions, int32 Records) {
    for (int Session = 0; Session < Sessions; ++Session) {
        SdFile File(Path, DFACC_WRITE);
        const int32 Sds = SDselect(File.Id, 0);
        int32 Start[2] = {2 + Records * Session, 0}, Edges[2] = {Records, 3};
        const std::vector<float32> Values = Ramp(size_t(Records) * 3);
        Must(SDwritedata(Sds, Start, nullptr, Edges, const_cast<float32*>(Values.data())) ==
                 SUCCEED,
             "SDwritedata");
        SDendaccess(Sds);
    }
}

// Records appended in a second session turn the data into linked blocks.
void WriteAppended(const std::string& Path) {
    {
        SdFile File(Path);
        const int32 Sds = CreateFloat(File.Id, "growing", {SD_UNLIMITED, 3});
        WriteAll(Sds, {2, 3});
        SDendaccess(Sds);
        SDendaccess(CreateFloat(File.Id, "never written", {SD_UNLIMITED, 2}));
    }
    AppendRecords(Path, 3, 40);
}

// Records appended over six sessions to a data set stored in linked blocks
// of 64 bytes (SDsetblocksize): 23 blocks in a link table of 128.
void WriteAppendedInSmallBlocks(const std::string& Path) {
    {
        SdFile File(Path);
        const int32 Sds = CreateFloat(File.Id, "in small blocks", {SD_UNLIMITED, 3});
        Must(SDsetblocksize(Sds, 64) == SUCCEED, "SDsetblocksize");
        WriteAll(Sds, {2, 3});
        SDendaccess(Sds);
    }
    AppendRecords(Path, 6, 20);
}

// Attributes of several types, a fill value, calibration, a range, a shared
// named dimension, little-endian data, a scalar, and data never written.
void WriteAttributesAndOddities(const std::string& Path) {
    SdFile File(Path);
    const char* Title = "global text";
    SDsetattr(File.Id, "title", DFNT_CHAR8, int32(std::char_traits<char>::length(Title)), Title);
    int16 Codes[3] = {1, 2, 3};
    SDsetattr(File.Id, "codes", DFNT_INT16, 3, Codes);
    const int32 First = CreateFloat(File.Id, "first", {3, 4});
    SDsetdimname(SDgetdimid(First, 0), "shared");
    float32 Fill = -1;
    SDsetfillvalue(First, &Fill);
    SDsetcal(First, 1.5, 0.0, 2.0, 0.0, DFNT_INT16);
    float32 Max = 10, Min = 0;
    SDsetrange(First, &Max, &Min);
    float64 Weight = 2.5;
    SDsetattr(First, "weight", DFNT_FLOAT64, 1, &Weight);
    WriteAll(First, {3, 4});
    SDendaccess(First);
    const int32 Second = CreateFloat(File.Id, "second", {3, 2});
    SDsetdimname(SDgetdimid(Second, 0), "shared");
    SDendaccess(Second); // never written: read back as fill values
    int32 Dims[1] = {5};
    const int32 Little = SDcreate(File.Id, "little endian", DFNT_LINT16, 1, Dims);
    Must(Little != FAIL, "SDcreate");
    int16 Values[5] = {1, 2, 3, 4, 5};
    int32 Start[1] = {0};
    Must(SDwritedata(Little, Start, nullptr, Dims, Values) == SUCCEED, "SDwritedata");
    SDendaccess(Little);
    const int32 Scalar = SDcreate(File.Id, "scalar", DFNT_INT32, 0, Dims);
    if (Scalar != FAIL)
        SDendaccess(Scalar);
}

// More data sets than one DD block holds, with scales.
void WriteMany(const std::string& Path) {
    SdFile File(Path);
    for (int I = 0; I < 60; ++I) {
        const int32 Sds = CreateFloat(File.Id, ("set" + std::to_string(I)).c_str(), {3, 2});
        float32 Scale[3] = {1, 2, 3};
        SDsetdimscale(SDgetdimid(Sds, 0), 3, DFNT_FLOAT32, Scale);
        SDsetdatastrs(Sds, "label", "unit", "F5.1", "");
        WriteAll(Sds, {3, 2});
        SDendaccess(Sds);
    }
}

void WriteConstant(int32 Sds, std::vector<int32> Edges, float32 Value) {
    size_t Count = 1;
    for (int32 Edge : Edges)
        Count *= size_t(Edge);
    std::vector<float32> Values(Count, Value);
    std::vector<int32> Start(Edges.size(), 0);
    Must(SDwritedata(Sds, Start.data(), nullptr, Edges.data(), Values.data()) == SUCCEED,
         "SDwritedata");
}

struct ConstantSet {
    std::string Name;
    float32 Value;
};

// A new SD file of float32 data sets of these extents, each holding one
// value throughout; the file is closed again, for a writer to change with
// the other interfaces.
void WriteConstantSets(const std::string& Path, const std::vector<ConstantSet>& Sets,
                       const std::vector<int32>& Dims) {
    SdFile File(Path);
    for (const ConstantSet& Set : Sets) {
        const int32 Sds = CreateFloat(File.Id, Set.Name.c_str(), Dims);
        WriteConstant(Sds, Dims, Set.Value);
        SDendaccess(Sds);
    }
}

// Reads a data set never written in the session that made it: HDF4 then
// defines its data element without writing it (offset and length -1).
void ReadBackUnwritten(int32 Sds, std::vector<int32> Edges, size_t ValueSize) {
    size_t Count = 1;
    for (int32 Edge : Edges)
        Count *= size_t(Edge);
    std::vector<uint8> Values(Count * ValueSize);
    std::vector<int32> Start(Edges.size(), 0);
    Must(SDreaddata(Sds, Start.data(), nullptr, Edges.data(), Values.data()) == SUCCEED,
         "SDreaddata");
}

// Data never written, which HDF4 reads as fill values: a data set whose
// access just ends (no data element at all), and ones read back in the
// session that made them (a data element of offset and length -1); each with
// a _FillValue of its own type or none, when HDF4's default for the type
// applies.
void WriteNeverWritten(const std::string& Path) {
    SdFile File(Path);
    SDendaccess(CreateFloat(File.Id, "ended without a fill", {3, 4}));
    int32 Dims[1] = {5};
    const int32 Ended = SDcreate(File.Id, "ended with a fill", DFNT_INT16, 1, Dims);
    int16 Fill = -7;
    Must(Ended != FAIL && SDsetfillvalue(Ended, &Fill) == SUCCEED, "SDsetfillvalue");
    SDendaccess(Ended);
    const int32 ReadBack = CreateFloat(File.Id, "read back with a fill", {2, 3});
    float32 FloatFill = 2.5f;
    Must(SDsetfillvalue(ReadBack, &FloatFill) == SUCCEED, "SDsetfillvalue");
    ReadBackUnwritten(ReadBack, {2, 3}, sizeof(float32));
    SDendaccess(ReadBack);
    const int32 Plain = SDcreate(File.Id, "read back without a fill", DFNT_INT16, 1, Dims);
    Must(Plain != FAIL, "SDcreate");
    ReadBackUnwritten(Plain, {5}, sizeof(int16));
    SDendaccess(Plain);
}

// A _FillValue of another type than the float32 data, as SDsetattr lets a
// program write it: harmless where the data are written, while HDF4 filling
// unwritten data would copy four bytes from the attribute's one. One data set
// of each kind of unwritten data; the fill is set after the read back, which
// HDF4 could not make with it.
void WriteFillOfAnotherType(const std::string& Path) {
    SdFile File(Path);
    const uint8 Fill = 9;
    const int32 Written = CreateFloat(File.Id, "written", {3, 4});
    Must(SDsetattr(Written, "_FillValue", DFNT_UINT8, 1, &Fill) == SUCCEED, "SDsetattr");
    WriteConstant(Written, {3, 4}, 4.5f);
    SDendaccess(Written);
    const int32 Ended = CreateFloat(File.Id, "never written", {3, 4});
    Must(SDsetattr(Ended, "_FillValue", DFNT_UINT8, 1, &Fill) == SUCCEED, "SDsetattr");
    SDendaccess(Ended);
    const int32 ReadBack = CreateFloat(File.Id, "read back, then given the fill", {3, 4});
    ReadBackUnwritten(ReadBack, {3, 4}, sizeof(float32));
    Must(SDsetattr(ReadBack, "_FillValue", DFNT_UINT8, 1, &Fill) == SUCCEED, "SDsetattr");
    SDendaccess(ReadBack);
}

// An SD file whose old-style group names a dimension record that is not in
// the file, as some HDF 4.0r0 files do: SDstart reads the CDF0.0 vgroup and
// never that group. HDF4's writers make no such group, so the member of a
// good one is patched to a reference without an element.
void WriteGroupNamingNoRecord(const std::string& Path) {
    WriteConstantSets(Path, {{"beside a broken group", 3.0f}}, {3, 4});
    const int32 File = Hopen(Path.c_str(), DFACC_RDWR, 0);
    Must(File != FAIL, "Hopen");
    uint16 Tag = 0, Ref = 0;
    int32 Offset = 0, Length = 0;
    Must(Hfind(File, DFTAG_NDG, DFREF_WILDCARD, &Tag, &Ref, &Offset, &Length, DF_FORWARD) ==
                 SUCCEED &&
             Length % 4 == 0,
         "Hfind");
    std::vector<uint8> Members(size_t(Length), 0);
    Must(Hgetelement(File, DFTAG_NDG, Ref, Members.data()) == Length, "Hgetelement");
    const uint16 Missing = Htagnewref(File, DFTAG_SDD);
    int32 Patched = 0;
    for (size_t At = 0; At < Members.size(); At += 4) {
        if ((Members[At] << 8 | Members[At + 1]) != DFTAG_SDD)
            continue;
        Members[At + 2] = uint8(Missing >> 8);
        Members[At + 3] = uint8(Missing);
        ++Patched;
    }
    Must(Patched == 1 && Hputelement(File, DFTAG_NDG, Ref, Members.data(), Length) != FAIL,
         "Hputelement");
    Hclose(File);
}

// More data descriptions on one SD data set than HDF4's reader of old-style
// groups keeps as attributes (100); SDstart never reads them in such a file.
void WriteManyAnnotations(const std::string& Path) {
    int32 Ref = FAIL;
    {
        SdFile File(Path);
        const int32 Sds = CreateFloat(File.Id, "annotated", {3, 4});
        WriteAll(Sds, {3, 4});
        Ref = SDidtoref(Sds);
        SDendaccess(Sds);
    }
    Must(Ref != FAIL, "SDidtoref");
    const int32 File = Hopen(Path.c_str(), DFACC_RDWR, 0);
    Must(File != FAIL, "Hopen");
    const int32 Annotations = ANstart(File);
    Must(Annotations != FAIL, "ANstart");
    for (int I = 0; I < 101; ++I) {
        const std::string Text = "note " + std::to_string(I);
        const int32 Note = ANcreate(Annotations, DFTAG_NDG, uint16(Ref), AN_DATA_DESC);
        Must(Note != FAIL && ANwriteann(Note, Text.c_str(), int32(Text.size())) != FAIL,
             "ANwriteann");
        ANendaccess(Note);
    }
    ANend(Annotations);
    Hclose(File);
}

// A DFSD data set of rank 33, one more than SD data sets may have (DFSD
// writes it), appended to an SD file, whose SD readers never see it.
void WriteDfsdOfRank33Appended(const std::string& Path) {
    {
        SdFile File(Path);
        const int32 Sds = CreateFloat(File.Id, "SD data set", {2, 2});
        WriteAll(Sds, {2, 2});
        SDendaccess(Sds);
    }
    std::vector<int32> Dims(33, 1);
    Dims[0] = 2;
    int8 Values[2] = {5, 6};
    DFSDclear();
    Must(DFSDsetNT(DFNT_INT8) == SUCCEED, "DFSDsetNT");
    const bool Added = DFSDadddata(Path.c_str(), 33, Dims.data(), Values) == SUCCEED;
    DFSDclear(); // DFSD keeps its settings for the next writer
    Must(Added, "DFSDadddata");
}

// Three data sets of the values 1, 2 and 3; the second's vgroup is then
// deleted with Vdelete, which leaves the SD vgroup naming it.
void WriteWithDataSetDeleted(const std::string& Path) {
    WriteConstantSets(Path, {{"set 1", 1.0f}, {"set 2", 2.0f}, {"set 3", 3.0f}}, {3, 4});
    const int32 File = Hopen(Path.c_str(), DFACC_RDWR, 0);
    Must(File != FAIL && Vstart(File) == SUCCEED, "Vstart");
    const int32 Group = Vfind(File, "set 2");
    const bool Deleted = Group > 0 && Vdelete(File, Group) == SUCCEED;
    Vend(File);
    Hclose(File);
    Must(Deleted, "Vdelete");
}

// Beside an SD data set, a vdata renamed in place with a shorter name, which
// leaves its header longer than what HDF4 decodes from it (VSsetname only
// grows a header).
void WriteVdatasBesideSd(const std::string& Path) {
    WriteConstantSets(Path, {{"beside vdatas", 1.5f}}, {2, 3});
    const int32 File = Hopen(Path.c_str(), DFACC_RDWR, 0);
    Must(File != FAIL && Vstart(File) == SUCCEED, "Vstart");
    {
        const int32 Table = VSattach(File, -1, "w");
        Must(VSfdefine(Table, "counts", DFNT_INT32, 2) == SUCCEED &&
                 VSsetfields(Table, "counts") == SUCCEED,
             "VSfdefine");
        uint8 Records[2 * 8] = {};
        Must(VSwrite(Table, Records, 2, FULL_INTERLACE) == 2, "VSwrite");
        VSsetname(Table, "a vdata to be renamed shorter");
        VSdetach(Table);
    }
    const int32 Ref = VSfind(File, "a vdata to be renamed shorter");
    const int32 Table = Ref > 0 ? VSattach(File, Ref, "w") : FAIL;
    const bool Renamed = Table != FAIL && VSsetname(Table, "short") == SUCCEED;
    VSdetach(Table);
    Vend(File);
    Hclose(File);
    Must(Renamed, "VSsetname");
}

// Opens Path with the V interface, runs Change on the file id, and closes it.
template <class Step> void ChangeWithV(const std::string& Path, int32 Mode, Step Change) {
    const int32 File = Hopen(Path.c_str(), Mode, 0);
    Must(File != FAIL && Vstart(File) == SUCCEED, "Vstart");
    const bool Changed = Change(File);
    Vend(File);
    Hclose(File);
    Must(Changed, "V interface change");
}

// A vgroup whose class is longer than the 128 bytes HDF4's SD readers keep
// for a class; the V interface takes any length.
const std::string LongClass(200, 'c');
bool AddLongClassVgroup(int32 File) {
    const int32 Group = Vattach(File, -1, "w");
    const bool Added = Group != FAIL && Vsetname(Group, "long class") != FAIL &&
                       Vsetclass(Group, LongClass.c_str()) != FAIL;
    return Vdetach(Group) != FAIL && Added;
}

// The vgroup of the long class written first, so that its ref comes before
// the SD vgroup's, and the SD data after it.
void WriteSdAfterLongClass(const std::string& Path) {
    ChangeWithV(Path, DFACC_CREATE, AddLongClassVgroup);
    SdFile File(Path, DFACC_WRITE);
    const int32 Sds = CreateFloat(File.Id, "after a long class", {2, 3});
    WriteConstant(Sds, {2, 3}, 4.0f);
    SDendaccess(Sds);
}

// The SD vgroup named as SDstart names it when a writer opened the file
// through a path of 300 characters.
void WriteSdOfLongPath(const std::string& Path) {
    WriteConstantSets(Path, {{"of a long path", 5.0f}}, {2, 3});
    ChangeWithV(Path, DFACC_RDWR, [](int32 File) {
        const int32 Group = Vattach(File, Vfindclass(File, "CDF0.0"), "w");
        const bool Renamed =
            Group != FAIL && Vsetname(Group, ("/" + std::string(299, 'p')).c_str()) != FAIL;
        return Vdetach(Group) != FAIL && Renamed;
    });
}

// Two data sets, the first of whose number type says it was stored in the
// native byte order of another machine (class 2, VAX): HDF4 cannot convert
// it and leaves that data set out, listing the second alone.
void WriteForeignNativeType(const std::string& Path) {
    WriteConstantSets(Path, {{"foreign", 1.0f}, {"own", 8.5f}}, {2, 2});
    const int32 File = Hopen(Path.c_str(), DFACC_RDWR, 0);
    Must(File != FAIL && Vstart(File) == SUCCEED, "Vstart");
    const int32 Group = Vattach(File, Vfind(File, "foreign"), "r");
    bool Patched = false;
    for (int32 Entry = 0; Group != FAIL && Entry < Vntagrefs(Group); ++Entry) {
        int32 Tag = 0, Ref = 0;
        uint8 Record[4] = {};
        if (Vgettagref(Group, Entry, &Tag, &Ref) == FAIL || Tag != DFTAG_NT ||
            Hgetelement(File, DFTAG_NT, uint16(Ref), Record) != 4)
            continue;
        Record[3] = 2;
        Patched = Hputelement(File, DFTAG_NT, uint16(Ref), Record, 4) != FAIL;
    }
    Vdetach(Group);
    Vend(File);
    Hclose(File);
    Must(Patched, "Hputelement");
}

void WriteHuffmanOfLargeSkip(const std::string& Path) {
    SdFile File(Path);
    comp_info Huffman{};
    Huffman.skphuff.skp_size = 1000;
    const int32 Sds = CreateFloat(File.Id, "huffman, skip size 1000", {6, 5});
    Must(SDsetcompress(Sds, COMP_CODE_SKPHUFF, &Huffman) == SUCCEED, "SDsetcompress");
    WriteConstant(Sds, {6, 5}, 6.25f);
    SDendaccess(Sds);
}

// Data in external files beside the HDF file: a data set (index 0), the
// coordinate variable of its first dimension (index 1, moved out after its
// scale was written), and an ordinary data set between them (index 2).
void WriteExternal(const std::string& Path) {
    SdFile File(Path);
    const int32 Outside = CreateFloat(File.Id, "external", {4, 3});
    Must(SDsetexternalfile(Outside, (Path + ".data").c_str(), 0) == SUCCEED, "SDsetexternalfile");
    WriteConstant(Outside, {4, 3}, 1.0f);
    const int32 Dimension = SDgetdimid(Outside, 0);
    float32 Scale[4] = {10, 20, 30, 40};
    Must(SDsetdimname(Dimension, "x") == SUCCEED &&
             SDsetdimscale(Dimension, 4, DFNT_FLOAT32, Scale) == SUCCEED,
         "SDsetdimscale");
    SDendaccess(Outside);
    const int32 Inside = CreateFloat(File.Id, "ordinary", {4, 3});
    WriteConstant(Inside, {4, 3}, 7.5f);
    SDendaccess(Inside);
    const int32 Coordinate = SDselect(File.Id, SDnametoindex(File.Id, "x"));
    Must(Coordinate != FAIL &&
             SDsetexternalfile(Coordinate, (Path + ".scale").c_str(), 0) == SUCCEED,
         "SDsetexternalfile");
    SDendaccess(Coordinate);
}

void WriteSdWithImage(const std::string& Path, int32 ImageType) {
    {
        SdFile File(Path);
        WriteAll(CreateFloat(File.Id, "beside an image", {2, 2}), {2, 2});
    }
    AddImage(Path, ImageType, false);
}

void WriteWithNcgen(const std::string& Path) {
    const std::string Cdl = Path + ".cdl";
    // Binary: the tool is a Unix program, whatever system wrote its input.
    std::ofstream(Cdl, std::ios::binary)
        << "netcdf sample {\n"
           "dimensions:\n  time = UNLIMITED ;\n  lat = 3 ;\n  lon = 4 ;\n"
           "variables:\n  float lat(lat) ;\n    lat:units = \"degrees\" ;\n"
           "  short temp(time, lat, lon) ;\n    temp:long_name = \"T\" ;\n"
           "  double scalar ;\n"
           "  :history = \"made by ncgen\" ;\n"
           "data:\n  lat = 10, 20, 30 ;\n"
           "  temp = 1,2,3,4,5,6,7,8,9,10,11,12, 13,14,15,16,17,18,19,20,21,22,23,24 ;\n"
           "  scalar = 3.5 ;\n}\n";
    RunHdf4Tool("ncgen-hdf", {{"-o"}, FileArgument(Path), FileArgument(Cdl)});
}

// A writer of hrepack's copies of WriteSource's files, with Options (pairs
// of an option and its value).
std::function<void(const std::string&)>
Repacked(std::vector<std::string> Options, void (*WriteSource)(const std::string&) = WriteMany) {
    return [Options, WriteSource](const std::string& Path) {
        const std::string Source = Path + ".source.hdf";
        WriteSource(Source);
        std::vector<ToolArgument> Arguments{
            {"-i"}, FileArgument(Source), {"-o"}, FileArgument(Path)};
        for (const std::string& Option : Options)
            Arguments.push_back({Option});
        RunHdf4Tool("hrepack", Arguments);
    };
}

} // namespace

const std::vector<WriterCase>& WriterVariety() {
    static const std::vector<WriterCase> Cases = {
        {"SD: scales, texts and types", WriteSdTypes},
        {"SD: compression of every coder", WriteCompressed},
        {"SD: chunked, and compressed chunks partly written", WriteChunked},
        {"SD: unlimited records appended later", WriteAppended},
        {"SD: records appended over six sessions in blocks of 64 bytes",
         WriteAppendedInSmallBlocks},
        {"SD: attributes, fill, calibration, shared dimension, scalar", WriteAttributesAndOddities},
        {"SD: sixty data sets", WriteMany},
        {"SD: data sets never written", WriteNeverWritten},
        {"SD: fill value of another type than the data", WriteFillOfAnotherType},
        {"SD: old-style group naming a missing dimension record", WriteGroupNamingNoRecord},
        {"SD: 101 annotations on a data set", WriteManyAnnotations},
        {"SD with a DFSD data set of rank 33 appended", WriteDfsdOfRank33Appended},
        {"SD: a data set's vgroup deleted", WriteWithDataSetDeleted},
        {"SD: skipping Huffman of skip size 1000", WriteHuffmanOfLargeSkip},
        {"SD: N-bit records appended, the chain exactly full",
         [](const std::string& P) { WriteNbitAppended(P, 3000, 36964); }},
        {"SD: N-bit records appended over a second table",
         [](const std::string& P) { WriteNbitAppended(P, 2000, 36964); }},
        {"SD: 1 x 1 chunks on a grid of 1,025 x 1,024 beside a small data set",
         [](const std::string& P) {
             WriteSparseChunkedBeside(P, {1025, 1024}, {1, 1}, DFNT_UINT8);
         }},
        {"SD: 1 x 1 chunks on a grid of 128 x 128 beside a small data set",
         [](const std::string& P) {
             WriteSparseChunkedBeside(P, {128, 128}, {1, 1}, DFNT_UINT8);
         }},
        {"SD: sixteen chunked data sets of 2 x 2",
         [](const std::string& P) { WriteSmallChunked(P, 16); }},
        {"SD: a sparse chunked data set of 2 GiB and more beside a small one",
         [](const std::string& P) {
             WriteSparseChunkedBeside(P, {520, 1024, 1024}, {8, 64, 64}, DFNT_FLOAT32);
         }},
        {"SD: deflated chunks written in two halves",
         [](const std::string& P) { WriteChunksInTwoHalves(P, COMP_CODE_DEFLATE); }},
        {"SD: skipping-Huffman chunks written in two halves",
         [](const std::string& P) { WriteChunksInTwoHalves(P, COMP_CODE_SKPHUFF); }},
        {"SD beside a vdata renamed shorter", WriteVdatasBesideSd},
        {"SD: a data set in another machine's byte order", WriteForeignNativeType},
        {"SD: external data and an external coordinate variable", WriteExternal},
        {"SD: created and closed empty", [](const std::string& P) { SdFile File(P); }},
        {"H: created and closed empty",
         [](const std::string& P) { Hclose(Hopen(P.c_str(), DFACC_CREATE, 0)); }},
        {"DFSD: scales, texts, calibration, annotations", WriteDfsd},
        {"DFSD beside a vgroup class of 200 characters",
         [](const std::string& P) {
             WriteDfsd(P);
             ChangeWithV(P, DFACC_RDWR, AddLongClassVgroup);
         }},
        {"SD after a vgroup class of 200 characters", WriteSdAfterLongClass},
        {"SD of a 300-character path", WriteSdOfLongPath},
        {"V: vdatas and a vgroup", WriteVdatas},
        {"GR: an 8-bit image only", [](const std::string& P) { AddImage(P, DFNT_UINT8, true); }},
        {"GR: a 64-bit image only", [](const std::string& P) { AddImage(P, DFNT_INT64, true); }},
        {"SD with a 64-bit GR image",
         [](const std::string& P) { WriteSdWithImage(P, DFNT_INT64); }},
        {"ncgen-hdf from CDL", WriteWithNcgen},
        {"hrepack: deflate", Repacked({"-t", "*:GZIP 6"})},
        {"hrepack: skipping Huffman", Repacked({"-t", "*:HUFF 2"})},
        {"hrepack: run-length", Repacked({"-t", "*:RLE"})},
        {"hrepack: chunked", Repacked({"-c", "*:2x1"})},
        {"hrepack: chunked and deflated", Repacked({"-t", "*:GZIP 1", "-c", "*:2x2"})},
        {"hrepack: uncompressed", Repacked({"-t", "*:NONE"})},
        {"hrepack: appended records, deflated", Repacked({"-t", "*:GZIP 9"}, WriteAppended)},
        {"hrepack: old DFSD data sets, chunked", Repacked({"-c", "*:2x2"}, WriteDfsd)},
    };
    return Cases;
}

} // namespace TestHdf
