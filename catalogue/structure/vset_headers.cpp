// Every vgroup and vdata header of the file. SDstart's Vinitialize reads all
// of them, whichever interface wrote them, and HDF4's vunpackvg and vunpackvs
// decode their counts and lengths without comparing them with the record's
// length: a lying count reads past the record, and a vdata name or class
// longer than 64 bytes overruns the fixed arrays of HDF4's vdata record.
// Everything else a header may hold (field types, orders, sizes) is stored
// unread; whether VSread could convert a vdata's fields is recorded, for the
// few vdatas the SD readers read, and judged there.
#include "catalogue/structure/structure_context.h"

namespace {

// The record ends in version (i16) and "more" (i16), which HDF4 finds at
// five bytes before the record's end, whatever the record holds before.
constexpr size_t TrailerSize = 5;
constexpr int16_t NewestVsetVersion = 4; // the one with attributes
constexpr int16_t OldTypesVersion = 2;   // headers with local type codes
constexpr uint32_t HasAttributes = 1;
constexpr int64_t MaxHeaderLength = int64_t(1) << 24;

// A text of declared length, as HIstrncpy copies it: cut at the first zero
// byte.
std::string Text(ByteCursor& Cursor, size_t Length) {
    const uint8_t* Bytes = Cursor.Skip(Length);
    if (!Cursor.Ok())
        return std::string();
    size_t End = 0;
    while (End < Length && Bytes[End] != 0)
        ++End;
    return std::string(reinterpret_cast<const char*>(Bytes), End);
}

// The version from the trailer. vunpackvg and vunpackvs take the trailer at
// len - 5 without a test: a record of fewer bytes is read from before its
// buffer.
bool ReadVersion(const std::vector<uint8_t>& Bytes, int16_t* Version) {
    if (Bytes.size() < TrailerSize)
        return false;
    ByteCursor Trailer(Bytes.data() + Bytes.size() - TrailerSize, TrailerSize);
    *Version = Trailer.I16();
    return true;
}

// The attribute list of a version-4 record: flags, then, when the flag says
// so, a count and Count entries of EntrySize bytes. A negative count makes
// HDF4's malloc fail.
void SkipAttributes(ByteCursor& Cursor, size_t EntrySize) {
    if ((Cursor.U32() & HasAttributes) == 0)
        return;
    const int32_t Count = Cursor.I32();
    if (Count < 0)
        Cursor.Seek(size_t(-1)); // fails the cursor
    else
        Cursor.Skip(size_t(Count) * EntrySize);
}

// vunpackvg's reading. Every field it decodes must lie inside the record: a
// count that runs on reads whatever the previous record left in HDF4's
// buffer. The record may end in bytes HDF4 never reads (a header rewritten
// in place by a shorter one). Of a version above 4 HDF4 decodes nothing and
// keeps an empty vgroup.
bool ParseVgroup(const std::vector<uint8_t>& Bytes, VgroupRecord* Group) {
    int16_t Version = 0;
    if (!ReadVersion(Bytes, &Version))
        return false;
    if (Version > NewestVsetVersion)
        return true;
    ByteCursor Cursor(Bytes);
    const uint16_t Count = Cursor.U16();
    Group->Tags.resize(Count);
    Group->Refs.resize(Count);
    for (uint16_t& Tag : Group->Tags)
        Tag = Cursor.U16();
    for (uint16_t& Ref : Group->Refs)
        Ref = Cursor.U16();
    Group->NameLength = Cursor.U16();
    Group->Name = Text(Cursor, Group->NameLength);
    Group->ClassLength = Cursor.U16();
    Group->Class = Text(Cursor, Group->ClassLength);
    Cursor.Skip(4); // extension tag and ref, unused
    if (Version == NewestVsetVersion)
        SkipAttributes(Cursor, 4);
    return Cursor.Ok();
}

// HDF4 before vset version 3 stored its own local type codes.
int32_t RemapOldType(int32_t Type) {
    switch (Type) {
    case 1:
        return HdfType::Char8;
    case 2:
    case 6:
        return HdfType::Int16;
    case 3:
        return HdfType::Float32;
    case 4:
        return HdfType::Int32;
    case 5:
        return HdfType::Int8;
    case 7:
        return HdfType::Float64;
    default:
        return Type;
    }
}

// Field types, sizes, orders and offsets that agree with each other, so that
// VSread's conversions write exactly what its callers sized.
bool FieldsAgree(const VdataHeader& Header, const std::vector<uint16_t>& FileSizes,
                 const std::vector<uint16_t>& Offsets) {
    if (Header.Fields.size() > size_t(Hdf4::MaxVdataFields))
        return false;
    int64_t Sum = 0;
    for (size_t I = 0; I < Header.Fields.size(); ++I) {
        const VdataField& Field = Header.Fields[I];
        if (Field.Size == 0 || Field.Order < 1 || Field.Order > Hdf4::MaxFieldSize)
            return false;
        const int64_t Bytes = int64_t(Field.Order) * Field.Size;
        if (Bytes > Hdf4::MaxFieldSize || FileSizes[I] != Bytes || Offsets[I] != Sum)
            return false;
        Sum += Bytes;
    }
    return Header.Fields.empty() || (Sum == Header.RecordSize && Sum >= 1);
}

// vunpackvs's reading; *Rule names what is wrong when it returns false. As
// for vgroups, every field decoded must lie inside the record, and a version
// above 4 leaves an empty vdata. Older writers stored version and "more"
// once, as the trailer itself, which HDF4 then reads as the middle copy;
// HDF4 4.2 writes them twice, the version-4 attributes between.
bool ParseVdata(const std::vector<uint8_t>& Bytes, VdataHeader* Header, StructureRule* Rule) {
    *Rule = StructureRule::VdataHeaderInconsistent;
    int16_t Version = 0;
    if (!ReadVersion(Bytes, &Version))
        return false;
    if (Version > NewestVsetVersion)
        return true;
    ByteCursor Trailer(Bytes.data() + Bytes.size() - TrailerSize, 4);
    const uint32_t TrailingCopy = Trailer.U32();
    ByteCursor Cursor(Bytes);
    Header->Interlace = Cursor.I16();
    Header->Records = Cursor.I32();
    Header->RecordSize = Cursor.U16();
    const int16_t Count = Cursor.I16();
    // A negative count makes HDF4's malloc fail: SDstart fails.
    if (!Cursor.Ok() || Count < 0)
        return false;
    Header->Fields.resize(size_t(Count));
    std::vector<uint16_t> FileSizes(static_cast<size_t>(Count)),
        Offsets(static_cast<size_t>(Count));
    for (VdataField& Field : Header->Fields) {
        Field.Type = Cursor.I16();
        if (Version <= OldTypesVersion)
            Field.Type = RemapOldType(Field.Type);
        Field.Size = HdfType::Size(Field.Type);
    }
    for (uint16_t& Size : FileSizes)
        Size = Cursor.U16();
    for (uint16_t& Offset : Offsets)
        Offset = Cursor.U16();
    for (VdataField& Field : Header->Fields)
        Field.Order = Cursor.U16();
    bool NamesFit = true;
    for (VdataField& Field : Header->Fields) {
        // -1 leaves HDF4 an unterminated empty name; below that its malloc
        // fails; a negative length also moves its reading backwards.
        const int16_t Length = Cursor.I16();
        if (Length < 0)
            return false;
        NamesFit = NamesFit && Length <= Hdf4::MaxFieldNameLength;
        Field.Name = Text(Cursor, size_t(Length));
    }
    for (std::string* Name : {&Header->Name, &Header->Class}) {
        const int16_t Length = Cursor.I16();
        if (Length < 0)
            return false;
        *Name = Text(Cursor, size_t(Length));
        // HIstrncpy copies up to the first zero byte into a 65-byte array.
        if (Name->size() > size_t(Hdf4::VdataNameLength)) {
            *Rule = StructureRule::VdataNameTooLong;
            return false;
        }
    }
    Cursor.Skip(4);                   // extension tag and ref, unused
    if (Cursor.U32() != TrailingCopy) // HDF4 fails this itself
        return false;
    if (Version == NewestVsetVersion)
        SkipAttributes(Cursor, 8);
    if (!Cursor.Ok())
        return false;
    Header->FieldsReadable = NamesFit && (Header->Interlace == 0 || Header->Interlace == 1) &&
                             Header->Records >= 0 && FieldsAgree(*Header, FileSizes, Offsets);
    return true;
}

} // namespace

