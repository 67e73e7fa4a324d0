# Finds Debian's HDF4 build without netCDF symbols ("alt" libraries:
# mfhdfalt and dfalt, headers under hdf/). Debian ships no CMake or
# pkg-config file for it, so the paths are searched by hand. For Windows it
# finds the static HDF4 of tools/build-windows-hdf4.sh instead, with its XDR,
# JPEG and zlib, and Winsock, where its XDR finds htonl.
#
# Defines HDF4_FOUND and the imported target HDF4::HDF4.

# The folder holding hdf/: the sources include <hdf/mfhdf.h>, so this must come
# before the machine's own headers in a cross build.
find_path(HDF4_INCLUDE_DIR NAMES hdf/mfhdf.h)
if(WIN32)
  find_library(HDF4_MFHDF_LIBRARY NAMES libmfhdf.a)
  find_library(HDF4_DF_LIBRARY NAMES libhdf.a)
  find_library(HDF4_XDR_LIBRARY NAMES libxdr.a)
  find_library(HDF4_JPEG_LIBRARY NAMES libjpeg.a)
  find_library(HDF4_ZLIB_LIBRARY NAMES libz.a)
  set(_hdf4_below_df ${HDF4_XDR_LIBRARY} ${HDF4_JPEG_LIBRARY} ${HDF4_ZLIB_LIBRARY} ws2_32)
else()
  find_library(HDF4_MFHDF_LIBRARY NAMES mfhdfalt)
  find_library(HDF4_DF_LIBRARY NAMES dfalt)
  set(_hdf4_below_df "")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(HDF4 REQUIRED_VARS HDF4_MFHDF_LIBRARY HDF4_DF_LIBRARY
                                  HDF4_INCLUDE_DIR)

if(HDF4_FOUND AND NOT TARGET HDF4::HDF4)
  add_library(HDF4::HDF4 INTERFACE IMPORTED)
  # mfhdf sits on top of df: the order matters for static linking.
  set_target_properties(HDF4::HDF4 PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${HDF4_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "${HDF4_MFHDF_LIBRARY};${HDF4_DF_LIBRARY};${_hdf4_below_df}")
endif()
mark_as_advanced(HDF4_INCLUDE_DIR HDF4_MFHDF_LIBRARY HDF4_DF_LIBRARY)
