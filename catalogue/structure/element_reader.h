// The bytes of one element as HDF4's Hread delivers them, for every rule of
// the structure check that looks at an element's contents: a plain element,
// or linked blocks walked as HLPread walks them (the first block's length
// from its DD, or the block length where it was never written, the others at
// the block length, never-written blocks as zeros). Besides the bytes, it
// tells what a read at or past the element's end does: HDF4's decoders read
// there (the N-bit decoder in whole buffers, the bit reader's 4,096-byte
// refills, HDgetc's single bytes), and on linked blocks such a read can step
// past the last table (SIGSEGV) or, given the length 0 that HLPread's
// clipping leaves, fill the caller's buffer with the rest of a block.
#ifndef LOADHDF_CATALOGUE_STRUCTURE_ELEMENT_READER_H
#define LOADHDF_CATALOGUE_STRUCTURE_ELEMENT_READER_H

#include "catalogue/structure/structure_context.h"

#include <cstdint>
#include <optional>
#include <vector>

// A linked-block element: its description record and the chain of tables
// it starts.
struct LinkedChain {
    int64_t Total = 0;            // the element's logical length
    int64_t BlockLength = 0;      // of every block but the first
    int64_t PerTable = 0;         // blocks per link table
    int64_t First = 0;            // the first block's length, as HLIstaccess takes it
    std::vector<uint16_t> Blocks; // the refs of every table's slots, in order; 0: never written
    // The logical bytes the chain's slots reach. HLPread checks for the end
    // of the chain only before each step to the next table, so a position
    // at Reach dereferences a null link.
    int64_t Reach = 0;
};

// Reads and validates a linked-block description record and its tables;
// false after Refuse when HDF4 could not walk them.
bool CheckLinked(StructureCheck& Check, const std::vector<uint8_t>& Record, LinkedChain* Chain);

// What one emulated Hread did.
enum class ReadEnd {
    Delivered, // Count bytes, within the caller's buffer
    Failed,    // HDF4 reports a failure, cleanly
    Crash,     // a null link dereferenced, or a memset of a negative size
    Overrun,   // more bytes written than the caller's buffer holds
};

struct ReadResult {
    ReadEnd End = ReadEnd::Failed;
    int64_t Count = 0; // what Hread returns, where it returns
};

class ElementReader {
  public:
    // A plain element.
    ElementReader(StructureCheck& Check, const Dd& Plain);
    // Linked blocks, already checked by CheckLinked.
    ElementReader(StructureCheck& Check, const LinkedChain& Chain);

    int64_t Length() const { return Linked ? Chain.Total : Plain.Length; }
    bool IsLinked() const { return Linked; }
    int64_t Position() const { return Posn; }
    void Seek(int64_t To) { Posn = To; }

    // One Hread of Wanted bytes at the current position into a buffer of
    // BufferSize bytes, as HDF4 performs it; moves the position as HDF4
    // does. *Out (when not null) gets the buffer's first bytes as HDF4
    // leaves them, up to BufferSize.
    ReadResult Read(int64_t Wanted, int64_t BufferSize, std::vector<uint8_t>* Out);

    // The first Length logical bytes, read as one Hread from 0 would
    // deliver them; false when HDF4 would not deliver them all.
    bool ReadFromStart(int64_t Length, std::vector<uint8_t>* Out);

    // What a reader that has taken every byte and wants NeededBeyond more,
    // asking BufferSize at a time, meets: reads from the end on until it has
    // them, one fails, or one delivers nothing (the reader then works on in
    // what its buffer holds). None when nothing worse than a failure, else
    // why HDF4 must not go there.
    std::optional<StructureRule> ReadPastEnd(int64_t NeededBeyond, int64_t BufferSize);

  private:
    ReadResult ReadPlain(int64_t Wanted, int64_t BufferSize, std::vector<uint8_t>* Out);
    ReadResult ReadLinked(int64_t Wanted, int64_t BufferSize, std::vector<uint8_t>* Out);

    StructureCheck& Check;
    const bool Linked;
    Dd Plain;
    LinkedChain Chain;
    int64_t Posn = 0;
};

#endif
