// The damage kinds: each makes its candidate copies of a good file from the
// file's DD chain, and a seeded sample of them is kept, up to the kind's
// share per file.
#include "damages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace Sweep {

namespace {

using Random = std::mt19937_64;

// HDF4 tag values (htags.h) of the records whose words are overwritten.
constexpr uint16_t TagLinked = 20, TagSdg = 700, TagSdd = 701, TagNdg = 720;
constexpr uint16_t TagVh = 1962, TagVg = 1965;
constexpr size_t FirstBlock = 4, BlockHeaderSize = 6;

enum Kind : size_t {
    Flip1,
    Flip4,
    Flip16,
    DdOffset,
    DdLength,
    BlockHeader,
    DdTagRef,
    VgroupWords,
    VdataWords,
    SpecialWords,
    SdGroupWords,
    CutShort,
    ChainBack,
    KindCount
};

struct KindInfo {
    const char* Name;
    int32_t PerFile; // copies kept per good file at scale 1
};

const KindInfo Kinds[KindCount] = {
    {"flip 1 byte", 6},          {"flip 4 bytes", 6},
    {"flip 16 bytes", 6},        {"DD offset", 14},
    {"DD length", 14},           {"DD block header", 10},
    {"DD tag/ref", 14},          {"vgroup word", 16},
    {"vdata-header word", 16},   {"special-element word", 16},
    {"SDD/NDG word", 12},        {"cut short", 8},
    {"DD chain turned back", 6},
};

std::string Hex(uint32_t Value) {
    char Text[16];
    std::snprintf(Text, sizeof Text, "0x%x", Value);
    return Text;
}

std::string DdName(const DdEntry& Entry) {
    return "DD tag " + std::to_string(Entry.Tag) + " ref " + std::to_string(Entry.Ref);
}

// The values written over a field of Width bytes: 0, -1, the extremes of a
// signed field, and the file's size and one past it, cut to the width.
std::vector<uint32_t> Interesting(int Width, size_t FileSize) {
    const uint32_t Size = uint32_t(FileSize);
    if (Width == 2)
        return {0, 0xffff, 0x7fff, 0x8000, Size & 0xffff, (Size + 1) & 0xffff};
    return {0, 0xffffffff, 0x7fffffff, 0x80000000, Size, Size + 1};
}

struct Builder {
    const Bytes& Good;
    const FileLayout& Layout;
    Random& Rng;
    std::vector<Damage> Out;

