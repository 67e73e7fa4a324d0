// The add-on's table of HDF number types: which HDF4 codes it accepts, the
// host field data type that holds each exactly, the size of one element in
// an HDF buffer, and the widening of one element to a double. The host's
// field data types are those of interface/vyr_host_api.h. The codes
// themselves, and what HDF4's own readers do with them, are in
// catalogue/hdf4_facts.h.
#ifndef LOADHDF_CATALOGUE_NUMBER_TYPES_H
#define LOADHDF_CATALOGUE_NUMBER_TYPES_H

#include "catalogue/hdf4_facts.h"

#include <cstdint>
#include <cstring>

// Maps an HDF number type to the host field data type that holds all of its
// values exactly (*FieldType) and the bytes per element in an HDF buffer
// (*ElemSize); returns true. For any other code neither output is written and
// the result is false; for the 64-bit integer codes (26, 27) the user is told
// first, each time, "64-bit data values are not supported". The code is
// compared whole: a code with HDF4's modifier bits set is not in the table.
bool MapNumberType(int32_t* FieldType, int32_t* ElemSize, int32_t NumberType);

namespace NumberTypeDetail {
// Reads one element of type T at a byte offset. memcpy, not a cast of the
// buffer pointer: HDF buffers and scale buffers carry no alignment promise.
template <typename T> inline double Read(const void* Buffer, int64_t Position) {
    T Element;
    std::memcpy(&Element, static_cast<const char*>(Buffer) + Position * int64_t(sizeof(T)),
                sizeof(T));
    return static_cast<double>(Element);
}
} // namespace NumberTypeDetail

// The element at Position (counted in elements from 0) of a packed HDF buffer
// of NumberType, widened to a double; every value of the accepted types is
// exact in a double. A code that MapNumberType refuses reads nothing and
// gives 0.0. Runs once per stored value: no allocation, no message, no state.
inline double GetValueAsDouble(const void* Buffer, int64_t Position, int32_t NumberType) {
    using NumberTypeDetail::Read;
    switch (NumberType) {
    case HdfType::Float32:
        return Read<float>(Buffer, Position);
    case HdfType::Float64:
        return Read<double>(Buffer, Position);
    case HdfType::Int8:
        return Read<int8_t>(Buffer, Position);
    case HdfType::UInt8:
        return Read<uint8_t>(Buffer, Position);
    case HdfType::Int16:
        return Read<int16_t>(Buffer, Position);
    case HdfType::UInt16:
        return Read<uint16_t>(Buffer, Position);
    case HdfType::Int32:
        return Read<int32_t>(Buffer, Position);
    case HdfType::UInt32:
        return Read<uint32_t>(Buffer, Position);
    default:
        return 0.0;
    }
}

#endif
