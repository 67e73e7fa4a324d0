// hdf4_compare: holds the structure check against HDF4 alone on a set of
// files (a fuzzer's corpus, or the inputs a campaign added to it). For each
// file it runs the check in this process and hdf4_alone in a child with a
// time limit (alone_run.h), and reports both kinds of disagreement:
//   - a finding: the check accepts the file and HDF4, called as the add-on
//     calls it (without what the check keeps out), crashes, hangs, leaks or
//     reads values its two reads disagree on;
//   - an over-refusal candidate: the check refuses the file, or keeps a data
//     set out, and HDF4 alone reads all of it cleanly (the kept-out data
//     sets' values included).
// Without the undamaged file there is no reference: a misread shows only
// where a data set's two reads disagree, and "reads it cleanly" says no more
// than that HDF4 neither failed nor faulted. Then a table of counts. The
// fuzzer itself, and deciding what to do about a disagreement, are left to
// tools/fuzz.sh and to whoever reads the report.
#include "catalogue/structure_check.h"
#include "platform/program_path.h"
#include "tools/hdf4_alone/alone_run.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Hdf4Alone::AloneRun;

constexpr int DefaultTimeLimitSeconds = 5;

const char* const Usage =
    "usage: hdf4_compare [--time-limit S] [--program HDF4_ALONE] [--list FILE] [PATH]...\n"
    "\n"
    "Runs the structure check and HDF4 alone (hdf4_alone, in a child with a time\n"
    "limit) on every file named, every file under each folder named, and every\n"
    "path listed one a line in FILE. Prints each finding (the check accepts the\n"
    "file, HDF4 called as the add-on calls it faults) and each over-refusal\n"
    "candidate (the check refuses the file or keeps a data set out, HDF4 alone\n"
    "reads it cleanly), then a table of counts.\n"
    "\n"
    "  --time-limit S   seconds a child may run before it counts as hung (default 5)\n"
    "  --program PATH   the hdf4_alone program (default: beside this one)\n";

struct Options {
    int TimeLimitSeconds = DefaultTimeLimitSeconds;
    std::string Program;
    std::vector<std::string> Files;
};

bool AddPath(const std::string& Path, std::vector<std::string>* Files) {
    std::error_code Error;
    if (fs::is_directory(Path, Error)) {
        for (const auto& Entry : fs::recursive_directory_iterator(Path, Error))
            if (Entry.is_regular_file(Error))
                Files->push_back(Entry.path().string());
        return true;
    }
    if (!fs::is_regular_file(Path, Error))
        return false;
    Files->push_back(Path);
    return true;
}

bool ParseOptions(int Argc, char** Argv, Options* Out) {
    for (int At = 1; At < Argc; ++At) {
        const std::string Arg = Argv[At];
        const bool HasValue = At + 1 < Argc;
        if (Arg == "--time-limit" && HasValue) {
            Out->TimeLimitSeconds = std::atoi(Argv[++At]);
            if (Out->TimeLimitSeconds < 1)
                return false;
        } else if (Arg == "--program" && HasValue) {
            Out->Program = Argv[++At];
        } else if (Arg == "--list" && HasValue) {
            std::ifstream List(Argv[++At]);
            if (!List)
                return false;
            for (std::string Line; std::getline(List, Line);)
                if (!Line.empty() && !AddPath(Line, &Out->Files))
                    std::fprintf(stderr, "hdf4_compare: no such file: %s\n", Line.c_str());
        } else if (Arg.rfind("--", 0) == 0) {
            return false;
        } else if (!AddPath(Arg, &Out->Files)) {
            std::fprintf(stderr, "hdf4_compare: no such file or folder: %s\n", Arg.c_str());
            return false;
        }
    }
    if (Out->Program.empty()) {
        const auto Self = Platform::RunningProgramPath();
        if (!Self)
            return false;
        Out->Program = (Self->parent_path() / "hdf4_alone").string();
    }
    return !Out->Files.empty();
}

