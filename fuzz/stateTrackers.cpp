// Control codes and events from outside: drives the plain tracker, the
// status-chaining tracker and a multi tracker over both through transition
// guards with arbitrary (event, flags, incoming code) triples. The state must
// stay one of 0, 10, ..., 70, and an event that the guard's check refused must
// not move it.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "reservation/tMultiStateTracker.h"
#include "reservation/tStatusChainingSupStateTracker.h"
#include "reservation/tSupStateTracker.h"
#include "reservation/tSupStateTransition.h"
#include "sim/simStatusLog.h"
#include "support/tFreshSimulation.h"

namespace {

constexpr int32_t kEvents[] = {4096, 4097, 4098, 4099, 4102, 4103, 4104, 4105,
                               1,    4100, 2,    3,    4101, 4,    0,    5};

constexpr int kIncoming[] = {0, 0, 0, 0, 5, 200010, -7, -50150};

int32_t readEvent(const uint8_t* bytes) {
  // The high bit chooses between a known code and any 32-bit value.
  if ((bytes[0] & 0x80) == 0) return kEvents[bytes[0] % 16];
  int32_t raw;
  std::memcpy(&raw, bytes + 1, sizeof raw);
  return raw;
}

bool validState(int32_t state) { return state >= 0 && state <= 70 && state % 10 == 0; }

void drive(nQoMRTB100::iStateTracker& tracker, int32_t event, int incoming) {
  nQoMDBG100::tStatus2 probe;
  const int32_t before = tracker.getState(probe);
  nQoMDBG100::tStatus2 status(incoming);
  bool refused = false;
  {
    nQoMRTB100::tSupStateTransition transition(tracker, event, status);
    refused = incoming >= 0 && status.code < 0;
  }
  const int32_t after = tracker.getState(probe);
  if (!validState(after) || (refused && after != before)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  nQoSim::setStatusLogging(false);
  nQoMRTB100::tSupStateTracker plain;
  nQoMRTB100::tStatusChainingSupStateTracker chaining;
  nQoMRTB100::tStatusChainingSupStateTracker memberA;
  nQoMRTB100::tSupStateTracker memberB;
  nQoMRTB100::tMultiStateTracker multi;
  nQoMDBG100::tStatus2 setup;
  multi.addTracker(&memberA, setup);
  multi.addTracker(&memberB, setup);

  // Each step: event (5 bytes), flags (1 byte), incoming code (1 byte).
  constexpr size_t kStep = 7;
  for (size_t at = 0; at + kStep <= size; at += kStep) {
    const int32_t event = readEvent(data + at);
    const uint8_t flags = data[at + 5];
    const int incoming = kIncoming[data[at + 6] % 8];
    if ((data[at + 6] & 0x80) != 0) {
      nQoMDBG100::tStatus2 flagStatus;
      for (nQoMRTB100::tSupStateTracker* tracker :
           {&plain, static_cast<nQoMRTB100::tSupStateTracker*>(&chaining),
            static_cast<nQoMRTB100::tSupStateTracker*>(&memberA), &memberB}) {
        tracker->setFlags(1, flags, flagStatus);
        tracker->setFlags(0, static_cast<uint8_t>(~flags), flagStatus);
      }
    }
    drive(plain, event, incoming);
    drive(chaining, event, incoming);
    drive(multi, event, incoming);
  }
  nQoSim::setStatusLogging(true);
  return 0;
}
