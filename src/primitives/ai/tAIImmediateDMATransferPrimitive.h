// The AI immediate DMA transfer of a Tavik board: the channel maps are the
// board's prebuilt VESK channel maps, and the AI FIFO is routed to a channel
// by the select code in bits 3:0 of the DMA select register 0x09 (bits 7:4
// belong to others) under lock group 19.
//
//   tAIImmediateDMATransferPrimitive transfer(bus, &info, &frontEnd, &adc, &timing, &fifo,
//                                             map, channels, channelCount, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAIImmediateDMATransferPrimitive.h"
#include "tavik/tTavik.h"
#include "vesk/tVESKChannel.h"

namespace nQoUdP100 {

class tAIImmediateDMATransferPrimitive : public tBaseAIImmediateDMATransferPrimitive {
 public:
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kSampleWidth = 4;
  static constexpr uint32_t kPortWidth = 4;

  // The map and the channel table (count entries) are the board's, borrowed.
  tAIImmediateDMATransferPrimitive(
      iBus* bus, const tDeviceInfo* deviceInfo, tBaseAIScanningFrontEndPrimitive* frontEnd,
      tBaseAI_ADCPrimitive* adc, tBaseAITimingControllerPrimitive* timing,
      tBaseAIDeviceFIFOPrimitive* fifo, nQoUdRLP100::nTavik::tTavik* map,
      nQoUdRLP100::tVESKChannel* const* channels, uint32_t count, tStatus2& status);
  // An arm that no disarm followed is switched off while the FIFO's route is
  // this class's, before the base lets the buffer and the ring go.
  ~tAIImmediateDMATransferPrimitive() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  bool isReady() const override;

 protected:
  nQoUdRLP100::tVESKChannel* channelMapFor(uint32_t number, tStatus2& status) override;
  void routeFIFO(uint32_t number, tStatus2& status) override;
  void disconnectFIFO(tStatus2& status) override { select(0, status); }

 private:
  void select(uint8_t code, tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
  nQoUdRLP100::tVESKChannel* const* _channels;
  uint32_t _count;
};

}  // namespace nQoUdP100
