// Test helper: HDF4 files as the other writers of HDF4 make them, beside the
// SD data sets of hdf_writer.h: the old DFSD interface with scales, texts,
// calibration and annotations; GR images (of a 64-bit type too); vdatas;
// every compression the SD interface offers; chunks, compressed chunks and
// appended unlimited records; a scalar; and files holding nothing. Also what
// programs leave in SD files: data never written, a fill value of another
// type, external data, a data set's vgroup deleted, many annotations, a DFSD
// data set of rank 33 appended, and an old-style group naming no dimension
// record.
#ifndef LOADHDF_TESTS_SUPPORT_WRITER_VARIETY_H
#define LOADHDF_TESTS_SUPPORT_WRITER_VARIETY_H

#include <functional>
#include <string>
#include <vector>

namespace TestHdf {

struct WriterCase {
    const char* Name;
    // Writes the file at the path; throws std::runtime_error when HDF4 fails.
    std::function<void(const std::string&)> Write;
};

// Every writer this helper knows, each a small file of its own kind.
const std::vector<WriterCase>& WriterVariety();

} // namespace TestHdf

#endif
