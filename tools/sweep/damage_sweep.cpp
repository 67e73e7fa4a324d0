// damage_sweep: writes good HDF4 files of every writer the tests know (and
// takes the real files when their folder is there), makes seeded damaged
// copies of each, runs every copy through the structure check, the scan and
// the loads in a forked child, and prints per damage kind how the add-on
// ended: refused by the check, accepted (scan fine or refused cleanly),
// crashed or hung, then how often each rule of the check refused a file.
// Inputs that crashed, hung or left the host untidy are kept in a folder.
#include "damages.h"
#include "file_layout.h"
#include "isolated_run.h"
#include "support/hdf_writer.h"
#include "support/writer_variety.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace Sweep;
namespace fs = std::filesystem;

constexpr int DefaultTimeoutSeconds = 10;

const char* const Usage =
    "usage: damage_sweep --keep DIR [--seed N] [--scale X] [--timeout S]\n"
    "       damage_sweep --run FILE [--timeout S]\n"
    "\n"
    "Writes good HDF4 files with HDF4's writers (and takes the files in the\n"
    "real-file folder, LOADHDF_REAL_FILES or shared/data/hdf4-real, when it is\n"
    "there), makes damaged copies of each, and runs every copy in a child\n"
    "process through the structure check, the scan and loads of up to six of\n"
    "the records the scan stored, first to last. Prints, per damage kind, how\n"
    "many copies the check refused, how many it accepted (scan and loads fine,\n"
    "a load refused, the scan refused), how many left the host untidy, crashed\n"
    "or hung; then the count per rule of the check and per message of the add-on.\n"
    "\n"
    "  --keep DIR    folder for the inputs that crashed, hung or left the host\n"
    "                untidy, each with a .txt saying what was done to it\n"
    "  --seed N      seed of the damage sample (default 1)\n"
    "  --scale X     copies per kind and file, times X (default 1: about 4300 copies)\n"
    "  --timeout S   seconds a child may run before it counts as hung (default 10)\n"
    "  --run FILE    runs one file (a kept input) the same way and prints how it\n"
    "                ended, with the child's output\n";

struct Options {
    std::string KeepDir;
    std::string RunFile;
    uint64_t Seed = 1;
    double Scale = 1.0;
    int TimeoutSeconds = DefaultTimeoutSeconds;
};

// False, after a message, for a command line that does not parse.
bool ParseOptions(int Argc, char** Argv, Options* Out) {
    for (int I = 1; I < Argc; ++I) {
        const std::string Arg = Argv[I];
        if (Arg == "--help" || Arg == "-h") {
            std::fputs(Usage, stdout);
            std::exit(0);
        }
        if (I + 1 >= Argc) {
            std::fprintf(stderr, "damage_sweep: %s needs a value\n", Arg.c_str());
            return false;
        }
        const char* Value = Argv[++I];
        char* End = nullptr;
        if (Arg == "--keep") {
            Out->KeepDir = Value;
        } else if (Arg == "--run") {
            Out->RunFile = Value;
        } else if (Arg == "--seed") {
            Out->Seed = std::strtoull(Value, &End, 10);
        } else if (Arg == "--scale") {
            Out->Scale = std::strtod(Value, &End);
        } else if (Arg == "--timeout") {
            Out->TimeoutSeconds = int(std::strtol(Value, &End, 10));
        } else {
            std::fprintf(stderr, "damage_sweep: unknown option %s\n", Arg.c_str());
            return false;
        }
        if (End != nullptr && (*End != '\0' || End == Value)) {
            std::fprintf(stderr, "damage_sweep: %s takes a number, not %s\n", Arg.c_str(), Value);
            return false;
        }
    }
    if ((Out->KeepDir.empty() && Out->RunFile.empty()) || Out->Scale <= 0 ||
        Out->TimeoutSeconds < 1) {
        std::fputs(Usage, stderr);
        return false;
    }
    return true;
}

// ---- The good files -------------------------------------------------------------

struct GoodFile {
    std::string Name, Path;
};

TestHdf::DataSet Set(std::vector<int32_t> Dims, int32_t Type,
                     TestHdf::Storage Store = TestHdf::Storage::Plain) {
    TestHdf::DataSet S;
    S.Dims = std::move(Dims);
    S.NumberType = Type;
    S.Store = Store;
    return S;
}

