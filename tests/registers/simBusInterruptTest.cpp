// The simulated bus's interrupts: interrupt level, atomic runs inside a
// primary pass, secondary passes, unregistering while one runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <utility>
#include <vector>

#include "sim/simInterrupts.h"
#include "sync/iSync.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

class tFunctionCall : public iBusInterruptResolver, public iBusAtomicOperation {
 public:
  explicit tFunctionCall(std::function<int64_t()> function) : _function(std::move(function)) {}
  uint32_t resolve() override { return static_cast<uint32_t>(_function()); }
  int32_t operateAtomically() override { return static_cast<int32_t>(_function()); }

 private:
  std::function<int64_t()> _function;
};

class tSimBusInterruptTest : public ::testing::Test {
 protected:
  tSimRegisterWindows windows;
  tSimBus bus{windows};
  int code = 0;
};
using tSimBusInterruptDeathTest = tSimBusInterruptTest;

TEST_F(tSimBusInterruptTest, APrimaryPassRunsAtInterruptLevelAndAtomicRunsNestInsideIt) {
  std::vector<bool> levels;
  tFunctionCall atomic([&] {
    levels.push_back(nQoSim::atInterruptLevel());
    return -50003;
  });
  tFunctionCall primary([&] {
    levels.push_back(nQoSim::atInterruptLevel());
    int inner = 0;
    bus.runAtomically(&atomic, &inner);
    return inner == -50003 ? 1 : 0;
  });
  tFunctionCall secondary([&] {
    levels.push_back(nQoSim::atInterruptLevel());
    return 1;
  });
  uint64_t handle = bus.registerInterrupt(0x7FFFFFFF, 1, &primary, &secondary, &code);
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(levels, (std::vector<bool>{true, true, false}));
  bus.unregisterInterrupt(&handle, &code);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(bus.raise(1), 0u);
}

TEST_F(tSimBusInterruptDeathTest, WaitingAtInterruptLevelHalts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        iSync::tParam param;
        param.kind = 1;
        iSync* lock = syncOpen(param, &code);
        tFunctionCall primary([&] { return lock->waitOrAcquire(iSync::kWaitForever, &code); });
        bus.registerInterrupt(0x7FFFFFFF, 1, &primary, &primary, &code);
        bus.raise(1);
      },
      "interrupt level");
}

TEST_F(tSimBusInterruptTest, UnregisteringWaitsForARunningSecondaryPass) {
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  tFunctionCall primary([] { return 1; });
  tFunctionCall secondary([&] {
    entered.set_value();
    released.wait();
    return 1;
  });
  uint64_t handle = bus.registerInterrupt(0x7FFFFFFF, 1, &primary, &secondary, &code);
  bus.raise(1);
  std::thread pump([&] { bus.pumpSecondary(); });
  entered.get_future().wait();
  std::atomic<bool> unregistered{false};
  std::thread unregister([&] {
    bus.unregisterInterrupt(&handle, &code);
    unregistered = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(unregistered.load());
  release.set_value();
  unregister.join();
  pump.join();
  EXPECT_EQ(bus.registrations(), 0);

  uint64_t second = bus.registerInterrupt(0x7FFFFFFF, 1, &primary, &primary, &code);
  bus.raise(1);
  bus.unregisterInterrupt(&second, &code);
  EXPECT_EQ(bus.pumpSecondary(), 0u);  // a queued pass of a gone registration
}

}  // namespace
}  // namespace nQoTest
