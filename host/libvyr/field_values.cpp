// Field-value references and the store behind VyrUtilDataValueSetByRef,
// which runs once per value the add-on stores: it checks the reference and
// the point index, then stores the value in the variable's field data type.
// Values arrive as doubles and are stored the way a C cast would store them,
// except that values the type cannot hold saturate instead of being
// undefined.
//
// The checks look nothing up: every field-value reference is a slot of one
// static array that is never freed. An address outside the array or off a
// slot's start is foreign; a slot whose generation is not the host's
// current one is stale (its data set was replaced, or the host reset).
#include "host_state.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

using namespace VyrHost::Detail;

namespace {

// Truncates toward zero as a C cast does; NaN becomes 0 and values beyond
// the type's range become its nearest bound.
template <typename T> T SaturatedInteger(double Value) {
    if (std::isnan(Value))
        return 0;
    if (Value <= double(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (Value >= double(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(Value);
}

template <typename T> void StoreAt(unsigned char* Values, uint32_t Point, T Value) {
    std::memcpy(Values + size_t(Point) * sizeof(T), &Value, sizeof Value);
}

// A double beyond the largest float lies between it and an infinity, so
// C++ leaves the choice between the two to the compiler rather than leaving
// the conversion undefined, and GCC rounds as IEEE conversion does, in the
// current rounding mode: to the nearer, the infinity from half an ulp above
// FLT_MAX. NaN stays NaN.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "IEEE float and double");

// Stores Value at Point (from 0) of a live reference's array. The field
// data types were checked when the zone was added.
void Store(const VyrFieldData_s& Ref, uint32_t Point, double Value) {
    switch (Ref.FieldType) {
    case 1:
        StoreAt(Ref.Values, Point, static_cast<float>(Value));
        break;
    case 2:
        StoreAt(Ref.Values, Point, Value);
        break;
    case 3:
        StoreAt(Ref.Values, Point, SaturatedInteger<int32_t>(Value));
        break;
    case 4:
        StoreAt(Ref.Values, Point, SaturatedInteger<int16_t>(Value));
        break;
    case 5:
        StoreAt(Ref.Values, Point, SaturatedInteger<uint8_t>(Value));
        break;
    default:
        break;
    }
}

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
// Only a slot of the array is read, never the address Ref itself.
VyrFieldData_s* LiveRef(VyrFieldData_pa Ref) {
    const uintptr_t Offset =
        reinterpret_cast<uintptr_t>(Ref) - reinterpret_cast<uintptr_t>(&RefSlots[0]);
    if (Offset >= sizeof RefSlots || Offset % sizeof(VyrFieldData_s) != 0)
        return nullptr;
    VyrFieldData_s& Slot = RefSlots[Offset / sizeof(VyrFieldData_s)];
    return Slot.Generation == RefGeneration ? &Slot : nullptr;
}

uint32_t ZoneVarKey(VyrEntIndex_t Zone, VyrEntIndex_t Var) {
    return uint32_t(uint16_t(Zone)) << 16 | uint16_t(Var);
}

} // namespace

namespace VyrHost::Detail {

void DropFieldRefs() {
    if (++RefGeneration == 0)
        RefGeneration = 1;
    RefsThisGeneration = 0;
    State().RefsByZoneVar.clear();
}

} // namespace VyrHost::Detail

extern "C" {

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
                          Z.FieldTypes[size_t(Var) - 1],
                          Z.Storage[size_t(Var) - 1].data()};
    S.RefsByZoneVar.emplace(ZoneVarKey(Zone, Var), Ref);
    return Ref;
}

void VyrUtilDataValueSetByRef(VyrFieldData_pa FieldData, VyrLgIndex_t PointIndex, double Value) {
    const VyrFieldData_s* Ref = LiveRef(FieldData);
    if (Ref == nullptr) {
        HostError("VyrUtilDataValueSetByRef: %s field-value reference",
                  FieldData == nullptr ? "null" : "unknown");
        return;
    }
    if (PointIndex < 1 || uint32_t(PointIndex) > Ref->Points) {
        HostError("VyrUtilDataValueSetByRef: point %d outside 1..%lld of zone %d", PointIndex,
                  static_cast<long long>(Ref->Points), Ref->Zone);
        return;
    }
    Store(*Ref, uint32_t(PointIndex) - 1, Value);
}

} // extern "C"
