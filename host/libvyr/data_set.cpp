// The host's data set: title, variables and ordered zones, one typed array
// per variable in the field data type the zone was given, and the host's
// own message for a zone it cannot hold. The values come in through
// field-value references (field_values.cpp).
#include "host_state.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

using namespace VyrHost::Detail;

namespace {

int32_t ElementSize(VyrFieldType_t Type) {
    switch (Type) {
    case VYR_FIELD_TYPE_FLOAT:
        return 4;
    case VYR_FIELD_TYPE_DOUBLE:
        return 8;
    case VYR_FIELD_TYPE_INT32:
        return 4;
    case VYR_FIELD_TYPE_INT16:
        return 2;
    case VYR_FIELD_TYPE_BYTE:
        return 1;
    default:
        return 0;
    }
}

template <typename T> double LoadAs(const unsigned char* Slot) {
    T Value;
    std::memcpy(&Value, Slot, sizeof Value);
    return double(Value);
}

double LoadValue(const unsigned char* Slot, VyrFieldType_t Type) {
    switch (Type) {
    case VYR_FIELD_TYPE_FLOAT:
        return LoadAs<float>(Slot);
    case VYR_FIELD_TYPE_DOUBLE:
        return LoadAs<double>(Slot);
    case VYR_FIELD_TYPE_INT32:
        return LoadAs<int32_t>(Slot);
    case VYR_FIELD_TYPE_INT16:
        return LoadAs<int16_t>(Slot);
    case VYR_FIELD_TYPE_BYTE:
        return LoadAs<uint8_t>(Slot);
    default:
        return 0.0;
    }
}

// Bytes of one variable's array, or -1 when the product does not fit.
int64_t ArrayBytes(VyrLgIndex_t IMax, VyrLgIndex_t JMax, VyrLgIndex_t KMax, int32_t ElemSize) {
    int64_t Bytes = 0;
    if (__builtin_mul_overflow(int64_t(IMax), int64_t(JMax), &Bytes) ||
        __builtin_mul_overflow(Bytes, int64_t(KMax), &Bytes) ||
        __builtin_mul_overflow(Bytes, int64_t(ElemSize), &Bytes))
        return -1;
    return Bytes;
}

// Bytes as a person reads them: the exact count, and in GiB or MiB where
// that is shorter to take in.
void DescribeBytes(int64_t Bytes, char* Text, size_t Size) {
    const long long Count = Bytes;
    if (Bytes >= int64_t(1) << 30)
        std::snprintf(Text, Size, "%lld bytes (%.3g GiB)", Count, double(Bytes) / (1 << 30));
    else if (Bytes >= int64_t(1) << 20)
        std::snprintf(Text, Size, "%lld bytes (%.3g MiB)", Count, double(Bytes) / (1 << 20));
    else
        std::snprintf(Text, Size, "%lld bytes", Count);
}

// The host's own error message for a zone it cannot hold, shown as the
// add-on's are and before the loader's: without it a person sees only that
// the load failed, and takes a sound file for a damaged one. A message, not
// a host error: the add-on asked for nothing the host's rules forbid. Built
// in fixed buffers, since it may follow an allocation the system refused.
void RefuseZone(const VyrHost::Zone& Z, const char* Why) {
    char Message[512];
    std::snprintf(Message, sizeof Message, "The host cannot hold zone \"%.200s\" (%dx%dx%d): %s",
                  Z.Name.c_str(), int(Z.IMax), int(Z.JMax), int(Z.KMax), Why);
    VyrUtilDialogErrMsg(Message);
}

// Builds the zone's arrays, all zero; false, after the host's message, when
// the host cannot get the memory (over its limit or refused by the
// allocator).
bool AllocateStorage(VyrHost::Zone& Z) {
    const int64_t Limit = State().ZoneStorageLimit;
    int64_t Total = 0;
    bool Countable = true;
    for (VyrFieldType_t Type : Z.FieldTypes) {
        const int64_t Bytes = ArrayBytes(Z.IMax, Z.JMax, Z.KMax, ElementSize(Type));
        Countable = Countable && Bytes >= 0 && !__builtin_add_overflow(Total, Bytes, &Total);
    }
    char Needed[80], Granted[80], Why[256];
    if (Countable)
        DescribeBytes(Total, Needed, sizeof Needed);
    else
        std::snprintf(Needed, sizeof Needed, "more bytes than 64 bits count");
    if (!Countable || Total > Limit) {
        DescribeBytes(Limit, Granted, sizeof Granted);
        std::snprintf(Why, sizeof Why,
                      "its arrays need %s, more than the %s that the host grants one zone", Needed,
                      Granted);
        RefuseZone(Z, Why);
        return false;
    }
    try {
        Z.Storage.reserve(Z.FieldTypes.size());
        for (VyrFieldType_t Type : Z.FieldTypes)
            Z.Storage.emplace_back(size_t(ArrayBytes(Z.IMax, Z.JMax, Z.KMax, ElementSize(Type))));
    } catch (const std::bad_alloc&) {
        Z.Storage.clear();
        std::snprintf(Why, sizeof Why,
                      "the system did not give the host the %s that its arrays need", Needed);
        RefuseZone(Z, Why);
        return false;
    }
    return true;
}

} // namespace