TestHdf::Scale ScaleOf(int32_t Type, int32_t Count) {
    TestHdf::Scale S{Type, {}};
    for (int32_t I = 0; I < Count; ++I)
        S.Values.push_back(0.5 * I + 10);
    return S;
}

// SD files of the project's own writer, ranks 1 to 3, with the storage kinds
// the SD interface offers.
std::vector<std::pair<std::string, std::vector<TestHdf::DataSet>>> WrittenSets() {
    using TestHdf::Storage;
    TestHdf::DataSet Texts = Set({3, 4, 2}, 6);
    Texts.Label = "Air temperature";
    Texts.Unit = "K";
    Texts.Format = "F6.2";
    Texts.CoordSys = "geographic";
    Texts.Scales = {ScaleOf(5, 3)};
    TestHdf::DataSet Rank1 = Set({6}, 5), Rank2 = Set({4, 5}, 22);
    Rank1.Scales = {ScaleOf(6, 6)};
    Rank2.Scales = {ScaleOf(24, 4), ScaleOf(24, 5)};
    TestHdf::DataSet Deflated = Set({4, 3, 2}, 24, Storage::Deflate);
    Deflated.Scales = {ScaleOf(5, 4), ScaleOf(5, 3), ScaleOf(5, 2)};
    TestHdf::DataSet Unlimited = Set({5, 3}, 5), Unlimited1 = Set({4}, 20);
    Unlimited.UnlimitedFirst = Unlimited1.UnlimitedFirst = true;
    Unlimited.Scales = {ScaleOf(5, 5)};
    return {
        {"Write: ranks 1-3, scales and texts", {Rank1, Rank2, Texts}},
        {"Write: deflate, ranks 2 and 3", {Set({8, 6}, 5, Storage::Deflate), Deflated}},
        {"Write: chunked, ranks 1-3",
         {Set({9}, 5, Storage::Chunked), Set({6, 4}, 22, Storage::Chunked),
          Set({4, 3, 2}, 6, Storage::Chunked)}},
        {"Write: unlimited first dimension", {Unlimited, Unlimited1}},
        {"Write: small types, no scales", {Set({7}, 21), Set({3, 5}, 23), Set({2, 2, 3}, 25)}},
    };
}

bool IsHdf(const Bytes& Data) {
    const uint8_t Magic[4] = {0x0E, 0x03, 0x13, 0x01};
    return Data.size() >= 4 && std::equal(Magic, Magic + 4, Data.begin());
}

std::vector<GoodFile> GoodFiles() {
    std::vector<GoodFile> Files;
    auto Add = [&Files](const std::string& Name, const auto& Write) {
        const std::string Path = TestHdf::TempPath("good-" + std::to_string(Files.size()) + ".hdf");
        try {
            Write(Path);
            Files.push_back({Name, Path});
        } catch (const std::exception& Failure) {
            std::fprintf(stderr, "damage_sweep: left out \"%s\": %s\n", Name.c_str(),
                         Failure.what());
        }
    };
    for (const TestHdf::WriterCase& Case : TestHdf::WriterVariety())
        Add(Case.Name, Case.Write);
    for (const auto& [Name, Sets] : WrittenSets()) {
        // A lambda captures a variable, not a structured binding, before C++20.
        const auto& Written = Sets;
        Add(Name, [&Written](const std::string& Path) { TestHdf::Write(Path, Written); });
    }

    const std::string RealDir = TestHdf::RealFilesDir();
    if (!fs::is_directory(RealDir)) {
        std::fprintf(stderr, "damage_sweep: no real files: %s is not there\n", RealDir.c_str());
        return Files;
    }
    std::vector<fs::path> Real;
    // The folder holds notes beside the HDF files.
    for (const fs::directory_entry& Entry : fs::directory_iterator(RealDir))
        if (Entry.is_regular_file() && IsHdf(ReadFile(Entry.path().string())))
            Real.push_back(Entry.path());
    std::sort(Real.begin(), Real.end());
    for (const fs::path& Path : Real)
        Files.push_back({"real: " + Path.filename().string(), Path.string()});
    return Files;
}

// ---- Tallies and the printed table -------------------------------------------------

constexpr size_t Endings = size_t(Outcome::Count);
const char* const EndingNames[Endings] = {"refused", "scan ok", "load fail", "scan fail",
                                          "untidy",  "crashed", "hung"};

