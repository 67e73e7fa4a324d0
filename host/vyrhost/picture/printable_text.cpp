// UTF-8 checked by hand, byte by byte, as RFC 3629 defines it: Cairo's own
// check is all or nothing, and a label should keep its valid characters.
#include "printable_text.h"

#include <algorithm>

namespace VyrHostProgram {
namespace {

// The length of a valid UTF-8 sequence that starts at Text[At], or 0.
size_t Utf8Length(const std::string& Text, size_t At) {
    const unsigned char Lead = static_cast<unsigned char>(Text[At]);
    const size_t Length = Lead >= 0xC2 && Lead <= 0xDF   ? 2
                          : Lead >= 0xE0 && Lead <= 0xEF ? 3
                          : Lead >= 0xF0 && Lead <= 0xF4 ? 4
                                                         : 0;
    if (Length == 0 || At + Length > Text.size()) {
        return 0;
    }
    for (size_t Next = 1; Next < Length; ++Next) {
        if ((static_cast<unsigned char>(Text[At + Next]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // Overlong forms, UTF-16 surrogates and code points beyond U+10FFFF.
    const unsigned char Second = static_cast<unsigned char>(Text[At + 1]);
    if ((Lead == 0xE0 && Second < 0xA0) || (Lead == 0xED && Second >= 0xA0) ||
        (Lead == 0xF0 && Second < 0x90) || (Lead == 0xF4 && Second >= 0x90)) {
        return 0;
    }
    return Length;
}

} // namespace

std::string Printable(const std::string& Text) {
    std::string Shown;
    Shown.reserve(Text.size());
    for (size_t At = 0; At < Text.size();) {
        const unsigned char Byte = static_cast<unsigned char>(Text[At]);
        if (Byte < 0x80) {
            Shown += Byte < 0x20 || Byte == 0x7F ? '?' : char(Byte);
            ++At;
            continue;
        }
        const size_t Length = Utf8Length(Text, At);
        if (Length == 0) {
            Shown += '?';
            ++At;
            continue;
        }
        Shown.append(Text, At, Length);
        At += Length;
    }
    return Shown;
}

size_t PreviousCharacter(const std::string& Text, size_t At) {
    do {
        --At;
    } while (At > 0 && (static_cast<unsigned char>(Text[At]) & 0xC0) == 0x80);
    return At;
}

size_t NextCharacter(const std::string& Text, size_t At) {
    return At + std::max<size_t>(1, Utf8Length(Text, At));
}

} // namespace VyrHostProgram
