// Strict number reading for the host program's own arguments. Unlike the
// add-on's skip fields, which read a leading number the way atoi does, the
// program refuses "3x" or "" so that a slip is reported, not guessed at.
#include "whole_number.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace VyrHostProgram {

bool ReadWholeInt32(const std::string& Text, int32_t* Value) {
    if (Text.empty()) {
        return false;
    }
    errno = 0;
    char* End = nullptr;
    const long long Read = std::strtoll(Text.c_str(), &End, 10);
    if (errno != 0 || *End != '\0' || Read < INT32_MIN || Read > INT32_MAX) {
        return false;
    }
    *Value = static_cast<int32_t>(Read);
    return true;
}

} // namespace VyrHostProgram
