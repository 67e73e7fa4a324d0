// What HDF4 4.2.15 does with a file when no check refuses it, as
// tools/hdf4_alone/ sees it run: the faults the structure check's tests
// show for the damaged files of each rule, and hdf4_compare counts.
#ifndef LOADHDF_TOOLS_HDF4_ALONE_HDF4_FAULT_H
#define LOADHDF_TOOLS_HDF4_ALONE_HDF4_FAULT_H

// Mildest first.
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

#endif