namespace VyrHost {

double Zone::Value(int32_t Var, int64_t Point) const {
    if (Var < 1 || size_t(Var) > FieldTypes.size() || Point < 1 || Point > PointCount())
        throw std::out_of_range("Zone::Value: no such variable or point");
    const VyrFieldType_t Type = FieldTypes[size_t(Var) - 1];
    return LoadValue(
        Storage[size_t(Var) - 1].data() + size_t(Point - 1) * size_t(ElementSize(Type)), Type);
}

const DataSet* CurrentDataSet() {
    return State().Data ? &*State().Data : nullptr;
}

void SetZoneStorageLimit(int64_t Bytes) {
    State().ZoneStorageLimit = Bytes;
}

} // namespace VyrHost

extern "C" {

VyrBoolean_t VyrUtilDataSetIsAvailable(void) {
    return State().Data.has_value();
}

VyrBoolean_t VyrUtilDataSetCreate(const char* Title, VyrStringList_pa VarNames,
                                  VyrBoolean_t /*ResetStyle*/) {
    const char* Op = "VyrUtilDataSetCreate";
    if (!HasText(Title, Op, "title"))
        return false;
    VyrStringList_s* Names = LiveList(VarNames, Op);
    if (Names == nullptr)
        return false;
    if (ShouldFail(VyrHost::FailPoint::DataSetCreate, nullptr))
        return false;
    DropFieldRefs();
    State().Data = VyrHost::DataSet{Title, Names->Items, {}};
    return true;
}

VyrBoolean_t VyrUtilDataSetAddZone(const char* Name, VyrLgIndex_t IMax, VyrLgIndex_t JMax,
                                   VyrLgIndex_t KMax, int32_t ZoneType,
                                   const VyrFieldType_t* FieldTypes) {
    const char* Op = "VyrUtilDataSetAddZone";
    HostState& S = State();
    if (!S.Data) {
        HostError("%s: no data set", Op);
        return false;
    }
    if (!HasText(Name, Op, "zone name"))
        return false;
    if (IMax < 1 || JMax < 1 || KMax < 1) {
        HostError("%s: extents %dx%dx%d, each must be 1 or more", Op, IMax, JMax, KMax);
        return false;
    }
    if (ZoneType != VYR_ZONE_TYPE_ORDERED) {
        HostError("%s: zone type %d is not ordered (%d)", Op, ZoneType, VYR_ZONE_TYPE_ORDERED);
        return false;
    }
    const size_t VarCount = S.Data->VarNames.size();
    if (FieldTypes == nullptr && VarCount > 0) {
        HostError("%s: null field data types", Op);
        return false;
    }
    for (size_t Var = 0; Var < VarCount; ++Var)
        if (ElementSize(FieldTypes[Var]) == 0) {
            HostError("%s: field data type %d of variable %zu is not 1..5", Op, FieldTypes[Var],
                      Var + 1);
            return false;
        }
    if (S.Data->Zones.size() >= size_t(std::numeric_limits<VyrEntIndex_t>::max())) {
        HostError("%s: the data set holds the most zones it can", Op);
        return false;
    }
    if (ShouldFail(VyrHost::FailPoint::DataSetAddZone, nullptr))
        return false;

    VyrHost::Zone Z;
    Z.Name = Name;
    Z.ZoneType = ZoneType;
    Z.IMax = IMax;
    Z.JMax = JMax;
    Z.KMax = KMax;
    if (VarCount > 0)
        Z.FieldTypes.assign(FieldTypes, FieldTypes + VarCount);
    if (!AllocateStorage(Z))
        return false;
    S.Data->Zones.push_back(std::move(Z));
    return true;
}

} // extern "C"
