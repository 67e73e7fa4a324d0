// Reading a whole decimal number that a person typed on the command line or
// in a session: all of the text must be the number.
#ifndef LOADHDF_HOST_VYRHOST_WHOLE_NUMBER_H
#define LOADHDF_HOST_VYRHOST_WHOLE_NUMBER_H

#include <cstdint>
#include <string>

namespace VyrHostProgram {

// A decimal number with an optional sign that fits 32 bits, and nothing
// else; false (leaving *Value alone) for an empty text, other characters, or
// a number out of range.
bool ReadWholeInt32(const std::string& Text, int32_t* Value);

} // namespace VyrHostProgram

#endif
