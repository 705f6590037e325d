// The Tavik dispatcher's handler slots against interrupts on another thread:
// a handler taken out of its slots while primary and secondary passes run may
// be freed once the removal returns.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "support/stressRounds.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using D = nQoUdRLP100::tTavikInterruptDispatcher;

// Counts its calls and checks that it is still itself; asks for a secondary pass.
class tCountingHandler final : public nQoMRTB100::iInterruptHandler,
                               public nQoMRTB100::iSecondaryInterruptHandler {
 public:
  tCountingHandler(std::atomic<uint32_t>& calls, std::atomic<uint32_t>& wrong)
      : _calls(calls), _wrong(wrong) {}
  tAnswer handleInterrupt() override {
    called();
    return kHandledWantsSecondary;
  }
  uint32_t handleSecondaryInterrupt() override {
    called();
    return 0;
  }

  std::atomic<bool> entered{false};

 private:
  // Some work on its own fields, as a handler does: a removal that does not
  // wait for the call frees them under it.
  void called() {
    entered = true;
    for (int step = 0; step < kSteps; ++step)
      if (_mark != kMark) ++_wrong;
    ++_calls;
  }
  static constexpr int kSteps = 200;
  static constexpr uint32_t kMark = 0x5A5A0007;
  volatile uint32_t _mark = kMark;
  std::atomic<uint32_t>& _calls;
  std::atomic<uint32_t>& _wrong;
};

// One thread raises the board interrupt and pumps the secondary passes in a
// loop, source 7 always pending and enabled, while the test's thread installs
// a fresh handler for source 7, removes it and frees it (a pass that read a
// slot before it was counted, or a removal that does not wait, reaches a freed
// handler; every other round removes it just as a pass has reached it, the
// others at any point). A handler kept in slot 0 (source 0 is not enabled) keeps the
// registration, so a removal does not unregister under the bus lock. Bounded
// by rounds and elapsed time, and run at least until the passes have reached
// some handlers.
TEST_F(tTavikTest, AHandlerRemovedWhileInterruptsArriveMayBeFreed) {
  tTavik map(&bus, window, &status);
  D dispatcher(&map, 1, &status);
  windows.setLogging(false);
  bus.setLogging(false);
  std::atomic<uint32_t> keptCalls{0}, calls{0}, wrong{0};
  tCountingHandler kept(keptCalls, wrong);
  ASSERT_TRUE(dispatcher.installHandlers(0, &kept, &kept, status));
  D::tAtomicStatusRefDispatcher(&dispatcher, &D::enableGroupAInterruptBit4, status).exec();
  windows.setRead(window, 0x104, 16, 0x8010);
  ASSERT_EQ(status.code, 0);

  std::atomic<bool> stop{false};
  std::thread interrupts([&] {
    while (!stop) {
      bus.raise(1);
      bus.pumpSecondary();
    }
  });
  const int rounds = nQoTest::runStressRounds(calls, [&](int round) {
    auto* handler = new tCountingHandler(calls, wrong);
    dispatcher.installHandlers(7, handler, handler, status);
    const auto reached = std::chrono::steady_clock::now() + std::chrono::milliseconds(2);
    if (round % 2 == 0)
      while (!handler->entered && std::chrono::steady_clock::now() < reached)
        std::this_thread::yield();
    dispatcher.removeHandlers(7, &status);
    delete handler;
  });
  stop = true;
  interrupts.join();
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(keptCalls, 0u);
  EXPECT_GE(calls, nQoTest::kEnoughStressCalls)
      << "the passes reached too few handlers in " << rounds << " rounds";
  EXPECT_EQ(bus.registrations(), 1);
  dispatcher.removeHandlers(0, &status);
  EXPECT_EQ(bus.registrations(), 0);
}

}  // namespace
}  // namespace nQoTest
