// The partner of a DMA transfer, found in the supervisor map: it hands out the
// endpoint that receives the end of the transfer.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"

namespace nQoLMSDR100 {

// The partner's handle through which a correlated transfer's endpoint talks
// to it: the end of the transfer, and the endpoint once the transfer
// primitive has bound it.
class iDMAPartnerHandle {
 public:
  virtual ~iDMAPartnerHandle() = default;
  virtual void transferEnded(nQoMDBG100::tStatus2& status) = 0;
  virtual void bindEndpoint(iDMAEndpoint* endpoint, nQoMDBG100::tStatus2& status) = 0;
};

class iDMATransferSupervisor {
 public:
  static void* ___classID;
  virtual ~iDMATransferSupervisor() = default;
  virtual iDMAEndpoint* getEndpoint(nQoMDBG100::tStatus2& status) = 0;
  // The handle for correlated transfers; null where the partner offers none.
  virtual iDMAPartnerHandle* getPartnerHandle(nQoMDBG100::tStatus2&) { return nullptr; }
};

}  // namespace nQoLMSDR100