// How the check took a file: the rows of the table.
enum class Taken { Accepted, KeptOut, Refused, Count };
const char* const TakenNames[] = {"accepted", "accepted, data kept out", "refused"};
constexpr size_t Faults = size_t(Hdf4Fault::Crash) + 1;

// One line about a disagreement: what the check said, what HDF4 did.
void Print(const char* Kind, const std::string& File, const std::string& Check,
           const AloneRun& Run) {
    std::printf("%s: %s\n  check: %s\n  HDF4 alone: %s: %s\n", Kind, File.c_str(), Check.c_str(),
                Hdf4FaultName(Run.Worst()), Run.Detail.c_str());
}

} // namespace

int main(int Argc, char** Argv) {
    Options Opts;
    if (!ParseOptions(Argc, Argv, &Opts)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    std::array<std::array<int, Faults>, size_t(Taken::Count)> Table{};
    int Findings = 0, OverRefusals = 0;
    Hdf4Alone::AloneOptions Full;
    Full.TimeLimitSeconds = Opts.TimeLimitSeconds;
    try {
        for (const std::string& File : Opts.Files) {
            const StructureVerdict Verdict = CheckHdfStructure(File.c_str());
            const Taken How = !Verdict.Sound            ? Taken::Refused
                              : Verdict.KeptOut.empty() ? Taken::Accepted
                                                        : Taken::KeptOut;
            const AloneRun Run = Hdf4Alone::RunAlone(Opts.Program, File, Full);
            ++Table[size_t(How)][size_t(Run.Worst())];
            std::string Check =
                Verdict.Sound ? "accepted" : std::string("refused: ") + Verdict.Rule;
            for (const DataKeptOut& Set : Verdict.KeptOut)
                Check += "; data set " + std::to_string(Set.HdfIndex) + " kept out: " + Set.Rule;
            // A kept-out data set HDF4 was never asked to read (no
            // dimensions, or empty) says nothing either way.
            bool KeptOutRead = true;
            for (const DataKeptOut& Set : Verdict.KeptOut)
                KeptOutRead = KeptOutRead && Hdf4Alone::ValuesRead(Run, Set.HdfIndex);
            if (How != Taken::Accepted && Run.Worst() == Hdf4Fault::Clean && KeptOutRead) {
                ++OverRefusals;
                Print("over-refusal candidate", File, Check, Run);
            }
            if (How == Taken::Refused)
                continue;
            // As the add-on calls HDF4: without what the check keeps out.
            Hdf4Alone::AloneOptions AsTheAddOn = Full;
            for (const DataKeptOut& Set : Verdict.KeptOut)
                AsTheAddOn.SkipValues.push_back(Set.HdfIndex);
            AsTheAddOn.SkipScales = Verdict.ScalesKeptOut;
            const AloneRun Called =
                How == Taken::Accepted ? Run : Hdf4Alone::RunAlone(Opts.Program, File, AsTheAddOn);
            if (Called.Worst() > Hdf4Fault::Report) {
                ++Findings;
                Print("finding", File, Check, Called);
            }
        }
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "hdf4_compare: %s\n", Error.what());
        return 2;
    }

    std::printf("\n== %zu files, HDF4 alone with a limit of %d s%s\n", Opts.Files.size(),
                Opts.TimeLimitSeconds,
                Hdf4Alone::LeaksAreSeen() ? ", leaks seen" : ", leaks not seen (no LeakSanitizer)");
    std::printf("%-26s", "check \\ HDF4 alone");
    for (size_t F = 0; F < Faults; ++F)
        std::printf("%9s", Hdf4FaultName(Hdf4Fault(F)));
    std::printf("\n");
    for (size_t T = 0; T < size_t(Taken::Count); ++T) {
        std::printf("%-26s", TakenNames[T]);
        for (size_t F = 0; F < Faults; ++F)
            std::printf("%9d", Table[T][F]);
        std::printf("\n");
    }
    std::printf("findings (accepted, HDF4 faults as the add-on calls it): %d\n", Findings);
    std::printf("over-refusal candidates (refused or kept out, HDF4 reads it cleanly): %d\n",
                OverRefusals);
    return 0;
}
