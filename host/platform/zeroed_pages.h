// Large blocks of zeroed memory straight from the system, for the host's
// zone arrays (host/libvyr/zone_array.cpp decides which arrays get them):
// an anonymous mapping populated when it is made on Linux, committed virtual
// memory on Windows. Both are zero from the system, so nothing writes zeros.
#ifndef LOADHDF_HOST_PLATFORM_ZEROED_PAGES_H
#define LOADHDF_HOST_PLATFORM_ZEROED_PAGES_H

#include <cstddef>

namespace Platform {

// Size bytes (Size > 0) of zeroed, readable and writable memory; null when
// the system has none (in a 32-bit process, often no free range of that
// length). Give it back with UnmapZeroedPages and the same Size.
unsigned char* MapZeroedPages(size_t Size);

// Gives back what MapZeroedPages returned for Size bytes.
void UnmapZeroedPages(unsigned char* Bytes, size_t Size);

} // namespace Platform

#endif
