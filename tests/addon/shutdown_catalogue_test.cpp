// Shutdown while a catalogue is filled (the host quits with the load dialog
// up): the scale buffers go back to the host with the catalogue.
#include "support/addon_fixture.h"
#include "support/hdf_writer.h"

#include "catalogue/file_scan.h"
#include "interface/addon_state.h"
#include "vyr_host_control.h"

#include <cstdio>

using AddOnShutdownWithCatalogue = AddOnTest;

TEST_F(AddOnShutdownWithCatalogue, ShutdownGivesBackTheScaleBuffersOfAFilledCatalogue) {
    TestHdf::DataSet Set;
    Set.Dims = {3, 4};
    const std::string Path = TestHdf::TempPath("open-at-shutdown.hdf");
    TestHdf::Write(Path, {Set, Set});
    snprintf(FileName, FileNameSize, "%s", Path.c_str());
    ASSERT_TRUE(ScanHdfFile());
    ASSERT_EQ(SdsCount, 2);
    ASSERT_GT(VyrHost::OutstandingAllocations(), 1); // scales besides SelectedSds

    ShutDown();
    EXPECT_EQ(SdsCount, 0);
    EXPECT_EQ(SdsEntries, nullptr);
    EXPECT_EQ(VyrHost::OutstandingAllocations(), 0) << Joined(VyrHost::OutstandingTags());
    EXPECT_EQ(VyrHost::LockDepth(), 0);
}
