// The link-time wrappers behind FailableCalls: each shows its call to the
// observer, fails it when the observer says so, and otherwise calls the real
// HDF4 function or host operation (__real_..., declared with its type).
#include "failable_calls.h"

#include "vyr_host_control.h"

#include <hdf/mfhdf.h>

#include <utility>

namespace FailableCalls {
namespace {

Counts Current;
Observer Decide;

bool Fails(const std::string& Name) {
    return Decide && Decide(Name);
}

// Calls the real host operation; when the observer fails the call, the host
// is armed to fail exactly this one call of its failure point.
template <typename Real, typename... Args>
auto ThroughHost(VyrHost::FailPoint Point, const std::string& Name, Real* Operation,
                 Args... Arguments) {
    const bool Fail = Fails(Name);
    if (Fail)
        VyrHost::FailNth(Point, 1);
    const auto Result = Operation(Arguments...);
    if (Fail)
        VyrHost::FailNth(Point, 0);
    return Result;
}

// An HDF4 function that fails with Failure, without running.
template <typename Real, typename Result, typename... Args>
Result OrFail(const char* Name, Result Failure, Real* Function, Args... Arguments) {
    return Fails(Name) ? Failure : Function(Arguments...);
}

} // namespace

void ResetCounts() {
    Current = Counts();
}
const Counts& Get() {
    return Current;
}
void Observe(Observer Observer) {
    Decide = std::move(Observer);
}

} // namespace FailableCalls

using namespace FailableCalls;
using VyrHost::FailPoint;

