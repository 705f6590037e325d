// The platform's DMA channel supervisor, found in the supervisor map: it
// hands out its channel's endpoint, number and observable side.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iDMAObservable.h"

namespace nQoMXSL100 {
template <class T>
class iReadable;
}  // namespace nQoMXSL100

namespace nQoLMSDR100 {

// One end of a DMA transfer; a transfer primitive reports its end to it.
class iDMAEndpoint {
 public:
  virtual ~iDMAEndpoint() = default;
  // The end of a transfer that this endpoint receives: the reason (no error
  // for a complete transfer) and the status of the report.
  virtual void transferEnded(const nQoMDBG100::tStatus2& /*reason*/, nQoMDBG100::tStatus2&) {}
  // The byte stream the endpoint reads the samples from while linked, on a
  // thread of its own; null takes it away. Returns once a read under way
  // through the stream it replaces has left, so the caller may then change
  // or free that stream.
  virtual void setReadable(nQoMXSL100::iReadable<unsigned char>* /*readable*/,
                           nQoMDBG100::tStatus2&) {}
};

class iDMAChannelSupervisor {
 public:
  static void* ___classID;
  virtual ~iDMAChannelSupervisor() = default;
  virtual iDMAEndpoint* getEndpoint(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getChannelNumber(nQoMDBG100::tStatus2& status) = 0;
  // The channel's data-loaded events, where it offers them; null otherwise.
  virtual iDMAObservable* getObservable(nQoMDBG100::tStatus2&) { return nullptr; }
};

}  // namespace nQoLMSDR100
