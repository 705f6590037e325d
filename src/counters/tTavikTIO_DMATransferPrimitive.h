// Joins the counters inside the Tavik chip to the board's DMA channels, in the
// board's map: the DMA select register at 0x0B (bits 3..0 the channel of
// counter 0, bits 7..4 that of counter 1), shared by both counters and so
// changed under the map's lock group of that register, and each counter's DMA
// register (0x1B8, 0x1BA), whose bit 0 lets the counter request DMA. Each
// register is written only when its soft copy changed or was already dirty.
//
//   tTavikTIO_DMATransferPrimitive dma(holder.map());
//   dma.connect(4, 1, status);     // 0x0B nibble 7..4 := channel 4's code; 0x1BA bit 0 := 1
//   dma.disconnect(4, 1, status);  // both back to 0
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"
#include "tior/iTIODMATap.h"

namespace nQoUdR100 {

class tTavikTIO_DMATransferPrimitive : public tModuleObject, public nQoTIOR100::iTIODMATap {
 public:
  static constexpr uint32_t kChannelCount = 16;
  // The lock group of the DMA select register (Write_000B).
  static constexpr uint32_t kSelectGroup = 20;

  explicit tTavikTIO_DMATransferPrimitive(nQoUdRLP100::nTavik::tTavik* map) : _map(map) {}
  // Disconnects the counters that a connect or an enable left joined (a
  // teardown under a counter's task), by its record.
  ~tTavikTIO_DMATransferPrimitive() override;

  // Counter 0 or 1 (others do nothing); a channel beyond 15 is refused with
  // kRefused before anything is locked or written.
  void connect(uint32_t channel, uint32_t counter, nQoMDBG100::tStatus2& status) override;
  void disconnect(uint32_t channel, uint32_t counter, nQoMDBG100::tStatus2& status) override;
  void enableDMA(uint32_t counter, nQoMDBG100::tStatus2& status) override;
  void disableDMA(uint32_t counter, nQoMDBG100::tStatus2& status) override;

 private:
  // The counter's nibble of the select register := code, under the lock; the
  // lock is given back only when it was taken.
  void select(uint32_t counter, uint32_t code, nQoMDBG100::tStatus2& status);
  // Bit 0 of the counter's DMA register; bit 3 (a strobe) is dropped from the
  // soft copy by the write.
  void requests(uint32_t counter, bool on, nQoMDBG100::tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
  // Bit n: counter n was connected or had its requests enabled, and no
  // disconnect followed.
  uint32_t _joined = 0;
};

}  // namespace nQoUdR100
