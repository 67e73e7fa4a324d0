// The decoders' reads, after HDF4 4.2.15's crle.c, cskphuff.c, cnbit.c and
// hbitio.c, and zlib's inflate for the header. Only where bytes are read is
// followed; no value is produced.
#include "catalogue/structure/stream_decoders.h"

#include <algorithm>

namespace {

constexpr StructureRule ShortStream = StructureRule::CompressedStreamTooShort;
constexpr StructureRule ReadsPastEnd = StructureRule::DecoderReadsPastLinkedBlocks;
constexpr StructureRule TooLongToFollow = StructureRule::LinkedStreamTooLongToFollow;

bool Faults(const ReadResult& Result) {
    return Result.End == ReadEnd::Crash || Result.End == ReadEnd::Overrun;
}

// Hbitread's byte source: refills of 4,096 bytes (the first, at the start,
// cut at the element's end as Hstartbitread cuts it), bytes taken in order.
// A refill at or past the end, or one that fails (Hbitread then reports
// fewer bits, which the decoder takes as a stale bit), still lets the
// decoder run on, on whatever the buffer holds: the stream is short. It
// runs on into later refills only where one delivered bytes, which may fault.
class BitFeed {
  public:
    // Hstartbitread reads the first buffer, cut at the element's end, when
    // there is anything to read.
    explicit BitFeed(ElementReader& Bytes) : Bytes(Bytes) {
        Bytes.Seek(0);
        if (Bytes.Length() > 0)
            Refill(std::min<int64_t>(Bytes.Length(), BufferSize));
    }

    // The next bit, most significant first; false once the decoder would
    // run on without reading again, or a read faulted (Rule says which).
    bool NextBit(uint32_t* Bit) {
        if (Stopped)
            return false;
        if (BitsLeft == 0) {
            if (Pos == Buffer.size() && !Refill(BufferSize))
                return false;
            Current = Buffer[Pos++];
            BitsLeft = 8;
        }
        *Bit = (Current >> --BitsLeft) & 1u;
        return true;
    }
    std::optional<StructureRule> Rule;

  private:
    static constexpr int64_t BufferSize = 4096;

    bool Refill(int64_t Wanted) {
        const bool AtEnd = Bytes.Position() >= Bytes.Length();
        const ReadResult Result = Bytes.Read(Wanted, BufferSize, &Buffer);
        Pos = 0;
        if (Faults(Result)) {
            Rule = ReadsPastEnd;
            Stopped = true;
            return false;
        }
        if (AtEnd || Result.End == ReadEnd::Failed)
            Rule = ShortStream;
        if (Result.End == ReadEnd::Failed || Result.Count <= 0) {
            Stopped = true;
            return false;
        }
        Buffer.resize(size_t(std::min<int64_t>(Result.Count, BufferSize)));
        return true;
    }

    ElementReader& Bytes;
    std::vector<uint8_t> Buffer;
    size_t Pos = 0;
    uint8_t Current = 0;
    int BitsLeft = 0;
    bool Stopped = false;
};

// One adaptive code tree of the skipping-Huffman coder: internal nodes 0 to
// 255, leaves 256 to 511 for the byte values.
struct SplayTree {
    uint32_t Left[256], Right[256];
    uint8_t Up[513];
    SplayTree() {
        for (uint32_t I = 0; I < 513; ++I)
            Up[I] = uint8_t(I >> 1);
        for (uint32_t J = 0; J < 256; ++J) {
            Left[J] = J << 1;
            Right[J] = (J << 1) + 1;
        }
    }
    // HCIcskphuff_splay: the leaf's path semi-rotated towards the root.
    void Splay(uint8_t Plain) {
        uint32_t A = uint32_t(Plain) + 256;
        do {
            const uint8_t C = Up[A];
            if (C != 0) {
                const uint8_t D = Up[C];
                uint32_t B = Left[D];
                if (C == B) {
                    B = Right[D];
                    Right[D] = A;
                } else {
                    Left[D] = A;
                }
                if (A == Left[C])
                    Left[C] = B;
                else
                    Right[C] = B;
                Up[A] = D;
                Up[B] = C;
                A = D;
            } else {
                A = C;
            }
        } while (A != 0);
    }
};

} // namespace

