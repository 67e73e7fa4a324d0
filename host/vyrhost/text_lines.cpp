// Line-wise reading and writing of the small text files the host program
// handles: a missing or unreadable file is reported, never half-read.
#include "text_lines.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace VyrHostProgram {

std::string WithoutLineEnd(std::string Line) {
    if (!Line.empty() && Line.back() == '\n') {
        Line.pop_back();
    }
    if (!Line.empty() && Line.back() == '\r') {
        Line.pop_back();
    }
    return Line;
}

bool ReadTextLines(const std::string& Path, std::vector<std::string>* Lines, std::string* Why) {
    Lines->clear();
    std::ifstream File;
    std::istream* In = &std::cin;
    if (Path != "-") {
        std::error_code Ignored;
        if (std::filesystem::is_directory(Path, Ignored)) {
            *Why = Path + " is a directory";
            return false;
        }
        File.open(Path, std::ios::binary);
        if (!File) {
            *Why = "cannot read " + Path;
            return false;
        }
        In = &File;
    }
    std::string Line;
    while (std::getline(*In, Line)) {
        Lines->push_back(WithoutLineEnd(Line));
    }
    if (In->bad()) {
        *Why = "cannot read " + Path;
        return false;
    }
    return true;
}

bool WriteTextLines(const std::string& Path, const std::vector<std::string>& Lines,
                    std::string* Why) {
    std::ofstream File(Path, std::ios::binary | std::ios::trunc);
    for (const std::string& Line : Lines) {
        File << Line << '\n';
    }
    File.close();
    if (!File) {
        *Why = "cannot write " + Path;
        return false;
    }
    return true;
}

} // namespace VyrHostProgram
