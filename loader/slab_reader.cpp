// Reading the kept values of one data set slab by slab. A slab is a box of
// the source that one SDreaddata delivers with start and edge, and it is
// always one of three shapes, chosen by what fits SlabByteLimit:
//   - whole planes: a run of adjacent kept K planes, every row and value of
//     each, when every J row is kept and a plane fits;
//   - whole rows of one plane: a run of adjacent kept J rows, when a row
//     fits;
//   - part of one row: from one kept I index to a later one, when a row
//     alone is larger than a slab.
// Each shape's values are contiguous in the file's order, so SDreaddata
// reads each with one pass over its element, and the kept values of each
// are contiguous in the zone's order, so they are appended to the output.
#include "loader/slab_reader.h"

#include "loader/loader_owners.h"
#include "loader/skip_steps.h"

#include <hdf/mfhdf.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>

int32_t SlabByteLimit = DefaultSlabByteLimit;

namespace {

constexpr int32_t DirI = 0, DirJ = 1, DirK = 2;

// A box of the source: 1-based, inclusive index ranges along I, J and K.
// Every range starts and ends on a kept index.
struct Slab {
    int32_t First[3];
    int32_t Last[3];
};

bool EveryIndexKept(int32_t Extent, int32_t Skip) {
    return SkippedExtent(Extent, Skip) == Extent;
}

// The end of a run that starts at the kept index First and takes the
// adjacent kept indices after it (First + 1, First + 2, ...), at most
// MaxCount in all.
int32_t AdjacentRunEnd(int32_t First, int32_t Extent, int32_t Skip, int64_t MaxCount) {
    if (EveryIndexKept(Extent, Skip))
        return int32_t(std::min<int64_t>(Extent, First + MaxCount - 1));
    // Under a skip above 1 only the step to the extent can be 1 long.
    int32_t Last = First;
    while (Last < Extent && Last - First + 1 < MaxCount &&
           NextSourceIndex(Last, Skip, Extent) == Last + 1)
        ++Last;
    return Last;
}

// The end of a run that starts at the kept index First and takes every kept
// index after it while the run spans at most MaxSpan indices; *KeptCount
// takes the number of kept indices in it.
int32_t SpanningRunEnd(int32_t First, int32_t Extent, int32_t Skip, int64_t MaxSpan,
                       int64_t* KeptCount) {
    if (EveryIndexKept(Extent, Skip)) {
        const int32_t Last = int32_t(std::min<int64_t>(Extent, First + MaxSpan - 1));
        *KeptCount = int64_t(Last) - First + 1;
        return Last;
    }
    int32_t Last = First;
    *KeptCount = 1;
    while (Last < Extent) {
        const int32_t Next = NextSourceIndex(Last, Skip, Extent);
        if (int64_t(Next) - First + 1 > MaxSpan)
            break;
        Last = Next;
        ++*KeptCount;
    }
    return Last;
}

int64_t ValueCount(const Slab& S) {
    int64_t Count = 1;
    for (int32_t Dir = DirI; Dir <= DirK; ++Dir)
        Count *= int64_t(S.Last[Dir]) - S.First[Dir] + 1;
    return Count;
}

// Steps *Index to the next kept index when that still lies within Last.
bool NextKeptWithin(int32_t* Index, int32_t Last, int32_t Skip, int32_t Extent) {
    if (*Index >= Last)
        return false;
    const int32_t Next = NextSourceIndex(*Index, Skip, Extent);
    if (Next > Last)
        return false;
    *Index = Next;
    return true;
}

// Copies the kept values of the slab held in From, in the slab's own order,
// to To; returns the end of what it wrote. FixedSize is the value's size in
// bytes where the compiler may fold it, 0 for the source's ElemSize.
template <size_t FixedSize>
char* GatherKept(const SlabSource& Src, const Slab& S, const char* From, char* To) {
    const size_t Size = FixedSize != 0 ? FixedSize : size_t(Src.ElemSize);
    const int64_t RowLength = int64_t(S.Last[DirI]) - S.First[DirI] + 1;
    const int64_t Rows = int64_t(S.Last[DirJ]) - S.First[DirJ] + 1;
    for (int32_t K = S.First[DirK];;) {
        for (int32_t J = S.First[DirJ];;) {
            const int64_t RowStart =
                (int64_t(K - S.First[DirK]) * Rows + (J - S.First[DirJ])) * RowLength;
            const char* const Row = From + RowStart * int64_t(Size);
            for (int32_t I = S.First[DirI];;) {
                std::memcpy(To, Row + int64_t(I - S.First[DirI]) * int64_t(Size), Size);
                To += Size;
                if (!NextKeptWithin(&I, S.Last[DirI], Src.Skip[DirI], Src.Extent[DirI]))
                    break;
            }
            if (!NextKeptWithin(&J, S.Last[DirJ], Src.Skip[DirJ], Src.Extent[DirJ]))
                break;
        }
        if (!NextKeptWithin(&K, S.Last[DirK], Src.Skip[DirK], Src.Extent[DirK]))
            return To;
    }
}

char* GatherKeptValues(const SlabSource& Src, const Slab& S, const char* From, char* To) {
    switch (Src.ElemSize) {
    case 1:
        return GatherKept<1>(Src, S, From, To);
    case 2:
        return GatherKept<2>(Src, S, From, To);
    case 4:
        return GatherKept<4>(Src, S, From, To);
    case 8:
        return GatherKept<8>(Src, S, From, To);
    default:
        return GatherKept<0>(Src, S, From, To);
    }
}

// Walks the kept planes, rows and runs in the file's order, reading each
// slab and appending its kept values to Out.
class KeptValueReader {
  public:
    KeptValueReader(const SlabSource& Source, char* Kept, char* SlabBuffer)
        : Src(Source), Out(Kept), Buffer(SlabBuffer),
          SlabValues(std::max<int64_t>(1, SlabByteLimit / Source.ElemSize)),
          RowValues(Source.Extent[DirI]), PlaneValues(RowValues * Source.Extent[DirJ]) {}

