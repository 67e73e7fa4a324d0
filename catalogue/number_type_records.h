// A look at an HDF file's number-type records before the SD interface opens
// it. HDF4 4.2.15's SDstart, when it meets a number type that its reader
// does not know, fails after freeing a buffer that it keeps and frees again
// at the next such failure: the same damaged file chosen twice would corrupt
// the host's memory. The records are therefore read first, through HDF4's
// low-level interface, and a file that SDstart would refuse is refused
// without calling it.
#ifndef LOADHDF_CATALOGUE_NUMBER_TYPE_RECORDS_H
#define LOADHDF_CATALOGUE_NUMBER_TYPE_RECORDS_H

// True when Path (an HDF file, as Hishdf says) can be opened with HDF4's
// low-level interface and every number-type record in it names a type that
// the SD reader knows: the 8-bit characters, the floating-point types and
// the 8-, 16- and 32-bit integers. False otherwise, without a message.
bool NumberTypeRecordsReadable(const char* Path);

#endif
