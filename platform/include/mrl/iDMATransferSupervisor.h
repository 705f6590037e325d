// The partner of a DMA transfer, found in the supervisor map: it hands out the
// endpoint that receives the end of the transfer.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"

namespace nQoLMSDR100 {

class iDMATransferSupervisor {
 public:
  static void* ___classID;
  virtual ~iDMATransferSupervisor() = default;
  virtual iDMAEndpoint* getEndpoint(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoLMSDR100
