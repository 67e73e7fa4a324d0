// Zeroed pages on Linux: a private anonymous mapping, populated when it is
// made (one pass of the kernel instead of a page fault per 4 KiB while the
// host fills it).
#include "platform/zeroed_pages.h"

#include <sys/mman.h>

namespace Platform {

unsigned char* MapZeroedPages(size_t Size) {
    void* Bytes = mmap(nullptr, Size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return Bytes == MAP_FAILED ? nullptr : static_cast<unsigned char*>(Bytes);
}

void UnmapZeroedPages(unsigned char* Bytes, size_t Size) {
    munmap(Bytes, Size);
}

} // namespace Platform