ZlibStart JudgeZlibStart(const std::vector<uint8_t>& FirstBytes) {
    if (FirstBytes.size() < 2)
        return ZlibStart::Refused;
    const uint32_t Cmf = FirstBytes[0], Flg = FirstBytes[1];
    constexpr uint32_t Deflated = 8, LargestWindowBits = 15, PresetDictionary = 0x20;
    if (((Cmf << 8) | Flg) % 31 != 0 || (Cmf & 0x0F) != Deflated ||
        (Cmf >> 4) + 8 > LargestWindowBits)
        return ZlibStart::Refused;
    if ((Flg & PresetDictionary) == 0)
        return ZlibStart::Inflates;
    // The dictionary id must come whole before inflate asks for the
    // dictionary; a stream that ends first fails for want of input.
    return FirstBytes.size() >= 6 ? ZlibStart::WantsDictionary : ZlibStart::Refused;
}

int64_t NbitBytesPastEnd(int64_t Values, int32_t TypeSize, int32_t Bits, int64_t Stored) {
    constexpr int64_t NbitBufferSize = 1024; // NBIT_BUF_SIZE, 16 * 64
    if (TypeSize < 1 || Bits < 1 || Values < 1)
        return 0;
    const int64_t PerBuffer = NbitBufferSize / TypeSize;
    const int64_t Decoded = Values + (PerBuffer > 1 ? PerBuffer - 1 : 0);
    const int64_t Wanted = (Decoded * Bits + 7) / 8;
    return std::max<int64_t>(0, Wanted - Stored);
}

std::optional<StructureRule> FollowRunLength(ElementReader& Bytes, int64_t LogicalLength) {
    if (LogicalLength > MaxFollowedLength)
        return TooLongToFollow;
    constexpr int64_t MixBuffer = 128; // RLE_BUF_SIZE
    Bytes.Seek(0);
    std::optional<StructureRule> Rule;
    // One Hread of the decoder's: false where the decoder stops or runs on
    // without reading again. HDgetc's failure fails the decode, cleanly.
    auto Take = [&](int64_t Wanted, int64_t BufferSize, std::vector<uint8_t>* Out) {
        const bool AtEnd = Bytes.Position() >= Bytes.Length();
        const ReadResult Result = Bytes.Read(Wanted, BufferSize, Out);
        if (Faults(Result)) {
            Rule = ReadsPastEnd;
            return false;
        }
        if (Result.End == ReadEnd::Failed) {
            Rule.reset();
            return false;
        }
        if (AtEnd || Result.Count < Wanted)
            Rule = ShortStream;
        return Result.Count > 0;
    };
    std::vector<uint8_t> Control;
    for (int64_t Out = 0; Out < LogicalLength;) {
        // HDgetc reads one byte into a variable on its stack; of a read that
        // delivers nothing it keeps 0xFF.
        uint32_t C = 0xFF;
        if (Take(1, 1, &Control) && !Control.empty())
            C = Control[0];
        else if (Rule == ReadsPastEnd || !Rule || Bytes.Position() >= Bytes.Length())
            return Rule;
        const bool Run = (C & 0x80) != 0;
        const int64_t Wanted = Run ? 1 : int64_t(C & 0x7F) + 1;
        if (!Take(Wanted, Run ? 1 : MixBuffer, nullptr) &&
            (Rule == ReadsPastEnd || !Rule || Bytes.Position() >= Bytes.Length()))
            return Rule;
        Out += Run ? int64_t(C & 0x7F) + 3 : Wanted;
    }
    return Rule;
}

std::optional<StructureRule> FollowSkipHuffman(ElementReader& Bytes, int64_t LogicalLength,
                                               int32_t SkipSize) {
    if (LogicalLength > MaxFollowedLength || SkipSize < 1 || SkipSize > MaxFollowedTrees)
        return TooLongToFollow;
    std::vector<SplayTree> Trees(
        size_t(std::min<int64_t>(SkipSize, std::max<int64_t>(LogicalLength, 1))));
    BitFeed Feed(Bytes);
    for (int64_t Out = 0; Out < LogicalLength; ++Out) {
        SplayTree& Tree = Trees[size_t(Out % SkipSize)];
        uint32_t Node = 0;
        do {
            uint32_t Bit = 0;
            if (!Feed.NextBit(&Bit))
                return Feed.Rule;
            Node = Bit == 0 ? Tree.Left[Node] : Tree.Right[Node];
        } while (Node <= 255);
        Tree.Splay(uint8_t(Node - 256));
    }
    return Feed.Rule;
}
