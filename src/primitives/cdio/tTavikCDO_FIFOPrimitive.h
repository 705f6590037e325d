// The correlated digital output FIFO of a Tavik board: status bits 0 (empty),
// 1 (full), 2 (FIFO condition), 3 (overrun) and 4 (buffer error) of the CDIO
// status, commands start 0x2, stop 0x1, reset 0x10, step 0x80000 and error
// acknowledge 0x4000, the mode flag in bit 11, the secondary flag in bit 9 and
// the transfer-mode flag in bit 8 of tCDO_Mode, and the high nibble of the DMA
// select register.
//
//   tTavikCDO_FIFOPrimitive fifo(&cdioDispatcher, &description, map, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/cdio/tBaseCDO_FIFOPrimitive.h"
#include "primitives/cdio/tTavikCDIOPort.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikCDO_FIFOPrimitive final : public tBaseCDO_FIFOPrimitive {
 public:
  tTavikCDO_FIFOPrimitive(iCDIODispatcher* dispatcher, const tCDIODescription* description,
                          nQoUdRLP100::nTavik::tTavik* map, nQoMDBG100::tStatus2& status)
      : tBaseCDO_FIFOPrimitive(dispatcher, description, status), _port(map, kCDODirection) {}
  // The polling thread calls into this class: it is stopped and joined while
  // the whole FIFO still stands.
  ~tTavikCDO_FIFOPrimitive() override { endThread(); }

  bool isReady() const override;
  uint32_t writeSample(const uint32_t* word, nQoMDBG100::tStatus2& status) override;
  uint32_t writeSamples(const void* buffer, uint32_t byteCount,
                        nQoMDBG100::tStatus2& status) override;
  uint32_t isBufferErrorPending(nQoMDBG100::tStatus2& status) override;
  uint32_t isOverrunPending(nQoMDBG100::tStatus2& status) override;
  uint32_t isFIFOEmpty(nQoMDBG100::tStatus2& status) override;
  uint32_t isFIFOFull(nQoMDBG100::tStatus2& status) override;
  uint32_t isFIFOConditionPending(nQoMDBG100::tStatus2& status) override;
  void startFIFO(nQoMDBG100::tStatus2& status) override;
  void stopFIFO(nQoMDBG100::tStatus2& status) override;
  void resetFIFO(nQoMDBG100::tStatus2& status) override;
  void stepFIFO(nQoMDBG100::tStatus2& status) override;
  void acknowledgeError(nQoMDBG100::tStatus2& status) override;
  void linkDMAChannel(uint32_t channel, nQoMDBG100::tStatus2& status) override;
  void unlinkDMAChannel(nQoMDBG100::tStatus2& status) override;
  void applyModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) override;
  void applyTransferModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) override;
  void applySecondaryModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) override;
  uint32_t getModeFlag(nQoMDBG100::tStatus2& status) override;

 private:
  tTavikCDIOPort _port;
};

}  // namespace nQoUdP100
