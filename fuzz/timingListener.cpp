// Requests to the AI timing controller's socket listener from outside: the
// bytes give the request size and bytes, the reply capacity, whether the
// reply-size word is there, the code and the second word. The answer is code
// 0 with the three timing words and a size of 12, or -223749; the listener
// writes nothing past the reply buffer's capacity, and sets the reply size
// only for a request of 8 bytes into a 12-byte reply with second word 0.
//
// Layout (missing bytes read as 0): request size (1 byte, 0-15), reply
// capacity (1 byte, 0-15), flags (1 byte: bit 0 a null request, bit 1 a null
// reply, bit 2 a null size word, bit 3 the committed key in the request),
// code (4), second word (4), then up to 15 request bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lib/iLibSocketListener.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tTavikAITimingControllerPrimitive.h"
#include "sim/simSocketListeners.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace {

using W = nQoSim::tSimRegisterWindows;
constexpr uint64_t kKey = 0x1122334455667788;
constexpr uint8_t kGuard = 0xA5;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_timingListener: %s\n", what);
  std::abort();
}

uint32_t take(const uint8_t* data, size_t size, size_t& at, unsigned bytes) {
  uint32_t value = 0;
  for (unsigned i = 0; i < bytes; ++i, ++at)
    if (at < size) value |= uint32_t(data[at]) << (8 * i);
  return value;
}

// A committed controller, mode 3, finite, 100 samples, with the key.
struct tBoard {
  tBoard() {
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.listenerKey = kKey;
    config.timing.timingMode = 3;
    config.timing.acquisitionType = 2;
    config.timing.firstCount = 100;
    windows.setLogging(false);
    timing.setConfiguration(config, status);
    timing.commit(status);
    listener = nQoSim::findSocketListener(
        "0x0::0x0::0x0::tBaseAITimingControllerPrimitive::tLibSocketListener");
    check(listener != nullptr, "no listener registered");
  }
  W windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikHelper helper{&map};
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tTavikAITimingControllerPrimitive timing{&entry, &map, &helper, &dispatcher, status};
  iLibSocketListener* listener = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static tBoard board;
  size_t at = 0;
  const uint32_t requestSize = take(data, size, at, 1) % 16;
  const uint32_t capacity = take(data, size, at, 1) % 16;
  const uint32_t flags = take(data, size, at, 1);
  const uint32_t code = take(data, size, at, 4);
  const uint32_t second = take(data, size, at, 4);
  uint8_t request[16] = {};
  for (uint32_t i = 0; i < 15; ++i) request[i] = static_cast<uint8_t>(take(data, size, at, 1));
  if ((flags & 8) != 0) std::memcpy(request, &kKey, sizeof kKey);
  uint8_t reply[32];
  std::memset(reply, kGuard, sizeof reply);
  uint32_t replySize = 0xEEEEEEEE;

  nQoMDBG100::tStatus2 status;
  board.listener->handleRequest((flags & 1) != 0 ? nullptr : request, requestSize,
                                (flags & 2) != 0 ? nullptr : reply, capacity,
                                (flags & 4) != 0 ? nullptr : &replySize, code, second, status);
  const bool shaped = (flags & 7) == 0 && requestSize == 8 && capacity == 12 && second == 0;
  uint64_t key = 0;
  std::memcpy(&key, request, sizeof key);
  const bool answered = shaped && key == kKey && code == 1;
  check(status.code == (answered ? 0 : -223749), "unexpected code");
  check(replySize == (shaped ? 12u : 0xEEEEEEEEu), "reply size set for a bad shape");
  for (uint32_t i = answered ? 12 : 0; i < sizeof reply; ++i)
    check(reply[i] == kGuard, "reply written past what was answered");
  if (answered) {
    const uint32_t expected[3] = {3, 2, 100};
    check(std::memcmp(reply, expected, sizeof expected) == 0, "wrong timing words");
  }
  return 0;
}
