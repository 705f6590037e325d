#include <gtest/gtest.h>

#include <vector>

#include "sim/tSimTimedEngine.h"

namespace {

using nQoSim::tSimRegisterWindows;

struct tCountingResolver : iBusInterruptResolver {
  uint32_t resolve() override {
    ++passes;
    return 2;
  }
  unsigned passes = 0;
};

class SimEngines : public ::testing::Test {
 protected:
  SimEngines() : bus(windows), window(windows.addWindow(0x300)) {
    int status = 0;
    bus.registerInterrupt(0, 1, &resolver, &resolver, &status);
  }
  ~SimEngines() override {
    for (const auto& call : bus.calls())
      if (call.operation == nQoSim::tSimBus::tCall::kRegisterInterrupt) {
        uint64_t handle = call.value;
        int status = 0;
        bus.unregisterInterrupt(&handle, &status);
      }
  }
  void write(uint32_t offset, unsigned width, uint32_t value) {
    windows.writeAt(window, offset, width, value, 0);
  }
  uint32_t read(uint32_t offset, unsigned width) {
    uint32_t value = 0;
    windows.readAt(window, offset, width, 0, value);
    return value;
  }

  tSimRegisterWindows windows;
  nQoSim::tSimBus bus;
  unsigned window;
  tCountingResolver resolver;
};

TEST_F(SimEngines, AIFeedsProgrammedScansAfterArmAndStartThenRaisesUntilAcknowledged) {
  nQoSim::tSimAIEngine ai(windows, window, bus, 4);
  write(0x124, 32, 9);
  write(0x108, 16, 1);  // not armed: no start
  EXPECT_FALSE(ai.running());
  write(0x110, 16, 1u << 6);  // half the arm
  write(0x108, 16, 1);
  EXPECT_FALSE(ai.running());
  write(0x110, 16, (1u << 6) | (1u << 10));
  write(0x108, 16, 4);
  ASSERT_TRUE(ai.running());
  EXPECT_EQ(read(0x136, 16), 0x8000u);

  ai.step();
  EXPECT_TRUE(ai.ended());
  EXPECT_EQ(ai.scansProgrammed(), 10u);
  EXPECT_EQ(read(0x136, 16), 0u);
  EXPECT_EQ(resolver.passes, 0u);  // interrupt not enabled
  std::vector<uint32_t> samples;
  while (ai.fifo().size() != 0) samples.push_back(read(0x1C, 32));
  ASSERT_EQ(samples.size(), 20u);
  for (uint32_t k = 0; k < 20; ++k) EXPECT_EQ(samples[k], k & 0xF) << k;
  EXPECT_EQ(read(0x104, 16), 0x8000u | 0x1000u | 0x40u);

  write(0x192, 16, 1);
  ai.step();
  ai.step();
  EXPECT_EQ(resolver.passes, 2u);
  write(0x104, 16, 0x100);
  EXPECT_EQ(read(0x104, 16), 0x8000u | 0x1000u);
  ai.step();
  EXPECT_EQ(resolver.passes, 2u);
}

TEST_F(SimEngines, AIHoldsAfterKScansUntilAHammerStop) {
  nQoSim::tSimAIEngine ai(windows, window, bus, 16);
  ai.holdAfter(40);
  write(0x124, 32, 99);
  write(0x110, 16, (1u << 6) | (1u << 10));
  write(0x108, 16, 1);
  for (int n = 0; n < 20; ++n) ai.step();
  EXPECT_EQ(ai.scansFed(), 40u);
  EXPECT_EQ(ai.fifo().size(), 80u);
  EXPECT_FALSE(ai.ended());
  write(0x110, 16, 1u << 13);
  EXPECT_TRUE(ai.ended());
  EXPECT_EQ(read(0x136, 16), 0u);
}

TEST_F(SimEngines, AOPlaysEveryReceivedSampleOnceStartedAndRaisesWhileEnabled) {
  nQoSim::tSimAOEngine ao(windows, window, bus);
  for (uint32_t value : {0xFFFF8000u, 0xFFFF8101u, 3u}) write(0xA4, 32, value);
  ao.step();
  EXPECT_TRUE(ao.generated().empty());
  write(0x196, 16, 1);
  write(0x112, 16, 1u << 6);
  write(0x10A, 16, 1);
  ao.step();
  EXPECT_EQ(ao.generated(), (std::vector<uint32_t>{0xFFFF8000u, 0xFFFF8101u, 3u}));
  EXPECT_EQ(ao.received(), ao.generated());
  EXPECT_EQ(read(0x106, 16), 0x8080u);
  EXPECT_EQ(resolver.passes, 1u);
  write(0x106, 16, 0x100);
  EXPECT_EQ(read(0x106, 16), 0x8000u);
  ao.step();
  EXPECT_EQ(resolver.passes, 1u);
}

TEST_F(SimEngines, AFIFOClearDropsWhatTheAOFIFOHeld) {
  nQoSim::tSimAOEngine ao(windows, window, bus);
  write(0xA4, 32, 0);
  write(0xA4, 32, 0);
  write(0x1A8, 16, 0);  // no strobe
  EXPECT_EQ(ao.received().size(), 2u);
  write(0x1A8, 16, 1);
  EXPECT_TRUE(ao.received().empty());
  write(0xA4, 32, 0xFFFF8000u);
  write(0x112, 16, 1u << 6);
  write(0x10A, 16, 1);
  ao.step();
  EXPECT_EQ(ao.generated(), (std::vector<uint32_t>{0xFFFF8000u}));
}

}  // namespace
