// What the host program's tests run: the programs' paths, the runs of
// vyrhost, and the text helpers.
#include "program_runner.h"

namespace VyrhostTest {

std::string VyrhostPath() {
    return LOADHDF_VYRHOST_PATH;
}
std::string MakeSampleHdfPath() {
    return LOADHDF_SAMPLE_WRITER_PATH;
}

ProgramRun RunProgram(const std::string& Program, const std::vector<std::string>& Args,
                      const std::string& Input) {
    return Platform::RunChild(Program, Args, Platform::ChildInput{Input, false});
}

ProgramRun RunVyrhost(const std::vector<std::string>& Args, const std::string& Input) {
    return RunProgram(VyrhostPath(), Args, Input);
}

ProgramRun RunVyrhostOnNullDevice(const std::vector<std::string>& Args) {
    Platform::ChildInput NullDevice;
    NullDevice.FromNullDevice = true;
    return Platform::RunChild(VyrhostPath(), Args, NullDevice);
}

ProgramRun RunVyrhostOnTerminal(const std::vector<std::string>& Args, const std::string& Input) {
    return Platform::RunChildOnTerminal(VyrhostPath(), Args, Input);
}

ProgramRun RunVyrhostWithCtrlCAtFirstOutput(const std::vector<std::string>& Args,
                                            bool* StoppedAtWrite) {
    return Platform::RunChildWithCtrlCAtFirstOutput(VyrhostPath(), Args, StoppedAtWrite);
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
