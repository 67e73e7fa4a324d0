// Reading a text file, or standard input, as lines: the instruction lists
// that the host replays and the session scripts.
#ifndef LOADHDF_HOST_VYRHOST_TEXT_LINES_H
#define LOADHDF_HOST_VYRHOST_TEXT_LINES_H

#include <string>
#include <vector>

namespace VyrHostProgram {

// The lines of Path ("-": standard input), without their line ends: a final
// line end makes no empty line, and the carriage return of a CRLF line end
// is dropped with it. False with the reason when the file cannot be read.
bool ReadTextLines(const std::string& Path, std::vector<std::string>* Lines, std::string* Why);

// Writes each line followed by a newline. False with the reason on failure.
bool WriteTextLines(const std::string& Path, const std::vector<std::string>& Lines,
                    std::string* Why);

// One line end dropped from Line: "\n", "\r\n" or a lone "\r" at its end.
std::string WithoutLineEnd(std::string Line);

} // namespace VyrHostProgram

#endif
