# Toolchain for the Windows module: loadhdf.dll for 32-bit Windows, built
# alone with Debian's mingw-w64 i686 compilers (the win32 thread model, whose
# runtime needs no DLL of its own).
#
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake
#
# The project then builds windows/ only: neither the host nor HDF4 exists for
# Windows here, so the module links against import libraries made from .def
# files.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(_loadhdf_prefix i686-w64-mingw32)
set(CMAKE_C_COMPILER ${_loadhdf_prefix}-gcc-win32)
set(CMAKE_CXX_COMPILER ${_loadhdf_prefix}-g++-win32)
set(CMAKE_RC_COMPILER ${_loadhdf_prefix}-windres)
set(CMAKE_DLLTOOL ${_loadhdf_prefix}-dlltool)

# Only the cross toolchain's own headers and libraries; HDF4's headers are
# brought in by windows/CMakeLists.txt alone.
set(CMAKE_FIND_ROOT_PATH /usr/${_loadhdf_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
