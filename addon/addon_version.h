// The add-on's identity: the one place its name and version texts live.
#ifndef LOADHDF_ADDON_ADDON_VERSION_H
#define LOADHDF_ADDON_ADDON_VERSION_H

#define LOADHDF_ADDON_NAME "HDF Loader"
#define LOADHDF_FILE_VERSION "11.2-0-002"
#define LOADHDF_PRODUCT_VERSION "11.2-0-563"
#define LOADHDF_BUILD_DATE "Dec 20 2007"

#endif
