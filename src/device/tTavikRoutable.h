// The board-side executor of the routing library's route requests: a route
// identifier names a register of the Tavik map (bits 24..0) and a field of it
// (the 7-bit field number spread over bits 31..25), and the routable writes
// the value into that field under the register's lock group.
//
//   tTavikRoutable routable(&map);
//   routable.route(makeRegisterId(49, 1), 5, status);   // 0x0005 at 0x19E, under group 12
//   routable.commit(status);                             // the PFI selects may now be routed
//
// Until the first successful commit the routable leaves the eight protected
// registers (0x028, 0x172, 0x1D0..0x1DA) untouched, so that the routes applied
// while the node is being registered do not drive the pins. The 37-pin wrapper
// in addition drops a 0 routed to the direction bits 6 to 9 of 0x172.
#pragma once

#include <cstdint>

#include "device/routableInterfaces.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdR100 {

class tTavikRoutable : public iTavikRoutable, public tModuleObject {
 public:
  using tTavik = nQoUdRLP100::nTavik::tTavik;

  explicit tTavikRoutable(tTavik* registers) : _registers(registers) {}

  bool isValid() const { return _registers != nullptr; }

  // A register number above 173: kBadIndex (line 190); a number without a
  // field-addressable register: kBadIndex at the map's missing-register line.
  // Neither takes a lock or writes. A group lock that refuses is reported
  // (its code, or kRefused) and nothing is written.
  void route(uint32_t fieldId, uint32_t value, nQoMDBG100::tStatus2& status) override;
  // Checks every pair first (kBadIndex, line 318 or the missing-register
  // line, and nothing is locked or written); then takes the lock groups of
  // all the pairs' registers in ascending order, writes the pairs in list
  // order and gives the groups back in descending order. When a group
  // refuses, nothing is written and only the groups taken are given back.
  void routeList(const nQoMRU210::tRouteList& list, nQoMDBG100::tStatus2& status) override;
  void apply(nQoMDBG100::tStatus2&) override {}
  // Lifts the protection when the status holds no error.
  int commit(nQoMDBG100::tStatus2& status) override;

 protected:
  // The register object of a route identifier, or null with the code set at
  // the line for numbers beyond the map.
  tTavik::tRegister* registerOf(uint32_t fieldId, unsigned beyondMapLine,
                                nQoMDBG100::tStatus2& status) const;
  // True while protected and the identifier names a protected register.
  bool skips(uint32_t fieldId) const;

  tTavik* _registers;
  uint32_t _protectRegisters = 1;
};

class tTavikWrapperFor37PinUdSeriesRoutable : public tTavikRoutable {
 public:
  using tTavikRoutable::tTavikRoutable;

  void route(uint32_t fieldId, uint32_t value, nQoMDBG100::tStatus2& status) override;
  // Routes each pair on its own, in order.
  void routeList(const nQoMRU210::tRouteList& list, nQoMDBG100::tStatus2& status) override;
};

}  // namespace nQoUdR100
