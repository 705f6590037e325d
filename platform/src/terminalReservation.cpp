// The terminal-reservation functions, with the test controls of
// simTerminalReservation.h. A terminal is held by name; the device, the
// connection, the attribute and the reservation name are only recorded.
#include <algorithm>
#include <mutex>

#include "mru/tTerminalReservation.h"
#include "sim/simTerminalReservation.h"
#include "sim/tBoundedLog.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoORB100::tGUID;
using nQoSim::tTerminalRecord;

std::mutex gLock;
constinit nQoSim::tBoundedLog<tTerminalRecord> gLog;
std::vector<std::string> gHeld;
unsigned gCalls = 0;
unsigned gFailAt = 0;
int gFailCode = 0;

std::string text(const char* terminal) { return terminal == nullptr ? "" : terminal; }
std::wstring text(const wchar_t* name) { return name == nullptr ? L"" : name; }

// Logs the call; true when it goes ahead: the status holds no error and it is
// not the armed failure (which merges its code into the status).
bool admit(tTerminalRecord& record, tStatus2& status) {
  record.status = &status;
  record.incoming = status.code;
  gLog.add(record);
  if (status.isFatal()) return false;
  if (++gCalls != gFailAt) return true;
  gFailAt = 0;
  status.setCode(gFailCode, "qomru", "tTerminalReservation", 30);
  return false;
}

void reserveAs(tTerminalRecord record, tStatus2& status) {
  std::lock_guard<std::mutex> lock(gLock);
  if (admit(record, status)) gHeld.push_back(record.terminal);
}

void releaseAs(tTerminalRecord record, tStatus2& status) {
  std::lock_guard<std::mutex> lock(gLock);
  if (!admit(record, status)) return;
  auto found = std::find(gHeld.begin(), gHeld.end(), record.terminal);
  if (found != gHeld.end()) gHeld.erase(found);
}

}  // namespace

namespace nQoMRU210 {

void tTerminalReservation::reserve(const tGUID& device, const char* terminal, uint32_t attribute,
                                   const wchar_t* reservationName, tStatus2& status) {
  reserveAs({.function = "reserve",
             .device = device,
             .terminal = text(terminal),
             .attribute = attribute,
             .reservationName = text(reservationName)},
            status);
}

void tTerminalReservation::reserveWithFlag(const tGUID& device, const char* terminal,
                                           uint32_t attribute, const wchar_t* reservationName,
                                           tStatus2& status) {
  reserveAs({.function = "reserveWithFlag",
             .device = device,
             .terminal = text(terminal),
             .attribute = attribute,
             .reservationName = text(reservationName)},
            status);
}

void tTerminalReservation::reserveThrough(uint64_t connection, const tGUID& device,
                                          const char* terminal, uint32_t attribute,
                                          const wchar_t* reservationName, tStatus2& status) {
  reserveAs({.function = "reserveThrough",
             .device = device,
             .connection = connection,
             .terminal = text(terminal),
             .attribute = attribute,
             .reservationName = text(reservationName)},
            status);
}

void tTerminalReservation::reserveThroughWithFlag(uint64_t connection, const char* terminal,
                                                  uint32_t attribute,
                                                  const wchar_t* reservationName,
                                                  tStatus2& status) {
  reserveAs({.function = "reserveThroughWithFlag",
             .connection = connection,
             .terminal = text(terminal),
             .attribute = attribute,
             .reservationName = text(reservationName)},
            status);
}

void tTerminalReservation::reserveByName(const tGUID& device, const char* terminal,
                                         tStatus2& status) {
  tTerminalRecord record{.function = "reserveByName", .device = device, .terminal = text(terminal)};
  std::lock_guard<std::mutex> lock(gLock);
  if (!admit(record, status)) return;
  if (std::find(gHeld.begin(), gHeld.end(), record.terminal) == gHeld.end()) {
    gHeld.push_back(record.terminal);
    return;
  }
  status.setCode(kTerminalHeld, "qomru", "tTerminalReservation", 40);
}

void tTerminalReservation::release(const tGUID& device, const char* terminal, tStatus2& status) {
  releaseAs({.function = "release", .device = device, .terminal = text(terminal)}, status);
}

void tTerminalReservation::releaseWithFlag(const tGUID& device, const char* terminal,
                                           uint32_t attribute, const wchar_t* reservationName,
                                           tStatus2& status) {
  releaseAs({.function = "releaseWithFlag",
             .device = device,
             .terminal = text(terminal),
             .attribute = attribute,
             .reservationName = text(reservationName)},
            status);
}

void tTerminalReservation::releaseThrough(uint64_t connection, const char* terminal,
                                          tStatus2& status) {
  releaseAs({.function = "releaseThrough", .connection = connection, .terminal = text(terminal)},
            status);
}

void tTerminalReservation::releaseThroughWithFlag(uint64_t connection, const char* terminal,
                                                  uint32_t attribute,
                                                  const wchar_t* reservationName,
                                                  tStatus2& status) {
  releaseAs({.function = "releaseThroughWithFlag",
             .connection = connection,
             .terminal = text(terminal),
             .attribute = attribute,
             .reservationName = text(reservationName)},
            status);
}

}  // namespace nQoMRU210

namespace nQoSim {

std::vector<tTerminalRecord> terminalLog() {
  std::lock_guard<std::mutex> lock(gLock);
  return gLog.records();
}

void failTerminalCall(unsigned nth, int code) {
  std::lock_guard<std::mutex> lock(gLock);
  gFailAt = nth == 0 ? 0 : gCalls + nth;
  gFailCode = code;
}

std::vector<std::string> heldTerminals() {
  std::lock_guard<std::mutex> lock(gLock);
  return gHeld;
}

void resetTerminalReservation() {
  std::lock_guard<std::mutex> lock(gLock);
  gLog.clear();
  gHeld.clear();
  gFailAt = 0;
}

}  // namespace nQoSim
