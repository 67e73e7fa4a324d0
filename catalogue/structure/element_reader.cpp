// Hread on a plain element and HLPread on linked blocks, step for step as
// HDF4 4.2.15 runs them (hfile.c, hblocks.c), over the file's bytes: the
// clipping of a length at the element's end, a length of 0 meaning "the
// rest", the walk over the tables, the count returned. Nothing here is
// trusted beyond what CheckLinked has checked: every block a slot names is a
// plain element inside the file.
#include "catalogue/structure/element_reader.h"

#include <algorithm>
#include <unordered_set>

namespace {

// A bound of the check's own on the blocks per link table, whose table
// HLIgetlink allocates and reads whole; writers use a few dozen.
constexpr int32_t MaxBlocksPerTable = 65535;
// Bounds on what a hostile linked element can make the check hold in
// memory; far above what HDF4's writers produce.
constexpr size_t MaxLinkedBlocks = size_t(1) << 24;
constexpr int64_t LinkedRecordSize = 16;

// Copies Bytes to *Out at Offset, within the buffer's BufferSize bytes.
void Place(std::vector<uint8_t>* Out, int64_t Offset, const std::vector<uint8_t>& Bytes,
           int64_t BufferSize) {
    if (Out == nullptr || Offset >= BufferSize)
        return;
    const int64_t Kept = std::min<int64_t>(int64_t(Bytes.size()), BufferSize - Offset);
    if (int64_t(Out->size()) < Offset + Kept)
        Out->resize(size_t(Offset + Kept), 0);
    std::copy(Bytes.begin(), Bytes.begin() + Kept, Out->begin() + Offset);
}

void PlaceZeros(std::vector<uint8_t>* Out, int64_t Offset, int64_t Count, int64_t BufferSize) {
    if (Out == nullptr || Offset >= BufferSize)
        return;
    const int64_t End = std::min(Offset + Count, BufferSize);
    if (int64_t(Out->size()) < End)
        Out->resize(size_t(End), 0);
    std::fill(Out->begin() + Offset, Out->begin() + End, 0);
}

} // namespace

bool CheckLinked(StructureCheck& Check, const std::vector<uint8_t>& Record, LinkedChain* Chain) {
    if (Record.size() < LinkedRecordSize)
        return Check.Refuse(StructureRule::SpecialElementMisread);
    ByteCursor Cursor(Record);
    Cursor.Skip(2);
    Chain->Total = Cursor.I32();
    Chain->BlockLength = Cursor.I32();
    Chain->PerTable = Cursor.I32();
    uint16_t Table = Cursor.U16();
    if (Chain->Total < 0 || Chain->BlockLength < 1 || Chain->PerTable < 1 ||
        Chain->PerTable > MaxBlocksPerTable || Table == 0)
        return Check.Refuse(StructureRule::LinkedBlocksUnwalkable);

    const int64_t MaxTables = (Chain->Total + Chain->BlockLength - 1) / Chain->BlockLength + 2;
    std::unordered_set<uint16_t> Tables;
    std::vector<uint8_t> Bytes;
    while (Table != 0) {
        if (!Tables.insert(Table).second || int64_t(Tables.size()) > MaxTables)
            return Check.Refuse(StructureRule::LinkedBlockTablesLoop);
        const Dd* Element = Check.Find(HdfTag::Linked, Table);
        if (!Check.ReadPlain(Element, &Bytes) || int64_t(Bytes.size()) < 2 + 2 * Chain->PerTable)
            return Check.Refuse(StructureRule::LinkedBlockTableUnreadable);
        ByteCursor Entries(Bytes);
        Table = Entries.U16();
        if (Chain->Blocks.size() + size_t(Chain->PerTable) > MaxLinkedBlocks)
            return Check.Refuse(StructureRule::LinkedBlocksUnwalkable);
        for (int64_t I = 0; I < Chain->PerTable; ++I)
            Chain->Blocks.push_back(Entries.U16());
    }
    for (uint16_t Block : Chain->Blocks) {
        if (Block == 0)
            continue; // never written: HDF4 reads it as zeros
        if (Tables.count(Block) != 0 || !Check.IsReadablePlain(Check.Find(HdfTag::Linked, Block)))
            return Check.Refuse(StructureRule::LinkedBlockUnreadable);
    }
    // HLIstaccess takes the first block's length from its DD (the element
    // as it was before it grew), or the block length where it was never
    // written; HLPread puts position P in block 0 below that length, else in
    // block (P - First) / BlockLength + 1.
    Chain->First = Chain->Blocks[0] == 0 ? Chain->BlockLength
                                         : Check.Find(HdfTag::Linked, Chain->Blocks[0])->Length;
    Chain->Reach = Chain->First + (int64_t(Chain->Blocks.size()) - 1) * Chain->BlockLength;
    return true;
}

ElementReader::ElementReader(StructureCheck& Check, const Dd& Plain)
    : Check(Check), Linked(false), Plain(Plain) {}

ElementReader::ElementReader(StructureCheck& Check, const LinkedChain& Chain)
    : Check(Check), Linked(true), Chain(Chain) {}

