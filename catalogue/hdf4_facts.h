// HDF4 4.2.15's limits, buffer sizes and codes that the catalogue and the
// structure check rely on, as Debian's build of it compiles them. Nothing
// here includes HDF4's headers: the check reads a file before HDF4 may see
// it, and code that reads buffers needs only these numbers. Moving to
// another HDF4 means reading this file again against its headers and
// readers; no other file defines any of them.
#ifndef LOADHDF_CATALOGUE_HDF4_FACTS_H
#define LOADHDF_CATALOGUE_HDF4_FACTS_H

#include <cstdint>

namespace Hdf4 {

// ---- Limits of the SD interface (HDF4's netcdf.h) ----------------------------
constexpr int32_t MaxVarDims = 32;      // H4_MAX_VAR_DIMS: dimensions of one data set
constexpr int32_t MaxNameLength = 255;  // H4_MAX_NC_NAME less its terminator
constexpr int32_t MaxClassLength = 127; // H4_MAX_NC_CLASS less its terminator

// ---- Fixed buffers of HDF4's readers that a file's lengths can overrun -------
constexpr int32_t VersionElementSize = 92; // HIread_version's stack buffer
// hdf_read_sds_cdf (old-style groups): its member buffer (TBUF_SZ) and its
// attribute array.
constexpr int32_t OldStyleMemberBufferSize = 1024;
constexpr int32_t OldStyleMaxAttributes = 100;
constexpr int32_t AttributeFieldListLength = 99; // hdf_read_attrs' fields[100] less its terminator
constexpr int32_t ChunkHeaderBufferSize = 256;   // HMCIstaccess's stack buffer
constexpr int32_t MaxVdataFields = 256;          // VSFIELDMAX
constexpr int32_t MaxFieldNameLength = 128;      // FIELDNAMELENMAX
constexpr int32_t VdataNameLength = 64;          // VSNAMELENMAX, a 65-byte field
constexpr int32_t MaxFieldSize = 65535;          // MAX_FIELD_SIZE and MAX_ORDER

} // namespace Hdf4

// Tag values (htags.h) of the records the SD readers follow.
namespace HdfTag {
constexpr uint16_t Null = 1;
constexpr uint16_t Linked = 20;
constexpr uint16_t Version = 30;
constexpr uint16_t Compressed = 40;
constexpr uint16_t Chunk = 61;
constexpr uint16_t DataLabel = 104; // DFTAG_DIL
constexpr uint16_t DataDesc = 105;  // DFTAG_DIA
constexpr uint16_t NumberType = 106;
constexpr uint16_t Sdg = 700;
constexpr uint16_t Sdd = 701;
constexpr uint16_t Sd = 702;
constexpr uint16_t Sds = 703; // dimension scales of an old-style group
constexpr uint16_t Sdl = 704;
constexpr uint16_t Sdu = 705;
constexpr uint16_t Sdf = 706;
constexpr uint16_t Sdm = 707;
constexpr uint16_t Sdc = 708;
constexpr uint16_t Sdt = 709;
constexpr uint16_t SdLink = 710;
constexpr uint16_t Ndg = 720;
constexpr uint16_t Cal = 731;
constexpr uint16_t FillValue = 732;
constexpr uint16_t Vh = 1962;
constexpr uint16_t Vs = 1963;
constexpr uint16_t Vg = 1965;

constexpr uint16_t SpecialBit = 0x4000;
// The library's BASETAG: the plain form of a special tag; user tags (bit 15)
// have no special form.
constexpr uint16_t Base(uint16_t Tag) {
    return Tag & 0x8000 ? Tag : uint16_t(Tag & ~SpecialBit);
}
constexpr bool IsSpecial(uint16_t Tag) {
    return (Tag & 0xC000) == SpecialBit;
}
} // namespace HdfTag

// The first field of a special element's description record (hdf.h SPECIAL_*).
namespace SpecialCode {
constexpr int16_t Linked = 1;
constexpr int16_t External = 2;
constexpr int16_t Compressed = 3;
constexpr int16_t Chunked = 5;
} // namespace SpecialCode

// Coder codes of a compressed element's header (COMP_CODE_*).
namespace CoderCode {
constexpr uint16_t Rle = 1;
constexpr uint16_t Nbit = 2;
constexpr uint16_t SkipHuffman = 3;
constexpr uint16_t Deflate = 4;
constexpr uint16_t Szip = 5;
} // namespace CoderCode

// HDF4's public number-type codes (DFNT_*) and their modifier bits.
namespace HdfType {
constexpr int32_t UChar8 = 3;
constexpr int32_t Char8 = 4;
constexpr int32_t Float32 = 5;
constexpr int32_t Float64 = 6;
constexpr int32_t Int8 = 20;
constexpr int32_t UInt8 = 21;
constexpr int32_t Int16 = 22;
constexpr int32_t UInt16 = 23;
constexpr int32_t Int32 = 24;
constexpr int32_t UInt32 = 25;
constexpr int32_t Int64 = 26;
constexpr int32_t UInt64 = 27;
constexpr int32_t Native = 0x1000;       // DFNT_NATIVE
constexpr int32_t LittleEndian = 0x4000; // DFNT_LITEND

// Bytes per value of a code with at most one of the modifier bits, as
// DFKNTsize gives it; 0 for any other code (HDF4 would convert such a value
// with whatever converter ran last).
constexpr int32_t Size(int32_t Type) {
    if ((Type & Native) && (Type & LittleEndian))
        return 0;
    switch (Type & ~(Native | LittleEndian)) {
    case UChar8:
    case Char8:
    case Int8:
    case UInt8:
        return 1;
    case Int16:
    case UInt16:
        return 2;
    case Float32:
    case Int32:
    case UInt32:
        return 4;
    case Float64:
        return 8;
    default:
        return 0;
    }
}

// The netCDF type the SD layer maps a code to (hdf_unmap_type, which looks
// at the low byte alone); 0 for a code it does not map.
constexpr int32_t NetCdfType(int32_t Type) {
    switch (Type & 0xFF) {
    case UChar8:
    case Char8:
        return 2; // NC_CHAR
    case Int8:
    case UInt8:
        return 1; // NC_BYTE
    case Int16:
    case UInt16:
        return 3; // NC_SHORT
    case Int32:
    case UInt32:
        return 4; // NC_LONG
    case Float32:
        return 5; // NC_FLOAT
    case Float64:
        return 6; // NC_DOUBLE
    default:
        return 0;
    }
}

// True for the codes the SD layer maps to a netCDF type.
constexpr bool SdMaps(int32_t Type) {
    return NetCdfType(Type) != 0;
}
} // namespace HdfType

#endif
