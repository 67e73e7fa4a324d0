# HDF4 in the Windows build. loadhdf.dll imports HDF4 from hdf.dll and
# mfhdf.dll, the names HDF4's own Windows build gives its base library and
# its SD library (HDF4_SRC_LIB_CORENAME "hdf" and HDF4_MF_LIB_CORENAME
# "mfhdf", no prefix for a shared library); the user installs them. Their
# import libraries are made here with dlltool from .def files of ours, since
# no HDF4 for Windows is on this machine.
#
# Everything compiles against Debian's i386 HDF4 headers (the toolchain file
# unpacks them). That is sound for HDF4 4.2.15's Windows DLLs: hdfi.h takes
# one branch for 32-bit Linux (UNIX386) and 32-bit Windows (_M_IX86, WIN386)
# alike, so int8/uint8 are char, int16/uint16 short, int32/uint32 long and
# intn/uintn int (4 bytes on both), float32/float64 float and double, and
# DF_MT is DFMT_PC, little-endian IEEE, on both; HDF_CHUNK_DEF, comp_info
# and model_info hold only 4-byte members. The C API is cdecl on both
# (H4api_adpt.h marks it dllexport/dllimport and nothing else; no
# __stdcall anywhere), no function returns a structure, and the two that
# take one by value (SDsetchunk, GRsetchunk) pass it on the stack either
# way. Debian's h4config.h does not define H4_BUILT_AS_DYNAMIC_LIB, so the
# declarations carry no dllimport and calls go through the import
# libraries' thunks, which the tests' --wrap options can redirect.
#
# Defines:
#   HDF4::HDF4            headers, and import libraries of every function in
#                         windows/hdf4-bridge/functions.txt (test programs, tools)
#   loadhdf_module_hdf4   import libraries of windows/hdf4-imports/*.def alone
#   hdf4_wine_bridge      the target that builds the Wine bridge

# Makes the import library LIBRARY from the .def file DEF, when CMake
# configures (dlltool takes a moment; the .def files are re-read whenever
# they change).
function(loadhdf_import_library def library)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${def}")
  execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def "${def}" --output-lib "${library}"
                  RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dlltool could not make ${library} from ${def}: ${errors}")
  endif()
endfunction()

include(${CMAKE_SOURCE_DIR}/windows/hdf4-bridge/bridge.cmake)

add_library(HDF4::HDF4 INTERFACE IMPORTED)
set_target_properties(HDF4::HDF4 PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${LOADHDF_HDF4_HEADERS}"
  INTERFACE_LINK_LIBRARIES
    "${CMAKE_BINARY_DIR}/hdf4-bridge/libmfhdf.dll.a;${CMAKE_BINARY_DIR}/hdf4-bridge/libhdf.dll.a")

set(_module_imports "${CMAKE_BINARY_DIR}/hdf4-imports")
file(MAKE_DIRECTORY "${_module_imports}")
foreach(dll hdf mfhdf)
  loadhdf_import_library("${CMAKE_SOURCE_DIR}/windows/hdf4-imports/${dll}.def"
                         "${_module_imports}/lib${dll}.dll.a")
endforeach()
add_library(loadhdf_module_hdf4 INTERFACE IMPORTED)
set_target_properties(loadhdf_module_hdf4 PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${LOADHDF_HDF4_HEADERS}"
  INTERFACE_LINK_LIBRARIES
    "${_module_imports}/libmfhdf.dll.a;${_module_imports}/libhdf.dll.a")
