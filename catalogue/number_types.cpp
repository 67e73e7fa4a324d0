// MapNumberType: the table of HDF number types the add-on converts, with the
// host field data type and the HDF element size of each.
#include "catalogue/number_types.h"

#include "vyr_host_api.h"

bool MapNumberType(int32_t* FieldType, int32_t* ElemSize, int32_t NumberType) {
    int32_t Field = 0;
    int32_t Size = 0;
    switch (NumberType) {
    case HdfType::Float32:
        Field = HostFieldType::Float, Size = 4;
        break;
    case HdfType::Float64:
        Field = HostFieldType::Double, Size = 8;
        break;
    case HdfType::Int8: // the byte type would lose the sign
        Field = HostFieldType::Int16, Size = 1;
        break;
    case HdfType::UInt8:
        Field = HostFieldType::Byte, Size = 1;
        break;
    case HdfType::Int16:
        Field = HostFieldType::Int16, Size = 2;
        break;
    case HdfType::UInt16: // above the 16-bit signed range
        Field = HostFieldType::Int32, Size = 2;
        break;
    case HdfType::Int32:
        Field = HostFieldType::Int32, Size = 4;
        break;
    case HdfType::UInt32: // above the 32-bit signed range, exact in a double
        Field = HostFieldType::Double, Size = 4;
        break;
    case HdfType::Int64:
    case HdfType::UInt64:
        VyrUtilDialogErrMsg("64-bit data values are not supported");
        return false;
    default:
        return false;
    }
    *FieldType = Field;
    *ElemSize = Size;
    return true;
}
