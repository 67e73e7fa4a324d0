// The format-checking archetype of printf-like functions. mingw-w64 builds
// use its own C99 printf (__USE_MINGW_ANSI_STDIO), checked as GNU's; its
// plain "printf" would mean msvcrt's, which knows no %zu. Clang knows no
// "gnu_printf", and elsewhere the two are one.
#ifndef LOADHDF_ADDON_PRINTF_FORMAT_H
#define LOADHDF_ADDON_PRINTF_FORMAT_H

#ifdef __MINGW32__
#define LOADHDF_PRINTF_FORMAT gnu_printf
#else
#define LOADHDF_PRINTF_FORMAT printf
#endif

#endif
