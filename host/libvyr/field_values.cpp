// Field-value references and the store behind VyrUtilDataValueSetByRef,
// which runs once per value the add-on stores: the typed stores, the
// reference slots, and the entry that checks a reference and a point index
// before it stores. Values arrive as doubles and are stored the way a C cast
// would store them, except that values the type cannot hold saturate
// instead of being undefined.
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

#if defined(__i386__) && defined(__SSE2__)
#include <emmintrin.h>
#endif

// A 32-bit ELF library built position-independent reaches its own data only
// through its GOT, whose address it must first call for, and GCC then saves
// two registers on every stored value: there the entry is written in
// assembly, at the end of this file, and reads the slots, the generation,
// the float store and the refusal by the names given here.
#if defined(__i386__) && defined(__PIC__) && defined(__ELF__) && defined(__SSE2__)
#define STORE_ENTRY_IN_ASSEMBLY 1
#define ASSEMBLY_NAME(Name) __asm__(Name) __attribute__((used))
#else
#define ASSEMBLY_NAME(Name)
#endif

using namespace VyrHost::Detail;

namespace {

template <typename T> void StoreAs(unsigned char* Slot, T Value) {
    std::memcpy(Slot, &Value, sizeof Value);
}

// The stores a reference holds, one per field data type (the types are
// checked when the zone is added), each taking a checked reference, the
// point from 0 and the value. A value is stored as a C cast would store it,
// except that values the type cannot hold saturate instead of being
// undefined.
using StoreFunction = void(VYR_STORE_CALL*)(VyrFieldData_s*, uint32_t, double);

template <typename T> unsigned char* PointSlot(VyrFieldData_s* Ref, uint32_t Point) {
    return Ref->Values + size_t(Point) * sizeof(T);
}

// For the cold functions reached by a jump with the arguments of their
// caller: they must take them as they are (GCC: no clone with fewer
// arguments).
#if __has_attribute(noipa)
#define JUMP_TARGET_ATTRIBUTES noipa, cold
#else
#define JUMP_TARGET_ATTRIBUTES noinline, cold
#endif

// Truncates toward zero as a C cast does; NaN becomes 0 and values beyond
// the type's range become its nearest bound. For the values the common case
// leaves (a few in range among them), and reached by a jump, so that the
// common case saves nothing on the stack.
template <typename T>
__attribute__((JUMP_TARGET_ATTRIBUTES)) VYR_STORE_CALL void
StoreSaturated(VyrFieldData_s* Ref, uint32_t Point, double Value) {
    T Stored;
    if (std::isnan(Value))
        Stored = 0;
    else if (Value <= double(std::numeric_limits<T>::min()))
        Stored = std::numeric_limits<T>::min();
    else if (Value >= double(std::numeric_limits<T>::max()))
        Stored = std::numeric_limits<T>::max();
    else
        Stored = static_cast<T>(Value);
    StoreAs(PointSlot<T>(Ref, Point), Stored);
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
VYR_STORE_CALL void StoreInteger(VyrFieldData_s* Ref, uint32_t Point, double Value) {
#if defined(__i386__) && defined(__SSE2__)
    const int32_t Truncated = _mm_cvttsd_si32(_mm_set_sd(Value));
    if constexpr (sizeof(T) == 4) {
        if (Truncated != INT32_MIN) {
            StoreAs(PointSlot<T>(Ref, Point), static_cast<T>(Truncated));
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
            StoreAs(PointSlot<T>(Ref, Point), static_cast<T>(FromLeast + Least));
            return;
        }
    }
#else
    if (Value > double(std::numeric_limits<T>::min()) - 1.0 &&
        Value < double(std::numeric_limits<T>::max()) + 1.0) {
        StoreAs(PointSlot<T>(Ref, Point), static_cast<T>(Value));
        return;
    }
#endif
    StoreSaturated<T>(Ref, Point, Value);
}

// A double beyond the largest float lies between it and an infinity, so
// C++ leaves the choice between the two to the compiler rather than leaving
// the conversion undefined, and GCC rounds as IEEE conversion does, in the
// current rounding mode: to the nearer, the infinity from half an ulp above
// FLT_MAX. NaN stays NaN. A test of the value first would only cost time.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "IEEE float and double");
VYR_STORE_CALL void StoreFloat(VyrFieldData_s* Ref, uint32_t Point, double Value)
    ASSEMBLY_NAME("VyrHostStoreFloat");
VYR_STORE_CALL void StoreFloat(VyrFieldData_s* Ref, uint32_t Point, double Value) {
    StoreAs(PointSlot<float>(Ref, Point), static_cast<float>(Value));
}
VYR_STORE_CALL void StoreDouble(VyrFieldData_s* Ref, uint32_t Point, double Value) {
    StoreAs(PointSlot<double>(Ref, Point), Value);
}
VYR_STORE_CALL void StoreNothing(VyrFieldData_s*, uint32_t, double) {}

constexpr StoreFunction StoreByType[] = {StoreNothing,          StoreFloat,
                                         StoreDouble,           StoreInteger<int32_t>,
                                         StoreInteger<int16_t>, StoreInteger<uint8_t>};

// A slot is handed out again only after RefSlotCount newer references, and
// never twice within one generation; 2^20 slots cover the largest data set
// the add-on makes (32,767 zones of 4 variables) eight times over. The
// array takes address space, not memory: only slots handed out are touched.
constexpr size_t RefSlotCount = size_t(1) << 20;
VyrFieldData_s RefSlots[RefSlotCount] ASSEMBLY_NAME("VyrHostRefSlots");
size_t NextRefSlot = 0;
size_t RefsThisGeneration = 0;
// Slots start at generation 0, which is never current. 32 bits: a stale
// slot would pass again only after 2^32 data sets and a million newer
// references.
uint32_t RefGeneration ASSEMBLY_NAME("VyrHostRefGeneration") = 1;

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
void RefuseStore(VyrFieldData_pa FieldData, VyrLgIndex_t PointIndex, double)
    ASSEMBLY_NAME("VyrHostRefuseStore");
__attribute__((JUMP_TARGET_ATTRIBUTES)) void RefuseStore(VyrFieldData_pa FieldData,
                                                         VyrLgIndex_t PointIndex, double) {
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
                          Z.Storage[size_t(Var) - 1].data(),
                          StoreByType[Z.FieldTypes[size_t(Var) - 1]]};
    S.RefsByZoneVar.emplace(ZoneVarKey(Zone, Var), Ref);
    return Ref;
}

#ifndef STORE_ENTRY_IN_ASSEMBLY
void VyrUtilDataValueSetByRef(VyrFieldData_pa FieldData, VyrLgIndex_t PointIndex, double Value) {
    VyrFieldData_s* Ref = LiveRef(FieldData);
    // One unsigned test for 1 <= PointIndex <= Points.
    const uint32_t Point = uint32_t(PointIndex) - 1;
    if (Ref != nullptr && Point < Ref->Points) {
        // Nearly every coordinate is a float, and so are most values: on
        // 32-bit x86 storing it here costs less than the jump to its store.
        // On 64 bits the jump costs no more than the test would.
#if defined(__i386__)
        if (Ref->Store == StoreFloat)
            StoreFloat(Ref, Point, Value);
        else
#endif
            Ref->Store(Ref, Point, Value);
        return;
    }
    RefuseStore(FieldData, PointIndex, Value);
}
#endif

} // extern "C"

