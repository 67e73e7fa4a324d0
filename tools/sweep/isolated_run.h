// One damaged file through the add-on in a forked child, so that a crash or
// a hang inside HDF4 costs the sweep one child: the structure check, then,
// for a file it accepts, the scan as the load dialog runs it and a load of
// every record it stored, as the host replays a recorded list. The parent
// waits with a timeout and sorts out how the child ended.
#ifndef LOADHDF_TOOLS_SWEEP_ISOLATED_RUN_H
#define LOADHDF_TOOLS_SWEEP_ISOLATED_RUN_H

#include <string>

namespace Sweep {

enum class Outcome {
    Refused,     // the structure check refused the file
    ScanOk,      // accepted, scanned and every record loaded
    LoadRefused, // accepted and scanned, a load returned false with a message
    ScanRefused, // accepted, the scan failed with a message
    Untidy,      // ended, but left a host rule broken or a host object held
    Crashed,     // a signal, or an exit the child does not make itself
    Hung,        // still running at the timeout, then killed
    Count
};

struct RunResult {
    Outcome Ending = Outcome::Crashed;
    // Refused: the rule; ScanRefused and LoadRefused: the add-on's last
    // message; Untidy: what was left; Crashed: the signal or exit status.
    std::string Text;
    // Crashed: the first lines of a sanitizer report on the child's
    // standard error, when there is one.
    std::string Report;
    // Crashed: the report's SUMMARY line, which names the fault and where
    // it happened; empty without a report.
    std::string Summary;
};

// Runs Path in a child whose standard output and error go to OutputPath.
RunResult RunIsolated(const std::string& Path, const std::string& OutputPath, int TimeoutSeconds);

} // namespace Sweep

#endif