ReadResult ElementReader::Read(int64_t Wanted, int64_t BufferSize, std::vector<uint8_t>* Out) {
    if (Out != nullptr)
        Out->clear();
    return Linked ? ReadLinked(Wanted, BufferSize, Out) : ReadPlain(Wanted, BufferSize, Out);
}

// Hread: a length of 0, or one past the end, becomes the rest of the
// element; a negative one fails.
ReadResult ElementReader::ReadPlain(int64_t Wanted, int64_t BufferSize, std::vector<uint8_t>* Out) {
    if (Wanted < 0 || Posn > Plain.Length)
        return {ReadEnd::Failed, 0};
    const int64_t Length =
        Wanted == 0 || Wanted + Posn > Plain.Length ? Plain.Length - Posn : Wanted;
    std::vector<uint8_t> Bytes;
    if (!Check.File.Read(Plain.Offset + Posn, Length, &Bytes))
        return {ReadEnd::Failed, 0};
    Place(Out, 0, Bytes, BufferSize);
    Posn += Length;
    return {Length > BufferSize ? ReadEnd::Overrun : ReadEnd::Delivered, Length};
}

// HLPread: the length cut at the element's end (0, or less past it), the
// starting block found by position and reached by stepping tables, then
// block by block: a written block read with Hread (a length of 0 there reads
// the rest of the block), a never-written one memset to zeros. The count
// returned adds each written block's Hread result and, for a never-written
// one, whatever the last written block returned.
ReadResult ElementReader::ReadLinked(int64_t Wanted, int64_t BufferSize,
                                     std::vector<uint8_t>* Out) {
    if (Wanted < 0)
        return {ReadEnd::Failed, 0};
    int64_t Length = Wanted == 0 ? Chain.Total - Posn : Wanted;
    if (Posn + Length > Chain.Total)
        Length = Chain.Total - Posn;

    int64_t Relative = Posn, Index = 0, Current = Chain.First;
    if (Relative >= Chain.First) {
        Relative -= Chain.First;
        Index = Relative / Chain.BlockLength + 1;
        Relative %= Chain.BlockLength;
        Current = Chain.BlockLength;
    }
    const int64_t Tables = int64_t(Chain.Blocks.size()) / Chain.PerTable;
    int64_t Table = Index / Chain.PerTable;
    // The step onto the last table's null successor is taken unchecked.
    if (Table == Tables)
        return {ReadEnd::Crash, 0};
    if (Table > Tables)
        return {ReadEnd::Failed, 0};
    Index %= Chain.PerTable;

    int64_t Offset = 0, Returned = 0, LastCount = 0;
    bool Overrun = false;
    std::vector<uint8_t> Bytes;
    do {
        int64_t Remaining = Current - Relative;
        if (Remaining > Length)
            Remaining = Length;
        const uint16_t Ref = Chain.Blocks[size_t(Table * Chain.PerTable + Index)];
        if (Ref != 0) {
            const Dd* Block = Check.Find(HdfTag::Linked, Ref);
            // Hseek past a plain element's end fails; Hread of a negative
            // length fails.
            if (Block == nullptr || Relative > Block->Length || Remaining < 0)
                return {ReadEnd::Failed, 0};
            const int64_t Count = Remaining == 0 || Remaining + Relative > Block->Length
                                      ? Block->Length - Relative
                                      : Remaining;
            if (!Check.File.Read(Block->Offset + Relative, Count, &Bytes))
                return {ReadEnd::Failed, 0};
            Place(Out, Offset, Bytes, BufferSize);
            Overrun = Overrun || Offset + Count > BufferSize;
            LastCount = Count;
            Returned += Count;
        } else {
            if (Remaining < 0)
                return {ReadEnd::Crash, 0};
            PlaceZeros(Out, Offset, Remaining, BufferSize);
            Overrun = Overrun || Offset + Remaining > BufferSize;
            Returned += LastCount;
        }
        Offset += Remaining;
        Length -= Remaining;
        if (Length > 0 && ++Index >= Chain.PerTable) {
            Index = 0;
            if (++Table >= Tables)
                return {ReadEnd::Failed, 0};
        }
        Relative = 0;
        Current = Chain.BlockLength;
    } while (Length > 0);
    Posn += Returned;
    return {Overrun ? ReadEnd::Overrun : ReadEnd::Delivered, Returned};
}

bool ElementReader::ReadFromStart(int64_t Length, std::vector<uint8_t>* Out) {
    Out->clear();
    if (Length <= 0)
        return Length == 0;
    Seek(0);
    const ReadResult Result = Read(Length, Length, Out);
    return Result.End == ReadEnd::Delivered && Result.Count == Length &&
           int64_t(Out->size()) == Length;
}

std::optional<StructureRule> ElementReader::ReadPastEnd(int64_t NeededBeyond, int64_t BufferSize) {
    Seek(Length());
    while (NeededBeyond > 0) {
        const ReadResult Result = Read(BufferSize, BufferSize, nullptr);
        if (Result.End == ReadEnd::Crash || Result.End == ReadEnd::Overrun)
            return StructureRule::DecoderReadsPastLinkedBlocks;
        if (Result.End == ReadEnd::Failed || Result.Count <= 0)
            return std::nullopt;
        NeededBeyond -= Result.Count;
    }
    return std::nullopt;
}
