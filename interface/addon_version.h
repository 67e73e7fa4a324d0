// The add-on's identity: the one place its name, version and credit texts
// live, and the oldest host version it accepts.
#ifndef LOADHDF_INTERFACE_ADDON_VERSION_H
#define LOADHDF_INTERFACE_ADDON_VERSION_H

#define LOADHDF_ADDON_NAME "HDF Loader"
#define LOADHDF_FILE_VERSION "11.2-0-002"
#define LOADHDF_PRODUCT_VERSION "11.2-0-563"
#define LOADHDF_BUILD_DATE "Dec 20 2007"
// The module's own identity (module_version.cpp).
#define LOADHDF_FILE_DESCRIPTION "HDF Loader (Vyrlith Add-on)"
#define LOADHDF_INTERNAL_NAME "loadhdf"
#define LOADHDF_FILE_VERSION_NUMBER "11.2.0.2"
// The same two versions as the four numbers of a Windows version resource
// (windows/loadhdf.rc).
#define LOADHDF_FILE_VERSION_PARTS 11, 2, 0, 2
#define LOADHDF_PRODUCT_VERSION_PARTS 11, 2, 0, 563

// The version text given at registration: "11.2-0-002 (11.2-0-563) Dec 20 2007".
#define LOADHDF_REGISTERED_VERSION                                                                 \
    LOADHDF_FILE_VERSION " (" LOADHDF_PRODUCT_VERSION ") " LOADHDF_BUILD_DATE

// Nine lines: the add-on's maker, then eight indented lines for the HDF
// library and the zlib compression library it reads compressed data with.
#define LOADHDF_CREDITS                                                                            \
    "loadhdf, the HDF4 loader add-on for Vyrlith\n"                                                \
    "    This add-on reads HDF files with the HDF library (HDF4),\n"                               \
    "    developed and maintained by The HDF Group, and first\n"                                   \
    "    developed at the National Center for Supercomputing\n"                                    \
    "    Applications (NCSA) at the University of Illinois at\n"                                   \
    "    Urbana-Champaign, with contributions from many other\n"                                   \
    "    institutions and individuals.\n"                                                          \
    "    Compressed HDF data is read with the zlib compression\n"                                  \
    "    library by Jean-loup Gailly and Mark Adler."

// The oldest host the add-on runs in, as VyrUtilGetVyrlithVersion reports it.
#define LOADHDF_MIN_HOST_VERSION 740400

#endif
