// HostTest: a fixture for tests of the stand-in host on its own, without
// the add-on: the host is new at the start of each test and given back
// whole at its end.
#ifndef LOADHDF_TESTS_HOST_HOST_TEST_H
#define LOADHDF_TESTS_HOST_HOST_TEST_H

#include "vyr_host_control.h"

#include <gtest/gtest.h>

class HostTest : public ::testing::Test {
  protected:
    void SetUp() override { VyrHost::Reset(); }
    void TearDown() override { VyrHost::Reset(); }

    static size_t HostErrorCount() { return VyrHost::HostErrors().size(); }
};

#endif
