// Requests to the AI immediate DMA transfer's socket listener and header words
// written by the client: kinds (map, unmap, event naming, others), request
// sizes, keys, reply capacities, map and unmap addresses and sizes, then the
// client's header words 0, 20, 24 and 28 before a read count and an overflow.
// Codes are only -223749 and -50175; nothing is written past the reply's
// capacity; the overflow ends the armed transfer once (word 4 = -200010,
// word 0 = 1) whatever the client wrote; the read count never passes word 24
// by more than one.
//
// Layout (missing bytes read as 0): kind (1 byte, 0-4), request size (1
// byte, 0-31), reply capacity (1 byte, 0-31), flags (bit 0 the right key,
// bit 1 the mapping's address, bit 2 the buffer's size), 16 request bytes,
// then four header words.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tAI_ADCPrimitive.h"
#include "primitives/ai/tTavikAITimingControllerPrimitive.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tAnyRangeCodes.h"
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
  std::fprintf(stderr, "fuzz_immediateDMAListener: %s\n", what);
  std::abort();
}

uint32_t take(const uint8_t* data, size_t size, size_t& at, unsigned bytes) {
  uint32_t value = 0;
  for (unsigned i = 0; i < bytes; ++i, ++at)
    if (at < size) value |= uint32_t(data[at]) << (8 * i);
  return value;
}

// The AI road with one VESK channel window; a transfer is built per input.
struct tBoard {
  tBoard() {
    windows.setLogging(false);
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 2;
    config.timing.strobeLoadValue = 4;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    // The engine committed, as the subsystem commits it before the
    // transfers, whose sets and scans go by what it programmed.
    timing.setConfiguration(config, status);
    timing.commit(status);
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig channels;
    channels.channels.append(nQoUdP100::tAIScanningFrontEndConfig{});
    // Committed, as the subsystem commits it before the transfer, whose
    // commit goes by the channels it programmed.
    frontEndDescription.rangeCodes = &ranges;
    frontEnd.setConfiguration(channels, status);
    frontEnd.commit(status);
  }
  W windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  const unsigned vesk = windows.addWindow(0x84);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikHelper helper{&map};
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdRLP100::tVESKChannel channel{&bus, vesk, &status};
  nQoUdRLP100::tVESKChannel* channels[1] = {&channel};
  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tAIFIFODescription fifoDescription{16, 4, 0};
  nQoFuzz::tAnyRangeCodes ranges;
  nQoUdP100::tAIFrontEndDescription frontEndDescription;
  nQoUdP100::tDeviceInfo deviceInfo;
  nQoUdP100::tAI_ADCPrimitive converter{&entry, &map, &dispatcher, status};
  nQoUdP100::tTavikAITimingControllerPrimitive timing{&entry, &map, &helper, &dispatcher, status};
  nQoUdP100::tAIDeviceFIFOPrimitive fifo{&fifoDescription, &map, &dispatcher, status};
  nQoUdP100::tAIScanningFrontEndPrimitive frontEnd{&frontEndDescription, &map, &helper, status};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static tBoard board;
  size_t at = 0;
  const uint32_t kind = take(data, size, at, 1) % 5;
  const uint32_t requestSize = take(data, size, at, 1) % 32;
  const uint32_t capacity = take(data, size, at, 1) % 32;
  const uint32_t flags = take(data, size, at, 1);
  uint8_t request[32] = {};
  for (uint32_t i = 0; i < 16; ++i) request[8 + i] = static_cast<uint8_t>(take(data, size, at, 1));
  uint32_t words[4];
  for (uint32_t& word : words) word = take(data, size, at, 4);

  nQoMDBG100::tStatus2 status;
  nQoUdP100::tAIImmediateDMATransferPrimitive transfer(
      &board.bus, &board.deviceInfo, &board.frontEnd, &board.converter, &board.timing, &board.fifo,
      &board.map, board.channels, 1, status);
  transfer.setListenerKey(kKey);
  transfer.reserveDMAChannel(status);
  transfer.commitChannel(status);
  transfer.commit(status);
  transfer.arm(status);
  check(status.code == 0, "transfer not armed");

  // A first mapping for the unmap requests to name.
  uint8_t reply[48];
  uint32_t replySize = 0;
  std::memcpy(request, &kKey, sizeof kKey);
  transfer.listener().handleRequest(request, 24, reply, 16, &replySize, 1, 0, status);
  uint64_t mapped = 0;
  std::memcpy(&mapped, reply, sizeof mapped);
  if ((flags & 1) == 0) request[0] ^= 0xFF;
  if ((flags & 2) != 0) std::memcpy(request + 8, &mapped, sizeof mapped);
  if ((flags & 4) != 0) {
    const uint32_t bytes = transfer.bufferSize();
    std::memcpy(request + 16, &bytes, sizeof bytes);
  }
  std::memset(reply, kGuard, sizeof reply);
  nQoMDBG100::tStatus2 asked;
  transfer.listener().handleRequest(request, requestSize, reply, capacity, &replySize, kind, 0,
                                    asked);
  check(asked.code == 0 || asked.code == -223749 || asked.code == -50175, "unexpected code");
  for (uint32_t i = asked.code == 0 ? capacity : 0; i < sizeof reply; ++i)
    check(reply[i] == kGuard, "reply written past what was allowed");

  auto* header = reinterpret_cast<uint32_t*>(const_cast<uint8_t*>(transfer.buffer()));
  header[0] = words[0];
  header[5] = words[1];
  header[6] = words[2];
  header[7] = words[3];
  transfer.countRead();
  check(
      header[7] == words[3] || (header[7] == words[3] + 1 && words[1] != 0 && words[3] <= words[2]),
      "read count moved where it may not");
  // Both passes of the overflow, as the FIFO's dispatcher runs them: the
  // second ends the run that the first one saw.
  nQoMDBG100::tStatus2 pass;
  transfer.overflowed(&board.fifo, pass);
  transfer.overflowedSecondary(&board.fifo, pass);
  check(static_cast<int32_t>(header[1]) == -200010 && header[0] == 1, "overflow not reported");
  header[1] = 0;
  transfer.handleOverrunSecondary(&board.converter, pass);
  check(header[1] == 0, "ended twice");
  transfer.disarm(status);
  transfer.uncommit(status);
  transfer.uncommitChannel(status);
  transfer.releaseDMAChannel(status);
  return 0;
}
