// What the stages of the structure check share: the data
// descriptors (DDs) of the file indexed as HDF4 looks them up, the parsed
// vgroups and vdata headers, and the verdict being built. Each stage is one
// function declared at the end; CheckHdfStructure runs them in order.
#ifndef LOADHDF_CATALOGUE_STRUCTURE_STRUCTURE_CONTEXT_H
#define LOADHDF_CATALOGUE_STRUCTURE_STRUCTURE_CONTEXT_H

#include "catalogue/hdf4_facts.h"
#include "catalogue/structure/file_bytes.h"
#include "catalogue/structure/structure_rules.h"
#include "catalogue/structure_check.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One data descriptor as it stands in a DD block.
struct Dd {
    uint16_t Tag = 0, Ref = 0;
    int32_t Offset = 0, Length = 0;
    // Offset and length both -1: a DD defined but never given a place.
    bool HasNoPlace() const { return Offset == -1 && Length == -1; }
    // Defined but never written: HDF4 starts such a plain element as an
    // empty one.
    bool IsUnwritten() const { return HasNoPlace() && !HdfTag::IsSpecial(Tag); }
    // A special form with no place: Hstartaccess seeks to offset -1 for the
    // special header and fails, as for an element that is missing, but
    // leaves the atom it registered for the DD behind.
    bool CannotStart() const { return HasNoPlace() && HdfTag::IsSpecial(Tag); }
};

// A vgroup record (DFTAG_VG) as HDF4's vunpackvg decodes it.
struct VgroupRecord {
    std::vector<uint16_t> Tags, Refs; // the entries, in order
    std::string Name, Class;          // cut at a zero byte, as HDF4 copies them
    uint16_t NameLength = 0;          // declared lengths; 0 makes HDF4 keep no text
    uint16_t ClassLength = 0;
};

struct VdataField {
    int32_t Type = 0; // after the remapping of old headers' local codes
    int32_t Order = 0;
    int32_t Size = 0; // bytes of one value
    std::string Name;
};

// A vdata header (DFTAG_VH) as HDF4's vunpackvs decodes it.
struct VdataHeader {
    int16_t Interlace = 0;
    int32_t Records = 0;    // nvertices
    int32_t RecordSize = 0; // ivsize, bytes of one record in the file
    std::vector<VdataField> Fields;
    std::string Name, Class;
    // Interlace, record count and fields that VSread can convert into what
    // its callers sized; only the vdatas the SD readers read must have them.
    bool FieldsReadable = true;
};

// Records found by ref: filled in file order, then sorted once, so a file of
// thousands of records costs no allocation per lookup entry.
template <typename Record> class RefTable {
  public:
    void Add(uint16_t Ref, Record&& Item) { Items.emplace_back(Ref, std::move(Item)); }
    void Sort() {
        auto ByRef = [](const auto& A, const auto& B) { return A.first < B.first; };
        if (!std::is_sorted(Items.begin(), Items.end(), ByRef)) // writers add refs in order
            std::sort(Items.begin(), Items.end(), ByRef);
    }
    // The record of this ref, or null.
    const Record* Find(uint16_t Ref) const {
        auto At = std::lower_bound(Items.begin(), Items.end(), Ref,
                                   [](const auto& Item, uint16_t R) { return Item.first < R; });
        return At != Items.end() && At->first == Ref ? &At->second : nullptr;
    }
    auto begin() const { return Items.begin(); }
    auto end() const { return Items.end(); }

  private:
    std::vector<std::pair<uint16_t, Record>> Items;
};

struct StructureCheck {
    explicit StructureCheck(FileBytes& Bytes) : File(Bytes) {}
    FileBytes& File;
    std::vector<Dd> Dds; // every DD, in the order of the blocks
    // (base tag << 16 | ref) << 32 | index into Dds, of every non-null DD,
    // sorted: one integer each sorts and searches faster than pairs.
    std::vector<uint64_t> ByTagRef;
    RefTable<VgroupRecord> Vgroups; // by ref; two records of one ref are refused
    RefTable<VdataHeader> Vdatas;
    bool HasCdfStructure = false;
    std::optional<StructureRule> Broken; // the first rule the file breaks
    // Of a file that is sound: the data sets whose values HDF4 must not be
    // asked for, and the dimensions whose scales would be read from them.
    std::vector<DataKeptOut> KeptOut;
    std::vector<std::string> ScalesKeptOut;
    // Positions of the chunk grids started so far: SDstart starts each.
    int64_t ChunkPositionsListed = 0;

