// Test controls of the interconnect manager, the endpoint and intent classes
// of tSimCloneable.h and tIntentFactory::destroy: an ordered log of every call
// and a failure armed per operation.
#pragma once

#include <string>
#include <vector>

#include "dim/tLineSet.h"

namespace nQoSim {

enum tInterconnectOperation { kGetManager, kReserve, kRelease, kClone, kDestroyIntent };

struct tInterconnectRecord {
  tInterconnectOperation operation;
  int incoming = 0;                // the status code at the call
  std::string owner{};             // reserve
  const void* endpoint = nullptr;  // reserve
  const void* intent = nullptr;    // reserve, destroy
  nQoDIM100::tLineSet lines{};     // reserve
  // reserve: the answer; release: the reservation handed in; clone: the source.
  const void* object = nullptr;
};
// The most recent calls, oldest first (tBoundedLog keeps them).
std::vector<tInterconnectRecord> interconnectLog();

// Makes the nth call of the operation from now (1: the next) set the code
// (0 disarms). The failing call answers null (also with code 0: a null answer
// on a clean status); a failing release keeps the reservation held; a failing
// destroy still frees the intent.
void failInterconnectCall(tInterconnectOperation operation, unsigned nth, int code);

// Reservations made and not yet released.
int liveInterconnectReservations();

// Empties the log, frees the reservations still held, disarms every failure.
void resetInterconnect();

}  // namespace nQoSim
