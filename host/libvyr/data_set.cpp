// The host's data set: title, variables and ordered zones, one typed array
// per variable in the field data type the zone was given. Values arrive as
// doubles and are stored the way a C cast would store them, except that
// values the type cannot hold saturate instead of being undefined.
//
// VyrUtilDataValueSetByRef runs once per stored value, so its checks look
// nothing up: every field-value reference is a slot of one static array
// that is never freed. An address outside the array or off a slot's start
// is foreign; a slot whose generation is not the host's current one is
// stale (its data set was replaced, or the host reset).
#include "host_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#if defined(__i386__) && defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace VyrHost::Detail;

namespace {

constexpr VyrFieldType_t FieldFloat = 1, FieldDouble = 2, FieldInt32 = 3, FieldInt16 = 4,
                         FieldByte = 5;

int32_t ElementSize(VyrFieldType_t Type) {
    switch (Type) {
    case FieldFloat:
        return 4;
    case FieldDouble:
        return 8;
    case FieldInt32:
        return 4;
    case FieldInt16:
        return 2;
    case FieldByte:
        return 1;
    default:
        return 0;
    }
}

template <typename T> void StoreAs(unsigned char* Slot, T Value) {
    std::memcpy(Slot, &Value, sizeof Value);
}
template <typename T> double LoadAs(const unsigned char* Slot) {
    T Value;
    std::memcpy(&Value, Slot, sizeof Value);
    return double(Value);
}

// The stores a reference holds, one per field data type (the types are
// checked when the zone is added), each taking VyrUtilDataValueSetByRef's
// checked arguments. A value is stored as a C cast would store it, except
// that values the type cannot hold saturate instead of being undefined.
using StoreFunction = void (*)(VyrFieldData_s*, VyrLgIndex_t, double);

// Where point PointIndex (from 1) of an array of T starts: the index is
// widened unsigned first, so that the 1 folds into the store's address.
template <typename T> unsigned char* PointSlot(VyrFieldData_s* Ref, VyrLgIndex_t PointIndex) {
    return Ref->Values + (size_t(uint32_t(PointIndex)) - 1) * sizeof(T);
}

// Truncates toward zero as a C cast does; NaN becomes 0 and values beyond
// the type's range become its nearest bound. For the values the common case
// leaves (a few in range among them), and reached by a jump, so that the
// common case saves nothing on the stack.
#if __has_attribute(noipa)
#define STORE_SATURATED_ATTRIBUTES noipa, cold // GCC: no clone with fewer arguments
#else
#define STORE_SATURATED_ATTRIBUTES noinline, cold
#endif
template <typename T>
__attribute__((STORE_SATURATED_ATTRIBUTES)) void
StoreSaturated(VyrFieldData_s* Ref, VyrLgIndex_t PointIndex, double Value) {
    T Stored;
    if (std::isnan(Value))
        Stored = 0;
    else if (Value <= double(std::numeric_limits<T>::min()))
        Stored = std::numeric_limits<T>::min();
    else if (Value >= double(std::numeric_limits<T>::max()))
        Stored = std::numeric_limits<T>::max();
    else
        Stored = static_cast<T>(Value);
    StoreAs(PointSlot<T>(Ref, PointIndex), Stored);
}

// An integer store's common case: every value strictly between the type's
// least value less one and its largest value plus one truncates into the
// type, and NaN fails both tests; every other value takes the cold path.
// A 32-bit x86 build converts first instead and tests the result: a 32-bit
// position-independent library reaches the bounds, constants in memory,
// only through its GOT, while cvttsd2si needs none and gives 0x80000000 for
// a value that no int32 holds, so a result inside the type's range is the C
// cast's. On 64 bits the bounds are at hand, and testing before converting
// is the faster of the two there.
template <typename T>
void StoreInteger(VyrFieldData_s* Ref, VyrLgIndex_t PointIndex, double Value) {
#if defined(__i386__) && defined(__SSE2__)
    const int32_t Truncated = _mm_cvttsd_si32(_mm_set_sd(Value));
    if constexpr (sizeof(T) == 4) {
        if (Truncated != INT32_MIN) {
            StoreAs(PointSlot<T>(Ref, PointIndex), static_cast<T>(Truncated));
            return;
        }
    } else {
        // Counted from the type's least value, the result is in range when
        // it is below the type's count of values; the bias comes off again
        // in the stored bits, so no second register holds the value.
        constexpr uint32_t Least = uint32_t(std::numeric_limits<T>::min());
        constexpr uint32_t Span = uint32_t(std::numeric_limits<T>::max()) - Least;
        const uint32_t FromLeast = uint32_t(Truncated) - Least;
        if (FromLeast <= Span) {
            StoreAs(PointSlot<T>(Ref, PointIndex), static_cast<T>(FromLeast + Least));
            return;
        }
    }
#else
    if (Value > double(std::numeric_limits<T>::min()) - 1.0 &&
        Value < double(std::numeric_limits<T>::max()) + 1.0) {
        StoreAs(PointSlot<T>(Ref, PointIndex), static_cast<T>(Value));
        return;
    }
#endif
    StoreSaturated<T>(Ref, PointIndex, Value);
}

// A double beyond the largest float lies between it and an infinity, so
// C++ leaves the choice between the two to the compiler rather than leaving
// the conversion undefined, and GCC rounds as IEEE conversion does, in the
// current rounding mode: to the nearer, the infinity from half an ulp above
// FLT_MAX. NaN stays NaN. A test of the value first would only cost time.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "IEEE float and double");
void StoreFloat(VyrFieldData_s* Ref, VyrLgIndex_t PointIndex, double Value) {
    StoreAs(PointSlot<float>(Ref, PointIndex), static_cast<float>(Value));
}
void StoreDouble(VyrFieldData_s* Ref, VyrLgIndex_t PointIndex, double Value) {
    StoreAs(PointSlot<double>(Ref, PointIndex), Value);
}
void StoreNothing(VyrFieldData_s*, VyrLgIndex_t, double) {}

constexpr StoreFunction StoreByType[] = {StoreNothing,          StoreFloat,
                                         StoreDouble,           StoreInteger<int32_t>,
                                         StoreInteger<int16_t>, StoreInteger<uint8_t>};

double LoadValue(const unsigned char* Slot, VyrFieldType_t Type) {
    switch (Type) {
    case FieldFloat:
        return LoadAs<float>(Slot);
    case FieldDouble:
        return LoadAs<double>(Slot);
    case FieldInt32:
        return LoadAs<int32_t>(Slot);
    case FieldInt16:
        return LoadAs<int16_t>(Slot);
    case FieldByte:
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

// ---- Field-value references ----
// A slot is handed out again only after RefSlotCount newer references, and
// never twice within one generation; 2^20 slots cover the largest data set
// the add-on makes (32,767 zones of 4 variables) eight times over. The
// array takes address space, not memory: only slots handed out are touched.
constexpr size_t RefSlotCount = size_t(1) << 20;
VyrFieldData_s RefSlots[RefSlotCount];
size_t NextRefSlot = 0;
size_t RefsThisGeneration = 0;
// Slots start at generation 0, which is never current. 32 bits: a stale
// slot would pass again only after 2^32 data sets and a million newer
// references.
uint32_t RefGeneration = 1;

// The live reference that Ref is, or null for a null, foreign or stale one.
// Only an address that is a slot's start is read.
inline VyrFieldData_s* LiveRef(VyrFieldData_pa Ref) {
    const uintptr_t Offset =
        reinterpret_cast<uintptr_t>(Ref) - reinterpret_cast<uintptr_t>(&RefSlots[0]);
    // The offset rotated right by a slot's 5 bits is the slot's number when
    // the offset is a slot's start, and has high bits set when it is not:
    // one test for both.
    constexpr unsigned SlotBits = 5, WordBits = sizeof(uintptr_t) * 8;
    static_assert(sizeof(VyrFieldData_s) == 1u << SlotBits, "a slot is 2^SlotBits bytes");
    if (((Offset >> SlotBits) | (Offset << (WordBits - SlotBits))) >= RefSlotCount)
        return nullptr;
    return Ref->Generation == RefGeneration ? Ref : nullptr;
}

// The host error for a store that VyrUtilDataValueSetByRef refuses; out of
// line, so that the accepted store's path stays short. It takes the
// entry's own arguments, so that the entry reaches it by a jump and keeps
// nothing of its own across the tests.
__attribute__((noinline, cold)) void RefuseStore(VyrFieldData_pa FieldData, VyrLgIndex_t PointIndex,
                                                 double) {
    const VyrFieldData_s* Ref = LiveRef(FieldData);
    if (Ref == nullptr)
        HostError("VyrUtilDataValueSetByRef: %s field-value reference",
                  FieldData == nullptr ? "null" : "unknown");
    else
        HostError("VyrUtilDataValueSetByRef: point %d outside 1..%lld of zone %d", PointIndex,
                  static_cast<long long>(Ref->Points), Ref->Zone);
}

uint32_t ZoneVarKey(VyrEntIndex_t Zone, VyrEntIndex_t Var) {
    return uint32_t(uint16_t(Zone)) << 16 | uint16_t(Var);
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

namespace VyrHost::Detail {

void DropFieldRefs() {
    if (++RefGeneration == 0)
        RefGeneration = 1;
    RefsThisGeneration = 0;
    State().RefsByZoneVar.clear();
}

} // namespace VyrHost::Detail

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
    if (ZoneType != 0) {
        HostError("%s: zone type %d is not ordered (0)", Op, ZoneType);
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

VyrFieldData_pa VyrUtilDataValueGetRef(VyrEntIndex_t Zone, VyrEntIndex_t Var) {
    const char* Op = "VyrUtilDataValueGetRef";
    HostState& S = State();
    if (!S.Data) {
        HostError("%s: no data set", Op);
        return nullptr;
    }
    if (Zone < 1 || size_t(Zone) > S.Data->Zones.size() || Var < 1 ||
        size_t(Var) > S.Data->VarNames.size()) {
        HostError("%s: zone %d, variable %d outside 1..%zu, 1..%zu", Op, Zone, Var,
                  S.Data->Zones.size(), S.Data->VarNames.size());
        return nullptr;
    }
    const auto Known = S.RefsByZoneVar.find(ZoneVarKey(Zone, Var));
    if (Known != S.RefsByZoneVar.end())
        return Known->second;
    if (RefsThisGeneration == RefSlotCount) {
        HostError("%s: more than %zu references for one data set", Op, RefSlotCount);
        return nullptr;
    }
    // The zone's arrays stay where they are until the data set is replaced,
    // which makes the reference stale: it may point at them.
    VyrHost::Zone& Z = S.Data->Zones[size_t(Zone) - 1];
    VyrFieldData_s* Ref = &RefSlots[NextRefSlot];
    NextRefSlot = (NextRefSlot + 1) % RefSlotCount;
    ++RefsThisGeneration;
    *Ref = VyrFieldData_s{RefGeneration,
                          Zone,
                          Var,
                          uint32_t(std::min<int64_t>(Z.PointCount(), INT32_MAX)),
                          Z.Storage[size_t(Var) - 1].data(),
                          StoreByType[Z.FieldTypes[size_t(Var) - 1]]};
    S.RefsByZoneVar.emplace(ZoneVarKey(Zone, Var), Ref);
    return Ref;
}

void VyrUtilDataValueSetByRef(VyrFieldData_pa FieldData, VyrLgIndex_t PointIndex, double Value) {
    VyrFieldData_s* Ref = LiveRef(FieldData);
    // One unsigned test for 1 <= PointIndex <= Points.
    if (Ref != nullptr && uint32_t(PointIndex) - 1 < Ref->Points) {
        Ref->Store(Ref, PointIndex, Value);
        return;
    }
    RefuseStore(FieldData, PointIndex, Value);
}

} // extern "C"