struct Kept {
    std::string Kind, Source, What, Ending, Path;
    RunResult Result;
};

struct Tally {
    std::vector<std::array<int32_t, Endings>> PerKind; // the unchanged files first
    std::vector<double> Seconds;                       // children's time per row
    std::map<std::string, int32_t> Rules, ScanMessages, LoadMessages;
    std::vector<Kept> Keep;
};

void Count(Tally* T, size_t Row, const RunResult& Result) {
    ++T->PerKind[Row][size_t(Result.Ending)];
    if (Result.Ending == Outcome::Refused)
        ++T->Rules[Result.Text];
    else if (Result.Ending == Outcome::ScanRefused)
        ++T->ScanMessages[Result.Text];
    else if (Result.Ending == Outcome::LoadRefused)
        ++T->LoadMessages[Result.Text];
}

void PrintCounts(const char* Title, const std::map<std::string, int32_t>& Counts) {
    std::vector<std::pair<int32_t, std::string>> Sorted;
    for (const auto& [Text, N] : Counts)
        Sorted.push_back({-N, Text});
    std::sort(Sorted.begin(), Sorted.end());
    std::printf("\n%s\n", Title);
    if (Sorted.empty())
        std::printf("  (none)\n");
    for (const auto& [N, Text] : Sorted)
        std::printf("  %6d  %s\n", -N, Text.c_str());
}

void PrintTable(const Tally& T, const std::vector<std::string>& Rows) {
    std::printf("%-24s %6s", "damage kind", "tried");
    for (const char* Name : EndingNames)
        std::printf(" %9s", Name);
    std::printf(" %7s\n", "seconds");
    std::array<int32_t, Endings> Total{};
    int32_t TotalTried = 0;
    for (size_t Row = 0; Row < Rows.size(); ++Row) {
        int32_t Tried = 0;
        for (int32_t N : T.PerKind[Row])
            Tried += N;
        std::printf("%-24s %6d", Rows[Row].c_str(), Tried);
        for (size_t E = 0; E < Endings; ++E) {
            std::printf(" %9d", T.PerKind[Row][E]);
            if (Row > 0)
                Total[E] += T.PerKind[Row][E];
        }
        std::printf(" %7.1f\n", T.Seconds[Row]);
        TotalTried += Row > 0 ? Tried : 0;
    }
    double Seconds = 0;
    for (size_t Row = 1; Row < Rows.size(); ++Row)
        Seconds += T.Seconds[Row];
    std::printf("%-24s %6d", "all damaged copies", TotalTried);
    for (int32_t N : Total)
        std::printf(" %9d", N);
    std::printf(" %7.1f\n", Seconds);
}

void PrintKept(const std::vector<Kept>& Keep) {
    std::printf("\nkept inputs (crashed, hung, untidy)\n");
    if (Keep.empty())
        std::printf("  (none)\n");
    // Crashes with the same sanitizer summary (or signal) are one fault.
    std::map<std::string, std::vector<const Kept*>> Groups;
    for (const Kept& K : Keep)
        Groups[K.Ending + ": " + (K.Result.Summary.empty() ? K.Result.Text : K.Result.Summary)]
            .push_back(&K);
    for (const auto& [Signature, Members] : Groups) {
        std::printf("  %s (%zu)\n", Signature.c_str(), Members.size());
        for (const Kept* K : Members)
            std::printf("    %s  [%s | %s | %s]\n", K->Path.c_str(), K->Source.c_str(),
                        K->Kind.c_str(), K->What.c_str());
        if (!Members.front()->Result.Report.empty())
            std::printf("%s", Members.front()->Result.Report.c_str());
    }
}

std::string Slug(const std::string& Text) {
    std::string Out;
    for (char C : Text)
        Out += std::isalnum(static_cast<unsigned char>(C)) ? C : '-';
    return Out;
}

void KeepInput(Tally* T, const Options& Opts, const Bytes& Data, Kept K, const std::string& Stem) {
    K.Path = (fs::path(Opts.KeepDir) / (Stem + ".hdf")).string();
    WriteFile(K.Path, Data);
    const std::string Note = "source: " + K.Source + "\nkind: " + K.Kind + "\nwhat: " + K.What +
                             "\nending: " + K.Ending + ": " + K.Result.Text + "\n" +
                             K.Result.Report;
    WriteFile((fs::path(Opts.KeepDir) / (Stem + ".txt")).string(), Bytes(Note.begin(), Note.end()));
    T->Keep.push_back(std::move(K));
}