    // Records the first broken rule; always false, so stages can return it.
    bool Refuse(StructureRule Rule) {
        if (!Broken)
            Broken = Rule;
        return false;
    }
    // The DD HDF4 reads for this tag and ref (Hstartaccess, through Hfind):
    // the non-null DD with the tag's base form and the ref; or, for ref 0,
    // HDF4's wildcard, the first DD in the file's order of the tag or its
    // special form, whatever its ref. Null when there is none.
    const Dd* Find(uint16_t Tag, uint16_t Ref) const {
        if (Ref == 0) {
            for (const Dd& Entry : Dds)
                if (Entry.Tag != HdfTag::Null && HdfTag::Base(Entry.Tag) == HdfTag::Base(Tag))
                    return &Entry;
            return nullptr;
        }
        const uint64_t Key = uint64_t(HdfTag::Base(Tag)) << 16 | Ref;
        auto At = std::lower_bound(ByTagRef.begin(), ByTagRef.end(), Key << 32);
        return At != ByTagRef.end() && *At >> 32 == Key ? &Dds[uint32_t(*At)] : nullptr;
    }
    // True when the DD is plain and its whole element lies in the file.
    bool IsReadablePlain(const Dd* Element) const {
        return Element != nullptr && !HdfTag::IsSpecial(Element->Tag) &&
               File.Holds(Element->Offset, Element->Length);
    }
    // Reads a plain, readable element whole; false otherwise.
    bool ReadPlain(const Dd* Element, std::vector<uint8_t>* Out) {
        return IsReadablePlain(Element) && File.Read(Element->Offset, Element->Length, Out);
    }
};

// For a vdata the SD readers read with VSread: refuses one whose fields
// HDF4 cannot convert.
inline bool RequireReadableFields(StructureCheck& Check, const VdataHeader& Header) {
    return Header.FieldsReadable ? true : Check.Refuse(StructureRule::VdataFieldsUnconvertible);
}

// A number-type record (DFTAG_NT): version, type code, byte-order class.
struct NumberTypeRecord {
    uint8_t Version = 0;
    int32_t Type = 0;
    uint8_t Class = 0;
};
// Reads the number-type record of this ref: exactly 4 bytes, of a type the SD
// layer maps.
bool ReadNumberTypeRecord(StructureCheck& Check, uint16_t Ref, NumberTypeRecord* Record);
// The same, and of version 1 and a byte order the old-style groups' reader
// converts (class 0, 1 or 4). *Type gets the type code.
bool CheckNumberTypeRecord(StructureCheck& Check, uint16_t Ref, int32_t* Type);

// The stages, in the order they run. Each returns false after Refuse.
bool CheckDdBlocks(StructureCheck& Check);    // magic, DD chain, DDs, version element
bool CheckVsetHeaders(StructureCheck& Check); // every vgroup and vdata header
bool CheckSdVariables(StructureCheck& Check); // the CDF0.0 vgroup and what it names
bool CheckSdGroups(StructureCheck& Check);    // old-style NDG/SDG groups, annotations

// Special elements, reached from the stages above.
struct DataContext {
    // Of the data set whose values the element holds; -1 for a data set
    // HDF4 leaves out, whose element it only starts, never reads.
    int32_t Rank = -1;
    int32_t ValueSize = -1; // bytes per value
    // Bytes of all its values, -1 where not known in advance (unlimited:
    // HDF4 counts the records from the element's own length).
    int64_t Bytes = -1;
    bool Unlimited = false;
};
// What the check learnt of one data set's data element.
struct DataElementFacts {
    // What Hinquire reports; 0 or less (and for an element never written)
    // makes hdf_xdr_NCvdata hand out fill values instead of reading.
    int64_t LogicalLength = 0;
    bool Unwritten = false;
    // Why SDreaddata must not read this data set, if it must not. HDF4
    // lists it safely; only its values are in question.
    std::optional<StructureRule> KeptOut;
    bool HoldsNoData() const { return Unwritten || LogicalLength <= 0; }
};
// Validates the element that a DFTAG_SD reference leads to, whatever its
// form. False (after Refuse) for damage that SDstart itself would meet:
// every data element's special header is started by the Hlength call that
// hdf_read_vars makes for each variable.
bool CheckDataElement(StructureCheck& Check, const Dd* Element, const DataContext& Data,
                      DataElementFacts* Facts);
// Validates a vdata's storage (plain, linked, or unwritten). Length is what
// SDstart reads of it with VSread (0: VSattach alone starts it); its first
// Length logical bytes go into *Out when Out is not null.
bool CheckVdataStorage(StructureCheck& Check, uint16_t Ref, const VdataHeader& Header,
                       int64_t Length, std::vector<uint8_t>* Out);

#endif
