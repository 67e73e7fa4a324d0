// The old-style data-set groups (NDG and SDG) that SDstart reads when a file
// has no CDF0.0 vgroup (it reads them too when its reading of that vgroup
// fails, which the SD variables' stage refuses, so in an SD file they are
// never read and never checked). HDF4's
// reader of these groups frees its dimension arrays again when a later group
// lacks a dimension record or fails before reaching it (a double free), reads
// number types whose tag and ref come from the file into a 4-byte stack
// buffer, other members into a 1024-byte buffer, and keeps at most 100
// attributes per group. Every group it will visit must therefore be whole.
#include "catalogue/structure/structure_context.h"

#include <unordered_set>

namespace {

// Number of the data labels and descriptions of each kind attached to each
// (tag, ref).
using AnnotationCounts = std::unordered_map<uint64_t, int32_t>;

uint64_t AnnotationKey(uint16_t Kind, uint16_t Tag, uint16_t Ref) {
    return uint64_t(Kind) << 32 | uint64_t(Tag) << 16 | Ref;
}

struct Member {
    uint16_t Tag = 0, Ref = 0;
};

class GroupCheck {
  public:
    GroupCheck(StructureCheck& Check, const AnnotationCounts& Annotations)
        : Check(Check), Annotations(Annotations) {}
    bool CheckGroup(const Dd& Group, std::unordered_set<uint16_t>* LinkedSdgs);

  private:
    bool ReadMembers(const Dd& Group, std::vector<Member>* Members);
    bool CheckDimensionRecord(uint16_t Ref);
    bool CheckStrings(uint16_t Tag, uint16_t Ref);
    bool CheckScales(uint16_t Ref);

