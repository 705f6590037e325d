// Counter interrupts from outside: the bytes give the layout, which counters'
// primary interrupts are enabled, which taps and receivers are installed, and
// per round the counter, the status registers at 0x104 and 0x106 and the tap
// answers; each round serves one counter and may run the second pass. The
// service answers only 1 or 2 and writes only to 0x104 and 0x106; the second
// pass answers 4 and calls a receiver only for a request made since the last.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "counters/iTIOCtrInterruptTap.h"
#include "counters/tCtrPair.h"
#include "counters/tTIOCtrHelper.h"
#include "counters/tTIOCtrInterruptDispatcher.h"
#include "mdbg/tStatus2.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"

namespace {

using W = nQoSim::tSimRegisterWindows;
using D = nQoTIO100::tTIOCtrInterruptDispatcher;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_counterService: %s\n", what);
  std::abort();
}

class tTap : public nQoTIO100::iTIOCtrInterruptTap {
 public:
  uint32_t handle() override {
    ++calls;
    return answer;
  }
  uint32_t answer = 0;
  unsigned calls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static W windows;
  static const unsigned board = windows.addWindow(0x200);
  static nQoSim::tSimBus bus(windows);
  static const bool viewAnswered = (bus.answerView(256, windows.addView(board, 0x100, 196)), true);
  (void)viewAnswered;
  bus.setLogging(false);
  windows.clearLog();
  if (size < 2) return 0;
  {
    nQoMDBG100::tStatus2 status;
    nQoTIO100::tCtrPair pair(&bus, 256, &status);
    nQoTIO100::tTIOCtrHelper helper(data[0] & 1, &pair);
    tTap owner;
    D dispatcher(&owner, &helper);
    tTap taps[4];       // primary 0, primary 1, secondary 0, secondary 1
    tTap receivers[4];  // in the order of the request words
    const uint8_t set = data[1];
    for (uint32_t counter = 0; counter < 2; ++counter) {
      nQoMDBG100::tStatus2 enabling;
      if ((set >> counter) & 1) dispatcher.enablePrimary(counter, enabling);
      if ((set >> (2 + counter)) & 1) dispatcher.setPrimaryTap(counter, &taps[counter]);
      if ((set >> (4 + counter)) & 1) dispatcher.setSecondaryTap(counter, &taps[2 + counter]);
      dispatcher.setPrimaryReceiver(counter, &receivers[counter]);
      dispatcher.setSecondaryReceiver(counter, &receivers[2 + counter]);
    }
    for (size_t at = 2; at + 6 <= size; at += 6) {
      const uint8_t round = data[at];
      windows.setRead(board, 0x104, 16, uint32_t(data[at + 1]) | uint32_t(data[at + 2]) << 8);
      windows.setRead(board, 0x106, 16, uint32_t(data[at + 3]) | uint32_t(data[at + 4]) << 8);
      for (unsigned k = 0; k < 4; ++k) taps[k].answer = (data[at + 5] >> (2 * k)) & 3;
      windows.clearLog();
      const uint32_t answer = dispatcher.service(round & 3);
      check(answer == 1 || answer == 2, "a service answer other than 1 or 2");
      for (const W::tAccess& access : windows.log())
        check(access.direction != W::kWrite || access.offset == 0x104 || access.offset == 0x106,
              "a write outside the acknowledge registers");
      if ((round & 4) == 0) continue;
      unsigned requested = 0;
      for (unsigned kind = 0; kind < D::kKindCount; ++kind)
        requested += dispatcher.request(static_cast<D::tKind>(kind));
      unsigned before = 0;
      for (const tTap& receiver : receivers) before += receiver.calls;
      check(dispatcher.resolveSecondaryInterrupts() == 4, "a second pass answer other than 4");
      unsigned after = 0;
      for (const tTap& receiver : receivers) after += receiver.calls;
      check(after - before == requested, "a second pass that called other than the requests");
    }
  }
  return 0;
}
