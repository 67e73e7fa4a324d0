// What the host program's tests run, wherever they run: the programs' paths,
// and the text helpers.
#include "program_runner.h"

namespace VyrhostTest {

std::string VyrhostPath() {
    return LOADHDF_VYRHOST_PATH;
}
std::string MakeSampleHdfPath() {
    return LOADHDF_SAMPLE_WRITER_PATH;
}

ProgramRun RunVyrhost(const std::vector<std::string>& Args, const std::string& Input) {
    return RunProgram(VyrhostPath(), Args, Input);
}

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> Result;
    std::string::size_type Start = 0;
    while (Start < Text.size()) {
        std::string::size_type End = Text.find('\n', Start);
        if (End == std::string::npos) {
            End = Text.size();
        }
        Result.push_back(Text.substr(Start, End - Start));
        Start = End + 1;
    }
    return Result;
}

std::string TextOf(const std::vector<std::string>& Lines) {
    std::string Text;
    for (const std::string& Line : Lines) {
        Text += Line + "\n";
    }
    return Text;
}

} // namespace VyrhostTest
