// What the load dialog and the attributes dialog share when they build
// themselves: the host offers no way to destroy a dialog, so each is built
// once and what the host could not make is asked for again at the next
// launch.
#ifndef LOADHDF_GUI_DIALOG_BUILDING_H
#define LOADHDF_GUI_DIALOG_BUILDING_H

#include "interface/addon_state.h"

#include <cstdint>

// Shown when the host could not make a dialog or one of its controls.
constexpr const char* DialogNotBuiltText = "Could not create dialog";

// The id the host returned for a new dialog or control, or NotBuilt when it
// could not make one (-1), so that the next launch makes what is missing.
inline int32_t BuiltOrNot(int32_t Id) {
    return Id < 0 ? NotBuilt : Id;
}

// Sets Id to what Add returns unless Id is built already.
template <typename AddControl> void AddMissingControl(int32_t& Id, AddControl Add) {
    if (Id == NotBuilt)
        Id = BuiltOrNot(Add());
}

#endif
