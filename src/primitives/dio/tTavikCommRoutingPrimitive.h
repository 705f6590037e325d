// Connects the TESK link to the connector: mode 1 over front-panel lines
// (port-0 lines 0, 1, 2 and 4 and PFI 10, reserved from their owners first),
// mode 2 over the chip's dedicated outputs, mode 3 both; other modes do
// nothing. On the fixed-direction variant there is no port-0 primitive and
// the front-panel modes are refused with -50004.
//
//   tTavikCommRoutingPrimitive routing(map, &port, status);   // reset: disconnected
//   routing.setPortLineReserver(&ports, status);
//   routing.setPFILineReserver(&pfis, status);
//   routing.connect(1, status);      // reserves 0x17, then 0x400
//   routing.disconnect(3, status);   // releases both once
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/iCommRoutingPrimitive.h"
#include "primitives/dio/iDigReserver.h"
#include "primitives/dio/tTavikImmedDigPrimitive.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikCommRoutingPrimitive final : public iCommRoutingPrimitive,
                                         public nQoUdR100::tModuleObject {
 public:
  static constexpr uint32_t kPortLines = 0x17;
  static constexpr uint32_t kPFILines = 0x400;

  tTavikCommRoutingPrimitive(nQoUdRLP100::nTavik::tTavik& map, tTavikImmedDigPrimitive* portLines,
                             nQoMDBG100::tStatus2& status);
  // Lines that a connect left driven (a teardown under the link's task) stop
  // being driven, by its records; the reservers, which a teardown may have
  // taken away first, hear nothing.
  ~tTavikCommRoutingPrimitive() override;

  void connect(int32_t mode, nQoMDBG100::tStatus2& status) override;
  // Every step runs; their statuses are merged into the caller's.
  void disconnect(int32_t mode, nQoMDBG100::tStatus2& status) override;
  void reset(nQoMDBG100::tStatus2& status) override;
  int32_t setPortLineReserver(iDigReserver* reserver, nQoMDBG100::tStatus2& status) override;
  void setPFILineReserver(iDigReserver* reserver, nQoMDBG100::tStatus2& status) override;

 private:
  void reserve(nQoMDBG100::tStatus2& status);
  void connectFrontPanel(nQoMDBG100::tStatus2& status);
  void setDedicatedOutput(uint32_t on, nQoMDBG100::tStatus2& status);
  void setPFI10Direction(uint32_t drive, nQoMDBG100::tStatus2& status);
  // The lines of mode back to inputs and the link's outputs off, each step on
  // a status of its own; the front-panel lines only while held.
  void switchOff(int32_t mode, nQoMDBG100::tStatus2& status);
  void releaseHeld(nQoMDBG100::tStatus2& status);

  nQoUdRLP100::nTavik::tTavik& _map;
  tTavikImmedDigPrimitive* _portLines;
  iDigReserver* _portLineReserver = nullptr;
  iDigReserver* _pfiLineReserver = nullptr;
  uint32_t _portLinesHeld = 0;
  uint32_t _pfiLinesHeld = 0;
  // Whether a connect switched the dedicated outputs on and no disconnect
  // switched them off.
  bool _dedicatedOn = false;
};

}  // namespace nQoUdP100
