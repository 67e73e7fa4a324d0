// `vyrhost list` and `vyrhost load` on every file that our fuzzing of the
// HDF scan turned up (tests/fuzz_regressions): damaged files on which HDF4
// 4.2.15 crashed inside the host's process before the add-on's structure
// check refused them. Run as a person would run the program, each must end
// in exit status 0 or 1, never a signal, with nothing on standard error but
// the add-on's messages (a sanitizer's report fails the test too).
#include "program_runner.h"
#include "support/fuzz_regressions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace VyrhostTest;

namespace {

TEST(VyrhostFuzzRegressions, ListAndLoadEndInAnExitStatusWithOnlyTheAddOnsMessages) {
    const std::vector<std::string> Files = TestHdf::FuzzRegressionFiles();
    ASSERT_FALSE(Files.empty());
    for (const std::string& File : Files) {
        const std::vector<std::string> Commands[] = {{"list", File}, {"load", File, "--sds", "1"}};
        for (const std::vector<std::string>& Args : Commands) {
            SCOPED_TRACE(Args[0] + " " + File);

            const ProgramRun Run = RunVyrhost(Args);

            EXPECT_EQ(Run.Signal, 0);
            EXPECT_TRUE(Run.ExitStatus == 0 || Run.ExitStatus == 1) << Run.ExitStatus;
            const std::vector<std::string> ErrLines = Lines(Run.Err);
            if (Run.ExitStatus != 0) {
                EXPECT_FALSE(ErrLines.empty()) << "a failure without the add-on's message";
            }
            for (const std::string& Line : ErrLines)
                EXPECT_EQ(Line.rfind("error: ", 0), 0u) << Line;
        }
    }
}

} // namespace