    bool ReadAll() {
        const bool WholePlanes =
            EveryIndexKept(Src.Extent[DirJ], Src.Skip[DirJ]) && PlaneValues <= SlabValues;
        for (int32_t K = 1;;) {
            if (WholePlanes) {
                const int32_t KLast =
                    AdjacentRunEnd(K, Src.Extent[DirK], Src.Skip[DirK], SlabValues / PlaneValues);
                if (!Take({{1, 1, K}, {Src.Extent[DirI], Src.Extent[DirJ], KLast}},
                          EveryIndexKept(Src.Extent[DirI], Src.Skip[DirI])))
                    return false;
                K = KLast;
            } else if (!ReadPlane(K)) {
                return false;
            }
            if (K >= Src.Extent[DirK])
                return true;
            K = NextSourceIndex(K, Src.Skip[DirK], Src.Extent[DirK]);
        }
    }

  private:
    // The kept rows of plane K: runs of adjacent ones, or each in parts.
    bool ReadPlane(int32_t K) {
        for (int32_t J = 1;;) {
            if (RowValues <= SlabValues) {
                const int32_t JLast =
                    AdjacentRunEnd(J, Src.Extent[DirJ], Src.Skip[DirJ], SlabValues / RowValues);
                if (!Take({{1, J, K}, {Src.Extent[DirI], JLast, K}},
                          EveryIndexKept(Src.Extent[DirI], Src.Skip[DirI])))
                    return false;
                J = JLast;
            } else if (!ReadRow(J, K)) {
                return false;
            }
            if (J >= Src.Extent[DirJ])
                return true;
            J = NextSourceIndex(J, Src.Skip[DirJ], Src.Extent[DirJ]);
        }
    }

    // Row J of plane K, longer than a slab: from one kept value to the
    // furthest kept one a slab reaches, so that runs of values with no kept
    // one among them are not read.
    bool ReadRow(int32_t J, int32_t K) {
        for (int32_t I = 1;;) {
            int64_t Kept = 0;
            const int32_t ILast =
                SpanningRunEnd(I, Src.Extent[DirI], Src.Skip[DirI], SlabValues, &Kept);
            if (!Take({{I, J, K}, {ILast, J, K}}, Kept == int64_t(ILast) - I + 1))
                return false;
            if (ILast >= Src.Extent[DirI])
                return true;
            I = NextSourceIndex(ILast, Src.Skip[DirI], Src.Extent[DirI]);
        }
    }

    // Reads one slab, straight into the output when all of it is kept.
    bool Take(const Slab& S, bool AllKept) {
        if (AllKept) {
            if (!ReadSlab(S, Out))
                return false;
            Out += ValueCount(S) * Src.ElemSize;
            return true;
        }
        if (Buffer == nullptr || !ReadSlab(S, Buffer))
            return false;
        Out = GatherKeptValues(Src, S, Buffer, Out);
        return true;
    }

    // One SDreaddata: the HDF dimensions run from K (the first of a rank-3
    // data set) to I (always the last).
    bool ReadSlab(const Slab& S, char* Into) const {
        int32 Start[3] = {}, Edge[3] = {};
        for (int32_t Dim = 0; Dim < Src.Rank; ++Dim) {
            const int32_t Dir = Src.Rank - 1 - Dim;
            Start[Dim] = S.First[Dir] - 1;
            Edge[Dim] = S.Last[Dir] - S.First[Dir] + 1;
        }
        return SDreaddata(Src.SdsId, Start, nullptr, Edge, Into) == 0;
    }

    const SlabSource& Src;
    char* Out;
    char* const Buffer;
    const int64_t SlabValues, RowValues, PlaneValues;
};

} // namespace

KeptRead ReadKeptValues(const SlabSource& Source, char* Kept) {
    if (Source.Rank < 1 || Source.Rank > 3 || Source.ElemSize < 1)
        return KeptRead::ReadFailed;
    // A slab buffer only where some value is not kept; it need not be
    // larger than the data set.
    std::optional<HostBuffer> Buffer;
    bool AllKept = true;
    for (int32_t Dir = DirI; Dir <= DirK; ++Dir)
        AllKept = AllKept && EveryIndexKept(Source.Extent[Dir], Source.Skip[Dir]);
    if (!AllKept) {
        const int64_t AllValues =
            int64_t(Source.Extent[DirI]) * Source.Extent[DirJ] * Source.Extent[DirK];
        const int64_t SlabValues = std::max<int64_t>(1, SlabByteLimit / Source.ElemSize);
        Buffer.emplace(int32_t(std::min(SlabValues, AllValues) * Source.ElemSize), "HDF Data");
        if (Buffer->Get() == nullptr)
            return KeptRead::OutOfMemory;
    }
    KeptValueReader Reader(Source, Kept, Buffer ? Buffer->Get() : nullptr);
    return Reader.ReadAll() ? KeptRead::Done : KeptRead::ReadFailed;
}
