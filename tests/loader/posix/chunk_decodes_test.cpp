// How often HDF4 decodes each deflated chunk while a load reads its slabs:
// once at most, whatever the slab bound and the skips, and never a chunk on
// which no kept point lies. HDF4 starts zlib afresh (inflateInit_) for every
// chunk it takes into its chunk cache, so this program counts those calls:
// on ELF systems a definition here comes before zlib's for HDF4's own calls.
#include "loader/loader_fixture.h"
#include "loader/slab_reader.h"

#include <hdf/mfhdf.h>

#include <dlfcn.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

int32_t ZlibStarts = 0;

} // namespace

// zlib's own header is left out: on 32-bit builds its typedefs clash with
// HDF4's. The stream is only passed on, so its address stands for it.
extern "C" int inflateInit_(void* Stream, const char* Version, int StreamSize) {
    using Start = int (*)(void*, const char*, int);
    static const Start Real = reinterpret_cast<Start>(dlsym(RTLD_NEXT, "inflateInit_"));
    ++ZlibStarts;
    return Real(Stream, Version, StreamSize);
}

namespace {

// A float32 data set of 9 x 8 x 10 values 0, 1, 2, ... in deflated chunks of
// 3 x 4 x 5: three layers of four chunks along the first dimension.
const std::vector<int32_t> Dims = {9, 8, 10};

std::string ChunkedDeflateFile() {
    const std::string Path = TestHdf::TempPath("chunked-deflate.hdf");
    const int32 File = SDstart(Path.c_str(), DFACC_CREATE);
    int32 Extents[3] = {Dims[0], Dims[1], Dims[2]};
    const int32 Sds = SDcreate(File, "cube", DFNT_FLOAT32, 3, Extents);
    HDF_CHUNK_DEF Chunk = {};
    Chunk.comp.chunk_lengths[0] = 3;
    Chunk.comp.chunk_lengths[1] = 4;
    Chunk.comp.chunk_lengths[2] = 5;
    Chunk.comp.comp_type = COMP_CODE_DEFLATE;
    Chunk.comp.cinfo.deflate.level = 6;
    std::vector<float> Values(size_t(Dims[0] * Dims[1] * Dims[2]));
    for (size_t E = 0; E < Values.size(); ++E)
        Values[E] = float(E);
    int32 Start[3] = {0, 0, 0};
    const bool Written = File != FAIL && Sds != FAIL &&
                         SDsetchunk(Sds, Chunk, HDF_CHUNK | HDF_COMP) == SUCCEED &&
                         SDwritedata(Sds, Start, nullptr, Extents, Values.data()) == SUCCEED;
    SDendaccess(Sds);
    SDend(File);
    if (!Written)
        throw std::runtime_error("could not write " + Path);
    return Path;
}

struct DecodeCase {
    const char* Name;
    int32_t ISkip, JSkip, KSkip;
    int32_t SlabBytes; // 0: the add-on's own bound
    int32_t Decodes;   // chunks HDF4 decodes during the load
};

void PrintTo(const DecodeCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class ChunkDecodeTest : public LoaderTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(ChunkDecodeTest, EachChunkIsDecodedOnceAndOnlyWhereAPointIsKept) {
    const DecodeCase& C = GetParam();
    const std::string Path = ChunkedDeflateFile();
    if (C.SlabBytes != 0)
        SlabByteLimit = C.SlabBytes;
    ZlibStarts = 0;
    ASSERT_TRUE(Replay(Items(Path, C.ISkip, C.JSkip, C.KSkip, {1}))) << Joined(Messages());
    EXPECT_EQ(ZlibStarts, C.Decodes);

    // The values arrive all the same: each is its own element number.
    const VyrHost::Zone& Z = ZoneAt(1);
    const double Last = double(Dims[0] * Dims[1] * Dims[2] - 1);
    EXPECT_EQ(Z.Value(4, 1), 0.0);
    EXPECT_EQ(Z.Value(4, Z.PointCount()), Last);
    ExpectLoadLeftNothingHeld();
}

// Slabs of 120 bytes are three rows, which straddle the chunks' rows of
// four; slabs of 12 bytes are three values, which straddle chunks five wide.
// A K skip of 8 keeps planes 1 and 9: the middle layer is never decoded.
const DecodeCase DecodeCases[] = {
    {"WholeDataSetInOneSlab", 1, 1, 1, 0, 12}, {"SlabsOfThreeRows", 1, 1, 1, 120, 12},
    {"SlabsOfThreeValues", 1, 1, 1, 12, 12},   {"SkippedRowsAndValues", 2, 3, 2, 12, 12},
    {"MiddleLayerSkipped", 1, 1, 8, 120, 8},
};

INSTANTIATE_TEST_SUITE_P(Slabs, ChunkDecodeTest, ::testing::ValuesIn(DecodeCases),
                         [](const ::testing::TestParamInfo<DecodeCase>& Info) {
                             return std::string(Info.param.Name);
                         });

} // namespace
