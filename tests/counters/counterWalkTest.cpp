// The counter primitives walked through their own steps, as the code walk
// walks a supervisor's codes: every order up to three long of what a counter
// class does to one counter through the container (the DMA tap's connect,
// enableDMA, disableDMA and disconnect; the counter interrupt dispatcher's
// enables and disables) and of the board firing, each order ended once by
// the teardown a counter class runs (the disables and the disconnect of what
// its steps did) and once by the container's destruction with nothing
// brought down first. After every step no source is on without its handler,
// and the board runs nothing of the counter that the steps switched off or
// never switched on; after the destruction no slot holds a handler inside
// the container and nothing of the counter runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "counters/counterFixture.h"
#include "support/boardChecks.h"
#include "support/walkOrders.h"

namespace nQoTest {
namespace {

enum tCounterStep : uint8_t {
  kConnect,
  kEnableDMA,
  kDisableDMA,
  kDisconnect,
  kEnablePrimary,
  kEnableSecondary,
  kDisablePrimary,
  kDisableSecondary,
  kFire,
};
constexpr const char* kStepNames[] = {"connect",        "enableDMA",        "disableDMA",
                                      "disconnect",     "enablePrimary",    "enableSecondary",
                                      "disablePrimary", "disableSecondary", "fire"};

// Where the board runs a counter: the enable bit of its primary interrupt,
// its DMA register (bit 0 the DMA requests, bit 2 the DMA interrupt, its
// secondary one) and its nibble of the DMA select register.
struct tCounterPlaces {
  uint32_t enable;
  unsigned primaryBit;
  uint8_t primarySource;
  uint32_t dma;
  uint8_t secondarySource;
  unsigned selectShift;
};
constexpr tCounterPlaces kPlaces[2] = {{.enable = 0x192,
                                        .primaryBit = 6,
                                        .primarySource = 30,
                                        .dma = 0x1B8,
                                        .secondarySource = 29,
                                        .selectShift = 0},
                                       {.enable = 0x196,
                                        .primaryBit = 9,
                                        .primarySource = 32,
                                        .dma = 0x1BA,
                                        .secondarySource = 31,
                                        .selectShift = 4}};
constexpr uint32_t kSelect = 0x00B;

// What a counter class records of its steps: what it switched on and not off.
struct tCounterRecord {
  bool connected = false;
  bool requests = false;
  bool primary = false;
  bool secondary = false;
};

class tCounterWalk : public tContainerTest, public ::testing::WithParamInterface<uint32_t> {
 protected:
  static constexpr uint32_t kChannel = 4;

  void SetUp() override {
    tContainerTest::SetUp();
    watched.watchBoard(windows, boardWindow, boardDispatcher(), bus);
  }

  void walk() {
    std::vector<tCounterStep> steps;
    for (uint8_t step = kConnect; step <= kFire; ++step)
      steps.push_back(static_cast<tCounterStep>(step));
    const auto orders = ordersOf(steps, [](tCounterStep) { return false; });
    for (const std::vector<tCounterStep>& order : orders)
      for (bool destroyed : {false, true}) {
        walkOne(order, destroyed);
        if (HasFatalFailure()) return;
      }
    tally.report(2 * orders.size());
  }

 private:
  void walkOne(const std::vector<tCounterStep>& order, bool destroyed) {
    std::string walked = "build";
    for (tCounterStep step : order) walked += std::string(", ") + kStepNames[step];
    walked += destroyed ? ", destruction" : ", teardown";
    build();
    if (HasFatalFailure()) return;
    // The counter class's taps and receivers, each asking for the second pass.
    auto& dispatcher = container->dispatcher();
    dispatcher.setPrimaryTap(counter(), &primaryTap);
    dispatcher.setSecondaryTap(counter(), &secondaryTap);
    dispatcher.setPrimaryReceiver(counter(), &receiver);
    dispatcher.setSecondaryReceiver(counter(), &receiver);
    tCounterRecord record;
    tally.note("build", walked, boardFaults(record));
    for (tCounterStep step : order) {
      const std::string answered = run(step, record);
      tally.note(kStepNames[step], walked, answered + boardFaults(record));
    }
    if (!destroyed) {
      // As a counter class brings the counter down: by what its steps did.
      const tCounterRecord did = record;
      const std::pair<bool, tCounterStep> undos[] = {{did.requests, kDisableDMA},
                                                     {did.connected, kDisconnect},
                                                     {did.primary, kDisablePrimary},
                                                     {did.secondary, kDisableSecondary}};
      for (const auto& [done, undo] : undos) {
        if (!done) continue;
        const std::string answered = run(undo, record);
        tally.note(std::string("teardown ") + kStepNames[undo], walked,
                   answered + boardFaults(record));
      }
    }
    const void* bytes = container;
    delete container;
    container = nullptr;
    tally.note("destruction", walked,
               watched.faults() + runs(tCounterRecord{}) +
                   watched.slotsInside(bytes, sizeof(nQoUdR100::tTavikTIOCompositeContainer)));
    resetCounter();
    calls.clear();
  }

