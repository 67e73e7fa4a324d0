// Texts as Cairo can show them. Cairo refuses a text that is not UTF-8 and
// then draws nothing more, and an HDF label may hold Latin-1 or control
// bytes, so every text of the picture passes through Printable first; the
// character steps let a printable text be cut without splitting a
// character.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_PRINTABLE_TEXT_H
#define LOADHDF_HOST_VYRHOST_PICTURE_PRINTABLE_TEXT_H

#include <cstddef>
#include <string>

namespace VyrHostProgram {

// Text with each byte that does not belong to valid UTF-8, and each control
// character, replaced by '?'.
std::string Printable(const std::string& Text);

// In a printable Text: the start of the character before At (At above 0),
// and of the one after the character at At.
size_t PreviousCharacter(const std::string& Text, size_t At);
size_t NextCharacter(const std::string& Text, size_t At);

} // namespace VyrHostProgram

#endif
