// The hardware clocking of the TESK link: starts the chip's link shifter,
// strobes a transfer and polls its busy bit (0x07). Construction selects the
// software clock and the hardware clock source and writes the control byte.
//
//   tTavikHWTimingControllerPrimitive link(map, status);   // 0x13 <- 0x21
//   link.start(status);                                    // 0x13 <- 0xA1
//   link.strobe(status);                                   // 0x13 <- 0xE1
//   while (link.isBusy(status)) {}
#pragma once

#include <cstdint>

#include "cdp/iTESK_HWTimingController.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikHWTimingControllerPrimitive : public nQoCDP100::iTESK_HWTimingController,
                                          public nQoUdR100::tModuleObject {
 public:
  tTavikHWTimingControllerPrimitive(nQoUdRLP100::nTavik::tTavik& map, nQoMDBG100::tStatus2& status);
  // Stops hardware timing that a start left on (a teardown under the link's
  // task), by its record.
  ~tTavikHWTimingControllerPrimitive() override;

  void start(nQoMDBG100::tStatus2& status) override;
  void stop(nQoMDBG100::tStatus2& status) override;
  // 1 selects the hardware clock source bit, 0 clears it; others are only kept.
  void setClockSource(int32_t source, nQoMDBG100::tStatus2& status) override;
  // -223748 before start.
  void strobe(nQoMDBG100::tStatus2& status) override;
  uint32_t readStatus(nQoMDBG100::tStatus2& status) override;
  void writeData(uint8_t value, nQoMDBG100::tStatus2& status) override;
  // Busy until the chip reports the strobed transfer done; a failed read counts as busy.
  bool isBusy(nQoMDBG100::tStatus2& status) override;

 private:
  nQoUdRLP100::nTavik::tTavik& _map;
  int32_t _clockSource = 1;
  uint32_t _busy = 0;
  uint32_t _started = 0;
};

}  // namespace nQoUdP100
