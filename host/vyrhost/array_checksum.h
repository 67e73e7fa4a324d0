// A checksum of one zone variable's typed array: CRC-32 with the polynomial
// of zlib and PNG, over the array's bytes as the host stores them. The
// benchmark's tight loop and its pyhdf peer (zlib.crc32) compute the same
// one over their own arrays, so equal checksums show equal arrays.
#ifndef LOADHDF_HOST_VYRHOST_ARRAY_CHECKSUM_H
#define LOADHDF_HOST_VYRHOST_ARRAY_CHECKSUM_H

#include <cstddef>
#include <cstdint>

namespace VyrHostProgram {

// The CRC-32 of Size bytes at Bytes, continuing from Crc (0 to start).
uint32_t Crc32(const void* Bytes, size_t Size, uint32_t Crc = 0);

} // namespace VyrHostProgram

#endif
