// PLACEHOLDER until the loading road lands: refuses every load.
#include "loader/load_hdf_data.h"

VyrBoolean_t LoadHdfData(VyrStringList_pa) { return false; }
