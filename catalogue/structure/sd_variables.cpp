// The netCDF-style structure that HDF4's SD writer keeps in vgroups: the
// CDF0.0 vgroup, its dimensions (Dim0.0, UDim0.0 with their DimVal vdatas),
// its variables (Var0.0) and attributes (Attr0.0). SDstart's readers copy
// names and classes into 256- and 128-byte stack buffers, read a dimension's
// size into a 4-byte variable, iterate entries by ref (a repeated ref loops
// for ever), index a dimension table that may not exist, and divide by a
// record size that a huge extent wraps to 0. A file whose structure breaks any
// of that is refused here rather than left to HDF4's fallback reader. When
// none of it is broken, hdf_read_xdr_cdf succeeds and HDF4 never reads the
// old-style groups of the file.
//
// The variables are numbered as hdf_read_vars lists them, which is the index
// SDselect takes, so that a data set whose values HDF4 must not read can be
// named and kept from SDreaddata alone.
#include "catalogue/structure/structure_context.h"

#include <unordered_set>

namespace {

constexpr int64_t MaxAttributeBytes = (int64_t(1) << 31) - 2;
constexpr int64_t MaxDataBytes = int64_t(1) << 62;

struct Dimension {
    std::string Name;
    int32_t Size = 0;
    bool Unlimited = false;
};

// hdf_read_vars' var_type: the class of the last vdata entry of a variable,
// kept from the variable before when a variable has none (HDF4 sets it only
// when it meets a vdata, and never resets it).
enum class VarKind { Unknown, SdsVar, CoordVar };

// What SDIgetcoordvar weighs when SDgetdimscale looks for a dimension's
// scale, and whether SDreaddata may read the variable.
struct VariableFacts {
    std::string Name;
    size_t Rank = 0;
    VarKind Kind = VarKind::Unknown;
    std::optional<StructureRule> KeptOut;
    bool Dropped = false; // not among the data sets HDF4 lists
};

// hdf_read_vars takes a number type of another version, or of a byte order
// other than big-endian IEEE, as little-endian (class 4) or as this
// machine's own (class 1 for characters, 4 for numbers on the little-endian
// machines the add-on runs on); any other it cannot convert, and it drops
// the variable.
bool DropsVariable(const NumberTypeRecord& Record) {
    constexpr uint8_t LittleEndian = 4;
    const uint8_t Native = (Record.Type & 0xFF) == 3 || (Record.Type & 0xFF) == 4 ? 1 : 4;
    if (Record.Version == 1 && (Record.Class == 0 || Record.Class == 1))
        return false;
    return Record.Class != LittleEndian && Record.Class != Native;
}

// hdf_unmap_type: the netCDF type an HDF number type is read as. HDF4 fills
// unwritten data with vp->szof bytes of the _FillValue attribute's values,
// whatever their type: only a fill of the data's netCDF type fills with
// whole values of the data's own representation.
class SdStructure {
  public:
    SdStructure(StructureCheck& Check, const VgroupRecord& Cdf) : Check(Check), Cdf(Cdf) {}
    bool CheckAll();

  private:
    bool CheckEntries();
    bool CheckDimensions();
    bool CheckDimension(uint16_t Ref, const VgroupRecord& Group);
    bool DimensionValue(uint16_t Ref, const VdataHeader& Header, int32_t* Value);
    bool CheckVariable(const VgroupRecord& Var, VariableFacts* Facts);
    bool CheckAttribute(uint16_t Ref, const VdataHeader& Header);
    bool CheckVdataEntry(uint16_t Ref, const VdataHeader& Header);
    bool CheckDataElements(const std::vector<uint16_t>& Refs, const DataContext& Data,
                           DataElementFacts* Facts);
    std::optional<StructureRule> FillValueRule(const VgroupRecord& Var, int32_t Type) const;
    void NameKeptOutScales(const std::vector<VariableFacts>& Variables);