    void Add(Kind K, std::string What, std::vector<Edit> Edits, size_t CutTo = SIZE_MAX) {
        Out.push_back({K, std::move(What), std::move(Edits), CutTo});
    }
    // Every interesting value into the field of Width bytes at At.
    void AddValues(Kind K, const std::string& Where, size_t At, int Width) {
        for (uint32_t Value : Interesting(Width, Good.size()))
            Add(K, Where + " := " + Hex(Value), {{At, Width, Value, false}});
    }
};

void MakeFlips(Builder& B, Kind K, int32_t Flips, int32_t Copies) {
    if (B.Good.empty())
        return;
    std::uniform_int_distribution<size_t> Position(0, B.Good.size() - 1);
    std::uniform_int_distribution<uint32_t> Mask(1, 255);
    for (int32_t C = 0; C < Copies; ++C) {
        std::vector<Edit> Edits;
        std::string What = "xor at";
        for (int32_t F = 0; F < Flips; ++F) {
            Edits.push_back({Position(B.Rng), 1, Mask(B.Rng), true});
            What += " " + std::to_string(Edits.back().At) + "^" + Hex(Edits.back().Value);
        }
        B.Add(K, What, Edits);
    }
}

void MakeDdFields(Builder& B) {
    for (const DdEntry& Entry : B.Layout.Dds) {
        B.AddValues(DdOffset, DdName(Entry) + " offset", Entry.At + 4, 4);
        B.AddValues(DdLength, DdName(Entry) + " length", Entry.At + 8, 4);
    }
}

void MakeBlockHeaders(Builder& B) {
    for (const DdBlock& Block : B.Layout.Blocks) {
        const std::string Name = "DD block at " + std::to_string(Block.At);
        B.AddValues(BlockHeader, Name + " count", Block.At, 2);
        B.AddValues(BlockHeader, Name + " next", Block.At + 2, 4);
    }
}

void MakeTagRefs(Builder& B) {
    const std::vector<DdEntry>& Dds = B.Layout.Dds;
    if (Dds.empty())
        return;
    std::uniform_int_distribution<size_t> Pick(0, Dds.size() - 1);
    for (const DdEntry& Entry : Dds) {
        const DdEntry& Other = Dds[Pick(B.Rng)];
        B.Add(DdTagRef, DdName(Entry) + " tag := 0", {{Entry.At, 2, 0, false}});
        B.Add(DdTagRef, DdName(Entry) + " ref := 0", {{Entry.At + 2, 2, 0, false}});
        if (Other.Tag != Entry.Tag)
            B.Add(DdTagRef, DdName(Entry) + " tag := " + std::to_string(Other.Tag),
                  {{Entry.At, 2, Other.Tag, false}});
        if (Other.Ref != Entry.Ref)
            B.Add(DdTagRef, DdName(Entry) + " ref := " + std::to_string(Other.Ref),
                  {{Entry.At + 2, 2, Other.Ref, false}});
    }
}

// The kind whose words a DD's element gets, or KindCount for none.
Kind RecordKind(uint16_t Tag) {
    if ((Tag & 0xC000) == 0x4000 || Tag == TagLinked)
        return SpecialWords; // description records and linked-block tables
    switch (Tag) {
    case TagVg:
        return VgroupWords;
    case TagVh:
        return VdataWords;
    case TagSdg:
    case TagSdd:
    case TagNdg:
        return SdGroupWords;
    default:
        return KindCount;
    }
}

// Every 16- and 32-bit word of the record, at each even offset.
void MakeRecordWords(Builder& B) {
    for (const DdEntry& Entry : B.Layout.Dds) {
        const Kind K = RecordKind(Entry.Tag);
        if (K == KindCount || !Entry.Inside(B.Good.size()))
            continue;
        const size_t Start = size_t(Entry.Offset), End = Start + size_t(Entry.Length);
        for (size_t At = Start; At + 2 <= End; At += 2) {
            const std::string Where = DdName(Entry) + " +" + std::to_string(At - Start);
            B.AddValues(K, Where + " (16 bits)", At, 2);
            if (At + 4 <= End)
                B.AddValues(K, Where + " (32 bits)", At, 4);
        }
    }
}

void MakeCuts(Builder& B) {
    const size_t Size = B.Good.size();
    if (Size < 2)
        return;
    std::vector<size_t> Points = {1, 4, 10, Size / 2, Size - 1};
    if (!B.Layout.Blocks.empty()) {
        const DdBlock& Last = B.Layout.Blocks.back();
        Points.push_back(Last.At + 3);                                     // inside its header
        Points.push_back(Last.At + BlockHeaderSize + 12 * Last.Count - 1); // its last DD
    }
    std::uniform_int_distribution<size_t> Anywhere(1, Size - 1);
    Points.push_back(Anywhere(B.Rng));
    Points.push_back(Anywhere(B.Rng));
    std::sort(Points.begin(), Points.end());
    Points.erase(std::unique(Points.begin(), Points.end()), Points.end());
    for (size_t Point : Points)
        if (Point < Size)
            B.Add(CutShort,
                  "cut to " + std::to_string(Point) + " of " + std::to_string(Size) + " bytes", {},
                  Point);
}

// Each block's next-offset pointed at the first block, at itself, at the
// block before it, and into the first block's DDs.
void MakeChainBacks(Builder& B) {
    const std::vector<DdBlock>& Blocks = B.Layout.Blocks;
    for (size_t I = 0; I < Blocks.size(); ++I) {
        std::vector<uint32_t> Targets = {uint32_t(FirstBlock), uint32_t(Blocks[I].At),
                                         uint32_t(FirstBlock + BlockHeaderSize)};
        if (I > 0)
            Targets.push_back(uint32_t(Blocks[I - 1].At));
        std::sort(Targets.begin(), Targets.end());
        Targets.erase(std::unique(Targets.begin(), Targets.end()), Targets.end());
        for (uint32_t Target : Targets)
            B.Add(ChainBack,
                  "DD block at " + std::to_string(Blocks[I].At) +
                      " next := " + std::to_string(Target),
                  {{Blocks[I].At + 2, 4, Target, false}});
    }
}

} // namespace

const std::vector<std::string>& DamageKinds() {
    static const std::vector<std::string> Names = [] {
        std::vector<std::string> List;
        for (const KindInfo& Info : Kinds)
            List.push_back(Info.Name);
        return List;
    }();
    return Names;
}

std::vector<Damage> MakeDamages(const Bytes& Good, uint64_t Seed, double Scale) {
    const FileLayout Layout = ReadLayout(Good);
    Random Rng(Seed);
    auto Share = [Scale](Kind K) {
        return std::max<int32_t>(1, int32_t(std::lround(Kinds[K].PerFile * Scale)));
    };
    Builder B{Good, Layout, Rng, {}};
    MakeFlips(B, Flip1, 1, Share(Flip1));
    MakeFlips(B, Flip4, 4, Share(Flip4));
    MakeFlips(B, Flip16, 16, Share(Flip16));
    MakeDdFields(B);
    MakeBlockHeaders(B);
    MakeTagRefs(B);
    MakeRecordWords(B);
    MakeCuts(B);
    MakeChainBacks(B);

    // A seeded sample of each kind's candidates, in the kinds' order.
    std::vector<Damage> Kept;
    for (size_t K = 0; K < KindCount; ++K) {
        std::vector<Damage> Candidates;
        for (Damage& Change : B.Out)
            if (Change.Kind == K)
                Candidates.push_back(std::move(Change));
        std::shuffle(Candidates.begin(), Candidates.end(), Rng);
        const size_t Keep = std::min(Candidates.size(), size_t(Share(Kind(K))));
        std::move(Candidates.begin(), Candidates.begin() + std::ptrdiff_t(Keep),
                  std::back_inserter(Kept));
    }
    return Kept;
}

Bytes Apply(const Bytes& Good, const Damage& Change) {
    Bytes Copy(Good.begin(), Good.begin() + std::ptrdiff_t(std::min(Change.CutTo, Good.size())));
    for (const Edit& Field : Change.Edits) {
        if (Field.At + size_t(Field.Width) > Copy.size())
            continue;
        if (Field.Xor)
            Copy[Field.At] ^= uint8_t(Field.Value);
        else
            PutBig(&Copy, Field.At, Field.Width, Field.Value);
    }
    return Copy;
}

} // namespace Sweep
