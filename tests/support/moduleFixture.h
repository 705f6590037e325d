// Shared test support: a fixture that checks that a test leaves no platform
// allocation behind, and a loaded-module scope.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "sim/simAllocator.h"
#include "sim/simStatusLog.h"

namespace nQoTest {

// Fails the test when allocations from the platform allocator outlive it.
class tLeakCheckedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nQoSim::failAllocation(0);
    nQoSim::clearStatusLog();
    _liveAtStart = nQoSim::liveAllocations();
  }
  void TearDown() override {
    nQoSim::failAllocation(0);
    EXPECT_EQ(nQoSim::liveAllocations(), _liveAtStart) << "platform allocations leaked";
  }

 private:
  int64_t _liveAtStart = 0;
};

// Loads the module (message 0) for the life of the scope.
class tLoadedModule {
 public:
  tLoadedModule();
  ~tLoadedModule();
  int loadResult() const { return _loadResult; }

 private:
  int _loadResult;
};

}  // namespace nQoTest
