// Doubles of the platform's output transfer objects: one partner supervisor
// that is both the FIFO transfer and the interrupt transfer, as the AO FIFO
// supervisor finds it in the map. The interrupt side writes the next bytes
// of `bytes` into the sink in one call; the FIFO side logs the FIFO's status.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/iWriteable.h"
#include "mrl/iOutputTransfers.h"
#include "msrl/iInterruptTransfer.h"
#include "support/reservationDoubles.h"

namespace nQoTest {

class tScriptedOutputTransfer : public tScriptedSupervisor,
                                public nQoMSRL100::iOutputFIFOTransfer,
                                public nQoMSRL100::iOutputInterruptTransfer,
                                public nQoMSRL100::iOutputTransferObject {
 public:
  using tScriptedSupervisor::tScriptedSupervisor;
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &iOutputFIFOTransfer::___classID) return static_cast<iOutputFIFOTransfer*>(this);
    if (id == &iOutputInterruptTransfer::___classID)
      return static_cast<iOutputInterruptTransfer*>(this);
    return tScriptedSupervisor::___CPPKRLDynamicCast(id);
  }
  void query(const tStatus2& fifoStatus, tStatus2& s) override {
    answer("query " + std::to_string(fifoStatus.code), s);
  }
  uint32_t state(tStatus2& s) override {
    answer("state", s);
    return transferState;
  }
  nQoMSRL100::iOutputTransferObject* getTransferObject(tStatus2&) override { return this; }
  uint32_t transfer(nQoMXSL100::iWriteable<unsigned char>* sink, uint32_t byteCount,
                    tStatus2& s) override {
    answer("transfer " + std::to_string(byteCount), s);
    const uint32_t count = byteCount < bytes.size() ? byteCount : uint32_t(bytes.size());
    return sink->write(bytes.data(), count, s);
  }
  void transferEnded(tStatus2&) override {}
  std::vector<unsigned char> bytes;
  uint32_t transferState = 0;
};

}  // namespace nQoTest
