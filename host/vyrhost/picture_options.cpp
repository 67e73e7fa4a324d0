#include "picture_options.h"

#include "whole_number.h"

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace VyrHostProgram {

const char* const PictureOptionsUsage = "[--plane K] [--blank VALUE]... [--range LO:HI]";

namespace {

// A finite number, all of Text, as C's strtod reads it (the program keeps
// the "C" locale, so the decimal point is always '.').
bool ReadFiniteNumber(const std::string& Text, double* Value) {
    if (Text.empty() || Text.find_first_of(" \t\r\n") != std::string::npos) {
        return false;
    }
    char* End = nullptr;
    const double Read = std::strtod(Text.c_str(), &End);
    if (End != Text.c_str() + Text.size() || !std::isfinite(Read)) {
        return false;
    }
    *Value = Read;
    return true;
}

} // namespace

bool ReadBlankValue(const std::string& Text, double* Value, std::string* Why) {
    if (!ReadFiniteNumber(Text, Value)) {
        *Why = "--blank takes a number, the value of V that means no data, not '" + Text + "'";
        return false;
    }
    return true;
}

bool ReadValueRange(const std::string& Text, ValueRange* Range, std::string* Why) {
    const std::string::size_type Colon = Text.find(':');
    ValueRange Read;
    if (Colon == std::string::npos || !ReadFiniteNumber(Text.substr(0, Colon), &Read.Low) ||
        !ReadFiniteNumber(Text.substr(Colon + 1), &Read.High) || !(Read.Low < Read.High)) {
        *Why = "--range takes LO:HI, two numbers with LO below HI, not '" + Text + "'";
        return false;
    }
    *Range = Read;
    return true;
}

bool ReadPlaneNumber(const std::string& Text, int32_t* Plane, std::string* Why) {
    int32_t Read = 0;
    if (!ReadWholeInt32(Text, &Read) || Read < 0) {
        *Why = "--plane takes a K plane number from 1 (0: the middle one), not '" + Text + "'";
        return false;
    }
    *Plane = Read;
    return true;
}

bool ReadPictureArguments(const std::string& Text, std::string* Out, PictureOptions* Options,
                          std::string* Why) {
    std::string::size_type OptionsStart = std::string::npos;
    for (std::string::size_type At = Text.find("--"); At != std::string::npos;
         At = Text.find("--", At + 1)) {
        if (At > 0 && (Text[At - 1] == ' ' || Text[At - 1] == '\t')) {
            OptionsStart = At;
            break;
        }
    }
    std::string Path = Text.substr(0, OptionsStart);
    while (!Path.empty() && (Path.back() == ' ' || Path.back() == '\t')) {
        Path.pop_back();
    }
    if (Path.empty()) {
        *Why = std::string("picture needs a file name: picture OUT ") + PictureOptionsUsage;
        return false;
    }
    std::vector<std::string> Words;
    if (OptionsStart != std::string::npos) {
        std::istringstream Stream(Text.substr(OptionsStart));
        std::string Word;
        while (Stream >> Word) {
            Words.push_back(Word);
        }
    }
    PictureOptions Read;
    for (size_t Index = 0; Index < Words.size(); ++Index) {
        std::string Name = Words[Index], Value;
        const std::string::size_type Equals = Name.find('=');
        if (Equals != std::string::npos) {
            Value = Name.substr(Equals + 1);
            Name = Name.substr(0, Equals);
        } else if (Name == "--plane" || Name == "--blank" || Name == "--range") {
            if (Index + 1 == Words.size()) {
                *Why = Name + " needs a value";
                return false;
            }
            Value = Words[++Index];
        }
        bool Good = false;
        if (Name == "--plane") {
            Good = ReadPlaneNumber(Value, &Read.Plane, Why);
        } else if (Name == "--blank") {
            double Blank = 0;
            Good = ReadBlankValue(Value, &Blank, Why);
            Read.Blanks.push_back(Blank);
        } else if (Name == "--range") {
            ValueRange Range;
            Good = ReadValueRange(Value, &Range, Why);
            Read.Range = Range;
        } else {
            *Why = "picture takes " + std::string(PictureOptionsUsage) + " after OUT, not '" +
                   Words[Index] + "'";
        }
        if (!Good) {
            return false;
        }
    }
    *Out = Path;
    *Options = Read;
    return true;
}

} // namespace VyrHostProgram
