// The host program's picture of a load (--picture, and the session's
// picture command): what the host holds, drawn into a PNG file.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_FILE_H
#define LOADHDF_HOST_VYRHOST_PICTURE_FILE_H

#include "picture/picture.h"

#include <string>

namespace VyrHostProgram {

enum class PictureOutcome { Written, NothingToDraw, Failed };

// Draws the host's data set into Path, as Options ask and titled with what
// Labels know. NothingToDraw when the host holds no data set; Failed, with
// Why, when the picture cannot be made or written.
PictureOutcome WritePicture(const std::string& Path, const PictureOptions& Options,
                            const PictureLabels& Labels, std::string* Why);

} // namespace VyrHostProgram

#endif