  uint32_t counter() const { return GetParam(); }

  // The step, noted in the record as a counter class notes it; answers the
  // fault of a step that did not answer 0.
  std::string run(tCounterStep step, tCounterRecord& record) {
    nQoMDBG100::tStatus2 answer;
    auto& dma = container->dma();
    auto& dispatcher = container->dispatcher();
    switch (step) {
      case kConnect:
        dma.connect(kChannel, counter(), answer);
        record.connected = record.requests = true;
        break;
      case kEnableDMA:
        dma.enableDMA(counter(), answer);
        record.requests = true;
        break;
      case kDisableDMA:
        dma.disableDMA(counter(), answer);
        record.requests = false;
        break;
      case kDisconnect:
        dma.disconnect(kChannel, counter(), answer);
        record.connected = record.requests = false;
        break;
      case kEnablePrimary:
        dispatcher.enablePrimary(counter(), answer);
        record.primary = true;
        break;
      case kEnableSecondary:
        dispatcher.enableSecondary(counter(), answer);
        record.secondary = true;
        break;
      case kDisablePrimary:
        dispatcher.disablePrimary(counter(), answer);
        record.primary = false;
        break;
      case kDisableSecondary:
        dispatcher.disableSecondary(counter(), answer);
        record.secondary = false;
        break;
      case kFire: watched.fire(); break;
    }
    return answer.code != 0 ? "answered " + std::to_string(answer.code) + "\n" : "";
  }

  std::string boardFaults(const tCounterRecord& record) { return watched.faults() + runs(record); }

  // What the board runs of the counter that the record has off (the DMA
  // requests run for the DMA interrupt too).
  std::string runs(const tCounterRecord& record) const {
    const tCounterPlaces& at = kPlaces[counter()];
    const uint32_t dma = windows.written(boardWindow, at.dma, 16);
    const auto named = [](uint8_t source) { return "source " + std::to_string(source); };
    std::string runs;
    if (!record.primary && (windows.written(boardWindow, at.enable, 16) >> at.primaryBit & 1) != 0)
      runs += named(at.primarySource) + " on\n";
    if (!record.secondary && (dma & 4) != 0) runs += named(at.secondarySource) + " on\n";
    if (!record.requests && !record.secondary && (dma & 1) != 0)
      runs += "DMA requests on (bit 0 of the DMA register)\n";
    if (!record.connected &&
        (windows.written(boardWindow, kSelect, 8) >> at.selectShift & 0xF) != 0)
      runs += "the DMA select names a channel\n";
    return runs;
  }

  // The next walk starts on a board where nothing of the counter runs, also
  // after one whose fault left it running.
  void resetCounter() {
    const tCounterPlaces& at = kPlaces[counter()];
    auto& map = board();
    nQoMDBG100::tStatus2 reset;
    const auto clear = [&reset](auto& target, uint32_t bits) {
      using tValue = typename std::remove_cvref_t<decltype(target)>::tValue;
      target.setRegister(static_cast<tValue>(target.getRegister() & ~bits), &reset);
      target.flush(&reset, 0);
    };
    clear(map.Write_000B, 0xFu << at.selectShift);
    if (counter() == 0) {
      clear(map.Write_01B8, 0xFFFF);
      clear(map.Interrupt_A_Enable, 1u << at.primaryBit);
    } else {
      clear(map.Write_01BA, 0xFFFF);
      clear(map.Interrupt_B_Enable, 1u << at.primaryBit);
    }
    ASSERT_EQ(reset.code, 0);
  }

  tBoardWatch watched;
  tFaultTally tally;
  tFakeTap primaryTap{1, &calls, nQoTIO100::iTIOCtrInterruptTap::kAcknowledgeAndSecondPass};
  tFakeTap secondaryTap{2, &calls, nQoTIO100::iTIOCtrInterruptTap::kAcknowledgeAndSecondPass};
  tFakeTap receiver{3, &calls};
};

TEST_P(tCounterWalk, EveryOrderOfItsStepsLeavesTheBoardSound) { walk(); }

INSTANTIATE_TEST_SUITE_P(Counters, tCounterWalk, ::testing::Values(0u, 1u),
                         [](const ::testing::TestParamInfo<uint32_t>& info) {
                           return "Counter" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace nQoTest
