// HDF4 alone on one file: runs the hdf4_alone program (hdf4_alone.cpp) in a
// child process with a time limit, through the platform's child-process
// boundary, and says what HDF4 did, from how the child ended, what its
// sanitizers reported and the steps it printed, compared with the run on
// the undamaged file where there is one. Making the files, and deciding what
// a run ought to show, is left to the callers (the structure check's tests,
// hdf4_compare).
#ifndef LOADHDF_TOOLS_HDF4_ALONE_ALONE_RUN_H
#define LOADHDF_TOOLS_HDF4_ALONE_ALONE_RUN_H

#include "tools/hdf4_alone/hdf4_fault.h"

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Hdf4Alone {

struct AloneRun {
    // Every fault the run showed (Clean alone when none), and the worst.
    std::set<Hdf4Fault> Faults;
    Hdf4Fault Worst() const { return *Faults.rbegin(); }
    // Why the worst, in a line: the signal or sanitizer summary and the
    // step it came after, the step that failed, the value that differs.
    std::string Detail;
    // The steps the child printed, in order: "sds 0 whole" and its value.
    std::vector<std::pair<std::string, std::string>> Steps;
    std::string Err; // the child's standard error: sanitizer reports
};

struct AloneOptions {
    int TimeLimitSeconds = 5;
    // The folder HDF4 looks in for data stored in external files; empty:
    // the child's working folder only, as HDF4 does by itself.
    std::string ExternalDir;
    // Data sets (by index) whose values, and dimensions (by name) whose
    // scales, are not read: as the add-on leaves out what the structure
    // check keeps out of a sound file.
    std::vector<int32_t> SkipValues;
    std::vector<std::string> SkipScales;
};

// Runs Program, the hdf4_alone executable, on File. With a Reference (the
// run on the file File was damaged from), a data set that both runs
// describe alike but whose values differ is a misread; without one, only a
// data set whose two reads disagree is. Throws std::runtime_error when the
// program cannot be started.
AloneRun RunAlone(const std::string& Program, const std::string& File, const AloneOptions& Options,
                  const AloneRun* Reference = nullptr);

// True when the run read data set Index's values (SDreaddata succeeded);
// a data set without dimensions, an empty one, or one larger than
// hdf4_alone reads, is never asked for them.
bool ValuesRead(const AloneRun& Run, int32_t Index);

// True when this build's hdf4_alone reports leaks: it is built with
// AddressSanitizer, and ASAN_OPTIONS does not turn leak detection off.
// Elsewhere a leak shows as whatever else the run did.
bool LeaksAreSeen();

} // namespace Hdf4Alone

#endif
