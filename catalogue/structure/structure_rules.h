// The table of the structure check's rules (see structure_rules.cpp): what
// each refuses or keeps out, and why, by stage, and what HDF4 did without it.
#ifndef LOADHDF_CATALOGUE_STRUCTURE_STRUCTURE_RULES_H
#define LOADHDF_CATALOGUE_STRUCTURE_STRUCTURE_RULES_H

#include <string>
#include <vector>

enum class RuleOutcome {
    File,   // the file is refused: "Not a valid HDF File"
    DataSet // the data set is kept out: its load ends with the read error
};

// What HDF4 4.2.15 does with a file when no check refuses it, mildest
// first: what tools/hdf4_alone/ shows on the damaged files of the rules'
// rows in tests/catalogue/structure_check_test.cpp.
enum class Hdf4Fault {
    Clean,   // every call succeeds, and every value read is the file's
    Report,  // a call returns failure, and nothing worse happens
    Leak,    // memory is lost for good (LeakSanitizer, at the process's exit)
    Misread, // SDreaddata or SDgetdimscale succeeds with values that are not the file's
    Hang,    // a call does not return
    Crash    // a signal, or a sanitizer's report of a bad access
};

// "clean", "report", "leak", "misread", "hang", "crash".
inline const char* Hdf4FaultName(Hdf4Fault Fault) {
    switch (Fault) {
    case Hdf4Fault::Clean:
        return "clean";
    case Hdf4Fault::Report:
        return "report";
    case Hdf4Fault::Leak:
        return "leak";
    case Hdf4Fault::Misread:
        return "misread";
    case Hdf4Fault::Hang:
        return "hang";
    case Hdf4Fault::Crash:
        return "crash";
    }
    return "?";
}

// Rules that guard one HDF4 function and condition together.
struct StructureRuleRow {
    std::vector<const char*> Words; // as StructureVerdict::Rule and DataRule give them
    const char* Guards;             // the HDF4 function and condition, in Markdown
    RuleOutcome Outcome;
    // What HDF4 alone did with the damaged files of these rules in the
    // check's tests, each fault once, worst first; empty where the tests
    // have none. Clean or report alone: HDF4 did not need the rule there.
    std::vector<Hdf4Fault> Shown = {};
};

struct StructureRuleStage {
    const char* Stage; // the source file and what it reads, in Markdown
    std::vector<StructureRuleRow> Rows;
};

const std::vector<StructureRuleStage>& StructureRuleTable();

// The row that holds these words, or null.
const StructureRuleRow* FindStructureRule(const std::string& Words);

#endif
