// Reads every number-type record (tag DFTAG_NT) of an HDF file through
// HDF4's low-level H interface and checks the type byte of each.
#include "catalogue/number_type_records.h"

#include <hdf/hdf.h>

#include <cstdint>

namespace {

// A number-type record: version, type, width in bits, class (byte order).
constexpr int32 NumberTypeRecordSize = 4;
constexpr int TypeByte = 1;

// The number types whose records HDF4's SD reader turns into data sets: all
// others make SDstart fail. (64-bit integers have codes but no SD support.)
bool SdReaderKnows(uint8_t Type) {
    switch (Type) {
    case DFNT_CHAR8:
    case DFNT_UCHAR8:
    case DFNT_FLOAT32:
    case DFNT_FLOAT64:
    case DFNT_INT8:
    case DFNT_UINT8:
    case DFNT_INT16:
    case DFNT_UINT16:
    case DFNT_INT32:
    case DFNT_UINT32:
        return true;
    default:
        return false;
    }
}

// Walks the file's number-type records; false at the first one that cannot
// be read or names a type the SD reader does not know.
bool AllRecordsKnown(int32 FileId) {
    uint16 Tag = 0, Ref = 0;
    int32 Offset = 0, Length = 0;
    while (Hfind(FileId, DFTAG_NT, DFREF_WILDCARD, &Tag, &Ref, &Offset, &Length, DF_FORWARD) ==
           SUCCEED) {
        uint8 Record[NumberTypeRecordSize] = {};
        if (Length != NumberTypeRecordSize ||
            Hgetelement(FileId, DFTAG_NT, Ref, Record) != NumberTypeRecordSize ||
            !SdReaderKnows(Record[TypeByte]))
            return false;
    }
    return true;
}

} // namespace

bool NumberTypeRecordsReadable(const char* Path) {
    const int32 FileId = Hopen(Path, DFACC_READ, 0);
    if (FileId == FAIL)
        return false;
    const bool Known = AllRecordsKnown(FileId);
    Hclose(FileId);
    return Known;
}