    StructureCheck& Check;
    const AnnotationCounts& Annotations;
    int32_t Rank = 0;
    std::vector<int32_t> Sizes;
    std::vector<int32_t> NumberTypeSizes; // data, then one per dimension
};

bool GroupCheck::ReadMembers(const Dd& Group, std::vector<Member>* Members) {
    std::vector<uint8_t> Bytes;
    if (!Check.ReadPlain(&Group, &Bytes) || Bytes.size() < 4 || Bytes.size() % 4 != 0)
        return Check.Refuse(StructureRule::DataSetGroupUnreadable);
    ByteCursor Cursor(Bytes);
    Members->resize(Bytes.size() / 4);
    for (Member& Entry : *Members) {
        Entry.Tag = Cursor.U16();
        Entry.Ref = Cursor.U16();
    }
    return true;
}

// The dimension record: rank, extents, and rank + 1 number-type references.
bool GroupCheck::CheckDimensionRecord(uint16_t Ref) {
    std::vector<uint8_t> Bytes;
    if (!Check.ReadPlain(Check.Find(HdfTag::Sdd, Ref), &Bytes))
        return Check.Refuse(StructureRule::DimensionRecordUnreadable);
    ByteCursor Cursor(Bytes);
    Rank = Cursor.I16();
    if (!Cursor.Ok() || Rank < 1 || Rank > Hdf4::MaxVarDims ||
        int64_t(Bytes.size()) != 6 + 8 * int64_t(Rank))
        return Check.Refuse(StructureRule::DimensionRecordRank);
    Sizes.assign(size_t(Rank), 0);
    for (int32_t D = 0; D < Rank; ++D) {
        Sizes[size_t(D)] = Cursor.I32();
        if (Sizes[size_t(D)] < (D == 0 ? 0 : 1))
            return Check.Refuse(StructureRule::DimensionRecordExtent);
    }
    NumberTypeSizes.assign(size_t(Rank) + 1, 0);
    for (int32_t& Size : NumberTypeSizes) {
        const uint16_t Tag = Cursor.U16();
        const uint16_t TypeRef = Cursor.U16();
        int32_t Type = 0;
        if (Tag != HdfTag::NumberType)
            return Check.Refuse(StructureRule::NumberTypeOverrun);
        if (!CheckNumberTypeRecord(Check, TypeRef, &Type))
            return false;
        Size = HdfType::Size(Type);
    }
    return true;
}

// A label, unit or format element: one zero-terminated text for the data
// and one per dimension; HDF4 adds three zeros and walks the rest unchecked.
bool GroupCheck::CheckStrings(uint16_t Tag, uint16_t Ref) {
    std::vector<uint8_t> Bytes;
    if (!Check.ReadPlain(Check.Find(Tag, Ref), &Bytes))
        return Check.Refuse(StructureRule::DataSetTextUnreadable);
    int64_t Zeros = 0;
    for (uint8_t Byte : Bytes)
        Zeros += Byte == 0;
    return Zeros >= Rank - 2 ? true : Check.Refuse(StructureRule::DataSetTextsTooFew);
}

// The scales element: one flag byte per dimension, then the values of each
// flagged dimension's scale.
bool GroupCheck::CheckScales(uint16_t Ref) {
    std::vector<uint8_t> Bytes;
    if (!Check.ReadPlain(Check.Find(HdfTag::Sds, Ref), &Bytes) ||
        int64_t(Bytes.size()) < int64_t(Rank))
        return Check.Refuse(StructureRule::DimensionScalesUnreadable);
    int64_t Needed = Rank;
    for (int32_t D = 0; D < Rank; ++D)
        if (Bytes[size_t(D)] != 0)
            Needed += int64_t(Sizes[size_t(D)]) * NumberTypeSizes[size_t(D) + 1];
    return int64_t(Bytes.size()) >= Needed ? true
                                           : Check.Refuse(StructureRule::DimensionScalesTooShort);
}

bool GroupCheck::CheckGroup(const Dd& Group, std::unordered_set<uint16_t>* LinkedSdgs) {
    std::vector<Member> Members;
    if (!ReadMembers(Group, &Members))
        return false;
    int32_t Records = 0, Attributes = 3, DataElements = 0;
    Member Last[4]; // the last label, unit, format and scales members
    uint16_t DataRef = 0;
    for (const Member& Entry : Members) {
        switch (Entry.Tag) {
        case HdfTag::Sdd:
            ++Records;
            if (!CheckDimensionRecord(Entry.Ref))
                return false;
            break;
        case HdfTag::Sdl:
        case HdfTag::Sdu:
        case HdfTag::Sdf:
            Last[Entry.Tag - HdfTag::Sdl] = Entry;
            break;
        case HdfTag::Sds:
            Last[3] = Entry;
            break;
        case HdfTag::Sd:
            ++DataElements;
            DataRef = Entry.Ref;
            break;
        case HdfTag::Sdc:
        case HdfTag::Cal:
        case HdfTag::Sdm:
        case HdfTag::SdLink: {
            const Dd* Element = Check.Find(Entry.Tag, Entry.Ref);
            std::vector<uint8_t> Bytes;
            if (!Check.IsReadablePlain(Element) ||
                (Entry.Tag != HdfTag::Sdc && Element->Length > Hdf4::OldStyleMemberBufferSize))
                return Check.Refuse(StructureRule::DataSetGroupMemberOverrun);
            Attributes += Entry.Tag == HdfTag::Sdc ? 1 : Entry.Tag == HdfTag::Cal ? 5 : 0;
            Attributes += Entry.Tag == HdfTag::Sdm ? 2 : 0;
            if (Entry.Tag == HdfTag::SdLink && Check.ReadPlain(Element, &Bytes) &&
                Bytes.size() >= 8)
                LinkedSdgs->insert(uint16_t(Bytes[6] << 8 | Bytes[7]));
            break;
        }
        default:
            break;
        }
    }
    if (Records != 1)
        return Check.Refuse(StructureRule::DataSetGroupDimensionRecords);
    for (int I = 0; I < 3; ++I)
        if (Last[I].Tag != 0 && !CheckStrings(Last[I].Tag, Last[I].Ref))
            return false;
    if (Last[3].Tag != 0 && !CheckScales(Last[3].Ref))
        return false;
    for (uint16_t Kind : {HdfTag::DataLabel, HdfTag::DataDesc}) {
        auto Found = Annotations.find(AnnotationKey(Kind, Group.Tag, Group.Ref));
        Attributes += Found == Annotations.end() ? 0 : Found->second;
    }
    if (Attributes > Hdf4::OldStyleMaxAttributes)
        return Check.Refuse(StructureRule::TooManyAttributes);
    if (DataElements == 0)
        return true;
    DataContext Data;
    Data.Rank = Rank;
    Data.ValueSize = NumberTypeSizes[0];
    // Old-style data sets have no unlimited dimension: their bytes are known.
    Data.Bytes = NumberTypeSizes[0];
    for (int32_t Size : Sizes) {
        if (Size > 0 && Data.Bytes > INT64_MAX / Size) {
            Data.Bytes = INT64_MAX; // more than any element can hold
            break;
        }
        Data.Bytes *= Size;
    }
    // hdf_read_ndgs numbers its variables with the scales of each group
    // among them, so a group's data set cannot be named by its index here:
    // data HDF4 must not read refuse the file. Unwritten data it fills with
    // its default (these groups carry no _FillValue), cleanly.
    DataElementFacts Element;
    if (!CheckDataElement(Check, Check.Find(HdfTag::Sd, DataRef), Data, &Element))
        return false;
    return !Element.KeptOut ? true : Check.Refuse(*Element.KeptOut);
}

// Every data label and description must be readable with its 4-byte target;
// counted per kind and target.
bool CountAnnotations(StructureCheck& Check, AnnotationCounts* Counts) {
    std::vector<uint8_t> Bytes;
    for (const Dd& Entry : Check.Dds) {
        // HDF4 finds annotations by their tag's plain form: one of a special
        // form it would start a special element's handler on, and
        // ANIcreate_ann_tree ends the access that failed (SEGV in Hendaccess).
        const uint16_t Kind = HdfTag::Base(Entry.Tag);
        if (Entry.Tag == HdfTag::Null || (Kind != HdfTag::DataLabel && Kind != HdfTag::DataDesc))
            continue;
        if (!Check.IsReadablePlain(&Entry) || Entry.Length < 4 ||
            !Check.File.Read(Entry.Offset, 4, &Bytes))
            return Check.Refuse(StructureRule::AnnotationUnreadable);
        ByteCursor Cursor(Bytes);
        const uint16_t Tag = Cursor.U16();
        const uint16_t Ref = Cursor.U16();
        ++(*Counts)[AnnotationKey(Kind, Tag, Ref)];
    }
    return true;
}

} // namespace

bool CheckSdGroups(StructureCheck& Check) {
    AnnotationCounts Annotations;
    if (!CountAnnotations(Check, &Annotations))
        return false;
    // HDF4 visits every NDG first, then every SDG that no NDG links to.
    std::unordered_set<uint16_t> LinkedSdgs;
    for (uint16_t Kind : {HdfTag::Ndg, HdfTag::Sdg}) {
        for (const Dd& Group : Check.Dds) {
            // Found by the plain form of their tag, as HDF4's Hfind finds
            // them; ReadMembers refuses a special form.
            if (Group.Tag == HdfTag::Null || HdfTag::Base(Group.Tag) != Kind ||
                (Kind == HdfTag::Sdg && LinkedSdgs.count(Group.Ref) != 0))
                continue;
            GroupCheck Members(Check, Annotations);
            if (!Members.CheckGroup(Group, &LinkedSdgs))
                return false;
        }
    }
    return true;
}
