// The correlated digital input FIFO of a Tavik board: status bits 16 (empty),
// 17 (unnamed), 18 (FIFO condition), 19 (overrun) and 20 (buffer error) of the
// CDIO status, commands start 0x8, stop 0x4 and reset 0x20, the mode flag in
// bit 11 and the secondary flag in bit 9 of tCDI_Mode, and the low nibble of
// the DMA select register.
//
//   tTavikCDI_FIFOPrimitive fifo(&cdioDispatcher, &description, map, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/cdio/tBaseCDI_FIFOPrimitive.h"
#include "primitives/cdio/tTavikCDIOPort.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikCDI_FIFOPrimitive final : public tBaseCDI_FIFOPrimitive {
 public:
  tTavikCDI_FIFOPrimitive(iCDIODispatcher* dispatcher, const tCDIODescription* description,
                          nQoUdRLP100::nTavik::tTavik* map, nQoMDBG100::tStatus2& status)
      : tBaseCDI_FIFOPrimitive(dispatcher, description, status), _port(map, kCDIDirection) {}

  bool isReady() const override;
  uint32_t readSamples(void* buffer, uint32_t byteCount, nQoMDBG100::tStatus2& status) override;
  uint32_t isBufferErrorPending(nQoMDBG100::tStatus2& status) override;
  uint32_t isOverrunPending(nQoMDBG100::tStatus2& status) override;
  uint32_t isFIFOEmpty(nQoMDBG100::tStatus2& status) override;
  // Status bit 17.
  uint32_t reserved7(nQoMDBG100::tStatus2& status) override;
  uint32_t isFIFOConditionPending(nQoMDBG100::tStatus2& status) override;
  void startFIFO(nQoMDBG100::tStatus2& status) override;
  void stopFIFO(nQoMDBG100::tStatus2& status) override;
  void resetFIFO(nQoMDBG100::tStatus2& status) override;
  uint32_t getModeFlagBit(nQoMDBG100::tStatus2& status) override;
  void linkDMAChannel(uint32_t channel, nQoMDBG100::tStatus2& status) override;
  void unlinkDMAChannel(nQoMDBG100::tStatus2& status) override;
  // 0 clears bit 11, 1 sets it, then a forced flush; other values write nothing.
  void applyModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) override;
  void applySecondaryModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) override;

 private:
  tTavikCDIOPort _port;
};

}  // namespace nQoUdP100
