# Toolchain for the 32-bit (ILP32) build on an amd64 Debian machine: the
# add-on, the stand-in host, vyrhost, the tools and every test, compiled with
# g++ -m32 (g++-multilib) and run in place, so that pointers and `long` are
# 32 bits as in the Windows module.
#
#   cmake -S . -B build-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/i386-linux-gnu.cmake
#
# HDF4 for i386 comes from Debian's packages unpacked into a private folder of
# the build (tools/fetch-i386-hdf4.sh; LOADHDF_I386_ROOT names another one).
# GoogleTest is built from Debian's sources in /usr/src/googletest, since the
# installed libraries are amd64.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# Floating point in SSE2 registers, not on the x87 unit, as in the Windows
# module: the same code generation, and doubles rounded as on 64 bits.
# Outgoing arguments are stored, not pushed: a double pushed as two 4-byte
# halves stalls the callee's 8-byte load of it, once per value stored.
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse -maccumulate-outgoing-args")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse -maccumulate-outgoing-args")

get_property(_loadhdf_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(_loadhdf_in_try_compile)
  # Compiler checks need neither the private folder nor its search paths.
  foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT -m32)
  endforeach()
  return()
endif()

set(LOADHDF_I386_ROOT "${CMAKE_BINARY_DIR}/i386-root"
    CACHE PATH "Folder holding Debian's i386 HDF4 packages, unpacked")
include(${CMAKE_CURRENT_LIST_DIR}/PrivateHdf4.cmake)
loadhdf_private_hdf4(fetch-i386-hdf4.sh "${LOADHDF_I386_ROOT}" .complete "Fetching HDF4 for i386")

# Headers and libraries from the private folder first, then the machine's own
# (the architecture-independent JSON and CLI11 packages).
set(CMAKE_FIND_ROOT_PATH "${LOADHDF_I386_ROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# HDF4's libraries need the other unpacked ones (libtirpc, libjpeg, zlib and
# theirs) when the programs link and when they run. A DT_RPATH, unlike the
# default DT_RUNPATH, also serves those indirect dependencies, and the module
# that vyrhost loads with dlopen.
set(_loadhdf_rpath "")
foreach(dir usr/lib usr/lib/i386-linux-gnu lib/i386-linux-gnu)
  string(APPEND _loadhdf_rpath " -Wl,-rpath,${LOADHDF_I386_ROOT}/${dir}")
endforeach()
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-m32 -Wl,--disable-new-dtags${_loadhdf_rpath}")
endforeach()

set(LOADHDF_GTEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "Build GoogleTest from these sources instead of using the installed libraries")
