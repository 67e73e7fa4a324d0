// The module's version identity, the ELF counterpart of a Windows version
// resource: NUL-separated "key=value" texts in a section of their own,
// ".loadhdf_version", readable without loading the module
// (readelf -p .loadhdf_version loadhdf.so). It adds no exported symbol.
#include "interface/addon_version.h"

namespace {

__attribute__((section(".loadhdf_version"), used)) const char ModuleVersion[] =
    "FileDescription=" LOADHDF_FILE_DESCRIPTION "\0"
    "InternalName=" LOADHDF_INTERNAL_NAME "\0"
    "FileVersion=" LOADHDF_FILE_VERSION "\0"
    "FileVersionNumber=" LOADHDF_FILE_VERSION_NUMBER "\0"
    "ProductVersion=" LOADHDF_PRODUCT_VERSION;

} // namespace
