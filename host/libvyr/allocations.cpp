// Allocation tracking and failure injection: every buffer, string, list, set
// and array handed to the add-on is recorded with its tag until it comes
// back, and chosen calls can be made to fail the way a host out of memory
// would. Also the string buffer operations, which are pure tracking.
#include "host_state.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace VyrHost::Detail {

void Track(const void* Object, AllocKind Kind, const std::string& Tag, bool HostOwned) {
    HostState& S = State();
    S.Allocations[Object] = Allocation{Kind, Tag, HostOwned, S.NextSerial++};
}

const Allocation* FindTracked(const void* Object, AllocKind Kind) {
    if (Object == nullptr)
        return nullptr;
    const auto Found = State().Allocations.find(Object);
    if (Found == State().Allocations.end() || Found->second.Kind != Kind)
        return nullptr;
    return &Found->second;
}

void FreeTracked(const void* Object) {
    const auto Found = State().Allocations.find(Object);
    if (Found == State().Allocations.end())
        return;
    void* Owned = const_cast<void*>(Object);
    switch (Found->second.Kind) {
    case AllocKind::Buffer:
    case AllocKind::Array:
        std::free(Owned);
        break;
    case AllocKind::List:
        delete static_cast<VyrStringList_s*>(Owned);
        break;
    case AllocKind::Set:
        delete static_cast<VyrSet_s*>(Owned);
        break;
    }
    State().Allocations.erase(Found);
}

void FreeAllTracked() {
    while (!State().Allocations.empty())
        FreeTracked(State().Allocations.begin()->first);
}

char* NewHostString(const std::string& Text) {
    char* Copy = static_cast<char*>(std::malloc(Text.size() + 1));
    if (Copy == nullptr)
        return nullptr;
    std::memcpy(Copy, Text.c_str(), Text.size() + 1);
    Track(Copy, AllocKind::Buffer, "host string");
    return Copy;
}

bool ShouldFail(FailPoint Point, const char* Tag) {
    FailRule& Rule = State().FailRules[size_t(Point)];
    if (Rule.N <= 0)
        return false;
    if (!Rule.TagFilter.empty() && (Tag == nullptr || Rule.TagFilter != Tag))
        return false;
    ++Rule.Calls;
    return Rule.Calls == Rule.N || (Rule.AndLater && Rule.Calls > Rule.N);
}

} // namespace VyrHost::Detail

using namespace VyrHost::Detail;

namespace VyrHost {

int32_t OutstandingAllocations() {
    int32_t Count = 0;
    for (const auto& Entry : State().Allocations)
        if (!Entry.second.HostOwned)
            ++Count;
    return Count;
}

std::vector<std::string> OutstandingTags() {
    std::vector<const Allocation*> Live;
    for (const auto& Entry : State().Allocations)
        if (!Entry.second.HostOwned)
            Live.push_back(&Entry.second);
    std::sort(Live.begin(), Live.end(),
              [](const Allocation* A, const Allocation* B) { return A->Serial < B->Serial; });
    std::vector<std::string> Tags;
    for (const Allocation* A : Live)
        Tags.push_back(A->Tag);
    return Tags;
}

void FailNth(FailPoint Point, int32_t N, const std::string& TagFilter, bool AndLater) {
    State().FailRules[size_t(Point)] = FailRule{N, TagFilter, AndLater, 0};
}

} // namespace VyrHost

extern "C" {

char* VyrUtilStringAlloc(int32_t Size, const char* Tag) {
    const char* Op = "VyrUtilStringAlloc";
    if (!HasText(Tag, Op, "tag"))
        return nullptr;
    if (Size < 1) {
        HostError("%s: size %d below 1", Op, Size);
        return nullptr;
    }
    if (ShouldFail(VyrHost::FailPoint::StringAlloc, Tag))
        return nullptr;
    // Exactly Size bytes, so that a sanitizer sees any overrun. The bytes are
    // not zeroed: the add-on must not rely on a fresh buffer being empty.
    char* Buffer = static_cast<char*>(std::malloc(size_t(Size)));
    if (Buffer == nullptr)
        return nullptr;
    std::memset(Buffer, 0xA5, size_t(Size));
    Track(Buffer, AllocKind::Buffer, Tag);
    return Buffer;
}

void VyrUtilStringDealloc(char** String) {
    GiveBack(String, AllocKind::Buffer, "VyrUtilStringDealloc");
}

void VyrUtilArrayDealloc(void** Array) {
    GiveBack(Array, AllocKind::Array, "VyrUtilArrayDealloc");
}

} // extern "C"
