# Toolchain for the Windows build: loadhdf.dll, libvyr.dll, vyrhost.exe, the
# tools and every test for 32-bit Windows, built with Debian's mingw-w64 i686
# compilers (i686-w64-mingw32-compilers.cmake) and run under Wine.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake
#
# loadhdf.dll imports HDF4 from HDF4's own Windows DLLs, hdf.dll and
# mfhdf.dll (cmake/WindowsHdf4.cmake). The build compiles against Debian's
# i386 HDF4 headers, unpacked into a private folder of the build
# (tools/fetch-i386-hdf4.sh; LOADHDF_I386_ROOT names another one), and under
# Wine the programs reach Debian's i386 HDF4 through the bridge in
# windows/hdf4-bridge/. GoogleTest is built from Debian's sources in
# /usr/src/googletest. ctest runs the programs with tools/wine-test.sh, in a
# Wine prefix of the build's own.

# Debian's mingw-w64 compilers, with searches kept to the cross toolchain's
# own headers and libraries. The posix thread model: the win32 one has no
# std::mutex, which GoogleTest needs. Everything is linked with -static, so
# the C++ runtime, libgcc and winpthread go into each program and DLL, which
# then need no DLL beyond Windows' own, HDF4's and the project's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(_loadhdf_prefix i686-w64-mingw32)
set(CMAKE_C_COMPILER ${_loadhdf_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_loadhdf_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${_loadhdf_prefix}-windres)
set(CMAKE_DLLTOOL ${_loadhdf_prefix}-dlltool)

# Floating point in SSE2 registers rather than on the x87 unit, whose
# double-to-integer conversions reload its control word every time: the
# module then needs a processor with SSE2 (Pentium 4, Athlon 64 and every
# later x86; every Windows since 8 requires it too). mingw realigns the
# stack where SSE needs it (-mstackrealign is its default), so a host that
# calls in with a 4-byte-aligned stack is safe. Outgoing arguments are
# stored, not pushed: a double pushed as two 4-byte halves stalls the
# callee's 8-byte load of it, and the add-on hands the host a double for
# every value it stores.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -maccumulate-outgoing-args")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -maccumulate-outgoing-args")

set(CMAKE_FIND_ROOT_PATH /usr/${_loadhdf_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT -static)
endforeach()

get_property(_loadhdf_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(_loadhdf_in_try_compile)
  return()
endif()

set(LOADHDF_I386_ROOT "${CMAKE_BINARY_DIR}/i386-root"
    CACHE PATH "Folder holding Debian's i386 HDF4 packages, unpacked")
include(${CMAKE_CURRENT_LIST_DIR}/PrivateHdf4.cmake)
loadhdf_private_hdf4(fetch-i386-hdf4.sh "${LOADHDF_I386_ROOT}" .complete "Fetching HDF4 for i386")

# HDF4's headers, and the header-only JSON and CLI11 libraries of the
# machine, each through a folder that holds nothing else: the other headers
# beside them are Linux ones.
function(_loadhdf_header_folder folder)
  set(headers "${CMAKE_BINARY_DIR}/${folder}")
  foreach(pair IN LISTS ARGN)
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 name)
    list(GET pair 1 target)
    if(NOT EXISTS "${headers}/${name}")
      file(MAKE_DIRECTORY "${headers}")
      file(CREATE_LINK "${target}" "${headers}/${name}" SYMBOLIC)
    endif()
  endforeach()
endfunction()
_loadhdf_header_folder(portable-headers nlohmann=/usr/include/nlohmann CLI=/usr/include/CLI)
_loadhdf_header_folder(hdf4-headers hdf=${LOADHDF_I386_ROOT}/usr/include/hdf)
set(LOADHDF_PORTABLE_HEADERS "${CMAKE_BINARY_DIR}/portable-headers")
set(LOADHDF_HDF4_HEADERS "${CMAKE_BINARY_DIR}/hdf4-headers")

set(LOADHDF_GTEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "Build GoogleTest from these sources instead of using the installed libraries")

# Test programs, and GoogleTest's listing of their tests, run under Wine with
# the HDF4 bridge, as a person runs them; tools/wine-test.sh runs once more a
# test that passed and that Wine then ended with its exit-time SIGSEGV.
set(CMAKE_CROSSCOMPILING_EMULATOR
    env LOADHDF_WINDOWS_BUILD=${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-test.sh)
