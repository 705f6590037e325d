// Test controls of the terminal-reservation functions: an ordered log of every
// call, the terminals held and a failure armed on the nth call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"

namespace nQoSim {

struct tTerminalRecord {
  std::string function{};     // "reserve", "releaseThroughWithFlag", ...
  nQoORB100::tGUID device{};  // the forms given the device
  uint64_t connection = 0;    // the forms given the connection
  std::string terminal{};
  uint32_t attribute = 0;                        // the forms given the attribute
  std::wstring reservationName{};                // the forms given the name
  const nQoMDBG100::tStatus2* status = nullptr;  // the status object handed in
  int incoming = 0;                              // its code at the call
};
// The most recent calls, oldest first (tBoundedLog keeps them).
std::vector<tTerminalRecord> terminalLog();

// Makes the nth call of any of the functions from now (1: the next) set the
// code and reserve or release nothing; 0 disarms.
void failTerminalCall(unsigned nth, int code);

// The names of the terminals held now, in the order they were reserved.
std::vector<std::string> heldTerminals();

// Empties the log, releases every terminal, disarms the failure.
void resetTerminalReservation();

}  // namespace nQoSim
