// Reservation of a device's terminals by name, for a reservation name, either
// on the device itself or through a connection object; the flagged forms also
// mark the reservation with an attribute.
//
//   nQoMRU210::tTerminalReservation::reserve(device, "PFI0", attribute, L"task", status);
//   ...
//   nQoMRU210::tTerminalReservation::release(device, "PFI0", status);
//
// Every function does nothing when the status already holds an error.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"

namespace nQoMRU210 {

class tTerminalReservation {
 public:
  static constexpr int kTerminalHeld = -50103;

  static void reserve(const nQoORB100::tGUID& device, const char* terminal, uint32_t attribute,
                      const wchar_t* reservationName, nQoMDBG100::tStatus2& status);
  static void reserveWithFlag(const nQoORB100::tGUID& device, const char* terminal,
                              uint32_t attribute, const wchar_t* reservationName,
                              nQoMDBG100::tStatus2& status);
  static void reserveThrough(uint64_t connection, const nQoORB100::tGUID& device,
                             const char* terminal, uint32_t attribute,
                             const wchar_t* reservationName, nQoMDBG100::tStatus2& status);
  static void reserveThroughWithFlag(uint64_t connection, const char* terminal, uint32_t attribute,
                                     const wchar_t* reservationName, nQoMDBG100::tStatus2& status);
  // Reserves the terminal of that name for the device; a terminal held now
  // is refused (kTerminalHeld) and stays with its holder.
  static void reserveByName(const nQoORB100::tGUID& device, const char* terminal,
                            nQoMDBG100::tStatus2& status);

  static void release(const nQoORB100::tGUID& device, const char* terminal,
                      nQoMDBG100::tStatus2& status);
  static void releaseWithFlag(const nQoORB100::tGUID& device, const char* terminal,
                              uint32_t attribute, const wchar_t* reservationName,
                              nQoMDBG100::tStatus2& status);
  static void releaseThrough(uint64_t connection, const char* terminal,
                             nQoMDBG100::tStatus2& status);
  static void releaseThroughWithFlag(uint64_t connection, const char* terminal, uint32_t attribute,
                                     const wchar_t* reservationName, nQoMDBG100::tStatus2& status);
};

}  // namespace nQoMRU210
