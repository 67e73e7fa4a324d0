// Zeroed pages on Windows: virtual memory reserved and committed at once.
#include "platform/zeroed_pages.h"

#include <windows.h>

namespace Platform {

unsigned char* MapZeroedPages(size_t Size) {
    return static_cast<unsigned char*>(
        VirtualAlloc(nullptr, Size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void UnmapZeroedPages(unsigned char* Bytes, size_t) {
    VirtualFree(Bytes, 0, MEM_RELEASE); // a whole reservation is given back by its start
}

} // namespace Platform
