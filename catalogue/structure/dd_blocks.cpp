// The container: the magic number, the chain of DD blocks that Hopen reads
// whole, the DDs themselves, and the version element that Hopen reads into a
// fixed 92-byte buffer. Also the tags whose elements every HDF4 reader on the
// SD path takes as plain: a special form of one of them would start a
// special-element handler where the reader expects a plain record.
#include "catalogue/structure/structure_context.h"

#include <algorithm>

namespace {

constexpr uint8_t Magic[4] = {0x0E, 0x03, 0x13, 0x01};
constexpr int64_t BlockHeaderSize = 6; // ndds (i16), next block offset (i32)
constexpr int64_t DdSize = 12;
// Far beyond any real file (tags and refs are 16-bit), but a bound on the
// memory and time a hostile chain can cost.
constexpr size_t MaxDds = size_t(1) << 20;
constexpr int32_t MaxBlocks = 1 << 16;
constexpr int32_t VersionElementSize = 92; // HIread_version's buffer
constexpr uint16_t VersionRef = 1;

bool MustBePlain(uint16_t BaseTag) {
    switch (BaseTag) {
    case HdfTag::Linked:
    case HdfTag::Version:
    case HdfTag::DataLabel:
    case HdfTag::DataDesc:
    case HdfTag::NumberType:
    case HdfTag::Sdg:
    case HdfTag::Sdd:
    case HdfTag::Sds:
    case HdfTag::Sdl:
    case HdfTag::Sdu:
    case HdfTag::Sdf:
    case HdfTag::Sdm:
    case HdfTag::Sdc:
    case HdfTag::Sdt:
    case HdfTag::SdLink:
    case HdfTag::Ndg:
    case HdfTag::Cal:
    case HdfTag::FillValue:
    case HdfTag::Vh:
    case HdfTag::Vg:
        return true;
    default:
        return false;
    }
}

// Reads one block's DDs into the check; *Next gets the next block's offset.
bool ReadBlock(StructureCheck& Check, int64_t Offset, int64_t* Next) {
    std::vector<uint8_t> Header;
    if (!Check.File.Read(Offset, BlockHeaderSize, &Header))
        return Check.Refuse("DD block outside the file");
    ByteCursor Cursor(Header);
    const int16_t Count = Cursor.I16();
    *Next = Cursor.I32();
    if (Count <= 0)
        return Check.Refuse("DD block with no DDs");
    if (Check.Dds.size() + size_t(Count) > MaxDds)
        return Check.Refuse("too many DDs");
    std::vector<uint8_t> Entries;
    if (!Check.File.Read(Offset + BlockHeaderSize, Count * DdSize, &Entries))
        return Check.Refuse("DD block outside the file");
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
    if (Entry.Tag == HdfTag::Null)
        return true; // a free slot: HDF4 never uses its offset or length
    if (Entry.Tag == 0 || Entry.Ref == 0)
        return Check.Refuse("DD with tag or reference 0");
    if (!Entry.IsUnwritten() && !Check.File.Holds(Entry.Offset, Entry.Length))
        return Check.Refuse("element outside the file");
    if (HdfTag::IsSpecial(Entry.Tag) && MustBePlain(HdfTag::Base(Entry.Tag)))
        return Check.Refuse("special form of a record HDF4 reads as plain");
    const uint64_t Key = uint64_t(HdfTag::Base(Entry.Tag)) << 16 | Entry.Ref;
    Check.ByTagRef.push_back(Key << 32 | Index);
    return true;
}

} // namespace

bool CheckDdBlocks(StructureCheck& Check) {
    std::vector<uint8_t> Head;
    if (!Check.File.Read(0, 10, &Head) || !std::equal(Magic, Magic + 4, Head.begin()))
        return Check.Refuse("no HDF magic number");

    // Writers append every new block at the end of the file, so each block
    // lies past the one before: a chain that turns back is damaged, and the
    // rule also ends every cycle.
    int64_t Offset = 4, End = 0;
    for (int32_t Blocks = 0; Offset != 0; ++Blocks) {
        if (Blocks == MaxBlocks)
            return Check.Refuse("too many DD blocks");
        if (Offset < End)
            return Check.Refuse("DD block chain turns back");
        const size_t First = Check.Dds.size();
        int64_t Next = 0;
        if (!ReadBlock(Check, Offset, &Next))
            return false;
        End = Offset + BlockHeaderSize + int64_t(Check.Dds.size() - First) * DdSize;
        Offset = Next;
    }
    Check.ByTagRef.reserve(Check.Dds.size());
    for (size_t I = 0; I < Check.Dds.size(); ++I)
        if (!IndexDd(Check, I))
            return false;
    std::sort(Check.ByTagRef.begin(), Check.ByTagRef.end());
    for (size_t I = 1; I < Check.ByTagRef.size(); ++I)
        if (Check.ByTagRef[I] >> 32 == Check.ByTagRef[I - 1] >> 32)
            return Check.Refuse("two DDs with the same tag and reference");

    const Dd* Version = Check.Find(HdfTag::Version, VersionRef);
    if (Version != nullptr && !Version->IsUnwritten() &&
        (HdfTag::IsSpecial(Version->Tag) || Version->Length > VersionElementSize))
        return Check.Refuse("version element longer than HDF4's buffer");
    return true;
}
