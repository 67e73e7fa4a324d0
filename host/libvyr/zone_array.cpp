// ZoneArray: the memory behind one variable of a zone. An array of at least
// 1 MiB is an anonymous mapping, zero from the system and populated when it
// is made: one pass of the kernel instead of a page fault per 4 KiB while the
// zone is filled, and no pass writing zeros. A smaller one is calloc'd. On
// Windows the mapping is committed virtual memory, zero from the system too.
// Huge pages (MADV_HUGEPAGE) were tried and left out: on the benchmark's
// machine a fresh 2 MiB page cost more to clear than the 4 KiB pages that
// the kernel had at hand.
#include "vyr_host_control.h"

#include <cstdlib>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace VyrHost {
namespace {

constexpr size_t MappedFrom = size_t(1) << 20;

// Size bytes of zeroed memory, populated where the system can; null when it
// has none (in a 32-bit process, often no free range of that length).
unsigned char* MapZeroed(size_t Size) {
#ifdef _WIN32
    return static_cast<unsigned char*>(
        VirtualAlloc(nullptr, Size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
#else
    void* Bytes = mmap(nullptr, Size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return Bytes == MAP_FAILED ? nullptr : static_cast<unsigned char*>(Bytes);
#endif
}

void Unmap(unsigned char* Bytes, size_t Size) {
#ifdef _WIN32
    (void)Size;
    VirtualFree(Bytes, 0, MEM_RELEASE);
#else
    munmap(Bytes, Size);
#endif
}

} // namespace

ZoneArray::ZoneArray(size_t Size) : Size(Size) {
    if (Size >= MappedFrom) {
        Bytes = MapZeroed(Size);
        MappedBytes = Bytes != nullptr ? Size : 0;
    } else {
        Bytes = static_cast<unsigned char*>(std::calloc(Size > 0 ? Size : 1, 1));
    }
    if (Bytes == nullptr)
        throw std::bad_alloc();
}

ZoneArray::~ZoneArray() {
    Release();
}

void ZoneArray::Release() {
    if (MappedBytes > 0)
        Unmap(Bytes, MappedBytes);
    else
        std::free(Bytes);
    Bytes = nullptr;
    Size = MappedBytes = 0;
}

ZoneArray::ZoneArray(const ZoneArray& Other) : ZoneArray(Other.Size) {
    std::memcpy(Bytes, Other.Bytes, Size);
}

ZoneArray& ZoneArray::operator=(const ZoneArray& Other) {
    if (this != &Other)
        *this = ZoneArray(Other);
    return *this;
}

ZoneArray::ZoneArray(ZoneArray&& Other) noexcept
    : Bytes(Other.Bytes), Size(Other.Size), MappedBytes(Other.MappedBytes) {
    Other.Bytes = nullptr;
    Other.Size = Other.MappedBytes = 0;
}

ZoneArray& ZoneArray::operator=(ZoneArray&& Other) noexcept {
    if (this != &Other) {
        Release();
        Bytes = Other.Bytes;
        Size = Other.Size;
        MappedBytes = Other.MappedBytes;
        Other.Bytes = nullptr;
        Other.Size = Other.MappedBytes = 0;
    }
    return *this;
}

bool ZoneArray::operator==(const ZoneArray& Other) const {
    return Size == Other.Size && (Size == 0 || std::memcmp(Bytes, Other.Bytes, Size) == 0);
}

} // namespace VyrHost
