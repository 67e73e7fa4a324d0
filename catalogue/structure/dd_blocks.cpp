// The container: the magic number, the chain of DD blocks that Hopen reads
// whole, the DDs themselves, and the version element that Hopen reads into a
// fixed 92-byte buffer. Whether an element's special form is one its reader
// can take is the business of the stage that reads it.
#include "catalogue/structure/structure_context.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr uint8_t Magic[4] = {0x0E, 0x03, 0x13, 0x01};
constexpr int64_t BlockHeaderSize = 6; // ndds (i16), next block offset (i32)
constexpr int64_t DdSize = 12;
// Blocks may overlap, so a chain can name more DDs than the file has room
// for; a bound on the memory and time a hostile chain can cost, beyond any
// file whose blocks do not overlap.
constexpr size_t MinDdBound = size_t(1) << 20;
constexpr uint16_t VersionRef = 1;
// Reads one block's DDs into the check; *Next gets the next block's offset.
bool ReadBlock(StructureCheck& Check, int64_t Offset, int64_t* Next) {
    std::vector<uint8_t> Header;
    if (!Check.File.Read(Offset, BlockHeaderSize, &Header))
        return Check.Refuse(StructureRule::DdBlockOutsideFile);
    ByteCursor Cursor(Header);
    const int16_t Count = Cursor.I16();
    *Next = Cursor.I32();
    // HTPstart fails on a block of no DDs, cleanly.
    if (Count <= 0)
        return Check.Refuse(StructureRule::DdBlockWithoutDds);
    const size_t MaxDds = std::max(MinDdBound, size_t(Check.File.Size() / DdSize));
    if (Check.Dds.size() + size_t(Count) > MaxDds)
        return Check.Refuse(StructureRule::TooManyDds);
    std::vector<uint8_t> Entries;
    if (!Check.File.Read(Offset + BlockHeaderSize, Count * DdSize, &Entries))
        return Check.Refuse(StructureRule::DdBlockOutsideFile);
    ByteCursor Dds(Entries);
    for (int16_t I = 0; I < Count; ++I) {
        Dd Entry;
        Entry.Tag = Dds.U16();
        Entry.Ref = Dds.U16();
        Entry.Offset = Dds.I32();
        Entry.Length = Dds.I32();
        Check.Dds.push_back(Entry);
    }
    return true;
}

bool IndexDd(StructureCheck& Check, size_t Index) {
    const Dd& Entry = Check.Dds[Index];
    // A free slot: HDF4 never uses its offset or length.
    if (Entry.Tag == HdfTag::Null)
        return true;
    // Ref 0 is the wildcard of HDF4's searches: a VG, VH, NDG or SDG DD of
    // ref 0 makes its reader skip every record of that tag, and SDstart
    // fall back to reading the old-style groups; of any other tag, HDF4's DD
    // table takes it only as the first of its tag; of tag 0, HTPstart fails
    // (DFE_INTERNAL) and leaves the DD table it read allocated.
    if (Entry.Ref == 0)
        return Check.Refuse(StructureRule::DdWithRefZero);
    const uint64_t Key = uint64_t(HdfTag::Base(Entry.Tag)) << 16 | Entry.Ref;
    // Tag 0 no reader asks for, but HTPstart files it by its ref like any
    // other, and fails on two of one ref: they go into the index, for the
    // duplicate test alone.
    if (Entry.Tag == 0) {
        Check.ByTagRef.push_back(Key << 32 | Index);
        return true;
    }
    // Hread copies an element's length out of the file: a negative one is
    // the rest of the file, into whatever buffer the element was meant for.
    if (!Entry.HasNoPlace() && !Check.File.Holds(Entry.Offset, Entry.Length))
        return Check.Refuse(StructureRule::ElementOutsideFile);
    Check.ByTagRef.push_back(Key << 32 | Index);
    return true;
}

} // namespace

bool CheckDdBlocks(StructureCheck& Check) {
    std::vector<uint8_t> Head;
    if (!Check.File.Read(0, 10, &Head) || !std::equal(Magic, Magic + 4, Head.begin()))
        return Check.Refuse(StructureRule::NoHdfMagic);

    // HTPstart follows the next-block offsets without looking back: a chain
    // that comes back to a block of free DDs only is walked for ever, one
    // that comes back to any other fails on the DDs it finds twice. Either
    // way the file cannot be read.
    std::unordered_set<int64_t> Visited;
    for (int64_t Offset = 4; Offset != 0;) {
        if (!Visited.insert(Offset).second)
            return Check.Refuse(StructureRule::DdBlockChainLoops);
        int64_t Next = 0;
        if (!ReadBlock(Check, Offset, &Next))
            return false;
        Offset = Next;
    }
    Check.ByTagRef.reserve(Check.Dds.size());
    for (size_t I = 0; I < Check.Dds.size(); ++I)
        if (!IndexDd(Check, I))
            return false;
    std::sort(Check.ByTagRef.begin(), Check.ByTagRef.end());
    // HTPstart fails on them (DFE_DUPDD), and leaves the DD table it read
    // allocated.
    for (size_t I = 1; I < Check.ByTagRef.size(); ++I)
        if (Check.ByTagRef[I] >> 32 == Check.ByTagRef[I - 1] >> 32)
            return Check.Refuse(StructureRule::DuplicateTagRef);

    // HIread_version reads the element of ref 1 whole into a 92-byte stack
    // buffer, through a special element's handler if it has a special form.
    const Dd* Version = Check.Find(HdfTag::Version, VersionRef);
    // One with no place fails to start, and Hopen ignores that failure.
    if (Version == nullptr || Version->HasNoPlace())
        return true;
    if (HdfTag::IsSpecial(Version->Tag))
        return Check.Refuse(StructureRule::VersionElementSpecial);
    if (Version->Length > Hdf4::VersionElementSize)
        return Check.Refuse(StructureRule::VersionElementTooLong);
    return true;
}
