// The structure check's damage table (its rows are in
// structure_check_test.cpp): a good file's writer, a damage made to its bytes,
// the rule that refuses the damaged file or keeps its data set out, the fault
// HDF4 shows on it without the check (or that it shows none), and a twin
// damage one step inside the rule's bound, which HDF4 handles and the check
// accepts. The tests of the
// check use the rows directly; posix/hdf4_alone_test.cpp runs HDF4 alone on
// each damaged file and twin.
#ifndef LOADHDF_TESTS_CATALOGUE_STRUCTURE_DAMAGES_H
#define LOADHDF_TESTS_CATALOGUE_STRUCTURE_DAMAGES_H

#include "tools/hdf4_alone/hdf4_fault.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using DamageApply = std::function<void(std::vector<uint8_t>*)>;

struct Damage {
    const char* What;
    // Writes the good file the damage is made to.
    std::function<void(const std::string&)> Write;
    DamageApply Apply;
    const char* Rule; // the file's refusal; null: any rule
    // Else the file stays sound and its data set of this index is kept out
    // by this rule.
    const char* KeptOut = nullptr;
    int32_t KeptOutIndex = 0;
    // What HDF4 4.2.15 does with the damaged file without the check (its
    // worst fault, hdf4_alone run on it against the good file). A row
    // without it fails the HDF4-alone test, which names what it saw.
    std::optional<Hdf4Fault> Fault = std::nullopt;
    // The same place damaged one step inside the rule's bound: HDF4 reads
    // the file cleanly or fails cleanly, and the check accepts it. Null
    // where there is no such step; the row's comment says why.
    DamageApply TwinApply = nullptr;
    // Set where HDF4 handles the damaged file (Fault is Clean or Report)
    // although the rule guards against a fault: what HDF4 did instead. Such
    // a rule may refuse more than HDF4 needs; its owner must judge it.
    const char* NotReproduced = nullptr;
};

// A valid file a writer case makes (support/writer_variety.cpp), and what
// HDF4 alone does with it: the check keeps its data set 0 out by KeptOut
// where HDF4 faults, and lets it through where HDF4 reads it whole.
struct WriterFault {
    const char* Case;
    Hdf4Fault Fault;
    const char* KeptOut; // null: nothing kept out
};

std::vector<WriterFault> WriterFaults();

// The table's rows, in order.
std::vector<const Damage*> DamageRows();

// Writes Row's good file at GoodPath, then its bytes changed by Change at
// ChangedPath.
void WriteDamaged(const Damage& Row, const DamageApply& Change, const std::string& GoodPath,
                  const std::string& ChangedPath);

#endif
