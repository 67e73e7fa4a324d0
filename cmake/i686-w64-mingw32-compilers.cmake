# Debian's mingw-w64 compilers for 32-bit Windows, with searches kept to the
# cross toolchain's own headers and libraries. The posix thread model: the
# win32 one has no std::mutex, which GoogleTest needs. Everything is linked
# with -static, so the C++ runtime, libgcc and winpthread go into each
# program and DLL, which then need no DLL beyond Windows' own and the
# project's. The project's Windows build uses it
# through i686-w64-mingw32.cmake; HDF4's Windows build
# (tools/build-windows-hdf4.sh) uses it alone.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(_loadhdf_prefix i686-w64-mingw32)
set(CMAKE_C_COMPILER ${_loadhdf_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_loadhdf_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${_loadhdf_prefix}-windres)
set(CMAKE_DLLTOOL ${_loadhdf_prefix}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${_loadhdf_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT -static)
endforeach()
