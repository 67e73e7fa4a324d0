// CRC-32 (reflected polynomial 0xEDB88320, as zlib.crc32 computes it), eight
// bytes a step with eight tables, so that checksumming a load of a few
// hundred megabytes takes a fraction of the load's own time.
#include "array_checksum.h"

#include <array>

namespace VyrHostProgram {
namespace {

using Tables = std::array<std::array<uint32_t, 256>, 8>;

Tables MakeTables() {
    Tables T{};
    for (uint32_t Byte = 0; Byte < 256; ++Byte) {
        uint32_t Crc = Byte;
        for (int Bit = 0; Bit < 8; ++Bit)
            Crc = (Crc & 1u) != 0 ? (Crc >> 1) ^ 0xEDB88320u : Crc >> 1;
        T[0][Byte] = Crc;
    }
    for (uint32_t Byte = 0; Byte < 256; ++Byte)
        for (size_t Table = 1; Table < 8; ++Table)
            T[Table][Byte] = (T[Table - 1][Byte] >> 8) ^ T[0][T[Table - 1][Byte] & 0xFFu];
    return T;
}

} // namespace

uint32_t Crc32(const void* Bytes, size_t Size, uint32_t Crc) {
    static const Tables T = MakeTables();
    const unsigned char* At = static_cast<const unsigned char*>(Bytes);
    Crc = ~Crc;
    // Eight bytes a step, read as two little-endian words.
    for (; Size >= 8; Size -= 8, At += 8) {
        const uint32_t Low = Crc ^ (uint32_t(At[0]) | uint32_t(At[1]) << 8 | uint32_t(At[2]) << 16 |
                                    uint32_t(At[3]) << 24);
        const uint32_t High =
            uint32_t(At[4]) | uint32_t(At[5]) << 8 | uint32_t(At[6]) << 16 | uint32_t(At[7]) << 24;
        Crc = T[7][Low & 0xFFu] ^ T[6][(Low >> 8) & 0xFFu] ^ T[5][(Low >> 16) & 0xFFu] ^
              T[4][Low >> 24] ^ T[3][High & 0xFFu] ^ T[2][(High >> 8) & 0xFFu] ^
              T[1][(High >> 16) & 0xFFu] ^ T[0][High >> 24];
    }
    for (; Size > 0; --Size, ++At)
        Crc = T[0][(Crc ^ *At) & 0xFFu] ^ (Crc >> 8);
    return ~Crc;
}

} // namespace VyrHostProgram
