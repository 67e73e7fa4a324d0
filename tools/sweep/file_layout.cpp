// Reading a good file's DD chain for the damage sweep, and the byte helpers
// that the damage kinds share.
#include "file_layout.h"

#include <fstream>
#include <iterator>

namespace Sweep {

namespace {
constexpr size_t FirstBlock = 4; // just past the magic number
constexpr size_t BlockHeaderSize = 6;
constexpr size_t DdSize = 12;
constexpr size_t MaxBlocks = 1024; // a good file's chain; ends a cycle too
} // namespace

Bytes ReadFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(In), {});
}

bool WriteFile(const std::string& Path, const Bytes& Data) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
    return bool(Out);
}

uint32_t GetBig(const Bytes& Data, size_t At, int Width) {
    uint32_t Value = 0;
    for (int I = 0; I < Width; ++I)
        Value = Value << 8 | Data[At + size_t(I)];
    return Value;
}

void PutBig(Bytes* Data, size_t At, int Width, uint32_t Value) {
    for (int I = Width - 1; I >= 0; --I, Value >>= 8)
        (*Data)[At + size_t(I)] = uint8_t(Value);
}

FileLayout ReadLayout(const Bytes& Data) {
    FileLayout Layout;
    size_t Block = FirstBlock;
    while (Block != 0 && Layout.Blocks.size() < MaxBlocks &&
           Block + BlockHeaderSize <= Data.size()) {
        const uint16_t Count = uint16_t(GetBig(Data, Block, 2));
        if (Block + BlockHeaderSize + Count * DdSize > Data.size())
            break;
        Layout.Blocks.push_back({Block, Count});
        for (size_t I = 0; I < Count; ++I) {
            const size_t At = Block + BlockHeaderSize + I * DdSize;
            Layout.Dds.push_back(
                {At, uint16_t(GetBig(Data, At, 2)), uint16_t(GetBig(Data, At + 2, 2)),
                 int32_t(GetBig(Data, At + 4, 4)), int32_t(GetBig(Data, At + 8, 4))});
        }
        Block = GetBig(Data, Block + 2, 4);
    }
    return Layout;
}

} // namespace Sweep
