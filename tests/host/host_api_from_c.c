/* The host interface seen from C. interface/vyr_host_api.h is a C header:
 * this unit, compiled as C99 with pedantic warnings as errors, keeps it one.
 * It checks at compile time the sizes that the module and its host agree on
 * (a handle or callback is a pointer's size, 4 bytes in the 32-bit module),
 * and gives the host tests calls made from C, so that they
 * see C's booleans, handles, doubles and callbacks meet the C++ host's. */
#include "vyr_host_api.h"

#include <stddef.h>

/* C99 has no static assertion: a negative array size stops the build. */
#define SIZE_IS(Name, Type, Size) typedef char SizeOf##Name[sizeof(Type) == (Size) ? 1 : -1]

SIZE_IS(Boolean, VyrBoolean_t, 1);
SIZE_IS(SetIndex, VyrSetIndex_t, 4);
SIZE_IS(EntIndex, VyrEntIndex_t, 2);
SIZE_IS(LgIndex, VyrLgIndex_t, 4);
SIZE_IS(FieldType, VyrFieldType_t, 4);
SIZE_IS(AddOn, VyrAddOn_pa, sizeof(void*));
SIZE_IS(Set, VyrSet_pa, sizeof(void*));
SIZE_IS(StringList, VyrStringList_pa, sizeof(void*));
SIZE_IS(FieldData, VyrFieldData_pa, sizeof(void*));
SIZE_IS(StateChangeCallback, VyrStateChangeCallback_pf, sizeof(void (*)(void)));
SIZE_IS(DataLoader, VyrDataLoader_pf, sizeof(void (*)(void)));
SIZE_IS(CallData, intptr_t, sizeof(void*));

/* The sizes C gives the interface's types, in the order the host tests
 * list C++'s. */
const size_t HostApiSizesInC[] = {sizeof(VyrBoolean_t),    sizeof(VyrSetIndex_t),
                                  sizeof(VyrEntIndex_t),   sizeof(VyrLgIndex_t),
                                  sizeof(VyrFieldType_t),  sizeof(VyrAddOn_pa),
                                  sizeof(VyrSet_pa),       sizeof(VyrStringList_pa),
                                  sizeof(VyrFieldData_pa), sizeof(VyrStateChangeCallback_pf),
                                  sizeof(VyrDataLoader_pf)};
const size_t HostApiSizesInCCount = sizeof HostApiSizesInC / sizeof HostApiSizesInC[0];

/* Makes a set holding Member and asks the host whether it holds Probe. */
bool HostApiSetHoldsFromC(VyrSetIndex_t Member, VyrSetIndex_t Probe) {
    VyrSet_pa Set = VyrUtilSetAlloc(false);
    bool Holds = false;
    if (Set != NULL && VyrUtilSetAddMember(Set, Member, false))
        Holds = VyrUtilSetIsMember(Set, Probe);
    VyrUtilSetDealloc(&Set);
    return Holds;
}

static int32_t LastStateChange = -1;

static void ListenFromC(int32_t StateChange, intptr_t CallData) {
    (void)CallData;
    LastStateChange = StateChange;
}

/* Adds a listener written in C; the host's answer. */
bool HostApiListenFromC(void) {
    LastStateChange = -1;
    return VyrUtilStateChangeAddCallback(ListenFromC);
}

/* The last code that listener heard, -1 for none. */
int32_t HostApiStateChangeHeardInC(void) {
    return LastStateChange;
}

/* Makes a data set of one variable V and one zone of I x 1 x 1 points of
 * FieldType, and stores Value at point I through a field-value reference:
 * the 16-bit zone and variable numbers and the double go to the host as C
 * passes them. False when the host refused a step. */
bool HostApiStoreFromC(VyrFieldType_t FieldType, VyrLgIndex_t I, double Value) {
    VyrStringList_pa Names = VyrUtilStringListFromNLString("V\n");
    bool Made = Names != NULL && VyrUtilDataSetCreate("From C", Names, true) &&
                VyrUtilDataSetAddZone("Zone", I, 1, 1, VYR_ZONE_TYPE_ORDERED, &FieldType);
    VyrUtilStringListDealloc(&Names);
    if (!Made)
        return false;
    VyrFieldData_pa Ref = VyrUtilDataValueGetRef((VyrEntIndex_t)1, (VyrEntIndex_t)1);
    if (Ref == NULL)
        return false;
    VyrUtilDataValueSetByRef(Ref, I, Value);
    return true;
}
