// fuzz_hdf_scan's mutator, beside libFuzzer's byte mutations: one that knows
// where an HDF4 file keeps its counts and references. It picks a DD, the
// header of a special element (linked blocks, compression, chunks, external
// data) or a field of a vgroup or vdata header, and sets one or two of them
// together to an edge value: 0, 1, -1, the largest positive value, the
// length or offset of another record, the file's size or past it. Faults in
// HDF4's readers often need two fields changed together (a block count and
// a block's length), which random byte flips seldom reach.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

extern "C" size_t LLVMFuzzerMutate(uint8_t* Data, size_t Size, size_t MaxSize);

namespace {

constexpr uint16_t SpecialBit = 0x4000;
constexpr uint16_t VdataHeaderTag = 1962, VgroupTag = 1965;
constexpr size_t DdSize = 12, BlockHeaderSize = 6;
// Special headers and vset headers keep their counts near the start.
constexpr size_t HeaderBytesMutated = 64;
constexpr size_t MaxDdBlocks = 1024;

struct DdAt {
    size_t Position; // of the DD itself
    uint16_t Tag;
    uint32_t Offset, Length;
};

uint32_t Get(const uint8_t* Data, size_t At, size_t Width) {
    uint32_t Value = 0;
    for (size_t I = 0; I < Width; ++I)
        Value = Value << 8 | Data[At + I];
    return Value;
}

void Put(uint8_t* Data, size_t At, size_t Width, uint32_t Value) {
    for (size_t I = Width; I-- > 0; Value >>= 8)
        Data[At + I] = uint8_t(Value);
}

// The DDs of the file's DD blocks, as far as the bytes hold them.
std::vector<DdAt> ReadDds(const uint8_t* Data, size_t Size) {
    std::vector<DdAt> Dds;
    size_t Block = 4;
    for (size_t Blocks = 0; Block != 0 && Blocks < MaxDdBlocks; ++Blocks) {
        if (Block + BlockHeaderSize > Size)
            break;
        const uint32_t Count = Get(Data, Block, 2);
        for (uint32_t I = 0; I < Count; ++I) {
            const size_t At = Block + BlockHeaderSize + DdSize * I;
            if (At + DdSize > Size)
                break;
            Dds.push_back(
                {At, uint16_t(Get(Data, At, 2)), Get(Data, At + 4, 4), Get(Data, At + 8, 4)});
        }
        Block = Get(Data, Block + 2, 4);
    }
    return Dds;
}

class Mutation {
  public:
    Mutation(uint8_t* Data, size_t Size, unsigned Seed)
        : Data(Data), Size(Size), Random(Seed), Dds(ReadDds(Data, Size)) {}

    bool Possible() const { return !Dds.empty(); }

    // Sets one field, chosen by kind, to an edge value.
    void ChangeOneField() {
        size_t At = 0, Width = 0;
        switch (Pick(3)) {
        case 0:
            DdField(&At, &Width);
            break;
        case 1:
            if (!ElementField([](uint16_t Tag) { return (Tag & SpecialBit) != 0; }, &At, &Width))
                DdField(&At, &Width);
            break;
        default:
            if (!ElementField(
                    [](uint16_t Tag) { return Tag == VdataHeaderTag || Tag == VgroupTag; }, &At,
                    &Width))
                DdField(&At, &Width);
            break;
        }
        Put(Data, At, Width, EdgeValue(Get(Data, At, Width)));
    }

  private:
    size_t Pick(size_t Count) {
        return std::uniform_int_distribution<size_t>(0, Count - 1)(Random);
    }

    // A DD's tag, ref, offset or length.
    void DdField(size_t* At, size_t* Width) {
        const DdAt& Dd = Dds[Pick(Dds.size())];
        static constexpr size_t Fields[][2] = {{0, 2}, {2, 2}, {4, 4}, {8, 4}};
        const auto& Field = Fields[Pick(4)];
        *At = Dd.Position + Field[0];
        *Width = Field[1];
    }

    // A 2- or 4-byte field near the start of the element of a DD whose tag
    // Wanted accepts; false when the file has no such element in its bytes.
    template <class Accept> bool ElementField(Accept Wanted, size_t* At, size_t* Width) {
        std::vector<const DdAt*> Candidates;
        for (const DdAt& Dd : Dds)
            if (Wanted(Dd.Tag) && Dd.Length >= 2 && Dd.Offset < Size &&
                Dd.Length <= Size - Dd.Offset)
                Candidates.push_back(&Dd);
        if (Candidates.empty())
            return false;
        const DdAt& Dd = *Candidates[Pick(Candidates.size())];
        *Width = Dd.Length >= 4 && Pick(2) == 0 ? 4 : 2;
        const size_t Span = std::min<size_t>(Dd.Length, HeaderBytesMutated) - *Width + 1;
        *At = Dd.Offset + Pick(Span);
        return true;
    }

    uint32_t EdgeValue(uint32_t Old) {
        const DdAt& Other = Dds[Pick(Dds.size())];
        switch (Pick(10)) {
        case 0:
            return 0;
        case 1:
            return 1;
        case 2:
            return 0xFFFFFFFF;
        case 3:
            return 0x7FFFFFFF;
        case 4:
            return Other.Length;
        case 5:
            return Other.Offset;
        case 6:
            return uint32_t(Size);
        case 7:
            return uint32_t(Size + 1 + Pick(64));
        case 8:
            return Old + 1;
        default:
            return Old - 1;
        }
    }

    uint8_t* Data;
    size_t Size;
    std::minstd_rand Random;
    std::vector<DdAt> Dds;
};

} // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* Data, size_t Size, size_t MaxSize,
                                          unsigned int Seed) {
    Mutation Change(Data, Size, Seed);
    // Half of the time, and for anything without DDs, libFuzzer's own.
    if (Seed % 2 == 0 || !Change.Possible())
        return LLVMFuzzerMutate(Data, Size, MaxSize);
    Change.ChangeOneField();
    if (Seed % 3 == 0)
        Change.ChangeOneField();
    return Size;
}
