// The analog-input DMA transfer, so far only what the reservation framework's
// linkers write into it: the event object of its done and error events, the
// platform DMA channel's number (0xFFFFFFFF when not linked) and the done
// sink, the endpoint that receives the end of the transfer (null when not
// linked).
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iEvent.h"

namespace nQoUdP100 {

class tBaseAI_DMATransferPrimitive {
 public:
  static constexpr uint32_t kNoChannel = 0xFFFFFFFF;

  virtual ~tBaseAI_DMATransferPrimitive() = default;

  void setEvent(nQoMRL110::iEvent* event, nQoMDBG100::tStatus2&) { _event = event; }
  nQoMRL110::iEvent* getEvent() const { return _event; }
  void setDMAChannelNumber(uint32_t number) { _dmaChannelNumber = number; }
  uint32_t getDMAChannelNumber() const { return _dmaChannelNumber; }
  void setDoneSink(nQoLMSDR100::iDMAEndpoint* sink) { _doneSink = sink; }
  nQoLMSDR100::iDMAEndpoint* getDoneSink() const { return _doneSink; }

 private:
  nQoMRL110::iEvent* _event = nullptr;
  nQoLMSDR100::iDMAEndpoint* _doneSink = nullptr;
  uint32_t _dmaChannelNumber = kNoChannel;
};

}  // namespace nQoUdP100
