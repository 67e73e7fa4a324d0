# Finds Debian's HDF4 build without netCDF symbols ("alt" libraries:
# mfhdfalt and dfalt, headers under hdf/). Debian ships no CMake or
# pkg-config file for it, so the paths are searched by hand. The Windows
# build does not use this: see WindowsHdf4.cmake.
#
# Defines HDF4_FOUND and the imported target HDF4::HDF4.

# The folder holding hdf/: the sources include <hdf/mfhdf.h>, so this must come
# before the machine's own headers in a cross build.
find_path(HDF4_INCLUDE_DIR NAMES hdf/mfhdf.h)
find_library(HDF4_MFHDF_LIBRARY NAMES mfhdfalt)
find_library(HDF4_DF_LIBRARY NAMES dfalt)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(HDF4 REQUIRED_VARS HDF4_MFHDF_LIBRARY HDF4_DF_LIBRARY
                                  HDF4_INCLUDE_DIR)

if(HDF4_FOUND AND NOT TARGET HDF4::HDF4)
  add_library(HDF4::HDF4 INTERFACE IMPORTED)
  # mfhdf sits on top of df: the order matters for static linking.
  set_target_properties(HDF4::HDF4 PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${HDF4_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "${HDF4_MFHDF_LIBRARY};${HDF4_DF_LIBRARY}")
endif()
mark_as_advanced(HDF4_INCLUDE_DIR HDF4_MFHDF_LIBRARY HDF4_DF_LIBRARY)
