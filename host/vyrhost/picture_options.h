// Reading what a person asks of the picture: --blank VALUE, --range LO:HI
// and --plane K, as options of the command line and as arguments of the
// session's picture command.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_OPTIONS_H
#define LOADHDF_HOST_VYRHOST_PICTURE_OPTIONS_H

#include "picture/picture.h"

#include <string>

namespace VyrHostProgram {

// --blank: one finite number, all of Text. False with Why otherwise.
bool ReadBlankValue(const std::string& Text, double* Value, std::string* Why);

// --range: LO:HI, two finite numbers with LO below HI. False with Why
// otherwise.
bool ReadValueRange(const std::string& Text, ValueRange* Range, std::string* Why);

// --plane: a K plane number from 1, or 0 for the middle one. False with
// Why otherwise.
bool ReadPlaneNumber(const std::string& Text, int32_t* Plane, std::string* Why);

// The arguments of the session's picture command, "OUT [--plane K]
// [--blank VALUE]... [--range LO:HI]" (also --name=VALUE): OUT is the text
// up to the first blank that comes before "--", so that a path may hold
// blanks. False with Why, *Out and *Options unchanged, when OUT is missing
// or an option is unknown, lacks its value or has a bad one.
bool ReadPictureArguments(const std::string& Text, std::string* Out, PictureOptions* Options,
                          std::string* Why);

// The usage of those options, as the command line and the session show it.
extern const char* const PictureOptionsUsage;

} // namespace VyrHostProgram

#endif
