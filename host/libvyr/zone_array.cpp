// ZoneArray: the memory behind one variable of a zone. An array of at least
// 1 MiB is zeroed pages straight from the system (host/platform/
// zeroed_pages.h), populated when they are made where the system can: one
// pass of the kernel instead of a page fault per 4 KiB while the zone is
// filled, and no pass writing zeros. A smaller one is calloc'd, so that a
// sanitizer watches its bounds. Huge pages (MADV_HUGEPAGE) were tried and
// left out: on the benchmark's machine a fresh 2 MiB page cost more to
// clear than the 4 KiB pages that the kernel had at hand.
#include "vyr_host_control.h"

#include "platform/zeroed_pages.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace VyrHost {
namespace {

constexpr size_t MappedFrom = size_t(1) << 20;

} // namespace

ZoneArray::ZoneArray(size_t Size) : Size(Size) {
    if (Size >= MappedFrom) {
        Bytes = Platform::MapZeroedPages(Size);
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
        Platform::UnmapZeroedPages(Bytes, MappedBytes);
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
