// Test helper: Debian's HDF4 tools from the test programs (see hdf4_tools.h),
// run as the machine's Unix programs are (host/platform/unix_program.h), with
// the files' paths given as those programs know them.
#include "support/hdf4_tools.h"

#include "platform/unix_program.h"

#include <stdexcept>

namespace TestHdf {
namespace {

std::string CommandText(const char* Tool, const std::vector<ToolArgument>& Arguments) {
    std::string Text = Tool;
    for (const ToolArgument& Argument : Arguments)
        Text += " '" + Argument.Text + "'";
    return Text;
}

} // namespace

void RunHdf4Tool(const char* Tool, const std::vector<ToolArgument>& Arguments) {
    std::vector<std::string> Command{Tool};
    for (const ToolArgument& Argument : Arguments)
        Command.push_back(Argument.IsPath ? Platform::UnixFileName(Argument.Text) : Argument.Text);
    if (Platform::RunUnixProgram(Command) != 0)
        throw std::runtime_error("HDF4 tool failed: " + CommandText(Tool, Arguments));
}

} // namespace TestHdf
