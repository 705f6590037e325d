// Requests to the AI immediate transfer's socket listener from outside: kinds,
// request sizes, keys and reply capacities. The answer is 0 or -223749; the
// listener writes nothing past the reply buffer's capacity, nothing at all
// when it refuses, and answers a reply size of 36, or 32 + 4 x 3 = 44 for the
// read configuration of its three-set list.
//
// Layout (missing bytes read as 0): request size (1 byte, 0-31), reply
// capacity (1 byte, 0-63), flags (1 byte: bit 0 a null request, bit 1 a null
// reply, bit 2 a null size word, bit 3 the armed key in the request), kind (1
// byte, 0-4), then up to 24 request bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tAI_ADCPrimitive.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
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
constexpr uint32_t kSets = 3;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_immediateListener: %s\n", what);
  std::abort();
}

uint32_t take(const uint8_t* data, size_t size, size_t& at, unsigned bytes) {
  uint32_t value = 0;
  for (unsigned i = 0; i < bytes; ++i, ++at)
    if (at < size) value |= uint32_t(data[at]) << (8 * i);
  return value;
}

// An armed immediate transfer with the key over a list of three sets.
struct tBoard {
  tBoard() {
    windows.setLogging(false);
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 2;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    // The engine committed, as the subsystem commits it before the
    // transfer, whose sets go by what it programmed.
    timing.setConfiguration(config, status);
    timing.commit(status);
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig channels;
    nQoUdP100::tAIScanningFrontEndConfig channel;
    channel.channelFlags = 1;
    for (uint32_t i = 0; i < kSets; ++i) channels.channels.append(channel);
    // Committed, as the subsystem commits it before the transfer, whose
    // commit goes by the channels it programmed.
    frontEndDescription.rangeCodes = &ranges;
    frontEnd.setConfiguration(channels, status);
    frontEnd.commit(status);
    immediate.setListenerKey(kKey);
    immediate.reserveTransfer(status);
    immediate.commitTransfer(status);
    immediate.armTransfer(status);
    check(status.code == 0 && immediate.setCount() == kSets, "board not armed");
  }
  W windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikHelper helper{&map};
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tAIFIFODescription fifoDescription{4096, 4, 0};
  nQoFuzz::tAnyRangeCodes ranges;
  nQoUdP100::tAIFrontEndDescription frontEndDescription;
  nQoUdP100::tAIDescription description{.fifo = &fifoDescription};
  nQoUdP100::tDeviceInfo deviceInfo;
  nQoUdP100::tAI_ADCPrimitive converter{&entry, &map, &dispatcher, status};
  nQoUdP100::tTavikAITimingControllerPrimitive timing{&entry, &map, &helper, &dispatcher, status};
  nQoUdP100::tAIDeviceFIFOPrimitive fifo{&fifoDescription, &map, &dispatcher, status};
  nQoUdP100::tAIScanningFrontEndPrimitive frontEnd{&frontEndDescription, &map, &helper, status};
  nQoUdP100::tBaseAI_WFNSCPrimitive wfnsc{&timing, &converter};
  nQoUdP100::tBaseAIImmediateTransferPrimitive immediate{
      &bus, &deviceInfo, &frontEnd, &wfnsc, &converter, &timing, &fifo, &description, status};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static tBoard board;
  size_t at = 0;
  const uint32_t requestSize = take(data, size, at, 1) % 32;
  const uint32_t capacity = take(data, size, at, 1) % 64;
  const uint32_t flags = take(data, size, at, 1);
  const uint32_t kind = take(data, size, at, 1) % 5;
  uint8_t request[24] = {};
  for (uint8_t& byte : request) byte = static_cast<uint8_t>(take(data, size, at, 1));
  if ((flags & 8) != 0) std::memcpy(request, &kKey, sizeof kKey);
  uint8_t reply[80];
  std::memset(reply, kGuard, sizeof reply);
  uint32_t replySize = 0xEEEEEEEE;

  nQoMDBG100::tStatus2 status;
  board.immediate.listener().handleRequest(
      (flags & 1) != 0 ? nullptr : request, requestSize, (flags & 2) != 0 ? nullptr : reply,
      capacity, (flags & 4) != 0 ? nullptr : &replySize, kind, 0, status);
  check(status.code == 0 || status.code == -223749, "unexpected code");
  const uint32_t limit = status.code == 0 ? capacity : 0;
  for (uint32_t i = limit; i < sizeof reply; ++i)
    check(reply[i] == kGuard, "reply written past what was allowed");
  if (status.code == 0)
    check(replySize == (kind == 2 ? 32 + 4 * kSets : 36u), "wrong reply size");
  else
    check(replySize == 0xEEEEEEEEu, "reply size set on a refusal");
  return 0;
}
