// How HDF4's decoders take a compressed element's bytes, followed without
// producing any values: how zlib's inflate judges a stream's header, how far
// the N-bit decoder's bit reader asks beyond a stream, and where the
// run-length and skipping-Huffman decoders ask for their bytes while they
// decode the element's whole logical length. The structure check follows a
// stream only where a read at its end would do harm (ElementReader::
// ReadPastEnd): that is rare, and following costs a pass over the stream.
#ifndef LOADHDF_CATALOGUE_STRUCTURE_STREAM_DECODERS_H
#define LOADHDF_CATALOGUE_STRUCTURE_STREAM_DECODERS_H

#include "catalogue/structure/element_reader.h"

#include <cstdint>
#include <optional>
#include <vector>

// What inflate makes of a zlib stream's first bytes (up to 6), in zlib's
// own order: the header's check sum, the method, the window size, and only
// then the preset-dictionary flag, whose dictionary id takes 4 more bytes.
enum class ZlibStart {
    Refused,         // inflate fails at once (Z_DATA_ERROR), or lacks bytes
    WantsDictionary, // inflate returns Z_NEED_DICT, which HDF4's loop never ends
    Inflates,
};
ZlibStart JudgeZlibStart(const std::vector<uint8_t>& FirstBytes);

// The bytes past a stream of Stored bytes that the N-bit decoder's bit
// reader asks for at worst, for an element of Values values of Bits bits
// each and values of TypeSize bytes. HCIcnbit_decode decodes whole buffers
// of 1,024 bytes for any read of that size or more, so the last read may
// decode up to a buffer less one value past the last value.
int64_t NbitBytesPastEnd(int64_t Values, int32_t TypeSize, int32_t Bits, int64_t Stored);

// The furthest a stream is followed: logical bytes decoded, and skipping-
// Huffman trees (about 2.5 KiB each) held.
constexpr int64_t MaxFollowedLength = int64_t(16) << 20;
constexpr int32_t MaxFollowedTrees = 4096;

// Decodes LogicalLength bytes of a run-length stream (HCIcrle_decode's
// reads: HDgetc for each control and run byte, one Hread for a mixed run)
// through Bytes. None when every read stays within the stored bytes or
// fails cleanly; otherwise the rule: a read that faults, or one at or past
// the end (the values would be made of what the buffers held).
std::optional<StructureRule> FollowRunLength(ElementReader& Bytes, int64_t LogicalLength);

// The same for a skipping-Huffman stream of skip size SkipSize: bit by bit
// through the bit reader's 4,096-byte refills, each tree splayed as
// HCIcskphuff_decode splays it.
std::optional<StructureRule> FollowSkipHuffman(ElementReader& Bytes, int64_t LogicalLength,
                                               int32_t SkipSize);

#endif
