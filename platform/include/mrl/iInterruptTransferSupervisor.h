// The partner of an interrupt-fed transfer, found in the supervisor map: for
// each transfer destination it hands out the endpoint that receives the
// samples and the end of the transfer.
//
//   iInterruptTransferEndpoint* endpoint = partner->endpointFor(status, destination);
//   moved = endpoint->data(readable, count, status);   // on each FIFO pass
//   endpoint->transferEnded(reason, status);           // once per arm
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMXSL100 {
template <class T>
class iReadable;
}  // namespace nQoMXSL100

namespace nQoLMSDR100 {

class iInterruptTransferEndpoint {
 public:
  virtual ~iInterruptTransferEndpoint() = default;
  // Up to count samples read from the stream; the number taken.
  virtual uint32_t data(nQoMXSL100::iReadable<unsigned char>* readable, uint32_t count,
                        nQoMDBG100::tStatus2& status) = 0;
  virtual void notify() = 0;
  // The reason is the transfer's outcome (no error for a complete one).
  virtual void transferEnded(const nQoMDBG100::tStatus2& reason, nQoMDBG100::tStatus2& status) = 0;
};

class iInterruptTransferSupervisor {
 public:
  static void* ___classID;
  virtual ~iInterruptTransferSupervisor() = default;
  // The destination only tells the caller's transfers apart; it is not used.
  virtual iInterruptTransferEndpoint* endpointFor(nQoMDBG100::tStatus2& status,
                                                  const void* destination) = 0;
};

}  // namespace nQoLMSDR100