double SecondsSince(std::chrono::steady_clock::time_point Start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// --run: one file, its ending and what the child printed.
int RunOne(const Options& Opts) {
    const std::string Output = TestHdf::TempPath("child-output.txt");
    const RunResult Result = RunIsolated(Opts.RunFile, Output, Opts.TimeoutSeconds);
    std::printf("%s: %s\n", EndingNames[size_t(Result.Ending)], Result.Text.c_str());
    const Bytes Printed = ReadFile(Output);
    if (!Printed.empty())
        std::fwrite(Printed.data(), 1, Printed.size(), stdout);
    return 0;
}

} // namespace

int main(int Argc, char** Argv) {
    Options Opts;
    if (!ParseOptions(Argc, Argv, &Opts))
        return 2;
    if (!Opts.RunFile.empty())
        return RunOne(Opts);
    const auto Start = std::chrono::steady_clock::now();
    fs::create_directories(Opts.KeepDir);
    const std::vector<GoodFile> Files = GoodFiles();
    const std::string Damaged = TestHdf::TempPath("damaged.hdf");
    const std::string Output = TestHdf::TempPath("child-output.txt");

    std::vector<std::string> Rows = {"(unchanged good file)"};
    Rows.insert(Rows.end(), DamageKinds().begin(), DamageKinds().end());
    Tally T;
    T.PerKind.assign(Rows.size(), {});
    T.Seconds.assign(Rows.size(), 0.0);
    auto Run = [&](size_t Row, const std::string& Source, const std::string& What,
                   const Bytes& Data, const std::string& Stem) {
        WriteFile(Damaged, Data);
        const auto Began = std::chrono::steady_clock::now();
        const RunResult Result = RunIsolated(Damaged, Output, Opts.TimeoutSeconds);
        T.Seconds[Row] += SecondsSince(Began);
        Count(&T, Row, Result);
        if (Result.Ending == Outcome::Crashed || Result.Ending == Outcome::Hung ||
            Result.Ending == Outcome::Untidy)
            KeepInput(&T, Opts, Data,
                      {Rows[Row], Source, What, EndingNames[size_t(Result.Ending)], "", Result},
                      Stem);
        return Result;
    };

    for (size_t F = 0; F < Files.size(); ++F) {
        const Bytes Good = ReadFile(Files[F].Path);
        const std::vector<Damage> Changes = MakeDamages(Good, Opts.Seed * 1000003u + F, Opts.Scale);
        const std::string Prefix = (F < 10 ? "0" : "") + std::to_string(F) + "-";
        const RunResult Unchanged = Run(0, Files[F].Name, "unchanged", Good, Prefix + "unchanged");
        std::fprintf(stderr,
                     "[%zu/%zu, %.0f s] %s: %zu bytes, unchanged: %s%s%s; %zu damaged copies\n",
                     F + 1, Files.size(), SecondsSince(Start), Files[F].Name.c_str(), Good.size(),
                     EndingNames[size_t(Unchanged.Ending)], Unchanged.Text.empty() ? "" : ": ",
                     Unchanged.Text.c_str(), Changes.size());
        for (size_t C = 0; C < Changes.size(); ++C)
            Run(Changes[C].Kind + 1, Files[F].Name, Changes[C].What, Apply(Good, Changes[C]),
                Prefix + Slug(Rows[Changes[C].Kind + 1]) + "-" + std::to_string(C));
    }

    std::printf("damage sweep: %zu good files, seed %llu, scale %g, timeout %d s\n\n", Files.size(),
                static_cast<unsigned long long>(Opts.Seed), Opts.Scale, Opts.TimeoutSeconds);
    PrintTable(T, Rows);
    PrintCounts("refusals per rule of the structure check", T.Rules);
    PrintCounts("accepted, scan refused: messages", T.ScanMessages);
    PrintCounts("accepted, scanned, a load refused: first message", T.LoadMessages);
    PrintKept(T.Keep);
    std::printf("\nelapsed: %.1f s\n", SecondsSince(Start));
    return 0;
}