extern "C" {

decltype(HDdont_atexit) __real_HDdont_atexit;
decltype(Hgetlibversion) __real_Hgetlibversion;
decltype(Hishdf) __real_Hishdf;
decltype(SDstart) __real_SDstart;
decltype(SDfileinfo) __real_SDfileinfo;
decltype(SDselect) __real_SDselect;
decltype(SDgetinfo) __real_SDgetinfo;
decltype(SDgetdatastrs) __real_SDgetdatastrs;
decltype(SDiscoordvar) __real_SDiscoordvar;
decltype(SDgetdimid) __real_SDgetdimid;
decltype(SDdiminfo) __real_SDdiminfo;
decltype(SDgetdimscale) __real_SDgetdimscale;
decltype(SDreaddata) __real_SDreaddata;
decltype(SDendaccess) __real_SDendaccess;
decltype(SDend) __real_SDend;

intn __wrap_HDdont_atexit(void) {
    return OrFail("HDdont_atexit", intn(FAIL), __real_HDdont_atexit);
}

intn __wrap_Hgetlibversion(uint32* Major, uint32* Minor, uint32* Release, char* Text) {
    return OrFail("Hgetlibversion", intn(FAIL), __real_Hgetlibversion, Major, Minor, Release, Text);
}

intn __wrap_Hishdf(const char* Name) {
    return OrFail("Hishdf", intn(FALSE), __real_Hishdf, Name);
}

int32 __wrap_SDstart(const char* Name, int32 Access) {
    const int32 Id = OrFail("SDstart", int32(FAIL), __real_SDstart, Name, Access);
    Current.FilesOpened += Id != FAIL;
    return Id;
}

intn __wrap_SDfileinfo(int32 FileId, int32* DataSets, int32* Attrs) {
    return OrFail("SDfileinfo", intn(FAIL), __real_SDfileinfo, FileId, DataSets, Attrs);
}

int32 __wrap_SDselect(int32 FileId, int32 Index) {
    const int32 Id = OrFail("SDselect", int32(FAIL), __real_SDselect, FileId, Index);
    Current.Selected += Id != FAIL;
    return Id;
}

intn __wrap_SDgetinfo(int32 SdsId, char* Name, int32* Rank, int32* Dims, int32* Type,
                      int32* Attrs) {
    return OrFail("SDgetinfo", intn(FAIL), __real_SDgetinfo, SdsId, Name, Rank, Dims, Type, Attrs);
}

intn __wrap_SDgetdatastrs(int32 SdsId, char* L, char* U, char* F, char* C, intn Len) {
    return OrFail("SDgetdatastrs", intn(FAIL), __real_SDgetdatastrs, SdsId, L, U, F, C, Len);
}

// HDF4 reports a failure here as FALSE, "not a coordinate variable".
intn __wrap_SDiscoordvar(int32 SdsId) {
    return OrFail("SDiscoordvar", intn(FALSE), __real_SDiscoordvar, SdsId);
}

int32 __wrap_SDgetdimid(int32 SdsId, intn Number) {
    return OrFail("SDgetdimid", int32(FAIL), __real_SDgetdimid, SdsId, Number);
}

intn __wrap_SDdiminfo(int32 DimId, char* Name, int32* Size, int32* Type, int32* Attrs) {
    return OrFail("SDdiminfo", intn(FAIL), __real_SDdiminfo, DimId, Name, Size, Type, Attrs);
}

intn __wrap_SDgetdimscale(int32 DimId, void* Data) {
    return OrFail("SDgetdimscale", intn(FAIL), __real_SDgetdimscale, DimId, Data);
}

intn __wrap_SDreaddata(int32 SdsId, int32* Start, int32* Stride, int32* Edge, void* Data) {
    ++Current.Reads;
    ReadBox Box = {};
    for (int32_t Dim = 0; Dim < 3 && Start != nullptr && Edge != nullptr; ++Dim) {
        Box.Start[Dim] = Start[Dim];
        Box.Edge[Dim] = Edge[Dim];
    }
    Current.ReadBoxes.push_back(Box);
    return OrFail("SDreaddata", intn(FAIL), __real_SDreaddata, SdsId, Start, Stride, Edge, Data);
}

// The releases run whatever the observer says, and then report its failure.
intn __wrap_SDendaccess(int32 SdsId) {
    const bool Fail = Fails("SDendaccess");
    const intn Status = __real_SDendaccess(SdsId);
    Current.AccessEnded += Status != FAIL;
    return Fail ? FAIL : Status;
}

intn __wrap_SDend(int32 FileId) {
    const bool Fail = Fails("SDend");
    const intn Status = __real_SDend(FileId);
    Current.FilesClosed += Status != FAIL;
    return Fail ? FAIL : Status;
}

decltype(VyrUtilStateChangeAddCallback) __real_VyrUtilStateChangeAddCallback;
decltype(VyrUtilSetAlloc) __real_VyrUtilSetAlloc;
decltype(VyrUtilSetAddMember) __real_VyrUtilSetAddMember;
decltype(VyrUtilStringAlloc) __real_VyrUtilStringAlloc;
decltype(VyrUtilStringListAlloc) __real_VyrUtilStringListAlloc;
decltype(VyrUtilStringListAppendString) __real_VyrUtilStringListAppendString;
decltype(VyrUtilStringListGetString) __real_VyrUtilStringListGetString;
decltype(VyrUtilDataSetCreate) __real_VyrUtilDataSetCreate;
decltype(VyrUtilDataSetAddZone) __real_VyrUtilDataSetAddZone;
decltype(VyrGUIDialogCreateModal) __real_VyrGUIDialogCreateModal;
decltype(VyrGUILabelAdd) __real_VyrGUILabelAdd;
decltype(VyrGUIButtonAdd) __real_VyrGUIButtonAdd;
decltype(VyrGUIListAdd) __real_VyrGUIListAdd;
decltype(VyrGUITextFieldAdd) __real_VyrGUITextFieldAdd;
decltype(VyrGUITextAdd) __real_VyrGUITextAdd;

VyrBoolean_t __wrap_VyrUtilStateChangeAddCallback(VyrStateChangeCallback_pf Callback) {
    return ThroughHost(FailPoint::StateChangeAddCallback, "StateChangeAddCallback",
                       __real_VyrUtilStateChangeAddCallback, Callback);
}

VyrSet_pa __wrap_VyrUtilSetAlloc(VyrBoolean_t ShowErr) {
    return ThroughHost(FailPoint::SetAlloc, "SetAlloc", __real_VyrUtilSetAlloc, ShowErr);
}

VyrBoolean_t __wrap_VyrUtilSetAddMember(VyrSet_pa Set, VyrSetIndex_t Member, VyrBoolean_t ShowErr) {
    return ThroughHost(FailPoint::SetAddMember, "SetAddMember", __real_VyrUtilSetAddMember, Set,
                       Member, ShowErr);
}

char* __wrap_VyrUtilStringAlloc(int32_t Size, const char* Tag) {
    return ThroughHost(FailPoint::StringAlloc,
                       std::string("StringAlloc ") + (Tag != nullptr ? Tag : "without a tag"),
                       __real_VyrUtilStringAlloc, Size, Tag);
}

VyrStringList_pa __wrap_VyrUtilStringListAlloc(void) {
    return ThroughHost(FailPoint::StringListAlloc, "StringListAlloc",
                       __real_VyrUtilStringListAlloc);
}

VyrBoolean_t __wrap_VyrUtilStringListAppendString(VyrStringList_pa List, const char* String) {
    return ThroughHost(FailPoint::StringListAppend, "StringListAppend",
                       __real_VyrUtilStringListAppendString, List, String);
}

char* __wrap_VyrUtilStringListGetString(VyrStringList_pa List, int32_t Index) {
    return ThroughHost(FailPoint::StringListGetString, "StringListGetString",
                       __real_VyrUtilStringListGetString, List, Index);
}

VyrBoolean_t __wrap_VyrUtilDataSetCreate(const char* Title, VyrStringList_pa VarNames,
                                         VyrBoolean_t ResetStyle) {
    return ThroughHost(FailPoint::DataSetCreate, "DataSetCreate", __real_VyrUtilDataSetCreate,
                       Title, VarNames, ResetStyle);
}

VyrBoolean_t __wrap_VyrUtilDataSetAddZone(const char* Name, VyrLgIndex_t IMax, VyrLgIndex_t JMax,
                                          VyrLgIndex_t KMax, int32_t ZoneType,
                                          const VyrFieldType_t* FieldTypes) {
    return ThroughHost(FailPoint::DataSetAddZone, "DataSetAddZone", __real_VyrUtilDataSetAddZone,
                       Name, IMax, JMax, KMax, ZoneType, FieldTypes);
}

int32_t __wrap_VyrGUIDialogCreateModal(int32_t Parent, int32_t Width, int32_t Height,
                                       const char* Title, VyrGUIVoidCallback_pf Init,
                                       VyrGUIVoidCallback_pf Ok, VyrGUIVoidCallback_pf Apply,
                                       VyrGUIVoidCallback_pf Cancel, VyrGUIVoidCallback_pf Help) {
    return ThroughHost(FailPoint::DialogCreate, "DialogCreate", __real_VyrGUIDialogCreateModal,
                       Parent, Width, Height, Title, Init, Ok, Apply, Cancel, Help);
}

int32_t __wrap_VyrGUILabelAdd(int32_t Parent, int32_t X, int32_t Y, const char* Text) {
    return ThroughHost(FailPoint::ControlAdd, "ControlAdd", __real_VyrGUILabelAdd, Parent, X, Y,
                       Text);
}

int32_t __wrap_VyrGUIButtonAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                               const char* Text, VyrGUIVoidCallback_pf Callback) {
    return ThroughHost(FailPoint::ControlAdd, "ControlAdd", __real_VyrGUIButtonAdd, Parent, X, Y,
                       Width, Height, Text, Callback);
}

int32_t __wrap_VyrGUIListAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                             VyrBoolean_t MultiSelection, VyrGUIIntCallback_pf Callback) {
    return ThroughHost(FailPoint::ControlAdd, "ControlAdd", __real_VyrGUIListAdd, Parent, X, Y,
                       Width, Height, MultiSelection, Callback);
}

int32_t __wrap_VyrGUITextFieldAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width,
                                  int32_t Height, VyrGUITextCallback_pf Callback) {
    return ThroughHost(FailPoint::ControlAdd, "ControlAdd", __real_VyrGUITextFieldAdd, Parent, X, Y,
                       Width, Height, Callback);
}

int32_t __wrap_VyrGUITextAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                             VyrBoolean_t ReadOnly, VyrGUITextCallback_pf Callback) {
    return ThroughHost(FailPoint::ControlAdd, "ControlAdd", __real_VyrGUITextAdd, Parent, X, Y,
                       Width, Height, ReadOnly, Callback);
}

} // extern "C"
