// Where the AI interrupt transfer puts its samples: the platform endpoint
// that its partner handed out, fed through an owned readable over the FIFO.
//
//   tAIInterruptTransferDestination* destination = new (status)
//   tAIInterruptTransferDestination(status); destination->setEndpoint(partner->endpointFor(status,
//   destination)); destination->readable()->setSource(fifo, fifo->sampleWidth());
//
// A call while no endpoint is set gives -50004 and reaches nothing.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tModuleObject.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mrl/iInterruptTransferSupervisor.h"
#include "primitives/ai/tBaseAIInterruptTransferPrimitive.h"
#include "supervisors/ai/tAIReadable.h"

namespace nQoUdR100 {

class tAIInterruptTransferDestination final
    : public nQoUdP100::tBaseAIInterruptTransferPrimitive::iDestination,
      public tModuleObject {
 public:
  // A readable that cannot be allocated leaves it null with -50352.
  explicit tAIInterruptTransferDestination(nQoMDBG100::tStatus2& status)
      : _readable(new(status) tAIReadable) {}
  ~tAIInterruptTransferDestination() override { delete _readable; }
  tAIInterruptTransferDestination(const tAIInterruptTransferDestination&) = delete;
  tAIInterruptTransferDestination& operator=(const tAIInterruptTransferDestination&) = delete;

  // The endpoint takes up to count samples through the readable.
  uint32_t move(uint32_t count, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal() || !reachable(_endpoint != nullptr && _readable != nullptr, status, 61))
      return 0;
    return _endpoint->data(_readable, count, status);
  }
  void notify() override {
    if (_endpoint != nullptr) _endpoint->notify();
  }
  void transferEnded(const nQoMDBG100::tStatus2& reason, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal() || !reachable(_endpoint != nullptr, status, 73)) return;
    _endpoint->transferEnded(reason, status);
  }

  void setEndpoint(nQoLMSDR100::iInterruptTransferEndpoint* endpoint) { _endpoint = endpoint; }
  nQoLMSDR100::iInterruptTransferEndpoint* getEndpoint() const { return _endpoint; }
  tAIReadable* readable() const { return _readable; }

 private:
  static bool reachable(bool present, nQoMDBG100::tStatus2& status, unsigned line) {
    if (!present) setCode(status, kNullPointer, {"tAIInterruptTransferDestination", line});
    return present;
  }

  tAIReadable* _readable;
  nQoLMSDR100::iInterruptTransferEndpoint* _endpoint = nullptr;
};

}  // namespace nQoUdR100
