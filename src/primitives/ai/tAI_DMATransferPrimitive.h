// The AI DMA transfer of a Tavik board: the DMA channel's select code goes
// into bits 3:0 of the DMA select register 0x09 (bits 7:4 belong to others)
// under lock group 19, and the last conversion has left the converter when
// bit 15 of tJoint_Status_1 (0x136) clears, within 10 ms.
//
//   tAI_DMATransferPrimitive transfer(&converter, &timing, &fifo, info, map, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"
#include "primitives/ai/tLastConversionWait.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tAI_DMATransferPrimitive : public tBaseAI_DMATransferPrimitive {
 public:
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kDrainTimeout = 10;  // milliseconds

  // The map is the board's, borrowed.
  tAI_DMATransferPrimitive(tBaseAI_ADCPrimitive* converter,
                           tBaseAITimingControllerPrimitive* timing,
                           tBaseAIDeviceFIFOPrimitive* fifo, const tDeviceInfo& deviceInfo,
                           nQoUdRLP100::nTavik::tTavik* map, tStatus2& status);
  // An arm that no disarm followed leaves the FIFO routed to its channel: the
  // route goes while it is this class's.
  ~tAI_DMATransferPrimitive() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  bool isReady() const override;

 protected:
  // writeAIDMASelect.
  void selectChannel(uint8_t code, tStatus2& status) override;
  // -50400 when bit 15 stays set for the whole time-out. Each wait times
  // itself: the record end's and the sample end's passes may wait at once.
  void waitForLastConversion(tStatus2& status) override;

 private:
  nQoUdRLP100::nTavik::tTavik* _map;
};

}  // namespace nQoUdP100
