/* File names that a Windows program hands HDF4, made into the names that
   Debian's HDF4, a Unix library, can open. */
#ifndef LOADHDF_HDF4_BRIDGE_PATHS_H
#define LOADHDF_HDF4_BRIDGE_PATHS_H

/* The Unix name of a Windows path (drive letter or not, backslashes or
   slashes, relative to the Windows process's current folder), as Wine maps
   it; a copy of the path itself where Wine has no Unix name for it, so that
   HDF4 fails on it as it would on any missing file. Null for null. Given
   back with bridge_free_path. */
char* bridge_unix_path(const char* windows_path);

void bridge_free_path(char* unix_path);

#endif