#ifdef STORE_ENTRY_IN_ASSEMBLY
// The same checks and stores as the C++ entry, on the registers that a
// call may change (cdecl: the arguments at 4, 8 and 12 above the return
// address): the GOT in ecx, the reference in eax, edx for the rest. A float
// is stored here; any other type's store is reached by a jump with its
// arguments in registers, the refusal by a jump with the entry's own.
static_assert(offsetof(VyrFieldData_s, Generation) == 0 && offsetof(VyrFieldData_s, Points) == 8 &&
                  offsetof(VyrFieldData_s, Values) == 12 && offsetof(VyrFieldData_s, Store) == 16,
              "the slot's layout that the assembly entry reads");
static_assert(RefSlotCount == 0x100000 && sizeof(VyrFieldData_s) == 32,
              "the slot count and size that the assembly entry tests");
__asm__(".pushsection .text\n"
        ".p2align 4\n"
        ".globl VyrUtilDataValueSetByRef\n"
        ".type VyrUtilDataValueSetByRef, @function\n"
        "VyrUtilDataValueSetByRef:\n"
        ".cfi_startproc\n"
        "  call VyrHostStorePcThunk\n"
        "  addl $_GLOBAL_OFFSET_TABLE_, %ecx\n"
        "  movl 4(%esp), %eax\n"
        // The reference's offset in the slots, rotated right by a slot's 5
        // bits: a slot's number only where it is a slot's start.
        "  leal VyrHostRefSlots@GOTOFF(%ecx), %edx\n"
        "  negl %edx\n"
        "  addl %eax, %edx\n"
        "  rorl $5, %edx\n"
        "  cmpl $0xfffff, %edx\n"
        "  ja 1f\n"
        "  movl VyrHostRefGeneration@GOTOFF(%ecx), %edx\n"
        "  cmpl %edx, (%eax)\n"
        "  jne 1f\n"
        // One unsigned test for 1 <= PointIndex <= Points; the point from 0
        // stays in edx and the value goes to xmm0, as the stores take them.
        "  movl 8(%esp), %edx\n"
        "  subl $1, %edx\n"
        "  cmpl 8(%eax), %edx\n"
        "  jae 1f\n"
        "  movsd 12(%esp), %xmm0\n"
        "  leal VyrHostStoreFloat@GOTOFF(%ecx), %ecx\n"
        "  cmpl %ecx, 16(%eax)\n"
        "  jne 2f\n"
        "  movl 12(%eax), %eax\n"
        "  cvtsd2ss %xmm0, %xmm0\n"
        "  movss %xmm0, (%eax,%edx,4)\n"
        "  ret\n"
        "2:\n"
        "  jmp *16(%eax)\n"
        "1:\n"
        "  jmp VyrHostRefuseStore\n"
        ".cfi_endproc\n"
        ".size VyrUtilDataValueSetByRef, .-VyrUtilDataValueSetByRef\n"
        "VyrHostStorePcThunk:\n"
        ".cfi_startproc\n"
        "  movl (%esp), %ecx\n"
        "  ret\n"
        ".cfi_endproc\n"
        ".popsection\n");
#endif
