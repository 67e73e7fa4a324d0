// MapNumberType: the table of HDF number types the add-on converts, with the
// host field data type and the HDF element size of each.
#include "catalogue/number_types.h"

#include "interface/vyr_host_api.h"

#include <hdf/mfhdf.h>

namespace {

struct NumberTypeRow {
    int32_t NumberType, FieldType, ElemSize;
};

// Each host type holds every value of its HDF type exactly: signed bytes go
// to 16-bit integers (the byte type has no sign), unsigned 16-bit values to
// 32-bit integers, unsigned 32-bit values to doubles.
constexpr NumberTypeRow Table[] = {
    {HdfType::Float32, VYR_FIELD_TYPE_FLOAT, 4}, {HdfType::Float64, VYR_FIELD_TYPE_DOUBLE, 8},
    {HdfType::Int8, VYR_FIELD_TYPE_INT16, 1},    {HdfType::UInt8, VYR_FIELD_TYPE_BYTE, 1},
    {HdfType::Int16, VYR_FIELD_TYPE_INT16, 2},   {HdfType::UInt16, VYR_FIELD_TYPE_INT32, 2},
    {HdfType::Int32, VYR_FIELD_TYPE_INT32, 4},   {HdfType::UInt32, VYR_FIELD_TYPE_DOUBLE, 4},
};

} // namespace

bool MapNumberType(int32_t* FieldType, int32_t* ElemSize, int32_t NumberType) {
    for (const NumberTypeRow& Row : Table) {
        if (Row.NumberType == NumberType) {
            *FieldType = Row.FieldType;
            *ElemSize = Row.ElemSize;
            return true;
        }
    }
    if (NumberType == HdfType::Int64 || NumberType == HdfType::UInt64)
        VyrUtilDialogErrMsg("64-bit data values are not supported");
    return false;
}
