// Where the records of a good HDF4 file lie, for the damage sweep: the DD
// blocks of the chain Hopen walks and each DD with the position of its own
// 12 bytes. Read from a copy of the file in memory; a file whose chain does
// not parse yields what was read before the fault.
#ifndef LOADHDF_TOOLS_SWEEP_FILE_LAYOUT_H
#define LOADHDF_TOOLS_SWEEP_FILE_LAYOUT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Sweep {

using Bytes = std::vector<uint8_t>;

struct DdBlock {
    size_t At = 0; // of its header: ndds (16 bits), next block's offset (32 bits)
    uint16_t Count = 0;
};

struct DdEntry {
    size_t At = 0; // of the DD itself: tag, ref, offset, length
    uint16_t Tag = 0, Ref = 0;
    int32_t Offset = 0, Length = 0;
    // True when the element's bytes all lie in a file of Size bytes.
    bool Inside(size_t Size) const {
        return Offset >= 0 && Length > 0 && int64_t(Offset) + Length <= int64_t(Size);
    }
};

struct FileLayout {
    std::vector<DdBlock> Blocks;
    std::vector<DdEntry> Dds;
};

Bytes ReadFile(const std::string& Path); // empty when it cannot be read
bool WriteFile(const std::string& Path, const Bytes& Data);
FileLayout ReadLayout(const Bytes& Data);

// Big-endian fields of Width 1, 2 or 4 bytes; the caller keeps At in range.
uint32_t GetBig(const Bytes& Data, size_t At, int Width);
void PutBig(Bytes* Data, size_t At, int Width, uint32_t Value);

} // namespace Sweep

#endif
