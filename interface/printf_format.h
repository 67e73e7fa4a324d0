// The format-checking archetype of printf-like functions, for
// __attribute__((format(LOADHDF_PRINTF_FORMAT, ...))). The build names it:
// gnu_printf in the Windows build, whose mingw-w64 C99 printf
// (__USE_MINGW_ANSI_STDIO) is checked as GNU's there, where the plain
// "printf" would mean msvcrt's, which knows no %zu; printf elsewhere (clang,
// which the fuzzing build uses, knows no "gnu_printf").
#ifndef LOADHDF_INTERFACE_PRINTF_FORMAT_H
#define LOADHDF_INTERFACE_PRINTF_FORMAT_H

#ifndef LOADHDF_PRINTF_FORMAT
#error "LOADHDF_PRINTF_FORMAT: the build names the printf format archetype (CMakeLists.txt)"
#endif

#endif
