// Interrupt states from outside: the bytes give the status registers' contents,
// which source switches are on, whether the board interrupt is attached, which
// handler slots are filled and what each handler answers; then one primary
// pass and one secondary pass run on a fresh dispatcher. An empty slot is
// never called (it is null), the answer is 0, 1 or 2, every write goes to an
// acknowledge register, each handler is called at most once, and a secondary
// handler runs only for a source whose handler answered 2.
//
// Layout (missing bytes read as 0): 0x104, 0x106, 0x13A, 0x1B8, 0x1BA (16 bits
// each), 0x88, 0xA1 (8 bits), 0x224, 0x240, 0x244 (32 bits), a 32-bit mask of
// source switches (by switch id), an attach byte, five
// bytes of filled slots (bit per source) and nine bytes of answers (two bits
// per source).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "mdbg/tStatus2.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace {

using nQoUdRLP100::tTavikInterruptDispatcher;
using D = tTavikInterruptDispatcher;
using W = nQoSim::tSimRegisterWindows;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_tavikInterrupts: %s\n", what);
  std::abort();
}

class tBytes {
 public:
  tBytes(const uint8_t* data, size_t size) : _data(data), _size(size) {}
  uint32_t take(unsigned bytes) {
    uint32_t value = 0;
    for (unsigned at = 0; at < bytes; ++at, ++_at)
      if (_at < _size) value |= uint32_t(_data[_at]) << (8 * at);
    return value;
  }

 private:
  const uint8_t* _data;
  size_t _size;
  size_t _at = 0;
};

class tHandler : public nQoMRTB100::iInterruptHandler,
                 public nQoMRTB100::iSecondaryInterruptHandler {
 public:
  tAnswer handleInterrupt() override {
    ++primaryCalls;
    return static_cast<tAnswer>(answer);
  }
  uint32_t handleSecondaryInterrupt() override {
    ++secondaryCalls;
    return 0;
  }
  uint32_t answer = 0;
  unsigned primaryCalls = 0;
  unsigned secondaryCalls = 0;
};

bool acknowledge(const W::tAccess& access) {
  switch (access.offset) {
    case 0x104:
    case 0x106: return access.width == 16;
    case 0x224: return access.width == 32 && (access.value == 0x4000 || access.value == 0x8000);
    case 0x250:
    case 0x254: return access.width == 32 && access.value == 0xFFFFFFFF;
    default: return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static W windows;
  static const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  static nQoSim::tSimBus bus(windows);
  bus.setLogging(false);
  windows.clearLog();

  tBytes bytes(data, size);
  for (uint32_t offset : {0x104u, 0x106u, 0x13Au, 0x1B8u, 0x1BAu})
    windows.setRead(window, offset, 16, bytes.take(2));
  windows.setRead(window, 0x88, 8, bytes.take(1));
  windows.setRead(window, 0xA1, 8, bytes.take(1));
  for (uint32_t offset : {0x224u, 0x240u, 0x244u})
    windows.setRead(window, offset, 32, bytes.take(4));
  const uint32_t switches = bytes.take(4);
  const bool attach = (bytes.take(1) & 1) != 0;
  const uint64_t filled = uint64_t(bytes.take(4)) | uint64_t(bytes.take(1)) << 32;
  tHandler handlers[D::kSourceCount];
  uint32_t answers[3] = {bytes.take(3), bytes.take(3), bytes.take(3)};
  for (uint32_t source = 0; source < D::kSourceCount; ++source)
    handlers[source].answer = (answers[source / 12] >> (2 * (source % 12))) & 3;

  {
    nQoMDBG100::tStatus2 status;
    nQoUdRLP100::nTavik::tTavik map(&bus, window, &status);
    tTavikInterruptDispatcher dispatcher(&map, 1, &status);
    for (uint32_t id = 0; id < nQoUdRLP100::kSourceSwitchCount; ++id)
      if ((switches >> id) & 1)
        dispatcher.enableSource(static_cast<nQoUdRLP100::tSourceSwitchId>(id), status, 0xFF);
    if (attach) dispatcher.attachInterrupt(status);
    check(status.code == 0, "set-up failed");
    for (uint32_t source = 0; source < D::kSourceCount; ++source) {
      if (((filled >> source) & 1) == 0) continue;
      dispatcher.primaryHandlers[source] = &handlers[source];
      dispatcher.secondaryHandlers[source] = &handlers[source];
    }

    windows.clearLog();
    const uint32_t answer = dispatcher.resolvePrimaryInterrupt();
    check(answer <= 2, "answer outside 0, 1, 2");
    for (const auto& access : windows.writes())
      check(acknowledge(access), "write beside the acknowledges");
    bool wantsSecondary = false;
    for (uint32_t source = 0; source < D::kSourceCount; ++source) {
      check(handlers[source].primaryCalls <= 1, "a handler called twice in one pass");
      const bool asked = handlers[source].primaryCalls == 1 && handlers[source].answer == 2;
      check(dispatcher.secondaryRequest(source) == (asked ? 1u : 0u),
            "request flag off its answer");
      wantsSecondary = wantsSecondary || asked;
    }
    check(wantsSecondary == (answer == 1), "answer 1 without a request, or a request without it");

    dispatcher.resolveSecondaryInterrupt();
    for (uint32_t source = 0; source < D::kSourceCount; ++source) {
      const bool asked = handlers[source].primaryCalls == 1 && handlers[source].answer == 2;
      check(handlers[source].secondaryCalls == (asked ? 1u : 0u),
            "secondary pass off the requests");
    }
    for (auto& slot : dispatcher.primaryHandlers) slot = nullptr;
  }
  return 0;
}
