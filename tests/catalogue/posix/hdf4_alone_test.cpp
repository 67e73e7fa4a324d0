// Every row of the structure check's damage table proven against HDF4
// running: HDF4 4.2.15 alone (tools/hdf4_alone/, in a child process with a
// time limit) shows the row's fault on its damaged file, and handles its
// twin, damaged one step inside the rule's bound, which the check accepts.
// Only where Debian's HDF4 runs natively (the Linux, sanitizer and 32-bit
// builds); a leak is seen only in the sanitizer build, and elsewhere a row
// whose fault is a leak is skipped, saying so.
#include "catalogue/structure_check.h"
#include "catalogue/structure_damages.h"
#include "support/hdf_writer.h"
#include "support/writer_variety.h"
#include "tools/hdf4_alone/alone_run.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {

using Hdf4Alone::AloneRun;

// Enough for HDF4 to read any good file of the table, under the sanitizers
// too, several times over; an endless loop costs this once per row.
constexpr int TimeLimitSeconds = 4;

// The run, its worst fault, why, and the first lines of a sanitizer report.
std::string Described(const AloneRun& Run) {
    std::string Text = std::string(Hdf4FaultName(Run.Worst())) + ": " + Run.Detail;
    size_t Lines = 0, At = Run.Err.find("==ERROR");
    while (At != std::string::npos && At < Run.Err.size() && Lines++ < 12) {
        const size_t End = Run.Err.find('\n', At);
        Text += "\n  " + Run.Err.substr(At, End - At);
        At = End == std::string::npos ? End : End + 1;
    }
    return Text;
}

AloneRun RunAlone(const std::string& Path, const AloneRun* Reference) {
    Hdf4Alone::AloneOptions Options;
    Options.TimeLimitSeconds = TimeLimitSeconds;
    return Hdf4Alone::RunAlone(LOADHDF_HDF4_ALONE_PATH, Path, Options, Reference);
}

class Hdf4AloneTest : public ::testing::TestWithParam<size_t> {};

TEST_P(Hdf4AloneTest, ShowsTheRowsFaultAndHandlesItsTwin) {
    const Damage& Row = *DamageRows().at(GetParam());
    SCOPED_TRACE(Row.What);
    const std::string Stem = "alone-" + std::to_string(GetParam());
    const std::string Good = TestHdf::TempPath(Stem + "-good.hdf");
    const std::string Damaged = TestHdf::TempPath(Stem + "-damaged.hdf");
    WriteDamaged(Row, Row.Apply, Good, Damaged);

    const AloneRun Reference = RunAlone(Good, nullptr);
    ASSERT_EQ(Reference.Worst(), Hdf4Fault::Clean) << "the good file: " << Described(Reference);

    if (Row.TwinApply) {
        SCOPED_TRACE("the twin");
        const std::string Twin = TestHdf::TempPath(Stem + "-twin.hdf");
        WriteDamaged(Row, Row.TwinApply, Good, Twin);
        const StructureVerdict Verdict = CheckHdfStructure(Twin.c_str());
        EXPECT_TRUE(Verdict.Sound) << Verdict.Rule;
        EXPECT_TRUE(Verdict.KeptOut.empty()) << Verdict.KeptOut.front().Rule;
        const AloneRun Handled = RunAlone(Twin, &Reference);
        EXPECT_LE(Handled.Worst(), Hdf4Fault::Report) << Described(Handled);
    }

    const AloneRun Shown = RunAlone(Damaged, &Reference);
    ASSERT_TRUE(Row.Fault.has_value())
        << "the row names no fault; HDF4 alone shows " << Described(Shown);
    // A rule HDF4 does not need says so, and HDF4 then shows no fault.
    if (Row.NotReproduced != nullptr) {
        RecordProperty("not_reproduced", Row.NotReproduced);
        EXPECT_LE(*Row.Fault, Hdf4Fault::Report) << "a fault shown is reproduced";
    } else {
        EXPECT_NE(*Row.Fault, Hdf4Fault::Clean) << "a row HDF4 reads whole reproduces nothing";
    }
    if (*Row.Fault == Hdf4Fault::Leak && !Hdf4Alone::LeaksAreSeen()) {
        // Without LeakSanitizer the leak cannot be told; nothing worse may
        // happen.
        EXPECT_LE(Shown.Worst(), Hdf4Fault::Report) << Described(Shown);
        RecordProperty("leak_not_checked", "LeakSanitizer is in the sanitizer build only");
        GTEST_SKIP() << "a leak, seen only in the sanitizer build; HDF4 alone shows "
                     << Described(Shown);
    }
    EXPECT_EQ(Hdf4FaultName(Shown.Worst()), std::string(Hdf4FaultName(*Row.Fault)))
        << Described(Shown);
}

INSTANTIATE_TEST_SUITE_P(DamageTable, Hdf4AloneTest,
                         ::testing::Range<size_t>(0, DamageRows().size()),
                         [](const ::testing::TestParamInfo<size_t>& Info) {
                             std::string Name = std::to_string(Info.param) + "_";
                             for (const char* C = DamageRows().at(Info.param)->What;
                                  *C != '\0' && *C != '('; ++C)
                                 Name += std::isalnum(static_cast<unsigned char>(*C)) ? *C : '_';
                             while (Name.back() == '_')
                                 Name.pop_back();
                             return Name;
                         });

// The writer pairs: the check keeps out the data set of a valid file HDF4
// faults on, and lets through its twin HDF4 reads whole.
TEST(Hdf4AloneWriters, ValidFilesHdf4FaultsOnAreKeptOutAndTheirTwinsLoad) {
    const std::vector<WriterFault> Rows = WriterFaults();
    for (const WriterFault& Row : Rows) {
        SCOPED_TRACE(Row.Case);
        const TestHdf::WriterCase* Writer = nullptr;
        for (const TestHdf::WriterCase& Case : TestHdf::WriterVariety())
            if (std::strcmp(Case.Name, Row.Case) == 0)
                Writer = &Case;
        ASSERT_NE(Writer, nullptr);
        const std::string Path = TestHdf::TempPath(std::string("alone-writer-") +
                                                   std::to_string(&Row - Rows.data()) + ".hdf");
        Writer->Write(Path);
        const StructureVerdict Verdict = CheckHdfStructure(Path.c_str());
        EXPECT_TRUE(Verdict.Sound) << Verdict.Rule;
        EXPECT_STREQ(Verdict.DataRule(0), Row.KeptOut);
        const AloneRun Shown = RunAlone(Path, nullptr);
        EXPECT_EQ(Hdf4FaultName(Shown.Worst()), std::string(Hdf4FaultName(Row.Fault)))
            << Described(Shown);
    }
}

} // namespace
