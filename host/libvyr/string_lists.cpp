// Host string lists: items counted from 1; every item read out is a new
// tracked "host string" that the add-on gives back.
#include "host_state.h"

#include <new>

using namespace VyrHost::Detail;

namespace {

VyrStringList_s* NewList() {
    if (ShouldFail(VyrHost::FailPoint::StringListAlloc, nullptr))
        return nullptr;
    VyrStringList_s* List = new (std::nothrow) VyrStringList_s;
    if (List != nullptr)
        Track(List, AllocKind::List, "string list");
    return List;
}

} // namespace

extern "C" {

VyrStringList_pa VyrUtilStringListAlloc(void) {
    return NewList();
}

void VyrUtilStringListDealloc(VyrStringList_pa* List) {
    GiveBack(List, AllocKind::List, "VyrUtilStringListDealloc");
}

VyrBoolean_t VyrUtilStringListAppendString(VyrStringList_pa List, const char* String) {
    const char* Op = "VyrUtilStringListAppendString";
    VyrStringList_s* L = LiveList(List, Op);
    if (L == nullptr || !HasText(String, Op, "string") ||
        ShouldFail(VyrHost::FailPoint::StringListAppend, nullptr))
        return false;
    L->Items.emplace_back(String);
    return true;
}

VyrStringList_pa VyrUtilStringListFromNLString(const char* Text) {
    if (!HasText(Text, "VyrUtilStringListFromNLString", "text"))
        return nullptr;
    VyrStringList_s* List = NewList();
    if (List == nullptr)
        return nullptr;
    // One item per line; the text after the last newline is an item only
    // when it is not empty, so "a\nb\n" and "a\nb" both give two items.
    const std::string All(Text);
    size_t Start = 0;
    while (Start < All.size()) {
        const size_t End = All.find('\n', Start);
        if (End == std::string::npos) {
            List->Items.push_back(All.substr(Start));
            break;
        }
        List->Items.push_back(All.substr(Start, End - Start));
        Start = End + 1;
    }
    return List;
}

int32_t VyrUtilStringListGetCount(VyrStringList_pa List) {
    VyrStringList_s* L = LiveList(List, "VyrUtilStringListGetCount");
    return L == nullptr ? 0 : int32_t(L->Items.size());
}

char* VyrUtilStringListGetString(VyrStringList_pa List, int32_t Index) {
    const char* Op = "VyrUtilStringListGetString";
    VyrStringList_s* L = LiveList(List, Op);
    if (L == nullptr)
        return nullptr;
    if (Index < 1 || size_t(Index) > L->Items.size()) {
        HostError("%s: item %d outside 1..%zu", Op, Index, L->Items.size());
        return nullptr;
    }
    if (ShouldFail(VyrHost::FailPoint::StringListGetString, nullptr))
        return nullptr;
    return NewHostString(L->Items[size_t(Index) - 1]);
}

} // extern "C"
