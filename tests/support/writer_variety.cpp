// Test helper: files of HDF4's many writers (see writer_variety.h). Each
// writer is the few HDF4 calls that make its kind of file, so that a test can
// show that every kind passes the structure check and still scans.
#include "support/writer_variety.h"

#include "support/hdf_writer.h"

#include <hdf/mfhdf.h>

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

// Records appended in a second session turn the data into linked blocks.
void WriteAppended(const std::string& Path) {
    {
        SdFile File(Path);
        const int32 Sds = CreateFloat(File.Id, "growing", {SD_UNLIMITED, 3});
        WriteAll(Sds, {2, 3});
        SDendaccess(Sds);
        SDendaccess(CreateFloat(File.Id, "never written", {SD_UNLIMITED, 2}));
    }
    for (int Session = 0; Session < 3; ++Session) {
        SdFile File(Path, DFACC_WRITE);
        const int32 Sds = SDselect(File.Id, 0);
        int32 Start[2] = {2 + 40 * Session, 0}, Edges[2] = {40, 3};
        const std::vector<float32> Values = Ramp(120);
        Must(SDwritedata(Sds, Start, nullptr, Edges, const_cast<float32*>(Values.data())) ==
                 SUCCEED,
             "SDwritedata");
        SDendaccess(Sds);
    }
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

void WriteSdWithImage(const std::string& Path, int32 ImageType) {
    {
        SdFile File(Path);
        WriteAll(CreateFloat(File.Id, "beside an image", {2, 2}), {2, 2});
    }
    AddImage(Path, ImageType, false);
}

// The command-line tools of Debian's hdf4-tools; absent tools fail the case.
void RunTool(const std::string& Command) {
    Must(std::system((Command + " >/dev/null 2>&1").c_str()) == 0, Command.c_str());
}

void WriteWithNcgen(const std::string& Path) {
    const std::string Cdl = Path + ".cdl";
    std::ofstream(Cdl)
        << "netcdf sample {\n"
           "dimensions:\n  time = UNLIMITED ;\n  lat = 3 ;\n  lon = 4 ;\n"
           "variables:\n  float lat(lat) ;\n    lat:units = \"degrees\" ;\n"
           "  short temp(time, lat, lon) ;\n    temp:long_name = \"T\" ;\n"
           "  double scalar ;\n"
           "  :history = \"made by ncgen\" ;\n"
           "data:\n  lat = 10, 20, 30 ;\n"
           "  temp = 1,2,3,4,5,6,7,8,9,10,11,12, 13,14,15,16,17,18,19,20,21,22,23,24 ;\n"
           "  scalar = 3.5 ;\n}\n";
    RunTool("ncgen-hdf -o '" + Path + "' '" + Cdl + "'");
}

void Repack(const std::string& Path, const std::string& Options,
            void (*WriteSource)(const std::string&) = WriteMany) {
    const std::string Source = Path + ".source.hdf";
    WriteSource(Source);
    RunTool("hrepack -i '" + Source + "' -o '" + Path + "' " + Options);
}

} // namespace

const std::vector<WriterCase>& WriterVariety() {
    static const std::vector<WriterCase> Cases = {
        {"SD: scales, texts and types", WriteSdTypes},
        {"SD: compression of every coder", WriteCompressed},
        {"SD: chunked, and compressed chunks partly written", WriteChunked},
        {"SD: unlimited records appended later", WriteAppended},
        {"SD: attributes, fill, calibration, shared dimension, scalar", WriteAttributesAndOddities},
        {"SD: sixty data sets", WriteMany},
        {"SD: created and closed empty", [](const std::string& P) { SdFile File(P); }},
        {"H: created and closed empty",
         [](const std::string& P) { Hclose(Hopen(P.c_str(), DFACC_CREATE, 0)); }},
        {"DFSD: scales, texts, calibration, annotations", WriteDfsd},
        {"V: vdatas and a vgroup", WriteVdatas},
        {"GR: an 8-bit image only", [](const std::string& P) { AddImage(P, DFNT_UINT8, true); }},
        {"GR: a 64-bit image only", [](const std::string& P) { AddImage(P, DFNT_INT64, true); }},
        {"SD with a 64-bit GR image",
         [](const std::string& P) { WriteSdWithImage(P, DFNT_INT64); }},
        {"ncgen-hdf from CDL", WriteWithNcgen},
        {"hrepack: deflate", [](const std::string& P) { Repack(P, "-t '*:GZIP 6'"); }},
        {"hrepack: skipping Huffman", [](const std::string& P) { Repack(P, "-t '*:HUFF 2'"); }},
        {"hrepack: run-length", [](const std::string& P) { Repack(P, "-t '*:RLE'"); }},
        {"hrepack: chunked", [](const std::string& P) { Repack(P, "-c '*:2x1'"); }},
        {"hrepack: chunked and deflated",
         [](const std::string& P) { Repack(P, "-t '*:GZIP 1' -c '*:2x2'"); }},
        {"hrepack: uncompressed", [](const std::string& P) { Repack(P, "-t '*:NONE'"); }},
        {"hrepack: appended records, deflated",
         [](const std::string& P) { Repack(P, "-t '*:GZIP 9'", WriteAppended); }},
        {"hrepack: old DFSD data sets, chunked",
         [](const std::string& P) { Repack(P, "-c '*:2x2'", WriteDfsd); }},
    };
    return Cases;
}

} // namespace TestHdf
