// Holds catalogue/hdf4_facts.h to the HDF4 headers the module is built
// against: a number that HDF4 defines and that differs here fails the build.
// The buffer sizes that live only inside HDF4's readers (HIread_version's,
// hdf_read_attrs', HMCIstaccess's, hdf_read_sds_cdf's attribute array) have
// no header to be held to.
#include "catalogue/hdf4_facts.h"

#include <hdf/mfhdf.h>

static_assert(Hdf4::MaxVarDims == H4_MAX_VAR_DIMS && Hdf4::MaxNameLength + 1 == H4_MAX_NC_NAME &&
                  Hdf4::MaxClassLength + 1 == H4_MAX_NC_CLASS,
              "the SD interface's limits");
static_assert(Hdf4::OldStyleMemberBufferSize == TBUF_SZ && Hdf4::MaxVdataFields == VSFIELDMAX &&
                  Hdf4::MaxFieldNameLength == FIELDNAMELENMAX &&
                  Hdf4::VdataNameLength == VSNAMELENMAX && Hdf4::MaxFieldSize == MAX_FIELD_SIZE &&
                  Hdf4::MaxFieldSize == MAX_ORDER,
              "the buffer sizes of hlimits.h");
static_assert(HdfTag::Null == DFTAG_NULL && HdfTag::Linked == DFTAG_LINKED &&
                  HdfTag::Version == DFTAG_VERSION && HdfTag::Compressed == DFTAG_COMPRESSED &&
                  HdfTag::Chunk == DFTAG_CHUNK && HdfTag::DataLabel == DFTAG_DIL &&
                  HdfTag::DataDesc == DFTAG_DIA && HdfTag::NumberType == DFTAG_NT &&
                  HdfTag::Sdg == DFTAG_SDG && HdfTag::Sdd == DFTAG_SDD && HdfTag::Sd == DFTAG_SD &&
                  HdfTag::Sds == DFTAG_SDS && HdfTag::Sdl == DFTAG_SDL &&
                  HdfTag::Sdu == DFTAG_SDU && HdfTag::Sdf == DFTAG_SDF &&
                  HdfTag::Sdm == DFTAG_SDM && HdfTag::Sdc == DFTAG_SDC &&
                  HdfTag::Sdt == DFTAG_SDT && HdfTag::SdLink == DFTAG_SDLNK &&
                  HdfTag::Ndg == DFTAG_NDG && HdfTag::Cal == DFTAG_CAL &&
                  HdfTag::FillValue == DFTAG_FV && HdfTag::Vh == DFTAG_VH &&
                  HdfTag::Vs == DFTAG_VS && HdfTag::Vg == DFTAG_VG,
              "the tags of htags.h");
static_assert(SpecialCode::Linked == SPECIAL_LINKED && SpecialCode::External == SPECIAL_EXT &&
                  SpecialCode::Compressed == SPECIAL_COMP &&
                  SpecialCode::Chunked == SPECIAL_CHUNKED,
              "the special codes of htags.h");
static_assert(CoderCode::Rle == COMP_CODE_RLE && CoderCode::Nbit == COMP_CODE_NBIT && CoderCode::SkipHuffman == COMP_CODE_SKPHUFF &&
                  CoderCode::Deflate == COMP_CODE_DEFLATE && CoderCode::Szip == COMP_CODE_SZIP,
              "the coder codes of hcomp.h");
static_assert(HdfType::UChar8 == DFNT_UCHAR8 && HdfType::Char8 == DFNT_CHAR8 &&
                  HdfType::Float32 == DFNT_FLOAT32 && HdfType::Float64 == DFNT_FLOAT64 &&
                  HdfType::Int8 == DFNT_INT8 && HdfType::UInt8 == DFNT_UINT8 &&
                  HdfType::Int16 == DFNT_INT16 && HdfType::UInt16 == DFNT_UINT16 &&
                  HdfType::Int32 == DFNT_INT32 && HdfType::UInt32 == DFNT_UINT32 &&
                  HdfType::Int64 == DFNT_INT64 && HdfType::UInt64 == DFNT_UINT64 &&
                  HdfType::Native == DFNT_NATIVE && HdfType::LittleEndian == DFNT_LITEND,
              "the number types of hntdefs.h");
static_assert(HdfType::NetCdfType(HdfType::Char8) == NC_CHAR &&
                  HdfType::NetCdfType(HdfType::Int8) == NC_BYTE &&
                  HdfType::NetCdfType(HdfType::Int16) == NC_SHORT &&
                  HdfType::NetCdfType(HdfType::Int32) == NC_LONG &&
                  HdfType::NetCdfType(HdfType::Float32) == NC_FLOAT &&
                  HdfType::NetCdfType(HdfType::Float64) == NC_DOUBLE,
              "the netCDF types of netcdf.h");