bool ReadNumberTypeRecord(StructureCheck& Check, uint16_t Ref, NumberTypeRecord* Record) {
    std::vector<uint8_t> Bytes;
    // Hgetelement reads it whole into a 4-byte stack buffer: longer overruns
    // it, shorter leaves bytes of it unset.
    if (!Check.ReadPlain(Check.Find(HdfTag::NumberType, Ref), &Bytes) || Bytes.size() != 4)
        return Check.Refuse(StructureRule::NumberTypeRecordNotFourBytes);
    Record->Version = Bytes[0];
    Record->Type = Bytes[1];
    Record->Class = Bytes[3];
    // hdf_unmap_type fails on any other: SDstart falls back to the old-style
    // reader.
    return HdfType::SdMaps(Record->Type) ? true : Check.Refuse(StructureRule::NumberTypeUnmapped);
}

bool CheckNumberTypeRecord(StructureCheck& Check, uint16_t Ref, int32_t* Type) {
    NumberTypeRecord Record;
    if (!ReadNumberTypeRecord(Check, Ref, &Record))
        return false;
    *Type = Record.Type;
    if (Record.Version != 1 || (Record.Class != 0 && Record.Class != 1 && Record.Class != 4))
        return Check.Refuse(StructureRule::OldStyleNumberTypeUnconvertible);
    return true;
}

bool CheckVsetHeaders(StructureCheck& Check) {
    std::vector<uint8_t> Bytes;
    for (const Dd& Entry : Check.Dds) {
        const uint16_t Tag = HdfTag::Base(Entry.Tag);
        if (Entry.Tag == HdfTag::Null || (Tag != HdfTag::Vg && Tag != HdfTag::Vh))
            continue;
        if (Entry.HasNoPlace() || Entry.Length > MaxHeaderLength)
            return Check.Refuse(StructureRule::VsetHeaderUnreadable);
        if (!Check.ReadPlain(&Entry, &Bytes))
            return Check.Refuse(StructureRule::VsetHeaderUnreadable);
        if (Tag == HdfTag::Vg) {
            VgroupRecord Group;
            if (!ParseVgroup(Bytes, &Group))
                return Check.Refuse(StructureRule::VgroupRecordInconsistent);
            Check.Vgroups.Add(Entry.Ref, std::move(Group));
        } else {
            VdataHeader Header;
            StructureRule Rule = StructureRule::VdataHeaderInconsistent;
            if (!ParseVdata(Bytes, &Header, &Rule))
                return Check.Refuse(Rule);
            Check.Vdatas.Add(Entry.Ref, std::move(Header));
        }
    }
    Check.Vgroups.Sort();
    Check.Vdatas.Sort();
    return true;
}