    StructureCheck& Check;
    const VgroupRecord& Cdf;
    std::vector<Dimension> Dimensions;             // as hdf_read_dims registers them
    std::unordered_map<uint16_t, size_t> DimByRef; // CDF entry ref to Dimensions
    VarKind LastKind = VarKind::Unknown;           // carried from variable to variable
};

bool IsDimensionClass(const std::string& Class) {
    return Class == "Dim0.0" || Class == "UDim0.0";
}

// A name Vinquire copies with strcpy into a 256-byte stack buffer: up to its
// first zero byte, at most 255 characters. A record that declares no name
// leaves HDF4 a null name, which strcpy follows; an empty one becomes a
// netCDF string without values, which hdf_read_dims and NC_dimid pass to
// strcmp.
bool NameFits(const VgroupRecord& Group) {
    return Group.NameLength >= 1 && !Group.Name.empty() &&
           Group.Name.size() <= size_t(Hdf4::MaxNameLength);
}

// Vgetnext as HDF4 has it: the ref of the entry after the first vgroup or
// vdata entry of ref Id (of the first entry, for -1), when that entry is a
// vgroup or vdata too; -1 (FAIL) otherwise. It matches refs alone, so a ref
// that a vgroup and a vdata entry share, or one named twice, can lead back.
int32_t NextEntry(const VgroupRecord& Group, int32_t Id) {
    auto IsVset = [&Group](size_t At) {
        return Group.Tags[At] == HdfTag::Vg || Group.Tags[At] == HdfTag::Vh;
    };
    const size_t Count = Group.Tags.size();
    if (Count == 0)
        return -1;
    if (Id == -1 && IsVset(0))
        return Group.Refs[0];
    for (size_t At = 0; At < Count; ++At) {
        if (!IsVset(At) || Group.Refs[At] != uint16_t(Id))
            continue;
        return At + 1 < Count && IsVset(At + 1) ? Group.Refs[At + 1] : -1;
    }
    return -1;
}

// Visvg and Visvs: some entry is a vgroup (a vdata) of this ref.
bool HasEntry(const VgroupRecord& Group, uint16_t Tag, int32_t Id) {
    for (size_t At = 0; At < Group.Tags.size(); ++At)
        if (Group.Tags[At] == Tag && Group.Refs[At] == uint16_t(Id))
            return true;
    return false;
}

// hdf_read_dims walks the SD vgroup's entries with Vgetnext and registers the
// dimension vgroups it meets: a walk that leads back to a ref loops for ever.
// It stops at the first entry that is not a vgroup or vdata. An entry whose
// vgroup is gone (Vdelete leaves the entry behind) fails Vattach, which
// hdf_read_dims and hdf_read_vars skip.
bool SdStructure::CheckDimensions() {
    std::unordered_set<int32_t> Walked;
    for (int32_t Id = NextEntry(Cdf, -1); Id != -1; Id = NextEntry(Cdf, Id)) {
        if (!Walked.insert(Id).second)
            return Check.Refuse(StructureRule::SdVgroupRepeatsRef);
        const VgroupRecord* Group =
            HasEntry(Cdf, HdfTag::Vg, Id) ? Check.Vgroups.Find(uint16_t(Id)) : nullptr;
        if (Group != nullptr && IsDimensionClass(Group->Class) &&
            !CheckDimension(uint16_t(Id), *Group))
            return false;
    }
    return true;
}

// hdf_read_vars and hdf_num_attrs take the entries in order: Vgetclass copies
// each vgroup's class into a 128-byte stack buffer; an attribute vdata that
// is gone makes hdf_num_attrs fail, and HDF4 then keeps no file attributes.
bool SdStructure::CheckEntries() {
    for (size_t I = 0; I < Cdf.Tags.size(); ++I) {
        const uint16_t Tag = Cdf.Tags[I], Ref = Cdf.Refs[I];
        if (Tag == HdfTag::Vg) {
            const VgroupRecord* Group = Check.Vgroups.Find(Ref);
            if (Group != nullptr && Group->Class.size() > size_t(Hdf4::MaxClassLength))
                return Check.Refuse(StructureRule::SdVgroupEntryUnreadable);
        } else if (Tag == HdfTag::Vh) {
            const VdataHeader* Header = Check.Vdatas.Find(Ref);
            if (Header != nullptr && !CheckVdataEntry(Ref, *Header))
                return false;
        }
    }
    return true;
}

// The size a DimVal vdata gives when HDF4 reads its one value into an int32.
bool SdStructure::DimensionValue(uint16_t Ref, const VdataHeader& Header, int32_t* Value) {
    if (!RequireReadableFields(Check, Header))
        return false;
    if (Header.Fields.size() != 1 || Header.Fields[0].Type != 24 || Header.Fields[0].Order != 1 ||
        Header.RecordSize != 4 || Header.Interlace != 0 || Header.Records < 1)
        return Check.Refuse(StructureRule::DimensionSizeOverrun);
    std::vector<uint8_t> Bytes;
    if (!CheckVdataStorage(Check, Ref, Header, 4, &Bytes))
        return false;
    *Value = ByteCursor(Bytes).I32();
    return *Value >= 0 ? true : Check.Refuse(StructureRule::NegativeDimensionSize);
}

// hdf_read_dims walks a dimension vgroup as it walks the SD vgroup, and reads
// the size from each vdata it meets: a vdata that is gone fails VSattach, and
// with it SDstart's reading of the SD vgroup; a vdata of another class leaves
// the size of the one before (or none) in place.
bool SdStructure::CheckDimension(uint16_t Ref, const VgroupRecord& Group) {
    if (!NameFits(Group))
        return Check.Refuse(StructureRule::DimensionNameUnholdable);
    Dimension Dim;
    Dim.Name = Group.Name;
    Dim.Unlimited = Group.Class == "UDim0.0";
    bool Sized = false;
    std::unordered_set<int32_t> Walked;
    for (int32_t Id = NextEntry(Group, -1); Id != -1; Id = NextEntry(Group, Id)) {
        if (!Walked.insert(Id).second)
            return Check.Refuse(StructureRule::DimensionVgroupUnreadable);
        if (!HasEntry(Group, HdfTag::Vh, Id))
            continue; // Visvs: a vgroup entry is passed over
        const uint16_t ValuesRef = uint16_t(Id);
        const VdataHeader* Header = Check.Vdatas.Find(ValuesRef);
        if (Header == nullptr)
            return Check.Refuse(StructureRule::DimensionVgroupUnreadable);
        const VdataHeader& Values = *Header;
        int32_t Size = 0;
        if (Values.Class == "DimVal0.1" || (Dim.Unlimited && Values.Class == "DimVal0.0")) {
            if (!DimensionValue(ValuesRef, Values, &Size))
                return false;
        } else if (Values.Class == "DimVal0.0") {
            // VSQuerycount gives the record count as the size.
            if (!RequireReadableFields(Check, Values) ||
                !CheckVdataStorage(Check, ValuesRef, Values, 0, nullptr))
                return false;
            Size = Values.Records;
        } else {
            return Check.Refuse(StructureRule::DimensionVgroupUnreadable);
        }
        // HDF4 registers one dimension per size it finds in the group, in a
        // table as long as the SD vgroup's entries: sizes that disagree
        // could overrun it.
        if (Sized && Size != Dim.Size)
            return Check.Refuse(StructureRule::DimensionWithTwoSizes);
        Dim.Size = Size;
        Sized = true;
    }
    // No size: HDF4 registers no dimension, and every variable over it
    // fails NC_dimid.
    if (!Sized)
        return Check.Refuse(StructureRule::DimensionVgroupUnreadable);
    DimByRef[Ref] = Dimensions.size();
    Dimensions.push_back(Dim);
    return true;
}

bool SdStructure::CheckAttribute(uint16_t Ref, const VdataHeader& Header) {
    if (!RequireReadableFields(Check, Header))
        return false;
    // HDF4 joins the field names with commas into a 100-byte stack buffer and
    // splits them again.
    size_t ListLength = 0;
    int64_t RecordBytes = 0;
    for (const VdataField& Field : Header.Fields) {
        if (Field.Name.empty() || Field.Name[0] == ' ' || Field.Name.find(',') != std::string::npos)
            return Check.Refuse(StructureRule::AttributeFieldNamesSplit);
        ListLength += Field.Name.size() + 1;
        RecordBytes += int64_t(Field.Order) * Field.Size;
    }
    if (Header.Fields.empty() || ListLength > size_t(Hdf4::AttributeFieldListLength) + 1)
        return Check.Refuse(StructureRule::AttributeFieldNamesOverrun);
    if (!HdfType::SdMaps(Header.Fields[0].Type) || Header.Records < 1 ||
        RecordBytes * Header.Records > MaxAttributeBytes)
        return Check.Refuse(StructureRule::AttributeUnreadable);
    return CheckVdataStorage(Check, Ref, Header, RecordBytes * Header.Records, nullptr);
}

// A vdata entry of the SD vgroup or of a variable: an attribute, which
// hdf_read_attrs reads, or one VSattach alone starts on.
bool SdStructure::CheckVdataEntry(uint16_t Ref, const VdataHeader& Header) {
    return Header.Class == "Attr0.0" ? CheckAttribute(Ref, Header)
                                     : CheckVdataStorage(Check, Ref, Header, 0, nullptr);
}

// hdf_read_vars asks Hlength of every data element it meets and keeps the
// last: *Facts are the last one's.
bool SdStructure::CheckDataElements(const std::vector<uint16_t>& Refs, const DataContext& Data,
                                    DataElementFacts* Facts) {
    for (uint16_t Ref : Refs)
        if (!CheckDataElement(Check, Check.Find(HdfTag::Sd, Ref), Data, Facts))
            return false;
    return true;
}

// Where hdf_xdr_NCvdata must fill (no data element, one never written, or
// one of length 0), it copies vp->szof bytes per value from the first
// _FillValue attribute (NC_findattr), whatever that attribute holds: a fill
// of another netCDF type reads past a smaller one or reinterprets the bytes.
// None when the fill HDF4 would use is one value of the data's own type, or
// HDF4's default.
std::optional<StructureRule> SdStructure::FillValueRule(const VgroupRecord& Var,
                                                        int32_t Type) const {
    for (size_t I = 0; I < Var.Tags.size(); ++I) {
        if (Var.Tags[I] != HdfTag::Vh)
            continue;
        const VdataHeader& Header = *Check.Vdatas.Find(Var.Refs[I]);
        if (Header.Class != "Attr0.0" || Header.Name != "_FillValue")
            continue;
        return HdfType::NetCdfType(Header.Fields[0].Type) == HdfType::NetCdfType(Type)
                   ? std::nullopt
                   : std::optional(StructureRule::FillValueOfOtherType);
    }
    return std::nullopt;
}

bool SdStructure::CheckVariable(const VgroupRecord& Var, VariableFacts* Facts) {
    if (!NameFits(Var))
        return Check.Refuse(StructureRule::VariableNameUnholdable);
    Facts->Name = Var.Name;
    std::vector<const Dimension*> Dims;
    bool HasNumberType = false;
    int32_t Type = 0;
    std::vector<uint16_t> DataRefs;
    for (size_t I = 0; I < Var.Tags.size(); ++I) {
        const uint16_t Tag = Var.Tags[I], Ref = Var.Refs[I];
        if (Tag == HdfTag::Vg) {
            const VgroupRecord* Group = Check.Vgroups.Find(Ref);
            if (Group == nullptr || Group->Class.size() > size_t(Hdf4::MaxClassLength))
                return Check.Refuse(StructureRule::VariableEntryUnreadable);
            if (!IsDimensionClass(Group->Class))
                continue;
            // HDF4 finds the dimension by name among those the CDF0.0
            // vgroup registered, and takes the first of that name.
            if (DimByRef.count(Ref) == 0)
                return Check.Refuse(StructureRule::VariableOverUnlistedDimension);
            const Dimension* Dim = nullptr;
            for (const Dimension& Candidate : Dimensions)
                if (Dim == nullptr && Candidate.Name == Group->Name)
                    Dim = &Candidate;
            if (Dim->Unlimited && !Dims.empty())
                return Check.Refuse(StructureRule::UnlimitedDimensionNotFirst);
            Dims.push_back(Dim);
            if (Dims.size() > size_t(Hdf4::MaxVarDims) || Dims.size() > Cdf.Tags.size())
                return Check.Refuse(StructureRule::VariableOfTooManyDimensions);
        } else if (Tag == HdfTag::Vh) {
            const VdataHeader* Header = Check.Vdatas.Find(Ref);
            if (Header == nullptr)
                return Check.Refuse(StructureRule::VariableEntryUnreadable);
            if (!CheckVdataEntry(Ref, *Header))
                return false;
            LastKind = Header->Class == "SDSVar"     ? VarKind::SdsVar
                       : Header->Class == "CoordVar" ? VarKind::CoordVar
                                                     : VarKind::Unknown;
        } else if (Tag == HdfTag::NumberType) {
            HasNumberType = true;
            NumberTypeRecord Record;
            if (!ReadNumberTypeRecord(Check, Ref, &Record))
                return false;
            Type = Record.Type;
            if (DropsVariable(Record)) {
                // HDF4 stops reading the variable at this entry and leaves
                // it out; the data elements it has met by then it has
                // started (Hlength), never to read them.
                DataElementFacts Element;
                Facts->Dropped = true;
                return CheckDataElements(DataRefs, DataContext(), &Element);
            }
        } else if (Tag == HdfTag::Sd) {
            DataRefs.push_back(Ref);
        }
    }
    // Without one, hdf_read_vars builds the variable as NC_UNSPECIFIED, of a
    // value size of -1, with the HDF type of the variable read before it:
    // SDstart succeeds and reports a type the data do not have. Of several,
    // each is read and the last kept.
    if (!HasNumberType)
        return Check.Refuse(StructureRule::VariableWithoutNumberType);
    Facts->Rank = Dims.size();
    Facts->Kind = LastKind;

    const int32_t ValueSize = HdfType::Size(Type);
    int64_t Bytes = ValueSize;
    for (size_t D = 0; D < Dims.size(); ++D) {
        const int64_t Size = Dims[D]->Size;
        if (D > 0 && Size < 1)
            return Check.Refuse(StructureRule::EmptyDimensionNotFirst);
        // Judged before the product, which could pass 2^63.
        if (Bytes >= MaxDataBytes / std::max<int64_t>(Size, 1))
            return Check.Refuse(StructureRule::DataSetTooLargeForSizes);
        Bytes *= std::max<int64_t>(Size, 1);
    }
    if (DataRefs.empty()) {
        Facts->KeptOut = FillValueRule(Var, Type);
        return true;
    }
    DataContext Data;
    Data.Rank = int32_t(Dims.size());
    Data.ValueSize = ValueSize;
    Data.Unlimited = !Dims.empty() && Dims[0]->Unlimited;
    if (!Data.Unlimited)
        Data.Bytes = Bytes;
    DataElementFacts Element;
    if (!CheckDataElements(DataRefs, Data, &Element))
        return false;
    Facts->KeptOut = Element.KeptOut;
    if (!Facts->KeptOut && Element.HoldsNoData())
        Facts->KeptOut = FillValueRule(Var, Type);
    return true;
}

// SDgetdimscale reads the scale of a dimension from the first variable that
// SDIgetcoordvar finds: of rank 1, of the dimension's name, and not marked
// as a data set (SDSVar). Where that variable's values are kept out, so is
// the scale.
void SdStructure::NameKeptOutScales(const std::vector<VariableFacts>& Variables) {
    std::unordered_set<std::string> Decided;
    for (const VariableFacts& Var : Variables) {
        if (Var.Rank != 1 || Var.Kind == VarKind::SdsVar || !Decided.insert(Var.Name).second)
            continue;
        if (Var.KeptOut)
            Check.ScalesKeptOut.push_back(Var.Name);
    }
}

bool SdStructure::CheckAll() {
    if (!CheckEntries() || !CheckDimensions())
        return false;
    std::vector<VariableFacts> Variables;
    for (size_t I = 0; I < Cdf.Tags.size(); ++I) {
        const VgroupRecord* Group =
            Cdf.Tags[I] == HdfTag::Vg ? Check.Vgroups.Find(Cdf.Refs[I]) : nullptr;
        if (Group == nullptr || Group->Class != "Var0.0")
            continue;
        VariableFacts Facts;
        if (!CheckVariable(*Group, &Facts))
            return false;
        if (Facts.Dropped)
            continue;
        if (Facts.KeptOut)
            Check.KeptOut.push_back(
                {int32_t(Variables.size()), StructureRuleWords(*Facts.KeptOut)});
        Variables.push_back(std::move(Facts));
    }
    NameKeptOutScales(Variables);
    return true;
}

} // namespace

bool CheckSdVariables(StructureCheck& Check) {
    // SDstart takes the CDF0.0 vgroup of the lowest ref, as Vfindclass does.
    const VgroupRecord* Cdf = nullptr;
    uint16_t CdfRef = 0;
    for (const auto& [Ref, Group] : Check.Vgroups) {
        if (Group.Class == "CDF0.0" && (Cdf == nullptr || Ref < CdfRef)) {
            Cdf = &Group;
            CdfRef = Ref;
        }
    }
    Check.HasCdfStructure = Cdf != nullptr;
    // hdf_read_xdr_cdf finds it with Vfindclass, which compares classes in
    // place, and copies neither its name nor any vgroup's class: those copies
    // are compiled only under DEBUG and OLD_WAY. HDF4 names the vgroup after
    // the path the writer opened, which may be long.
    if (Cdf == nullptr)
        return true;
    SdStructure Structure(Check, *Cdf);
    return Structure.CheckAll();
}
