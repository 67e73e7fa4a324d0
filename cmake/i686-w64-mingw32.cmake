# Toolchain for the Windows build: loadhdf.dll, libvyr.dll, vyrhost.exe, the
# tools and every test for 32-bit Windows, built with Debian's mingw-w64 i686
# compilers (i686-w64-mingw32-compilers.cmake) and run under Wine.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake
#
# HDF4 4.2.15 is built from the source archives in ../shared/third_party/ into
# a private folder of the build (tools/build-windows-hdf4.sh; LOADHDF_WINDOWS_HDF4
# names another one) and linked statically into loadhdf.dll. GoogleTest is
# built from Debian's sources in /usr/src/googletest. ctest runs the programs
# with Wine, in a Wine prefix of the build's own.
include(${CMAKE_CURRENT_LIST_DIR}/i686-w64-mingw32-compilers.cmake)

get_property(_loadhdf_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(_loadhdf_in_try_compile)
  return()
endif()

set(LOADHDF_WINDOWS_HDF4 "${CMAKE_BINARY_DIR}/hdf4"
    CACHE PATH "Folder holding HDF4 built for 32-bit Windows (tools/build-windows-hdf4.sh)")
include(${CMAKE_CURRENT_LIST_DIR}/PrivateHdf4.cmake)
loadhdf_private_hdf4(build-windows-hdf4.sh "${LOADHDF_WINDOWS_HDF4}" .done
                     "Building HDF4 for 32-bit Windows")

# The header-only JSON and CLI11 libraries are the machine's own, through a
# folder that holds nothing else: the machine's other headers are Linux ones.
set(_loadhdf_headers "${CMAKE_BINARY_DIR}/portable-headers")
foreach(folder nlohmann CLI)
  if(NOT EXISTS "${_loadhdf_headers}/${folder}")
    file(MAKE_DIRECTORY "${_loadhdf_headers}")
    file(CREATE_LINK "/usr/include/${folder}" "${_loadhdf_headers}/${folder}" SYMBOLIC)
  endif()
endforeach()
set(LOADHDF_PORTABLE_HEADERS "${_loadhdf_headers}")
list(APPEND CMAKE_FIND_ROOT_PATH "${LOADHDF_WINDOWS_HDF4}")

set(LOADHDF_GTEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "Build GoogleTest from these sources instead of using the installed libraries")

# Test programs, and GoogleTest's listing of their tests, run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all wine)
